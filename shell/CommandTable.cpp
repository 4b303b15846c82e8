// The table of the program's commands.
#include "shell/CommandTable.h"

#include "shell/CommandIds.h"

#include <QStringList>

#include <array>
#include <vector>

namespace kelvo {
namespace {

using namespace cmd;

const std::array<ColourEntry, 16> kColours{{
    {"Черный", 0, 0, 0},
    {"Малиновый", 128, 0, 0},
    {"Темно-зеленый", 0, 128, 0},
    {"Оливковый", 128, 128, 0},
    {"Темно-синий", 0, 0, 128},
    {"Сиреневый", 128, 0, 128},
    {"Бирюзовый", 0, 128, 128},
    {"Темно-серый", 128, 128, 128},
    {"Красный", 255, 0, 0},
    {"Зеленый", 0, 255, 0},
    {"Желтый", 255, 255, 0},
    {"Синий", 0, 0, 255},
    {"Розовый", 255, 0, 255},
    {"Голубой", 0, 255, 255},
    {"Белый", 255, 255, 255},
    {"Другой...", -1, -1, -1},
}};

std::vector<CommandInfo> BuildTable() {
    std::vector<CommandInfo> t = {
        {FileNew, "&Новый банк данных", "Ctrl+Shift+N", "document-new"},
        {FileOpen, "&Открыть банк данных...", "Ctrl+Shift+O", "document-open"},
        {FileSave, "&Сохранить банк данных", "Ctrl+Shift+S", "document-save"},
        {FileSaveAs, "Сохранить банк данных &как...", "", "document-save-as"},
        {PrintStructure, "&Печать структуры банка...", "Ctrl+Shift+P", "document-print"},
        {PreviewStructure, "П&редпросмотр структуры банка", "", "document-print-preview"},
        {PageSetup, "Параметры страницы...", "", "document-page-setup"},
        {PrintSetup, "Настройка печати...", "", "printer"},
        {BankProperties, "Свойства банка...", "", "document-properties"},
        {AppExit, "Вы&ход", "", "application-exit"},

        {RenameItem, "&Переименовать элемент", "", "edit-rename"},
        {DeleteItem, "&Удалить элемент", "", "edit-delete"},
        {ExpandItem, "Развернуть элемент", "", "list-add"},
        {CollapseItem, "Свернуть элемент", "", "list-remove"},
        {ItemKeywords, "Ключевые слова...", "", "tag"},
        {ItemProperties, "С&войства элемента...", "", "document-properties"},

        {AddRecord, "&Добавить запись", "", "document-new"},
        {SaveRecord, "Сохранить запись", "Ctrl+S", "document-save"},
        {ExportRecord, "Экспорт записи...", "", "document-export"},
        {ImportRecord, "Импорт записи...", "", "document-import"},
        {ImportRecords, "Импорт записей из банка...", "", "document-import"},
        {PrintRecord, "&Печать записи...", "Ctrl+P", "document-print"},
        {PreviewRecord, "П&редпросмотр записи", "", "document-print-preview"},

        {AddFolder, "&Создать папку паролей", "", "folder-new"},
        {AddPassword, "Добавить пароль...", "", "dialog-password"},
        {DeletePassword, "Удалить пароль", "", "edit-delete"},
        {PasswordProperties, "Свойства пароля...", "", "document-properties"},

        {Undo, "&Отменить", "Ctrl+Z;Alt+Backspace", "edit-undo"},
        {Redo, "Возвратить", "Ctrl+Shift+Z;Alt+Shift+Backspace", "edit-redo"},
        {Cut, "Вырезать", "Ctrl+X", "edit-cut"},
        {Copy, "Копировать", "Ctrl+C", "edit-copy"},
        {Paste, "Вставить", "Ctrl+V", "edit-paste"},
        {PasteSpecial, "Специальная вставка...", "Ctrl+Shift+V;Ctrl+Shift+Ins", ""},
        {PasteLink, "Вставить связь...", "", ""},
        {Clear, "Удалить", "", "edit-clear"},
        {SelectAll, "Выделить все", "Ctrl+A", "edit-select-all"},
        {Find, "Найти...", "Ctrl+F", "edit-find"},
        {Replace, "Заменить...", "Ctrl+H", "edit-find-replace"},
        {OleLinks, "Связи...", "", ""},
        {OleProperties, "Свойства объекта...", "Alt+Return", ""},
        {OleVerbs, "Объект", "", ""},

        {InsertObject, "Объект...", "", "insert-object"},
        {InsertTextFile, "Файл как текст...", "", "insert-text"},
        {InsertPicture, "Рисунок из файла...", "", "insert-image"},
        {InsertDateTime, "Дата/время...", "Alt+D", "x-office-calendar"},
        {InsertDate, "Дата", "Ctrl+D", ""},
        {InsertTime, "Время", "Ctrl+T", ""},

        {FontDialog, "Шрифт...", "", "preferences-desktop-font"},
        {ParagraphDialog, "Абзац...", "", ""},
        {TextColourButton, "Цвет текста", "", "format-text-color"},
        {BackColourButton, "Цвет фона", "", "format-fill-color"},
        {Bold, "Жирный", "Ctrl+B", "format-text-bold", true},
        {Italic, "Курсив", "Ctrl+I", "format-text-italic", true},
        {Underline, "Подчеркнутый", "Ctrl+U", "format-text-underline", true},
        {StrikeOut, "Зачеркнутый", "", "format-text-strikethrough", true},
        {AlignLeft, "По левому краю", "Ctrl+L", "format-justify-left", true},
        {AlignCenter, "По центру", "Ctrl+E", "format-justify-center", true},
        {AlignRight, "По правому краю", "Ctrl+R", "format-justify-right", true},
        {Superscript, "Верхний индекс", "Ctrl+Shift+=", "format-text-superscript", true},
        {Subscript, "Нижний индекс", "Ctrl+=", "format-text-subscript", true},
        {Bullets, "Маркированный список", "", "format-list-unordered", true},
        {Numbering, "Нумерованный список", "", "format-list-ordered", true},

        {BankSearch, "Поиск в банке...", "", "system-search"},
        {IndexInfo, "Индексная информация...", "", "view-list-details"},
        {BankCleanup, "Очистка банка...", "", "edit-clear-all"},
        {BankRevision, "Ревизия банка...", "", "view-refresh"},
        {SetProtection, "Установить защиту...", "", "changes-prevent"},
        {RemoveProtection, "Снять защиту...", "", "changes-allow"},
        {PasswordGenerator, "Генератор паролей...", "", "dialog-password"},
        {ProgramOptions, "Параметры программы...", "", "preferences-system"},

        {ViewStandardBar, "&Стандартная", "", "", true},
        {ViewFormatBar, "Форматирование", "", "", true},
        {ViewViewsBar, "Виды", "", "", true},
        {ViewBankBar, "Управление банком", "", "", true},
        {ViewStatusBar, "&Строка состояния", "", "", true},
        {ViewRuler, "&Линейка", "", "", true},
        {ViewRecordsTab, "Хранилище записей", "", "text-x-generic", true},
        {ViewPasswordsTab, "Хранилище паролей", "", "dialog-password", true},
        {MaskPasswords, "Скрывать пароли в списке", "", "", true},
        {ViewLeftBar, "Окно структуры банка", "", "view-list-tree", true},
        {ViewCalendar, "Календарь", "", "x-office-calendar", true},
        {WrapNone, "Без переноса строк", "", "", true},
        {WrapWindow, "Перенос строк по ширине окна", "", "format-text-direction-ltr", true},
        {WrapPrinter, "Перенос строк в области печати", "", "", true},

        {KeyMap, "Сочетания клавиш...", "", "preferences-desktop-keyboard"},
        {AppAbout, "&О программе...", "", "help-about"},
        {TrayRestore, "&Восстановить", "", "view-restore"},
    };
    for (int i = 0; i < static_cast<int>(kColours.size()); ++i) {
        t.push_back({TextColourFirst + i, kColours[static_cast<std::size_t>(i)].name, "", ""});
        t.push_back({BackColourFirst + i, kColours[static_cast<std::size_t>(i)].name, "", ""});
    }
    return t;
}

const std::vector<CommandInfo>& Table() {
    static const std::vector<CommandInfo> table = BuildTable();
    return table;
}

} // namespace

std::span<const CommandInfo> AllCommands() {
    return Table();
}

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& info : Table())
        if (info.id == id)
            return &info;
    return nullptr;
}

QString CommandText(const CommandInfo& info) {
    return QString::fromUtf8(info.text);
}

QList<QKeySequence> CommandKeys(const CommandInfo& info) {
    QList<QKeySequence> keys;
    const QString all = QString::fromUtf8(info.keys);
    for (const QString& part : all.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        keys.append(QKeySequence(part, QKeySequence::PortableText));
    return keys;
}

QString CommandTip(const CommandInfo& info) {
    QString text = CommandText(info);
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QStringLiteral("...")))
        text.chop(3);
    return text;
}

std::span<const ColourEntry> ColourTable() {
    return kColours;
}

} // namespace kelvo
