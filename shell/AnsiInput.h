// Typed text on its way into the bank: Windows-1251 or refused, never silently replaced.
#pragma once

#include "platform/text/Ansi.h"

#include <QString>

class QWidget;

namespace kelvo {

class UserDialogs;

/// Converts `text` for the bank. When a character cannot be held in Windows-1251, tells the
/// user which field and which characters (message with OK) and returns false.
bool AcceptAnsiText(UserDialogs& dialogs, QWidget* parent, const QString& text,
                    const QString& field, AnsiString& out);

inline QString FromAnsi(AnsiView text) {
    return QString::fromStdString(AnsiToUtf8(text));
}

/// A fixed text of the program (always Windows-1251) for the bank.
inline AnsiString FixedAnsi(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

} // namespace kelvo
