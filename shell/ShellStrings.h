// The shell's own texts, in one table: the titles, menus, bars, panes, labels, captions, file
// filters and messages of the main window, its views and its small dialogs (UTF-8). Texts
// that GUI-free code hands out come from core/Messages; the commands' menu texts and tips
// stand with their ids in CommandTable. No other shell file writes a Russian literal.
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
/// The password question of a protected bank.
inline constexpr const char* PasswordLabel = "&Пароль:";
inline constexpr const char* PasswordOk = "OK";
inline constexpr const char* PasswordCancel = "Отмена";
/// %1: the field's name, %2: the characters.
inline constexpr const char* NotAnsi =
    "Поле \"%1\" содержит символы, которые нельзя сохранить в банке данных "
    "(кодировка Windows-1251): %2\nИзмените текст.";

// Menus, bars, panes and the tray of the main window.
inline constexpr const char* MenuBank = "&Банк данных";
inline constexpr const char* MenuEdit = "&Правка";
inline constexpr const char* MenuView = "&Вид";
inline constexpr const char* MenuToolbars = "&Панели инструментов";
inline constexpr const char* MenuItem = "&Элемент";
inline constexpr const char* MenuRecord = "&Запись";
inline constexpr const char* MenuPasswords = "Па&роли";
inline constexpr const char* MenuInsert = "Вст&авка";
inline constexpr const char* MenuFormat = "Фор&мат";
inline constexpr const char* TextColour = "Цвет текста";
inline constexpr const char* BackColour = "Цвет фона";
inline constexpr const char* MenuTools = "&Сервис";
inline constexpr const char* MenuHelp = "&Справка";
inline constexpr const char* AddPasswordItem = "&Добавить пароль...";
inline constexpr const char* DeletePasswordItem = "&Удалить пароль";
inline constexpr const char* PasswordPropertiesItem = "&Свойства пароля...";
inline constexpr const char* RulerBar = "Линейка";
inline constexpr const char* PaneBankModified = "ИЗМ: Банк";
inline constexpr const char* PaneRecordModified = "ИЗМ: Зап";
inline constexpr const char* PaneOverwrite = "ЗАМ";
inline constexpr const char* TrayRestore = "&Восстановить";
inline constexpr const char* TrayExit = "Вы&ход";
inline constexpr const char* PasteAsRtf = "Форматированный текст (RTF)";
inline constexpr const char* PasteAsText = "Неформатированный текст";
inline constexpr const char* PasteSpecial = "Специальная вставка";
inline constexpr const char* PasteAs = "Вставить как:";
inline constexpr const char* PositionPane = "Стр %1, cтб %2";
inline constexpr const char* CannotOpenFile = "Не удалось открыть файл \"%1\".";
inline constexpr const char* FileTooLarge = "Файл \"%1\" слишком велик для вставки.";
inline constexpr const char* NotAPicture =
    "Файл \"%1\" не является рисунком PNG, JPEG, BMP или GIF.";
inline constexpr const char* FileAsText = "Файл как текст";
inline constexpr const char* TextFileFilter = "Текстовые файлы (*.txt *.Txt *.TXT);;Все файлы (*)";
inline constexpr const char* PictureFromFile = "Рисунок из файла";
inline constexpr const char* TitleField = "Название";
inline constexpr const char* CategoryField = "Категория";
inline constexpr const char* LoginField = "Логин";
inline constexpr const char* PasswordField = "Пароль";
inline constexpr const char* LinkField = "Ссылка";
inline constexpr const char* NotesField = "Заметки";
inline constexpr const char* NotesTip = "Заметки: ";
inline constexpr const char* PwdSelected = "%1 выделен(о)";
inline constexpr const char* PwdPosition = "Позиция: %1/%2";
inline constexpr const char* PwdCount = "%1 паролей";
inline constexpr const char* CopyLoginItem = "Копировать логин\tCtrl+Shift+C";
inline constexpr const char* CopyPasswordItem = "Копировать пароль\tCtrl+C";
inline constexpr const char* Cancel = "Отмена";
inline constexpr const char* ReplaceWith = "Заменить &на:";
inline constexpr const char* FindPattern = "&Образец:";
inline constexpr const char* WholeWord = "Только слово &целиком";
inline constexpr const char* MatchCase = "С учетом &регистра";
inline constexpr const char* Direction = "Направление";
inline constexpr const char* Up = "&Вверх";
inline constexpr const char* Down = "В&низ";
inline constexpr const char* FindNext = "&Найти далее";
inline constexpr const char* Replace = "&Заменить";
inline constexpr const char* ReplaceAll = "Заменить &все";
inline constexpr const char* ReplaceCaption = "Замена";
inline constexpr const char* FindCaption = "Найти";
inline constexpr const char* NotFound = "Не удается найти \"%1\".";
inline constexpr const char* Replaced = "Заменено: %1";
inline constexpr const char* InsertDateTimeCaption = "Вставка даты/времени";
inline constexpr const char* AvailableFormats = "Доступные &форматы:";

// The key map and the about dialogs.
inline constexpr const char* KeyMapCaption = "Список сочетаний клавиш";
inline constexpr const char* KeyMapCommand = "Команда";
inline constexpr const char* KeyMapKey = "Клавиша";
inline constexpr const char* KeyMapListName = "Сочетания клавиш";
inline constexpr const char* AboutCaption = "О программе";
inline constexpr const char* AboutProduct = "Quorvelline 2003";
inline constexpr const char* AboutEdition = "Professional";
inline constexpr const char* AboutVersionLabel = "Версия EXE-файла:";
inline constexpr const char* AboutBuildLabel = "Режим постройки:";
inline constexpr const char* AboutBuildRelease = "Финальная версия (RELEASE)";
inline constexpr const char* AboutFilesButton = "Файлы...";
inline constexpr const char* AboutClose = "Закрыть";
inline constexpr const char* AboutMailText = "Написать в службу поддержки";
inline constexpr const char* AboutWebText = "Страница программы";
inline constexpr const char* AboutWebTarget = "https://kelvo.example.org/";
/// %1: the version text.
inline constexpr const char* AboutMailTarget =
    "mailto:support@kelvo.example.org?subject=Quorvelline%202003%20Professional%20%1";
inline constexpr const char* AboutFilesCaption = "Используемые файлы";
inline constexpr const char* AboutFileColumn = "Файл";
inline constexpr const char* AboutVersionColumn = "Версия";
inline constexpr const char* AboutVersionUnknown = "(Ошибка определения)";
inline constexpr const char* PictureFileFilter =
    "Рисунки (*.png *.jpg *.jpeg *.bmp *.gif *.PNG *.JPG *.JPEG *.BMP *.GIF);;"
    "Все файлы (*)";
inline constexpr const char* DateTimePictures =
    "d-M-yy~dd-MM-yy~d-MM-yyyy~dd-MM-yyyy~d.M.yy~dd.MM.yy~d.MM.yyyy~"
    "dd.MM.yyyy~d MMM yyyy~d MMM yyyy 'г., 'ddd~ddd', 'd MMM yyyy 'г.'~"
    "d MMM yyyy 'г., 'dddd~dddd', 'd MMM yyyy 'г.'";

// The search window (BankSearchDlg) and the chooser of its start node (BankSelectDlg).
inline constexpr const char* SearchCaption = "Поиск в банке данных";
inline constexpr const char* SearchStartLabel = "&Начать поиск с:";
inline constexpr const char* SearchBrowse = "&Обзор...";
inline constexpr const char* SearchNested = "П&росмотреть вложенные структуры";
inline constexpr const char* SearchTextLabel = "Искать &текст:";
inline constexpr const char* SearchTextField = "Искать текст";
inline constexpr const char* SearchHint = "Для уточнения поиска можно использовать выражения "
                                          "AND и OR.";
inline constexpr const char* SearchWhere = "Искать в:";
inline constexpr const char* SearchInData = "&Данных банка";
inline constexpr const char* SearchInKeywords = "&Ключевых словах";
inline constexpr const char* SearchInNotes = "З&аметках";
inline constexpr const char* SearchCase = "&Учитывать регистр";
inline constexpr const char* SearchWholeWords = "Тол&ько отдельные слова";
inline constexpr const char* SearchSize = "Раз&мер данных";
inline constexpr const char* SearchSizeEqual = "= (Равно)";
inline constexpr const char* SearchSizeLess = "< (Меньше)";
inline constexpr const char* SearchSizeGreater = "> (Больше)";
inline constexpr const char* SearchSizeCompare = "Сравнение размера";
inline constexpr const char* SearchSizeValue = "Размер данных, Кбайт";
inline constexpr const char* SearchKb = "Кбайт";
inline constexpr const char* SearchFolderWhole = "Считать папку хранения паролей одним &целым";
inline constexpr const char* SearchStateLabel = "Состояние:";
inline constexpr const char* SearchWaiting = "Ожидание...";
inline constexpr const char* SearchProgress = "Ход поиска";
inline constexpr const char* SearchClose = "&Закрыть";
inline constexpr const char* SearchRun = "&Искать";
inline constexpr const char* SearchStop = "О&становить";
inline constexpr const char* SearchGoTo = "&Перейти";
inline constexpr const char* SearchMessageCaption = "Поиск";
inline constexpr const char* ResultsGrid = "Результаты";
inline constexpr const char* ResultNumber = "№";
inline constexpr const char* ResultPlace = "Место";
inline constexpr const char* ResultKeywords = "Ключевые слова";
inline constexpr const char* ResultNotes = "Заметки";
inline constexpr const char* ResultSize = "Размер, Кбайт";
inline constexpr const char* SelectCaption = "Выбор объекта из структуры банка";
inline constexpr const char* SelectChoose = "Выбрать";

// The index window (BankIndexDlg) and the progress window of index operations.
inline constexpr const char* IndexCaption = "Просмотр индексной информации";
inline constexpr const char* IndexShowFor = "Отобразить ключевые слова для:";
inline constexpr const char* IndexForRecords = "Записей";
inline constexpr const char* IndexForFolders = "Паролей";
inline constexpr const char* IndexForAll = "Записей и паролей";
inline constexpr const char* IndexWordsLabel = "Список ключевых слов, найденных в банке:";
inline constexpr const char* IndexWord = "Ключевое слово";
inline constexpr const char* IndexCount = "Счетчик";
inline constexpr const char* IndexRecords = "Записи";
inline constexpr const char* IndexFolders = "Пароли";
inline constexpr const char* IndexState = "Состояние";
inline constexpr const char* IndexClose = "Закрыть";
inline constexpr const char* IndexFind = "Найти";
inline constexpr const char* IndexGoTo = "Перейти";
inline constexpr const char* IndexReset = "Сброс";
inline constexpr const char* IndexRebuild = "Перестроить";
inline constexpr const char* IndexQuerying = "Поиск результатов...";
inline constexpr const char* IndexMessageCaption = "Просмотр индексов";
inline constexpr const char* AskBuildIndex =
    "Индексы не построены, либо произошла ошибка их загрузки.\nВыполнить построение индексов "
    "(это может занять несколько минут)?";
inline constexpr const char* AskRebuildIndex =
    "Будет выполнена перестройка базы индексов.\nВ зависимости от размера банка данных это "
    "может зхнаять нескоько минут.\nВыполнить построение?";
inline constexpr const char* IndexProgressCaption = "Операция с индексами";

// The keyword picker (BankIndexSelDlg).
inline constexpr const char* PickerCaption = "Выбор ключевых слов";
inline constexpr const char* PickerListLabel = "Список ключевых слов банка:";
inline constexpr const char* PickerSummaryName = "Выбранные слова";
inline constexpr const char* PickerOnlyTicked = "Показывать только отмеченные слова";
inline constexpr const char* PickerChoose = "Выбрать";
inline constexpr const char* PickerOk = "OK";
} // namespace text

inline QString Tr(const char* utf8) {
    return QString::fromUtf8(utf8);
}
inline QString Tr(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kelvo
