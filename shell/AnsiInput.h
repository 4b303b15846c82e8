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

/// The bank's text for a window, straight to UTF-16 as QString holds it.
inline QString FromAnsi(AnsiView text) {
    const std::u16string utf16 = AnsiToUtf16(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

/// A fixed text of the program (always Windows-1251) for the bank.
inline AnsiString FixedAnsi(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

} // namespace kelvo
