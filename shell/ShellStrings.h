// The texts of the main window and its views: titles, labels and messages.
#pragma once

#include <QString>

#include <string_view>

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
/// %1: the field's name, %2: the characters.
inline constexpr const char* NotAnsi =
    "Поле \"%1\" содержит символы, которые нельзя сохранить в банке данных "
    "(кодировка Windows-1251): %2\nИзмените текст.";
} // namespace text

inline QString Tr(const char* utf8) {
    return QString::fromUtf8(utf8);
}
inline QString Tr(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kelvo
