// Tests of the sortable list: rows kept sorted as they come and as they are edited, header
// sorting with the selection kept, check boxes, and its layout saved with or without sort.
#include "widgets/SortableList.h"

#include "WidgetsTestSupport.h"
#include "widgets/PasswordIcons.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::MemoryLayoutStore;

ListRow Entry(const QString& title, const QString& login, int uid) {
    ListRow row;
    row.cells = {title, QStringLiteral("Почта"), login, QStringLiteral("secret"),
                 QStringLiteral("http://example.org")};
    row.icon = PasswordIcon(uid % kPasswordIconCount);
    row.tip = QStringLiteral("Заметки: %1").arg(uid);
    row.data = uid;
    return row;
}

QStringList Column(const SortableList& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.RowCount(); ++i)
        texts.append(list.Text(i, column));
    return texts;
}

class SortableListTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.SetColumns({{QStringLiteral("Название")},
                         {QStringLiteral("Категория")},
                         {QStringLiteral("Логин")},
                         {QStringLiteral("Пароль")},
                         {QStringLiteral("Ссылка")}});
        list.resize(520, 300);
    }
    void Show() {
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        QApplication::processEvents();
    }
    SortableList list;
};

TEST_F(SortableListTest, TheModelKeepsItsContractThroughEveryChange) {
    QAbstractItemModelTester tester(&list.Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.SetKeepSorted(true);
    list.SetCheckBoxes(true);
    for (int i = 0; i < 6; ++i)
        list.AddRow(Entry(QStringLiteral("Запись %1").arg(5 - i), QStringLiteral("u"), i));
    list.SetText(0, 0, QStringLiteral("Я последняя"));
    list.SetText(list.RowCount() - 1, 0, QStringLiteral("А первая"));
    list.SetChecked(2, true);
    list.SortByColumn(2, Qt::DescendingOrder);
    list.RemoveRow(1);
    list.SetRows({Entry(QStringLiteral("b"), {}, 1), Entry(QStringLiteral("a"), {}, 2)});
    list.RemoveAllRows();
    EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(SortableListTest, RowsKeptSortedGoToTheirPlaceAsTheyComeAndWhenEdited) {
    list.SetKeepSorted(true);
    list.SetSortOnHeaderClick(false);
    const QStringList titles{QStringLiteral("яндекс"),   QStringLiteral("Банк"),
                             QStringLiteral("Entry 10"), QStringLiteral("entry 9"),
                             QStringLiteral("Ёлка"),     QStringLiteral("арбуз"),
                             QStringLiteral("Дача"),     QStringLiteral("банк")};
    for (int i = 0; i < titles.size(); ++i)
        list.AddRow(Entry(titles[i], QStringLiteral("login%1").arg(i), i));
    // Case does not count, numbers count by value, Ё sits with Е, and (in the program's
    // Russian collation) Cyrillic comes before Latin; equal titles keep the order they came in.
    EXPECT_EQ(Column(list, 0),
              (QStringList{QStringLiteral("арбуз"), QStringLiteral("Банк"), QStringLiteral("банк"),
                           QStringLiteral("Дача"), QStringLiteral("Ёлка"), QStringLiteral("яндекс"),
                           QStringLiteral("entry 9"), QStringLiteral("Entry 10")}));
    EXPECT_EQ(list.RowData(1).toInt(), 1);
    EXPECT_EQ(list.RowData(2).toInt(), 7);

    // Editing a title moves its row; its other texts and data go with it.
    EXPECT_EQ(list.SetText(0, 0, QStringLiteral("Южный")), 4);
    EXPECT_EQ(list.Text(4, 0), QStringLiteral("Южный"));
    EXPECT_EQ(list.Text(4, 2), QStringLiteral("login5"));
    EXPECT_EQ(list.Text(3, 0), QStringLiteral("Ёлка"));
    EXPECT_EQ(list.Text(5, 0), QStringLiteral("яндекс"));
    EXPECT_EQ(list.SetText(4, 0, QStringLiteral("0 first")), 0);
    EXPECT_EQ(list.RowData(0).toInt(), 5);
    // Other columns do not move rows.
    EXPECT_EQ(list.SetText(0, 2, QStringLiteral("zzz")), 0);

    // A click on a heading does not sort this list.
    Show();
    QHeaderView* head = list.header();
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {},
                      QPoint(head->sectionViewportPosition(2) + 10, head->height() / 2));
    EXPECT_EQ(list.SortColumn(), 0);
    EXPECT_EQ(list.Text(0, 0), QStringLiteral("0 first"));
    // Roles: the icon and tip of the first column, the row's data.
    const QModelIndex first = list.Model().index(0, 0);
    EXPECT_FALSE(first.data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_TRUE(first.data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("Заметки: ")));
    EXPECT_FALSE(list.Model().index(0, 1).data(Qt::DecorationRole).isValid());
}

TEST_F(SortableListTest, HeadingClicksSortAndTheSelectionStaysWithItsRows) {
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    std::vector<ListRow> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back(Entry(QStringLiteral("t%1").arg(i), QStringLiteral("l%1").arg(19 - i), i));
    list.SetRows(std::move(rows));
    Show();
    list.SelectRow(3);
    list.selectionModel()->select(list.Model().index(7, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QHeaderView* head = list.header();
    const QPoint login(head->sectionViewportPosition(2) + 10, head->height() / 2);
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, login);
    EXPECT_EQ(list.SortColumn(), 2);
    EXPECT_EQ(list.SortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(list.Text(0, 2), QStringLiteral("l0"));
    EXPECT_EQ(list.Text(19, 2), QStringLiteral("l19")); // l19 after l2: by value
    std::vector<int> data;
    for (int row : list.SelectedRows())
        data.push_back(list.RowData(row).toInt());
    EXPECT_EQ(data, (std::vector<int>{7, 3}));
    EXPECT_EQ(list.RowData(list.CurrentRow()).toInt(), 3);
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, login);
    EXPECT_EQ(list.SortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(list.Text(0, 2), QStringLiteral("l19"));
}

TEST_F(SortableListTest, CheckBoxesReportEveryChangeButNotNewRows) {
    list.SetCheckBoxes(true);
    QSignalSpy changes(&list, &SortableList::CheckChanged);
    for (int i = 0; i < 5; ++i)
        list.AddRow(Entry(QStringLiteral("w%1").arg(i), {}, i));
    list.AddRow([] {
        ListRow row = Entry(QStringLiteral("pre"), {}, 9);
        row.checked = true;
        return row;
    }());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(list.CheckedRows(), std::vector<int>{5});
    EXPECT_EQ(list.Model().index(5, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(list.Model().index(5, 1).data(Qt::CheckStateRole).isValid());
    Show();

    // A click on the box of row 1.
    const QModelIndex index = list.Model().index(1, 0);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.rect = list.visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.decorationSize = list.iconSize();
    const QRect box =
        list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box.center());
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 1);
    EXPECT_TRUE(changes.at(0).at(1).toBool());
    EXPECT_TRUE(list.IsChecked(1));

    // Space on the current row unticks it; setting a state a row already has is no change.
    list.setFocus();
    list.setCurrentIndex(index);
    QTest::keyClick(&list, Qt::Key_Space);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_FALSE(changes.at(1).at(1).toBool());
    list.SetChecked(3, false);
    list.SetChecked(3, true);
    list.SetChecked(3, true);
    EXPECT_EQ(changes.count(), 3);
    // Checked rows are listed top to bottom, also after a sort.
    list.SortByColumn(0, Qt::DescendingOrder);
    const std::vector<int> checked = list.CheckedRows();
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_LT(checked[0], checked[1]);
    EXPECT_EQ(list.RowData(checked[0]).toInt(), 3); // "w3" comes before "pre" now
    EXPECT_EQ(list.RowData(checked[1]).toInt(), 9);
}

TEST_F(SortableListTest, LayoutComesBackWithItsSortOnlyWhenAsked) {
    list.header()->moveSection(4, 1);
    list.header()->resizeSection(0, 180);
    list.SortByColumn(1, Qt::DescendingOrder);
    MemoryLayoutStore store;
    list.SaveLayout(store, QStringLiteral("BankIndexDlg.KeyWordsList"), true);
    list.SaveLayout(store, QStringLiteral("MainWindow.PwdList"));
    EXPECT_EQ(store.layouts.at(QStringLiteral("BankIndexDlg.KeyWordsList")).sortColumn, 1);
    EXPECT_EQ(store.layouts.at(QStringLiteral("BankIndexDlg.KeyWordsList")).sortOrder, 1);
    EXPECT_EQ(store.layouts.at(QStringLiteral("MainWindow.PwdList")).sortColumn, 0);
    EXPECT_EQ(store.layouts.at(QStringLiteral("MainWindow.PwdList")).sortOrder, 0);

    SortableList words;
    words.SetColumns({{QStringLiteral("a")},
                      {QStringLiteral("b")},
                      {QStringLiteral("c")},
                      {QStringLiteral("d")},
                      {QStringLiteral("e")}});
    for (int i = 0; i < 3; ++i) {
        ListRow row;
        row.cells = {QString::number(i), QString::number(i * 10)};
        words.AddRow(std::move(row));
    }
    ASSERT_TRUE(words.LoadLayout(store, QStringLiteral("MainWindow.PwdList")));
    EXPECT_EQ(words.header()->visualIndex(4), 1);
    EXPECT_EQ(words.header()->sectionSize(0), 180);
    EXPECT_EQ(words.SortColumn(), 0);
    EXPECT_EQ(words.Text(0, 0), QStringLiteral("0"));
    ASSERT_TRUE(words.LoadLayout(store, QStringLiteral("BankIndexDlg.KeyWordsList"), true));
    EXPECT_EQ(words.SortColumn(), 1);
    EXPECT_EQ(words.SortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(words.Text(0, 1), QStringLiteral("20"));
    // A stored sort column the list does not have leaves the sort alone.
    store.layouts[QStringLiteral("Odd")] = ListLayout{9, 0, {}};
    ASSERT_TRUE(words.LoadLayout(store, QStringLiteral("Odd"), true));
    EXPECT_EQ(words.SortColumn(), 1);
}

} // namespace
} // namespace kelvo
