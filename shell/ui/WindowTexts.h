// The texts of the shell's own windows in shell/ui (UTF-8): the options sheet and the
// paragraph dialog.
#pragma once

namespace kelvo::otext {

inline constexpr const char* Caption = "Параметры программы";

inline constexpr const char* GeneralPage = "Общие";
inline constexpr const char* RecentFiles = "&Число банков в списке последних:";
inline constexpr const char* Questions = "Подтверждения";
inline constexpr const char* ConfirmItemDelete = "Спрашивать перед удалением &элемента дерева";
inline constexpr const char* ConfirmPasswordDelete = "Спрашивать перед удалением &паролей";

inline constexpr const char* SecurityPage = "Безопасность";
inline constexpr const char* Clipboard = "Буфер обмена";
inline constexpr const char* ClipboardSeconds =
    "&Убирать скопированный пароль из буфера обмена через, с:";

} // namespace kelvo::otext

namespace kelvo::ptext {

inline constexpr const char* Caption = "Абзац";
inline constexpr const char* Indents = "Отступ";
inline constexpr const char* Left = "С&лева:";
inline constexpr const char* Right = "С&права:";
inline constexpr const char* First = "П&ервая строка:";
inline constexpr const char* Spacing = "Интервал";
inline constexpr const char* Before = "Пе&ред:";
inline constexpr const char* After = "П&осле:";
inline constexpr const char* Alignment = "&Выравнивание:";
inline constexpr const char* AlignLeft = "По левому краю";
inline constexpr const char* AlignCenter = "По центру";
inline constexpr const char* AlignRight = "По правому краю";
inline constexpr const char* AlignJustify = "По ширине";
inline constexpr const char* Centimetres = " см";
inline constexpr const char* Points = " пт";
inline constexpr const char* Ok = "OK";
inline constexpr const char* Cancel = "Отмена";

} // namespace kelvo::ptext
