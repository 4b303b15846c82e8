// The 33 small pictures a password entry can carry. An entry's icon number is the position of
// its picture in this set, so the order never changes; new pictures would go at the end.
#pragma once

#include <QIcon>
#include <QString>

namespace kelvo {

inline constexpr int kPasswordIconCount = 33;

/// Picture `number` of the set, drawn sharp at 16, 20, 24, 32 and 48 pixels. Numbers outside
/// 0..32 give picture 0.
QIcon PasswordIcon(int number);
/// What picture `number` shows ("Ключ", "Замок", ...), for tips and screen readers; empty
/// outside 0..32.
QString PasswordIconName(int number);

} // namespace kelvo
