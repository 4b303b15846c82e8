// Draws the widget kit for a screenshot: a result grid with marked words and row details, the
// keyword list with check boxes, a password list with its icons, the icon combo and all 33
// password pictures. Writes the PNG named on the command line (default widget-kit.png).
#include "widgets/IconCombo.h"
#include "widgets/PasswordIcons.h"
#include "widgets/ReportGrid.h"
#include "widgets/SortableList.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace kelvo;

namespace {

AnsiString Ansi(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

void FillGrid(ReportGrid& grid) {
    grid.SetColumns({{QStringLiteral("№"), 30},
                     {QStringLiteral("Место"), 165},
                     {QStringLiteral("Ключевые слова"), 165},
                     {QStringLiteral("Заметки"), 150},
                     {QStringLiteral("Размер, Кбайт"), 95}});
    const char* mark = "<font color=#0000FF><b>";
    const char* end = "</b></font>";
    struct Sample {
        const char* place;
        const char* keywords;
        const char* notes;
        const char* detail;
        int size;
    };
    const Sample samples[] = {
        {"Запись: <b>Договор аренды</b>", "договор, <font color=#0000FF><b>квартира</b></font>",
         "Подписан в марте", "", 12},
        {"Запись: <b>Ремонт</b>", "смета, <font color=#0000FF><b>квартира</b></font>, кухня",
         "Плитка<p>Сантехника",
         "<b>Найденные слова</b>:<p>... заказать плитку для <font color=#0000FF><b>квартиры</b>"
         "</font> до пятницы ...",
         4},
        {"Папка паролей: <b>Банки<b>", "банк, карта", "(Нет заметок)",
         "<b>Содержимое папки:</b> Сбережения, Кредитная карта, Вклад... (отрезано)", 0},
        {"Пароль: <b>Почта<b>", "(Не поддерживается для пароля)", "(Не поддерживается для пароля)",
         "<b>Данные пароля:</b> Почта, login: ivanov, <font color=#0000FF><b>квартира</b>"
         "</font>... (отрезано)",
         0},
    };
    int number = 1;
    for (int round = 0; round < 2; ++round)
        for (const Sample& sample : samples) {
            ReportRow row;
            row.cells = {std::to_string(number), Ansi(sample.place), Ansi(sample.keywords),
                         Ansi(sample.notes), std::to_string(sample.size + round * 3)};
            std::string detail = sample.detail;
            if (detail.empty())
                detail = std::string("<b>Текст записи:</b> Квартира сдаётся на год, ") + mark +
                         "квартира" + end + " с мебелью... (отрезано)";
            row.detail = Ansi(detail.c_str());
            row.key = "rec:" + std::to_string(number);
            const int added = grid.AddRow(std::move(row));
            grid.FitRowHeight(added);
            ++number;
        }
    grid.SelectRow(1);
}

void FillWords(SortableList& words) {
    words.SetColumns({{QStringLiteral("Ключевое слово"), 150},
                      {QStringLiteral("Счетчик"), 55},
                      {QStringLiteral("Записи"), 50},
                      {QStringLiteral("Пароли"), 50}});
    words.SetCheckBoxes(true);
    const struct {
        const char* word;
        int count;
        bool records, folders;
    } samples[] = {{"квартира", 12, true, false}, {"банк", 7, true, true},
                   {"договор", 3, true, false},   {"карта", 9, false, true},
                   {"кухня", 2, true, false},     {"смета", 1, true, false},
                   {"почта", 4, false, true},     {"отпуск", 10, true, false}};
    std::vector<ListRow> rows;
    for (const auto& sample : samples) {
        ListRow row;
        row.cells = {QString::fromUtf8(sample.word), QString::number(sample.count),
                     QString::fromUtf8(sample.records ? "Да" : "Нет"),
                     QString::fromUtf8(sample.folders ? "Да" : "Нет")};
        row.checked = QString::fromUtf8(sample.word) == QStringLiteral("квартира");
        rows.push_back(std::move(row));
    }
    words.SetRows(std::move(rows));
    words.SortByColumn(0);
}

void FillPasswords(SortableList& list) {
    list.SetColumns({{QStringLiteral("Название"), 130},
                     {QStringLiteral("Категория"), 90},
                     {QStringLiteral("Логин"), 90},
                     {QStringLiteral("Пароль"), 90},
                     {QStringLiteral("Ссылка"), 120}});
    list.SetKeepSorted(true);
    list.SetSortOnHeaderClick(false);
    list.SetGridLines(true);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    const struct {
        const char* title;
        int icon;
        const char* category;
        const char* login;
    } samples[] = {
        {"Почта", 3, "Интернет", "ivanov"},       {"Банк-онлайн", 4, "Финансы", "i.ivanov"},
        {"Домашний Wi-Fi", 16, "Дом", "admin"},   {"Игры", 17, "Досуг", "ivan_77"},
        {"Рабочий сервер", 23, "Работа", "root"}, {"Облако", 11, "Интернет", "ivanov"},
        {"Автосервис", 32, "Авто", "ivanov"}};
    int uid = 1;
    for (const auto& sample : samples) {
        ListRow row;
        row.cells = {QString::fromUtf8(sample.title), QString::fromUtf8(sample.category),
                     QString::fromUtf8(sample.login), QStringLiteral("Xq7#pL2v"),
                     QStringLiteral("https://example.ru")};
        row.icon = PasswordIcon(sample.icon);
        row.data = uid++;
        list.AddRow(std::move(row));
    }
    list.SelectRow(2);
}

QPixmap Gallery() {
    const int columns = 11;
    QPixmap pixmap(columns * 44 + 8, 3 * 62 + 4);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    for (int i = 0; i < kPasswordIconCount; ++i) {
        const int x = 6 + (i % columns) * 44;
        const int y = 4 + (i / columns) * 62;
        p.drawPixmap(x + 6, y, PasswordIcon(i).pixmap(32, 32));
        p.drawPixmap(x + 14, y + 34, PasswordIcon(i).pixmap(16, 16));
        p.setPen(Qt::darkGray);
        p.drawText(QRect(x, y + 50, 44, 12), Qt::AlignCenter, QString::number(i));
    }
    return pixmap;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("widget-kit.png");

    QWidget window;
    window.setWindowTitle(QStringLiteral("Widget kit"));
    auto* layout = new QGridLayout(&window);

    auto* gridBox = new QGroupBox(QStringLiteral("ReportGrid: результаты поиска"));
    auto* grid = new ReportGrid;
    FillGrid(*grid);
    (new QVBoxLayout(gridBox))->addWidget(grid);
    layout->addWidget(gridBox, 0, 0);

    auto* wordsBox = new QGroupBox(QStringLiteral("SortableList: ключевые слова"));
    auto* words = new SortableList;
    FillWords(*words);
    (new QVBoxLayout(wordsBox))->addWidget(words);
    layout->addWidget(wordsBox, 0, 1);

    auto* listBox = new QGroupBox(QStringLiteral("SortableList: пароли"));
    auto* passwords = new SortableList;
    FillPasswords(*passwords);
    (new QVBoxLayout(listBox))->addWidget(passwords);
    layout->addWidget(listBox, 1, 0);

    auto* iconBox = new QGroupBox(QStringLiteral("IconCombo и 33 значка"));
    auto* iconLayout = new QVBoxLayout(iconBox);
    auto* comboRow = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Значок:"));
    auto* combo = new IconCombo;
    combo->SetIconNumber(10);
    label->setBuddy(combo);
    comboRow->addWidget(label);
    comboRow->addWidget(combo);
    comboRow->addStretch();
    iconLayout->addLayout(comboRow);
    auto* gallery = new QLabel;
    gallery->setPixmap(Gallery());
    iconLayout->addWidget(gallery);
    iconLayout->addStretch();
    layout->addWidget(iconBox, 1, 1);

    layout->setRowStretch(0, 3);
    layout->setRowStretch(1, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    window.resize(1240, 740);
    window.show();
    app.processEvents();
    grid->setFocus();
    app.processEvents();
    if (!window.grab().save(out)) {
        fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    printf("wrote %s\n", qPrintable(out));
    return 0;
}
