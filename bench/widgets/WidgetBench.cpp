// Times the widget kit at the sizes the windows meet: a result grid of 10,000 rows with
// marked cells and details (fill, fit, first screen, scrolling, sort) and a password list of
// 5,000 entries (fill, one screen). Prints milliseconds and the share of a 60 Hz frame.
#include "widgets/PasswordIcons.h"
#include "widgets/ReportGrid.h"
#include "widgets/SortableList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelvo;

namespace {

constexpr int kRows = 10000;
constexpr int kPasswords = 5000;
constexpr double kFrameMs = 1000.0 / 60.0;

double Ms(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

AnsiString Ansi(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::vector<ReportRow> ResultRows() {
    const AnsiString mark = "<font color=#0000FF><b>";
    const AnsiString end = "</b></font>";
    const AnsiString text =
        Ansi("Квартира сдаётся на долгий срок, рядом метро и парк; ") + mark + "договор" + end +
        Ansi(" подписан, залог внесён, показания счётчиков записаны. ") + mark + Ansi("квартира") +
        end + Ansi(" с мебелью и техникой, окна во двор, тихо.");
    std::vector<ReportRow> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        ReportRow row;
        row.cells = {
            std::to_string(i + 1), Ansi("Запись: <b>Договор аренды ") + std::to_string(i) + "</b>",
            Ansi("аренда, ") + mark + Ansi("договор") + end + Ansi(", квартира"),
            i % 3 ? AnsiString() : Ansi("Подписан<p>Оплачен"), std::to_string((i * 37) % 200)};
        row.detail = Ansi("<b>Найденные слова</b>:<p>... ") + text + " ...";
        row.key = "rec:" + std::to_string(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

ReportGrid* NewGrid() {
    auto* grid = new ReportGrid;
    grid->SetColumns({{QStringLiteral("№"), 30},
                      {QStringLiteral("Место"), 180},
                      {QStringLiteral("Ключевые слова"), 160},
                      {QStringLiteral("Заметки"), 120},
                      {QStringLiteral("Размер, Кбайт"), 80}});
    grid->resize(1000, 700);
    return grid;
}

double PaintScreen(QWidget& viewport) {
    QElapsedTimer timer;
    timer.start();
    const QPixmap screen = viewport.grab();
    (void)screen;
    return Ms(timer);
}

void Print(const char* what, double ms) {
    std::printf("%-58s %9.2f ms\n", what, ms);
}

void PrintFrame(const char* what, double ms) {
    std::printf("%-58s %9.2f ms  (%.2f of a 60 Hz frame)\n", what, ms, ms / kFrameMs);
}

void BenchGrid() {
    std::printf("== report grid, %d rows with marked cells and details, 1000x700\n", kRows);
    std::vector<ReportRow> rows = ResultRows();

    ReportGrid* grid = NewGrid();
    QElapsedTimer timer;
    timer.start();
    grid->AddRows(rows);
    Print("fill: AddRows, all at once", Ms(timer));
    timer.restart();
    grid->FitRowHeights();
    Print("fit every row's height to its texts", Ms(timer));
    grid->show();
    QApplication::processEvents();
    PrintFrame("first screen: lay out and paint", PaintScreen(*grid->viewport()));

    std::vector<double> screens;
    QScrollBar* bar = grid->verticalScrollBar();
    for (int step = 1; step <= 60; ++step) {
        bar->setValue(static_cast<int>(static_cast<long>(bar->maximum()) * step / 60));
        QApplication::processEvents();
        screens.push_back(PaintScreen(*grid->viewport()));
    }
    PrintFrame("one screen anywhere in the grid (median of 60)", Median(screens));
    screens.clear();
    bar->setValue(bar->maximum() / 2);
    for (int step = 0; step < 60; ++step) {
        bar->setValue(bar->value() + bar->singleStep() * 3); // a wheel notch
        QApplication::processEvents();
        screens.push_back(PaintScreen(*grid->viewport()));
    }
    PrintFrame("one screen after a wheel notch (median of 60)", Median(screens));

    grid->SelectRow(kRows / 2);
    timer.restart();
    grid->SortByColumn(1, Qt::DescendingOrder);
    Print("sort by \"Место\", selection kept", Ms(timer));
    QApplication::processEvents();
    PrintFrame("screen after the sort", PaintScreen(*grid->viewport()));
    delete grid;

    // The search shows rows as it finds them: one AddRow and one fit per row.
    grid = NewGrid();
    grid->show();
    QApplication::processEvents();
    timer.restart();
    for (const ReportRow& row : rows) {
        const int added = grid->AddRow(row, true);
        if (added % 100 == 0)
            QApplication::processEvents(); // the search pumps messages between items
    }
    QApplication::processEvents();
    Print("fill: AddRow(fit) per row, events pumped every 100", Ms(timer));
    delete grid;

    grid = NewGrid();
    grid->show();
    QApplication::processEvents();
    timer.restart();
    for (const ReportRow& row : rows) {
        grid->AddRow(row, true);
        QApplication::processEvents();
    }
    Print("fill: AddRow(fit) per row, events pumped after each", Ms(timer));
    delete grid;

    grid = NewGrid();
    timer.restart();
    for (const ReportRow& row : rows)
        grid->AddRow(row, true);
    Print("fill: AddRow(fit) per row, hidden grid", Ms(timer));
    delete grid;
}

void BenchPasswords() {
    std::printf("== sortable list, %d passwords kept sorted by title, 700x500\n", kPasswords);
    std::vector<ListRow> rows;
    rows.reserve(kPasswords);
    for (int i = 0; i < kPasswords; ++i) {
        ListRow row;
        const int n = (i * 7919) % kPasswords; // titles arrive in no order
        row.cells = {QStringLiteral("Сайт %1").arg(n), QStringLiteral("Интернет"),
                     QStringLiteral("user%1").arg(n), QStringLiteral("p@ss%1").arg(n),
                     QStringLiteral("https://site%1.ru").arg(n)};
        row.icon = PasswordIcon(n % kPasswordIconCount);
        row.data = n;
        rows.push_back(std::move(row));
    }
    auto make = [] {
        auto* list = new SortableList;
        list->SetColumns({{QStringLiteral("Название")},
                          {QStringLiteral("Категория")},
                          {QStringLiteral("Логин")},
                          {QStringLiteral("Пароль")},
                          {QStringLiteral("Ссылка")}});
        list->SetKeepSorted(true);
        list->SetGridLines(true);
        list->resize(700, 500);
        list->show();
        QApplication::processEvents();
        return list;
    };
    SortableList* list = make();
    QElapsedTimer timer;
    timer.start();
    list->SetRows(rows);
    QApplication::processEvents();
    Print("fill: SetRows, sorted once", Ms(timer));
    PrintFrame("one screen", PaintScreen(*list->viewport()));
    delete list;

    list = make();
    timer.restart();
    for (const ListRow& row : rows)
        list->AddRow(row);
    QApplication::processEvents();
    Print("fill: AddRow per entry, each to its sorted place", Ms(timer));
    delete list;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchGrid();
    BenchPasswords();
    return 0;
}
