// The texts of the item dialogs' windows: captions, pages, labels, buttons and the names of
// fields in messages (UTF-8). Messages come from core/Messages.
#pragma once

namespace kelvo::dlgtext {

// The password generator.
inline constexpr const char* GeneratorCaption = "Генератор паролей";
inline constexpr const char* AlphabetGroup = "Алфавит пароля";
inline constexpr const char* SetLabels[6] = {
    "Английские заглавные (A...Z)",
    "Английские строчные (a...z)",
    "Русские заглавные (А...Я)",
    "Русские строчные (а...я)",
    "Цифры (0...9)",
    "Специальные (~@#$^&&()-_+=)",
};
inline constexpr const char* Other = "Другие:";
inline constexpr const char* OtherField = "Другие";
inline constexpr const char* ModeGroup = "Способ генерирования";
inline constexpr const char* ByLength = "Длина пароля:";
inline constexpr const char* LengthUnit = "символов";
inline constexpr const char* ByMask = "Маска:";
inline constexpr const char* MaskField = "Маска";
inline constexpr const char* MaskHint =
    "Маска задается при помощи символов '#', которые будут заменены символами и пароля из "
    "алфавита.";
inline constexpr const char* ResultsGroup = "Результаты";
inline constexpr const char* Alphabet = "Алфавит:";
inline constexpr const char* Password = "Пароль:";
inline constexpr const char* Shuffle = "Переставить";
inline constexpr const char* Generate = "Генерировать";
inline constexpr const char* EntropyName = "Энтропия";
/// %1: the bits with one decimal.
inline constexpr const char* Entropy = "Энтропия: %1 бит";
inline constexpr const char* HelpName = "Подсказка";
inline constexpr const char* Help =
    "Задайте параметры алфавита пароля и нажмите кнопку \"Переставить\" для перестановки "
    "символов алфавита. Затем нажмите кнопку \"Генерировать\" для случайного выбора из "
    "алфавита символов пароля.";
inline constexpr const char* Ok = "OK";
inline constexpr const char* Cancel = "Отмена";
inline constexpr const char* Close = "Закрыть";

// The password entry sheet.
inline constexpr const char* PwdSheetCaption = "Добавление/Свойства пароля";
inline constexpr const char* AccountPage = "Учетная запись";
inline constexpr const char* PasswordPage = "Пароль";
inline constexpr const char* NotesPage = "Заметки";
inline constexpr const char* TitleLabel = "&Название:";
inline constexpr const char* IconLabel = "&Значок:";
inline constexpr const char* CategoryLabel = "&Категория:";
inline constexpr const char* LoginLabel = "&Логин:";
inline constexpr const char* PasswordLabel = "&Пароль:";
inline constexpr const char* LinkLabel = "&Ссылка:";
inline constexpr const char* GeneratorButton = "&Генератор паролей...";
inline constexpr const char* TitleField = "Название";
inline constexpr const char* CategoryField = "Категория";
inline constexpr const char* LoginField = "Логин";
inline constexpr const char* PasswordField = "Пароль";
inline constexpr const char* LinkField = "Ссылка";
inline constexpr const char* NotesField = "Заметки";

// The item properties sheet.
inline constexpr const char* ItemSheetCaption = "Свойства элемента дерева";
inline constexpr const char* GeneralPage = "Общие";
inline constexpr const char* KeywordsPage = "Ключевые слова";
inline constexpr const char* HeadingLabel = "Заголовок:";
inline constexpr const char* UidLabel = "UID элемента:";
inline constexpr const char* SizeLabel = "Размер данных:";
inline constexpr const char* CreatedLabel = "Создан:";
inline constexpr const char* OpenedLabel = "Открыт:";
inline constexpr const char* SavedLabel = "Сохранен:";
inline constexpr const char* NotesGroup = "&Заметки (краткое описание)";
inline constexpr const char* KeywordsGroup = "&Ключевые слова (разделитель - запятая)";
inline constexpr const char* PickButton = "Выбор из списка...";
inline constexpr const char* HeadingField = "Заголовок";
inline constexpr const char* KeywordsField = "Ключевые слова";

// Bank protection.
inline constexpr const char* ProtectCaption = "Установка защиты банка данных";
inline constexpr const char* ChangePasswordCaption = "Смена пароля банка данных";
inline constexpr const char* RemoveProtectionCaption = "Снятие защиты банка данных";
inline constexpr const char* OpenPasswordCaption = "Пароль банка данных";
inline constexpr const char* ProtectDescription =
    "Банк данных будет зашифрован, и открыть его можно будет только с этим паролем. "
    "Запомните пароль: восстановить его невозможно.";
inline constexpr const char* ChangeDescription =
    "Введите прежний пароль банка данных, затем новый пароль два раза. Запомните новый "
    "пароль: восстановить его невозможно.";
inline constexpr const char* OldPasswordLabel = "&Старый пароль:";
inline constexpr const char* NewPasswordLabel = "&Пароль:";
inline constexpr const char* ChangedPasswordLabel = "&Новый пароль:";
inline constexpr const char* ConfirmationLabel = "П&одтверждение:";
inline constexpr const char* StrengthLabel = "Надежность:";
/// %1: the grade, %2: the bits without decimals.
inline constexpr const char* StrengthValue = "%1 (%2 бит)";
inline constexpr const char* ShowPasswordsBox = "По&казывать пароли";
inline constexpr const char* PasswordsDiffer =
    "Пароль и подтверждение не совпадают. Введите пароль еще раз.";
/// %1: the grade.
inline constexpr const char* WeakPasswordQuestion =
    "Надежность пароля: %1. Такой пароль легко подобрать.\nВсе равно использовать его?";
/// %1: what is about to be done ("установить защиту", ...).
inline constexpr const char* SaveBeforeProtection =
    "Банк данных изменен. Чтобы %1, его нужно сохранить.\nСохранить банк данных?";
inline constexpr const char* SaveNewBeforeProtection =
    "Банк данных еще не сохранен в файл. Чтобы установить защиту, его нужно сохранить.\n"
    "Сохранить банк данных?";
inline constexpr const char* ToProtect = "установить защиту";
inline constexpr const char* ToChangePassword = "сменить пароль";
inline constexpr const char* ToUnprotect = "снять защиту";
/// %1: the bank's path.
inline constexpr const char* RemoveProtectionPrompt =
    "Чтобы снять защиту банка данных\n%1\nвведите его пароль.";
inline constexpr const char* ProtectDone = "Банк данных защищен паролем.";
inline constexpr const char* PasswordChangeDone = "Пароль банка данных изменен.";
inline constexpr const char* UnprotectDone = "Защита банка данных снята.";

} // namespace kelvo::dlgtext
