// Tests of the report grid: sorting with the selection kept, column layouts saved and applied,
// the heights the caller sets, the markup drawn in cells and details, and the row signals.
#include "widgets/ReportGrid.h"

#include "WidgetsTestSupport.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::Bluish;
using test::InkBox;
using test::MemoryLayoutStore;
using test::Reddish;

const std::vector<ReportColumn> kColumns{{QStringLiteral("№"), 30},
                                         {QStringLiteral("Место"), 120},
                                         {QStringLiteral("Ключевые слова"), 100},
                                         {QStringLiteral("Заметки"), 100},
                                         {QStringLiteral("Размер, Кбайт"), 60}};

AnsiString Ansi(std::string_view utf8) {
    AnsiString out;
    EXPECT_TRUE(Utf8ToAnsi(utf8, out));
    return out;
}

ReportRow ResultRow(int number, std::string_view title, int sizeKb) {
    ReportRow row;
    row.cells = {std::to_string(number), Ansi("Запись: <b>") + Ansi(title) + "</b>",
                 "key" + std::to_string(number % 3), "", std::to_string(sizeKb)};
    row.key = "rec:" + std::to_string(number);
    return row;
}

std::vector<AnsiString> Keys(const ReportGrid& grid) {
    std::vector<AnsiString> keys;
    for (int i = 0; i < grid.RowCount(); ++i)
        keys.push_back(grid.Row(i).key);
    return keys;
}

class ReportGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.SetColumns(kColumns);
        grid.resize(500, 300);
    }
    void Show() {
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        QApplication::processEvents();
    }
    ReportGrid grid;
};

TEST_F(ReportGridTest, TheModelKeepsItsContractThroughEveryChange) {
    QAbstractItemModelTester tester(&grid.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.AddRow(ResultRow(1, "один", 3));
    grid.AddRows({ResultRow(2, "два", 1), ResultRow(3, "три", 2)});
    grid.SetCellText(1, 3, "notes");
    grid.SetDetailText(2, "<b>detail</b>");
    grid.SetRowHeight(0, 20, 60);
    grid.FitRowHeights();
    grid.SortByColumn(4, Qt::DescendingOrder);
    grid.RemoveAllRows();
    grid.AddRow(ResultRow(4, "четыре", 0));
    EXPECT_EQ(grid.RowCount(), 1);
    // What screen readers and tips get is the shown text, without tags.
    EXPECT_EQ(grid.Model().data(grid.Model().index(0, 1)).toString(),
              QStringLiteral("Запись: четыре"));
    EXPECT_EQ(grid.Model().headerData(2, Qt::Horizontal).toString(),
              QStringLiteral("Ключевые слова"));
}

TEST_F(ReportGridTest, SortsNumbersByValueAndKeepsTheSelectedRow) {
    const char* titles[] = {"Яблоко", "арбуз", "Банан",   "вишня",     "груша",     "Айва",
                            "дыня",   "Ёлка",  "ежевика", "жимолость", "Земляника", "инжир"};
    std::vector<ReportRow> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back(ResultRow(i + 1, titles[i], (i * 7) % 5));
    grid.AddRows(std::move(rows));
    Show();
    grid.SelectRow(grid.FindRow("rec:10"));
    ASSERT_EQ(grid.Row(grid.SelectedRow()).key, "rec:10");

    grid.SortByColumn(0, Qt::DescendingOrder); // "12" before "9": by value, not by text
    EXPECT_EQ(Keys(grid).front(), "rec:12");
    EXPECT_EQ(Keys(grid)[3], "rec:9");
    EXPECT_EQ(grid.Row(grid.SelectedRow()).key, "rec:10");
    EXPECT_EQ(grid.FindRow("rec:10"), grid.SelectedRow());

    // By the shown text of a markup column, without regard to case: "Айва" < "арбуз" < "Банан".
    grid.SortByColumn(1);
    EXPECT_EQ(grid.Row(0).key, "rec:6");
    EXPECT_EQ(grid.Row(1).key, "rec:2");
    EXPECT_EQ(grid.Row(2).key, "rec:3");
    EXPECT_EQ(grid.Row(grid.SelectedRow()).key, "rec:10");

    // Equal sizes keep their previous order (the sort is stable).
    grid.SortByColumn(0);
    grid.SortByColumn(4);
    for (int i = 1; i < grid.RowCount(); ++i) {
        const AnsiString& size = grid.Row(i).cells[4];
        const AnsiString& before = grid.Row(i - 1).cells[4];
        ASSERT_LE(before, size);
        if (before == size) {
            EXPECT_LT(std::stoi(grid.Row(i - 1).cells[0]), std::stoi(grid.Row(i).cells[0]));
        }
    }
    EXPECT_EQ(grid.SortColumn(), 4);
}

TEST_F(ReportGridTest, AClickOnAHeadingSortsAndASecondReverses) {
    for (int i = 1; i <= 5; ++i)
        grid.AddRow(ResultRow(i, "x", 10 - i));
    Show();
    QHeaderView* head = grid.horizontalHeader();
    const QPoint size(head->sectionViewportPosition(4) + 10, head->height() / 2);
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, size);
    EXPECT_EQ(grid.SortColumn(), 4);
    EXPECT_EQ(grid.SortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(grid.Row(0).key, "rec:5");
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, size);
    EXPECT_EQ(grid.SortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(grid.Row(0).key, "rec:1");
}

TEST_F(ReportGridTest, LayoutRoundTripsOrderWidthsAndSort) {
    ASSERT_TRUE(grid.horizontalHeader()->sectionsMovable());
    grid.horizontalHeader()->moveSection(3, 0); // "Заметки" dragged to the front
    grid.horizontalHeader()->resizeSection(1, 210);
    grid.SortByColumn(4, Qt::DescendingOrder);
    MemoryLayoutStore store;
    grid.SaveLayout(store, QStringLiteral("BankSearchDlg.ResultGrid"), true);

    const ListLayout& saved = store.layouts.at(QStringLiteral("BankSearchDlg.ResultGrid"));
    ASSERT_EQ(saved.columns.size(), 5u);
    EXPECT_EQ(saved.columns[3].order, 0);
    EXPECT_EQ(saved.columns[0].order, 1);
    EXPECT_EQ(saved.columns[1].width, 210);
    EXPECT_EQ(saved.sortColumn, 4);
    EXPECT_EQ(saved.sortOrder, 1);

    ReportGrid other;
    other.SetColumns(kColumns);
    for (int i = 1; i <= 4; ++i)
        other.AddRow(ResultRow(i, "x", i));
    EXPECT_FALSE(other.LoadLayout(store, QStringLiteral("BankIndexDlg.ResultGrid")));
    EXPECT_EQ(other.horizontalHeader()->visualIndex(3), 3);
    ASSERT_TRUE(other.LoadLayout(store, QStringLiteral("BankSearchDlg.ResultGrid"), true));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(other.horizontalHeader()->visualIndex(i), grid.horizontalHeader()->visualIndex(i))
            << i;
        EXPECT_EQ(other.horizontalHeader()->sectionSize(i), grid.horizontalHeader()->sectionSize(i))
            << i;
    }
    EXPECT_EQ(other.SortColumn(), 4);
    EXPECT_EQ(other.Row(0).key, "rec:4");

    // Without sort the record carries zeros and loading leaves the rows' order alone.
    ReportGrid plain;
    plain.SetColumns(kColumns);
    plain.SaveLayout(store, QStringLiteral("Plain"));
    EXPECT_EQ(store.layouts.at(QStringLiteral("Plain")).sortColumn, 0);
    other.SortByColumn(0);
    ASSERT_TRUE(other.LoadLayout(store, QStringLiteral("BankSearchDlg.ResultGrid")));
    EXPECT_EQ(other.Row(0).key, "rec:1");
}

TEST(ListLayoutApply, DamagedOrdersStillGiveEveryColumnOnePlace) {
    ReportGrid grid;
    grid.SetColumns({{QStringLiteral("a"), 10},
                     {QStringLiteral("b"), 10},
                     {QStringLiteral("c"), 10},
                     {QStringLiteral("d"), 10}});
    QHeaderView& head = *grid.horizontalHeader();
    // Three stored columns for a header of four; place 2 is named by none of them.
    ApplyListLayout(head, ListLayout{0, 0, {{3, 40}, {0, 50}, {1, 0}}});
    // The stored places first, in their order; the column stored nowhere after them.
    EXPECT_EQ(head.logicalIndex(0), 1);
    EXPECT_EQ(head.logicalIndex(1), 2);
    EXPECT_EQ(head.logicalIndex(2), 0);
    EXPECT_EQ(head.logicalIndex(3), 3);
    EXPECT_EQ(head.sectionSize(0), 40);
    EXPECT_EQ(head.sectionSize(2), 10); // width 0 ignored
    // Repeated and out-of-range orders: the first claim wins, the rest follow in order.
    ApplyListLayout(head, ListLayout{0, 0, {{1, 10}, {1, 10}, {-5, 10}, {99, 10}}});
    EXPECT_EQ(head.logicalIndex(0), 0);
    EXPECT_EQ(head.logicalIndex(1), 1);
    std::vector<bool> seen(4);
    for (int visual = 0; visual < 4; ++visual)
        seen[static_cast<std::size_t>(head.logicalIndex(visual))] = true;
    EXPECT_EQ(seen, std::vector<bool>(4, true));
}

TEST_F(ReportGridTest, RowsTakeTheHeightsTheCallerSetsAndTheFittedOnes) {
    for (int i = 1; i <= 3; ++i)
        grid.AddRow(ResultRow(i, "x", i));
    grid.SetRowHeight(1, 20, 75);
    Show();
    const int standard = grid.Model().DefaultRowHeight();
    EXPECT_EQ(grid.visualRect(grid.Model().index(0, 0)).height(), standard);
    EXPECT_EQ(grid.visualRect(grid.Model().index(1, 0)).height(), 75);
    EXPECT_EQ(grid.visualRect(grid.Model().index(2, 0)).top(), standard + 75);

    // The cell area is the top 20 pixels; the detail area runs from 2 below it to 2 above the
    // row's bottom, from the end of the first displayed column to the end of the last.
    const QRect rowRect = grid.visualRect(grid.Model().index(1, 0));
    EXPECT_EQ(grid.CellArea(1, 2).height(), 20);
    EXPECT_EQ(grid.CellArea(1, 2).left(),
              grid.horizontalHeader()->sectionViewportPosition(2) + ReportGrid::kCellMargin);
    grid.SetDetailText(1, "detail");
    const QRect detail = grid.DetailArea(1);
    EXPECT_EQ(detail.top(), rowRect.top() + 22);
    EXPECT_EQ(detail.bottom(), rowRect.bottom() - 2);
    EXPECT_EQ(detail.left(), 30);
    EXPECT_EQ(detail.right(), 30 + 120 + 100 + 100 + 60 - 1);
    grid.horizontalHeader()->moveSection(grid.horizontalHeader()->visualIndex(1), 0);
    EXPECT_EQ(grid.DetailArea(1).left(), 120); // after "Место", now first

    // Fitting: a two-line cell makes the cell area two lines high; the detail adds its own.
    grid.SetCellText(2, 3, "first line<br>second line");
    grid.SetDetailText(2, "<b>Текст записи:</b> one<br>two<br>three");
    grid.FitRowHeight(2);
    const ReportRow& fitted = grid.Row(2);
    const int cell = grid.MeasureMarkup("a<br>b", 100);
    const int details = grid.MeasureMarkup("a<br>b<br>c", 500);
    EXPECT_EQ(fitted.cellHeight, cell);
    EXPECT_EQ(fitted.height, details + ReportGrid::kRowExtra + cell + 10);
    QApplication::processEvents();
    EXPECT_EQ(grid.visualRect(grid.Model().index(2, 0)).height(), fitted.height);
    // Without a detail the whole row is the cell area.
    grid.FitRowHeight(0);
    EXPECT_EQ(grid.Row(0).cellHeight, 0);
    const int line = grid.MeasureMarkup("x", 100);
    EXPECT_EQ(grid.Row(0).height, line + ReportGrid::kRowExtra + 4);
    // Empty cells still leave a line.
    grid.AddRow(ReportRow{{"", "", ""}, "detail", 0, 0, ""}, true);
    EXPECT_EQ(grid.Row(3).cellHeight, line);
}

TEST_F(ReportGridTest, TenThousandRowsOfTheirOwnHeightsScrollToTheEnd) {
    std::vector<ReportRow> rows;
    long total = 0;
    for (int i = 0; i < 10000; ++i) {
        ReportRow row = ResultRow(i + 1, "x", i);
        row.height = 20 + i % 40;
        row.cellHeight = 16;
        row.detail = "detail";
        total += row.height;
        rows.push_back(std::move(row));
    }
    grid.AddRows(std::move(rows));
    Show();
    QScrollBar* bar = grid.verticalScrollBar();
    EXPECT_EQ(bar->maximum() + grid.viewport()->height(), total);
    grid.SelectRow(9999);
    QApplication::processEvents();
    const QRect last = grid.visualRect(grid.Model().index(9999, 0));
    EXPECT_EQ(last.height(), 20 + 9999 % 40);
    EXPECT_LE(last.bottom(), grid.viewport()->height());
    EXPECT_GE(last.top(), 0);
}

TEST_F(ReportGridTest, RowsAddedWhileShownAppearAndKeepTheirHeightsThroughASort) {
    Show();
    long total = 0;
    for (int i = 1; i <= 60; ++i) {
        ReportRow row = ResultRow(i, "x", 60 - i);
        row.height = 20 + i;
        if (i == 3) {
            row.detail = "see <font color=#FF0000>this</font>";
            row.height = 50;
        }
        row.cellHeight = 18;
        total += row.height;
        grid.AddRow(std::move(row));
        QApplication::processEvents(); // as a search does between items
    }
    // The third row is on screen and painted with its detail.
    const QImage image = grid.viewport()->grab().toImage();
    const QRect red = InkBox(image, Reddish);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_TRUE(grid.DetailArea(2).contains(red));
    // The scroll range catches up, and the last row can be shown.
    QTest::qWait(100);
    EXPECT_EQ(grid.verticalScrollBar()->maximum() + grid.viewport()->height(), total);
    grid.SelectRow(59);
    QApplication::processEvents();
    const QRect last = grid.visualRect(grid.Model().index(59, 0));
    EXPECT_EQ(last.height(), 80);
    EXPECT_LE(last.bottom(), grid.viewport()->height());

    // Sorting moves the heights with their rows.
    grid.SortByColumn(4);
    EXPECT_EQ(grid.Row(0).key, "rec:60");
    EXPECT_EQ(grid.rowHeight(0), 80);
    EXPECT_EQ(grid.rowHeight(grid.FindRow("rec:3")), 50);
    EXPECT_EQ(grid.rowHeight(grid.FindRow("rec:4")), 24);
    EXPECT_EQ(grid.SelectedRow(), 0);
}

TEST_F(ReportGridTest, CellsAndDetailsShowTheirMarkedWordsInColourAndBold) {
    ReportRow row = ResultRow(1, "x", 1);
    row.cells[2] = "kw <font color=#0000FF><b>found</b></font> kw";
    row.detail = "<b>Найденные слова</b>: a <font color=#FF0000>hit</font> b";
    grid.AddRow(std::move(row));
    ReportRow plain = ResultRow(2, "y", 2);
    plain.cells[2] = "kw <font color=#0000FF>found</font> kw";
    grid.AddRow(std::move(plain));
    grid.FitRowHeight(0);
    Show();
    const QImage image = grid.viewport()->grab().toImage();
    const QRect cell = grid.CellArea(0, 2);
    const QRect detail = grid.DetailArea(0);
    ASSERT_FALSE(cell.isEmpty());
    ASSERT_FALSE(detail.isEmpty());
    const QRect firstRow = grid.visualRect(grid.Model().index(0, 0));
    const QRect blue =
        InkBox(image, Bluish, QRect(0, firstRow.top(), image.width(), firstRow.height()));
    const QRect red = InkBox(image, Reddish);
    ASSERT_FALSE(blue.isEmpty());
    ASSERT_FALSE(red.isEmpty());
    EXPECT_TRUE(cell.contains(blue));
    EXPECT_TRUE(detail.contains(red));
    EXPECT_FALSE(cell.intersects(red));
    // The bold marked word has clearly more ink than the same word drawn plain below it.
    auto count = [&](const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += Bluish(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    const int bold = count(cell);
    const int regular = count(grid.CellArea(1, 2));
    EXPECT_GT(regular, 10);
    EXPECT_GT(bold, regular * 6 / 5);
}

TEST_F(ReportGridTest, ClicksDoubleClicksAndEnterReportTheRow) {
    for (int i = 1; i <= 4; ++i)
        grid.AddRow(ResultRow(i, "x", i));
    Show();
    QSignalSpy clicked(&grid, &ReportGrid::RowClicked);
    QSignalSpy doubled(&grid, &ReportGrid::RowDoubleClicked);
    QSignalSpy activated(&grid, &ReportGrid::RowActivated);
    QSignalSpy selected(&grid, &ReportGrid::SelectedRowChanged);
    EXPECT_EQ(grid.SelectedRow(), -1);
    const QPoint third = grid.visualRect(grid.Model().index(2, 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, third);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
    EXPECT_EQ(grid.SelectedRow(), 2);
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(selected.last().at(0).toInt(), 2);

    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, third);
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled.at(0).at(0).toInt(), 2);
    ASSERT_EQ(activated.count(), 1);

    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(activated.count(), 2);
    EXPECT_EQ(activated.at(1).at(0).toInt(), 3);
    EXPECT_EQ(doubled.count(), 1);
}

} // namespace
} // namespace kelvo
