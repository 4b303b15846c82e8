// Turning what the user typed (a name, a type and a value text) into a user-defined property,
// with the checks and messages of the bank properties sheet.
#pragma once

#include "core/Messages.h"
#include "core/UserProperty.h"
#include "platform/base/Result.h"

#include <vector>

namespace kelvo {

inline constexpr std::size_t kMaxUserPropertyName = 100;
inline constexpr std::size_t kMaxUserPropertyValue = 200;

/// A new property named `name` of `type` (UserProperty::Text ... YesNo) from `value`:
/// text as typed; number only from decimal digits; date/time as "dd.mm.yyyy hh:mm:ss",
/// "dd.mm.yyyy" or "hh:mm:ss"; yes/no is yes only for exactly "Да". Fails with the sheet's
/// message when the name exists already (compared byte for byte), the number or the date
/// does not convert, or the name or value is longer than the sheet's fields allow.
Result<UserProperty> MakeUserProperty(const std::vector<UserProperty>& existing, AnsiView name,
                                      int type, AnsiView value);

/// The value as the sheet shows it: text, "%d", the date-time text, "Да"/"Нет", "(Пусто)".
AnsiString UserPropertyValueText(const UserProperty& property);

} // namespace kelvo
