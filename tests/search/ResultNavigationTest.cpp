// Where result rows lead, and the start nodes the object chooser lists.
#include "search/ResultNavigation.h"
#include "search/StartChoices.h"

#include "index/ItemKey.h"
#include "platform/text/ItemStream.h"

#include "SearchTestBank.h"

#include <gtest/gtest.h>

using namespace kelvo;
using namespace kelvo::test;

namespace {

struct RecordingNavigator : ResultNavigator {
    std::vector<GoToTarget> shown;
    void ShowNode(const GoToTarget& target) override { shown.push_back(target); }
};

} // namespace

TEST(GoToResult, RowsLeadToTheirNodeUntilTheObjectIsGone) {
    TestBank b;
    TreeNode* record = b.Record("Запись");
    TreeNode* folder = b.Folder("Почта");
    PwdItem& entry = b.Entry(folder, "Ящик");
    const std::uint32_t entryUid = entry.uid;
    const BankTrees trees{b.records, b.folders};
    // Records and folders may share a UID: the key's type decides the tree.
    ASSERT_EQ(record->item.uid, folder->item.uid);

    EXPECT_EQ(GoToTargetOf(MakeItemKey("rec", record->item.uid), trees, b.entries),
              (GoToTarget{TreeKind::Records, record->item.uid}));
    EXPECT_EQ(GoToTargetOf(MakeItemKey("pwd", folder->item.uid), trees, b.entries),
              (GoToTarget{TreeKind::Folders, folder->item.uid}));
    // An entry leads to its folder, on the passwords tab.
    const auto toEntry = GoToTargetOf(MakeItemKey("pit", entryUid), trees, b.entries);
    ASSERT_TRUE(toEntry);
    EXPECT_EQ(*toEntry, (GoToTarget{TreeKind::Folders, folder->item.uid}));
    EXPECT_EQ(toEntry->tab(), 1);
    EXPECT_EQ(GoToTarget{}.tab(), 0);
    // Upper-case types are read as the readers of keys read them.
    EXPECT_TRUE(GoToTargetOf("REC:" + HexText(record->item.uid), trees, b.entries));

    for (const char* other : {"bnk", "", "xyz:00000001", "rec:000000FF"})
        EXPECT_FALSE(GoToTargetOf(other, trees, b.entries)) << other;

    RecordingNavigator navigator;
    EXPECT_TRUE(GoToResult(MakeItemKey("pit", entryUid), trees, b.entries, navigator));
    // The entry's folder deleted while the window was open: nothing happens.
    b.folders.Remove(folder);
    EXPECT_FALSE(GoToResult(MakeItemKey("pit", entryUid), trees, b.entries, navigator));
    EXPECT_FALSE(GoToResult(MakeItemKey("pwd", 2), trees, b.entries, navigator));
    b.entries.Remove(entryUid);
    EXPECT_FALSE(GoToResult(MakeItemKey("pit", entryUid), trees, b.entries, navigator));
    const std::uint32_t recordUid = record->item.uid;
    b.records.Remove(record);
    EXPECT_FALSE(GoToResult(MakeItemKey("rec", recordUid), trees, b.entries, navigator));
    ASSERT_EQ(navigator.shown.size(), 1u);
    EXPECT_EQ(navigator.shown[0].tree, TreeKind::Folders);
}

TEST(StartChoices, TheBankThenBothTreesInPreOrderWithTheirParents) {
    TestBank b;
    TreeNode* work = b.Record("Работа");
    TreeNode* plans = b.Record("Планы", "", "", "", work);
    TreeNode* home = b.Record("Дом");
    TreeNode* mail = b.Folder("Почта");
    TreeNode* inner = b.Folder("Личная", "", mail);

    const auto choices = StartChoices({b.records, b.folders}, "/home/u/банк.Kvb");
    std::vector<std::string> keys, texts;
    std::vector<int> parents;
    for (const StartChoice& c : choices) {
        keys.push_back(c.key);
        texts.push_back(c.text);
        parents.push_back(c.parent);
    }
    auto rec = [](const TreeNode* n) { return MakeItemKey("rec", n->item.uid); };
    auto pwd = [](const TreeNode* n) { return MakeItemKey("pwd", n->item.uid); };
    EXPECT_EQ(keys,
              (std::vector<std::string>{"bnk", rec(b.rootRecord), rec(work), rec(plans), rec(home),
                                        pwd(b.rootFolder), pwd(mail), pwd(inner)}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Банк данных: /home/u/банк.Kvb", "Корневая запись",
                                               "Работа", "Планы", "Дом", "Хранилище паролей",
                                               "Почта", "Личная"}));
    // Both trees hang under the bank; every node under its own parent's choice.
    EXPECT_EQ(parents, (std::vector<int>{-1, 0, 1, 2, 1, 0, 5, 6}));
    EXPECT_EQ(choices[6].tree, TreeKind::Folders);
    EXPECT_EQ(choices[6].node, mail);
    EXPECT_FALSE(choices[0].tree);

    EXPECT_EQ(FindStartChoice(choices, pwd(mail)), 6);
    EXPECT_EQ(FindStartChoice(choices, "bnk"), 0);
    EXPECT_EQ(FindStartChoice(choices, "rec:0000FFFF"), -1);

    EXPECT_EQ(StartChoiceDisplay(rec(plans), "Планы"), "Записи: Планы");
    EXPECT_EQ(StartChoiceDisplay(pwd(mail), "Почта"), "Папки паролей: Почта");
    EXPECT_EQ(StartChoiceDisplay("bnk", choices[0].text), "Банк данных: /home/u/банк.Kvb");
    // A '%' in a title or path is text, never a placeholder.
    EXPECT_EQ(StartChoiceDisplay(rec(plans), "100%s"), "Записи: 100%s");
    EXPECT_EQ(BankChoiceText(""), "Банк данных: ");
}
