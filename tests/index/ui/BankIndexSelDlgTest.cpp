// The keyword picker window: the words of the stored index and the object's own keywords,
// the ticks, the summary, the composed text in the list's order, the notice without an index,
// and what it remembers.
#include "index/ui/BankIndexSelDlg.h"

#include "core/QuorvellineDoc.h"
#include "index/IndexStorage.h"
#include "widgets/SortableList.h"

#include "tests/shell/TestSupport.h"
#include "tests/widgets/WidgetsTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

class BankIndexSelDlgTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc.OnNewDocument().ok()); }

    void StoreIndex(std::vector<std::pair<const char*, int>> words) {
        KeywordIndex index;
        for (const auto& [word, references] : words) {
            IdxItem& item = index.AddWord(A(word));
            for (int i = 1; i <= references; ++i)
                item.AddReference(MakeKey(i));
        }
        auto root = doc.WorkingStorage();
        ASSERT_TRUE(root);
        ASSERT_TRUE(SaveIndex(index, *root).ok());
    }
    static AnsiString MakeKey(int i) { return "rec:0000000" + std::to_string(i); }

    std::unique_ptr<BankIndexSelDlg> Picker(const char* keywords) {
        auto picker = std::make_unique<BankIndexSelDlg>(doc, dialogs, store);
        picker->SetKeywordsText(A(keywords));
        picker->Open();
        return picker;
    }
    static QStringList Column(const SortableList& list, int column) {
        QStringList texts;
        for (int row = 0; row < list.RowCount(); ++row)
            texts << list.Text(row, column);
        return texts;
    }

    CQuorvellineDoc doc;
    test::ScriptedDialogs dialogs;
    test::MemoryDialogStateStore store;
};

TEST_F(BankIndexSelDlgTest, WithoutAnIndexTheNoticeComesOnceAndTheOwnKeywordsAreListed) {
    auto picker = Picker("b, a");
    EXPECT_EQ(picker->windowTitle(), QStringLiteral("Выбор ключевых слов"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.captions, QStringList{QStringLiteral("Индексы не построены")});
    EXPECT_TRUE(dialogs.messages[0].startsWith(
        QStringLiteral("Индексы для банка не построены! В списке будут отображены только "
                       "введенные слова.\n")));
    picker->show();
    EXPECT_EQ(dialogs.messages.size(), 1);
    SortableList& list = picker->List();
    EXPECT_EQ(Column(list, 0), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(Column(list, 1), (QStringList{QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_TRUE(list.IsChecked(0) && list.IsChecked(1));
    EXPECT_EQ(picker->SummaryText(), QStringLiteral("Выбрано 2 слов из 2:\na, b"));
    EXPECT_EQ(picker->findChild<QPushButton*>(QStringLiteral("OK"))->text(),
              QStringLiteral("Выбрать"));
    picker->SetOkCaption(true);
    EXPECT_EQ(picker->findChild<QPushButton*>(QStringLiteral("OK"))->text(), QStringLiteral("OK"));
}

TEST_F(BankIndexSelDlgTest, TheComposedTextFollowsTheTicksAndTheListsOrder) {
    StoreIndex({{"a", 2}, {"c", 1}});
    auto picker = Picker("b, a");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    SortableList& list = picker->List();
    ASSERT_EQ(Column(list, 0),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(Column(list, 1),
              (QStringList{QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("1")}));
    EXPECT_TRUE(list.IsChecked(0));
    EXPECT_TRUE(list.IsChecked(1));
    EXPECT_FALSE(list.IsChecked(2));
    EXPECT_EQ(picker->SummaryText(), QStringLiteral("Выбрано 2 слов из 3:\na, b"));

    // Sorted by word the other way round, the text follows.
    list.SortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(picker->SummaryText(), QStringLiteral("Выбрано 2 слов из 3:\nb, a"));
    list.SortByColumn(1, Qt::DescendingOrder); // by count: a (2), c (1), b (0)
    list.SetChecked(1, true);
    EXPECT_EQ(picker->SummaryText(), QStringLiteral("Выбрано 3 слов из 3:\na, c, b"));
    picker->done(QDialog::Accepted);
    EXPECT_EQ(picker->KeywordsText(), "a, c, b");
    // The layout is kept with its sort, and so is the window.
    ASSERT_EQ(store.layouts.count(QStringLiteral("BankIndexSelDlg.KeyWordsList")), 1u);
    EXPECT_EQ(store.layouts[QStringLiteral("BankIndexSelDlg.KeyWordsList")].sortColumn, 1);
    EXPECT_EQ(store.layouts[QStringLiteral("BankIndexSelDlg.KeyWordsList")].sortOrder, 1);
    EXPECT_EQ(store.windows.count(QStringLiteral("BankIndexSelDlg")), 1u);

    auto again = Picker("a");
    EXPECT_EQ(Column(again->List(), 0),
              (QStringList{QStringLiteral("a"), QStringLiteral("c")})); // by count, descending
    // Unticking every row gives an empty text.
    again->List().SetChecked(0, false);
    again->done(QDialog::Accepted);
    EXPECT_EQ(again->KeywordsText(), "");
}

TEST_F(BankIndexSelDlgTest, OnlyTickedWordsAndCommaWords) {
    StoreIndex({{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}, {"x, y", 3}});
    auto picker = Picker("b, d");
    SortableList& list = picker->List();
    EXPECT_EQ(picker->SummaryText(), QStringLiteral("Выбрано 2 слов из 5:\nb, d"));
    auto* onlyTicked = picker->OnlyTicked();
    EXPECT_EQ(onlyTicked->text(), QStringLiteral("Показывать только отмеченные слова"));
    EXPECT_FALSE(onlyTicked->isChecked());
    onlyTicked->setChecked(true);
    ASSERT_EQ(Column(list, 0), (QStringList{QStringLiteral("b"), QStringLiteral("d")}));
    // Unticked while only ticked words are shown: it stays in view until the list is filled
    // again, and counts no more.
    list.SetChecked(0, false);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(picker->SummaryText(), QStringLiteral("Выбрано 1 слов из 5:\nd"));
    onlyTicked->setChecked(false);
    onlyTicked->setChecked(true);
    EXPECT_EQ(Column(list, 0), (QStringList{QStringLiteral("d")}));

    // A word holding a comma comes back quoted, so that it stays one keyword.
    onlyTicked->setChecked(false);
    list.SetChecked(list.FindData(QVariant::fromValue<qulonglong>(4)), true);
    picker->done(QDialog::Rejected);
    EXPECT_EQ(picker->KeywordsText(), "d, \"x, y\"");
}

} // namespace
} // namespace kelvo
