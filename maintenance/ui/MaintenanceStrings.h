// The texts of the bank maintenance windows (UTF-8): the properties sheet and its pages, the
// cleanup, revision and import dialogs. Texts the logic hands out (messages, status lines)
// come from core/Messages.
#pragma once

namespace kelvo::mtext {

inline constexpr const char* Ok = "ОК";
inline constexpr const char* Cancel = "Отмена";
inline constexpr const char* Close = "Закрыть";

// The properties sheet.
inline constexpr const char* PropSheetCaption = "Свойства банка данных";
inline constexpr const char* GeneralPage = "Общие";
inline constexpr const char* BankPage = "Банк";
inline constexpr const char* StatisticsPage = "Статистика";
inline constexpr const char* CompositionPage = "Состав";
inline constexpr const char* UserPropertiesPage = "Свойства пользователя";

// "Общие".
inline constexpr const char* TypeLabel = "Тип:";
inline constexpr const char* PathLabel = "Путь:";
inline constexpr const char* SizeLabel = "Размер:";
inline constexpr const char* ShortNameLabel = "Имя MS-DOS:";
inline constexpr const char* CreatedLabel = "Создан:";
inline constexpr const char* ModifiedLabel = "Изменен:";
inline constexpr const char* AccessedLabel = "Открыт:";
inline constexpr const char* AttributesLabel = "Атрибуты:";
inline constexpr const char* ReadOnlyBox = "Только чтение";
inline constexpr const char* HiddenBox = "Скрытый";
inline constexpr const char* ArchiveBox = "Архивный";
inline constexpr const char* SystemBox = "Системный";
inline constexpr const char* WorkingFile = "Временный файл: %1";
inline constexpr const char* NameLabel = "Имя:";

// "Банк".
inline constexpr const char* TitleLabel = "Название:";
inline constexpr const char* SubjectLabel = "Тема:";
inline constexpr const char* AuthorLabel = "Автор:";
inline constexpr const char* ManagerLabel = "Руководитель:";
inline constexpr const char* CompanyLabel = "Учреждение:";
inline constexpr const char* CategoryLabel = "Категория:";
inline constexpr const char* KeywordsLabel = "Ключевые слова:";
inline constexpr const char* CommentsLabel = "Заметки:";

// "Статистика".
inline constexpr const char* PrintedLabel = "Напечатан:";
inline constexpr const char* LastAuthorLabel = "Автор изменений:";
inline constexpr const char* SaveCounterLabel = "Счётчик сохранения:";
inline constexpr const char* EditTimeLabel = "Общее время правки:";
inline constexpr const char* StatisticsLabel = "Статистика:";
inline constexpr const char* ParameterColumn = "Параметр";
inline constexpr const char* ValueColumn = "Значение";
/// The rows of the statistics list, in order.
inline constexpr const char* StatisticsRows[] = {
    "Шаблон",           "Страниц",           "Слов",       "Символов",           "Строк",
    "Слайдов",          "Скрытых объектов",  "Примечаний", "Клипов мультимедиа", "Абзацев",
    "Ссылки устарели?", "Формат презентации"};

// "Состав".
inline constexpr const char* CompositionLabel = "Состав банка данных:";
inline constexpr const char* CompositionBank = "Банк данных";
inline constexpr const char* CompositionRecords = "Заголовки записей";
inline constexpr const char* CompositionFolders = "Папки хранения паролей";
inline constexpr const char* CompositionPasswords = "Заголовки паролей";

// "Свойства пользователя".
inline constexpr const char* PropertyNameLabel = "&Имя:";
inline constexpr const char* PropertyTypeLabel = "&Тип:";
inline constexpr const char* PropertyValueLabel = "&Значение:";
inline constexpr const char* PropertiesLabel = "&Свойства:";
inline constexpr const char* AddButton = "&Добавить";
inline constexpr const char* DeleteButton = "&Удалить";
inline constexpr const char* NameColumn = "Имя";
inline constexpr const char* TypeColumn = "Тип";
/// The type list (indexes are the type codes).
inline constexpr const char* TypeChoices = "Текст~Число~Дата/Время~Значения \"Да/Нет\"~";
/// The type names of the list's "Тип" column.
inline constexpr const char* TypeNames[] = {"Текст", "Число", "Дата/Время", "Да/Нет"};
/// The suggested names, each ended by "~".
inline constexpr const char* SuggestedNames =
    "Вопрос~Группа~Дата записи~Дата заполнения~Записано~Издатель~Источник~Клиент~Комната~"
    "Назначение~Направить~Номер документа~Ответственный~Отдел~Отпечатано~Подразделение~"
    "Получено от~Почтовое отделение~Проверено~Проект~Расположение~Редактор~Состояние~"
    "Ссылка~Телефон~Цель~Язык~";
inline constexpr const char* PropertyNameEmpty = "Введите имя свойства.";
/// %1: the property's name.
inline constexpr const char* AskDeleteProperty =
    "Вы хотите удалить свойство '%1'?\nОтменить это действие не удастся.";

// The cleanup dialog.
inline constexpr const char* CleanupCaption = "Очистка банка";
inline constexpr const char* CleanupDescription =
    "Очистка банка позволяет быстро стереть необходимую информацию из банка, не делая это "
    "вручную. Это может быть полезно, если вы хотите сохранить структуру банка, удалив все "
    "тексты записей и т.д.";
inline constexpr const char* CleanupPrompt =
    "Укажите элементы, подлежащие очистке, и нажмите кнопку \"Очистить\":";
inline constexpr const char* CleanupRecordKeywords = "Ключевые слова из структуры записей";
inline constexpr const char* CleanupRecordNotes = "Заметки из структуры записей";
inline constexpr const char* CleanupRecordTexts = "Тексты записей";
inline constexpr const char* CleanupFolderKeywords = "Ключевые слова из хранилища паролей";
inline constexpr const char* CleanupFolderNotes = "Заметки из хранилища паролей";
inline constexpr const char* CleanupPasswords = "Пароли";
inline constexpr const char* CleanupButton = "Очистить";
inline constexpr const char* StatusName = "Состояние";
inline constexpr const char* ProgressName = "Ход выполнения";

// The revision dialog.
inline constexpr const char* RevisionCaption = "Ревизия банка данных";
inline constexpr const char* RevisionDescription =
    "Ревизия банка позволяет выявить неиспользуемые участки файла банка данных и удалить их. "
    "Это позволить сэкономить место на диске и увеличить скорость работы с этим банком. Для "
    "начала ревизии нажмите кнопку \"Начать\".";
inline constexpr const char* RevisionStart = "Начать";
inline constexpr const char* RevisionNumberColumn = "№";
inline constexpr const char* RevisionEventColumn = "Событие";
inline constexpr const char* RevisionEventsName = "События";
inline constexpr const char* RevisionAskSave =
    "Банк данных изменён. Перед ревизией его нужно сохранить.\nСохранить банк данных сейчас?";
inline constexpr const char* RevisionSaved = "Банк данных сохранён";
/// %1: the size.
inline constexpr const char* RevisionSizeBefore = "Размер банка данных до ревизии: %1";
/// %1: the number of storages and streams.
inline constexpr const char* RevisionCopying = "Копирование данных в новый файл (объектов: %1)...";
inline constexpr const char* RevisionCopied = "Копия банка данных записана на диск";
inline constexpr const char* RevisionReplaced = "Файл банка данных заменён сжатой копией";
/// %1: the size, %2: what was freed.
inline constexpr const char* RevisionSizeAfter =
    "Размер банка данных после ревизии: %1, освобождено: %2";
inline constexpr const char* RevisionReopened = "Банк данных открыт заново. Ревизия завершена";
inline constexpr const char* RevisionFailedEvent =
    "Ревизия не выполнена, файл банка данных оставлен без изменений";

// The import dialog.
inline constexpr const char* ImportCaption = "Импорт записей из банка";
inline constexpr const char* ImportSourceLabel = "1. Исходный банк данных:";
inline constexpr const char* ImportChooseButton = "...";
inline constexpr const char* ImportChooseName = "Выбрать исходный банк данных";
inline constexpr const char* ImportTreeLabel =
    "2. Выберите запись для импорта в подзапись текущей:";
inline constexpr const char* ImportButton = "Импорт";
inline constexpr const char* ImportFileFilter =
    "Банки данных Quorvelline 2003 (*.Kvb *.kvb);;Все файлы (*)";

} // namespace kelvo::mtext
