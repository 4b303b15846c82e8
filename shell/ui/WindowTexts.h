// The texts of the shell's own windows in shell/ui (UTF-8): the options sheet.
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
