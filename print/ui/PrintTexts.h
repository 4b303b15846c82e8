// The texts of the preview window and the print dialogs, in one table (UTF-8).
#pragma once

namespace kelvo::printtext {

// The preview's bar: labels, and tips.
inline constexpr const char* PrintButton = "&Печать...";       // 58116
inline constexpr const char* PrintTip = "Напечатать";
inline constexpr const char* CloseButton = "&Закрыть";         // 58112
inline constexpr const char* CloseTip = "Закрыть предварительный просмотр";
inline constexpr const char* PagesBoxName = "Число страниц";       // 1071, its accessible name
inline constexpr const char* PagesTip = "Сколько страниц показать сразу";
inline constexpr const char* ZoomBoxName = "Масштаб";              // 1072
inline constexpr const char* ZoomTip = "Показать страницу в масштабе";
/// String 10012, the pages box: every entry ends in "~".
inline constexpr const char* PagesEntries =
    "1 страница~2 страницы~3 страницы~4 страницы~6 страниц~9 страниц~";
/// String 10013, the zoom box.
inline constexpr const char* ZoomEntries = "50%~75%~100%~150%~175%~200%~";
inline constexpr const char* PreviewViewName = "Предварительный просмотр"; // the view's

// Captions of the dialogs.
inline constexpr const char* PrintDialog = "Печать";
inline constexpr const char* PageSetupDialog = "Параметры страницы";
inline constexpr const char* PrinterSetupDialog = "Настройка печати";

} // namespace kelvo::printtext
