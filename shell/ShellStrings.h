// The texts of the main window and its views: titles, labels and messages.
#pragma once

#include <QString>

namespace kelvo {

QString AppTitle(); ///< "Quorvelline 2003 Professional"

namespace text {
inline constexpr const char* LeftBar = "Структура банка";
inline constexpr const char* Calendar = "Календарь";
inline constexpr const char* RecordsTab = "Записи";
inline constexpr const char* PasswordsTab = "Пароли";
inline constexpr const char* RootRecord = "Корневая запись";
inline constexpr const char* RootFolder = "Хранилище паролей";
inline constexpr const char* NewRecord = "Новая запись";
inline constexpr const char* NewFolder = "Новая папка";
inline constexpr const char* StandardBar = "Стандартная";
inline constexpr const char* FormatBar = "Форматирование";
inline constexpr const char* ViewsBar = "Виды";
inline constexpr const char* BankBar = "Управление банком";
inline constexpr const char* Ready = "Готов";
inline constexpr const char* NoRecent = "(Нет последних банков)";
inline constexpr const char* NewBankName = "Kelvo Bank";
inline constexpr const char* FileFilter = "Банки данных Quorvelline 2003 (*.Kvb *.kvb)";

inline constexpr const char* AskDeleteItem =
    "Удалить текущий элемент и все его дочерние элементы?\nЭто действие нельзя будет "
    "отменить!\n\nДля отключения этого сообщения воспользуйтесь настройками программы.";
inline constexpr const char* DeleteFailed = "Не удалось удалить запись.";
inline constexpr const char* AskDeletePasswords =
    "Удалить все выделенниые записи паролей?\nЭто действие нельзя будет отменить!\n\nДля "
    "отключения этого сообщения воспользуйтесь настройками программы.";
/// %1: the bank's title.
inline constexpr const char* AskSaveChanges =
    "Банк данных \"%1\" был изменен. Сохранить эти изменения?";
/// %1: the path. Shown when another running copy of the program holds the bank.
inline constexpr const char* BankBusy =
    "Банк данных\n%1\nуже открыт другой копией программы.\nЗакройте его там и повторите "
    "попытку.";
/// %1: the path, %2: the reason.
inline constexpr const char* SaveFailed = "Не удалось сохранить банк данных в файл:\n%1\n%2";
/// %1: the field's name, %2: the characters.
inline constexpr const char* NotAnsi =
    "Поле \"%1\" содержит символы, которые нельзя сохранить в банке данных "
    "(кодировка Windows-1251): %2\nИзмените текст.";
} // namespace text

inline QString Tr(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace kelvo
