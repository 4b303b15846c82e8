// Typed text on its way into the bank.
#include "shell/AnsiInput.h"

#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"

namespace kelvo {

bool AcceptAnsiText(UserDialogs& dialogs, QWidget* parent, const QString& text,
                    const QString& field, AnsiString& out) {
    std::string unmappable;
    AnsiString converted;
    if (Utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size())),
                    converted, &unmappable)) {
        out = std::move(converted);
        return true;
    }
    dialogs.ShowMessage(parent, Tr(text::NotAnsi).arg(field, QString::fromStdString(unmappable)));
    return false;
}

} // namespace kelvo
