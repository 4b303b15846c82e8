// The in-memory index and its build: case-sensitive words, references once each in walk
// order, the progress window's lines, cancel, and nodes that vanish during the walk.
#include "index/IndexBuild.h"
#include "core/Messages.h"
#include "core/RecordTree.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {
using List = std::vector<AnsiString>;
AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

TreeNode* Add(RecordTree& tree, const char* title, const char* keywords,
              TreeNode* parent = nullptr) {
    TreeNode* node = tree.Insert(A(title), parent);
    node->item.keywords = A(keywords);
    return node;
}

List Words(const KeywordIndex& index) {
    List words;
    for (const auto& item : index)
        words.push_back(item->word);
    return words;
}

struct Bank {
    RecordTree records, folders;
    TreeNode* rootRecord = Add(records, "Корневая запись", "");
    TreeNode* rootFolder = Add(folders, "Хранилище паролей", "");
    BankTrees trees() { return {records, folders}; }
};

// Records every call; runs `onCancelCheck` at each cancel check.
struct Watcher : Progress {
    std::vector<std::string> line1, line2;
    std::size_t high = 0;
    int steps = 0, cancelAfterSteps = -1;
    std::function<void()> onCancelCheck;
    void Start(std::size_t h) override { high = h; }
    void Step() override { ++steps; }
    void SetStatus(std::string_view t) override { line1.emplace_back(t); }
    void SetDetail(std::string_view t) override { line2.emplace_back(t); }
    bool CancelRequested() override {
        if (onCancelCheck)
            onCancelCheck();
        return cancelAfterSteps >= 0 && steps >= cancelAfterSteps;
    }
};
} // namespace

TEST(KeywordIndex, WordsAreCaseSensitiveAndReferencedOnce) {
    Bank bank;
    bank.rootRecord->item.keywords = " Alpha ,alpha, ALPHA, alpha";
    KeywordIndex index;
    ASSERT_TRUE(BuildIndex(index, bank.trees()));
    EXPECT_EQ(Words(index), (List{"Alpha", "alpha", "ALPHA"}));
    for (const auto& item : index)
        EXPECT_EQ(item->references(), List{"rec:00000001"});
    EXPECT_EQ(index.FindWord("ALPHA")->uid, 3u);
    EXPECT_EQ(index.FindWord("aLPHA"), nullptr);
}

TEST(KeywordIndex, SharedWordsListObjectsInWalkOrder) {
    Bank bank;
    Add(bank.records, "a", "x", bank.rootRecord);
    Add(bank.records, "b", "x, x", bank.rootRecord);
    bank.rootFolder->item.keywords = "x, k";
    bank.rootRecord->item.keywords = "k";
    KeywordIndex index;
    ASSERT_TRUE(BuildIndex(index, bank.trees()));
    EXPECT_EQ(Words(index), (List{"k", "x"}));
    EXPECT_EQ(index.FindWord("x")->references(),
              (List{"rec:00000002", "rec:00000003", "pwd:00000001"}));
    // Same UID in both trees: the prefix tells them apart.
    EXPECT_EQ(index.FindWord("k")->references(), (List{"rec:00000001", "pwd:00000001"}));
    EXPECT_EQ(index.FindWord("x")->RecordReferenceCount(), 2u);
    EXPECT_EQ(index.FindWord("x")->FolderReferenceCount(), 1u);
}

TEST(KeywordIndex, PreOrderWalkNumbersWordsInOrderOfFirstOccurrence) {
    Bank bank;
    bank.rootRecord->item.keywords = "w1";
    TreeNode* a = Add(bank.records, "A", "w2", bank.rootRecord);
    Add(bank.records, "B", "w4", bank.rootRecord);
    Add(bank.records, "A1", "w3, w1", a);
    // Top-level siblings of the first node are not indexed.
    Add(bank.records, "second top", "never");
    KeywordIndex index;
    ASSERT_TRUE(BuildIndex(index, bank.trees()));
    EXPECT_EQ(Words(index), (List{"w1", "w2", "w3", "w4"}));
    for (std::uint32_t i = 0; i < index.size(); ++i)
        EXPECT_EQ(index[i].uid, i + 1);
    EXPECT_EQ(index.FindWord("w1")->references(), (List{"rec:00000001", "rec:00000004"}));
}

TEST(KeywordIndex, NextFreeUidFillsGapsOfALoadedIndex) {
    KeywordIndex index;
    index.Append(std::make_unique<IdxItem>(1, "a"));
    index.Append(std::make_unique<IdxItem>(3, "b"));
    index.Append(std::make_unique<IdxItem>(3, "b")); // a damaged stored index repeats
    EXPECT_EQ(index.NextFreeUid(), 2u);
    EXPECT_EQ(index.AddWord("c").uid, 2u);
    EXPECT_EQ(index.AddWord("d").uid, 4u);
    EXPECT_EQ(index.FindWord("b"), &index[1]); // the first of a repeated word
    EXPECT_EQ(index.FindUid(3), &index[1]);
    index.Clear();
    EXPECT_TRUE(index.empty());
    EXPECT_EQ(index.NextFreeUid(), 1u);
}

TEST(KeywordIndex, ManyReferencesStayUnique) {
    IdxItem item(1, "w");
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 100; ++i)
            item.AddReference("rec:" + std::to_string(i));
    EXPECT_EQ(item.references().size(), 100u);
    EXPECT_EQ(item.references()[99], "rec:99");
}

TEST(KeywordIndex, ProgressLinesAndRange) {
    Bank bank;
    bank.rootRecord->item.keywords = A("отпуск, ");
    Add(bank.records, "Дача", "", bank.rootRecord);
    Watcher w;
    KeywordIndex index;
    ASSERT_TRUE(BuildIndex(index, bank.trees(), &w));
    EXPECT_EQ(w.high, 4u); // 2 records + 1 folder + 1
    EXPECT_EQ(w.steps, 3);
    EXPECT_EQ(w.line1.front(), "Построение индексов - запись 'Корневая запись'");
    EXPECT_EQ(w.line1.back(), "Построение индексов - запись 'Хранилище паролей'");
    EXPECT_EQ(w.line2, (std::vector<std::string>{"Обработка слова: 'отпуск'"}));
}

TEST(KeywordIndex, CancelFailsTheBuildAndAddsNothingMore) {
    Bank bank;
    bank.rootRecord->item.keywords = "root";
    Add(bank.records, "a", "a", bank.rootRecord);
    Add(bank.records, "b", "b", bank.rootRecord);
    bank.rootFolder->item.keywords = "folder";
    Watcher w;
    w.cancelAfterSteps = 2; // asked while at the first child
    KeywordIndex index;
    auto built = BuildIndex(index, bank.trees(), &w);
    ASSERT_FALSE(built.ok());
    EXPECT_EQ(built.code(), hr::Abort);
    EXPECT_EQ(built.error().messageId, msg::IndexBuildCancelled);
    EXPECT_EQ(Words(index), List{"root"});
    // Cancelled at the root itself: that node fails.
    Watcher atRoot;
    atRoot.cancelAfterSteps = 1;
    EXPECT_FALSE(IndexNode(index, bank.trees(), "rec:00000001", true, &atRoot));
}

TEST(KeywordIndex, NodesRemovedDuringTheWalkAreSkipped) {
    Bank bank;
    TreeNode* a = Add(bank.records, "a", "a", bank.rootRecord);
    Add(bank.records, "a1", "a1", a);
    Add(bank.records, "b", "b", bank.rootRecord);
    Watcher w;
    w.onCancelCheck = [&] {
        if (a) {
            bank.records.Remove(a); // the user deletes a subtree while the window waits
            a = nullptr;
        }
    };
    KeywordIndex index;
    EXPECT_TRUE(BuildIndex(index, bank.trees(), &w));
    EXPECT_EQ(Words(index), List{"b"});
}

TEST(KeywordIndex, MissingNodesAndDamagedTrees) {
    Bank bank;
    KeywordIndex index;
    auto missing = IndexNode(index, bank.trees(), "rec:00000063", true);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, "Объект rec:00000063 не найден в банке данных.");
    EXPECT_FALSE(IndexNode(index, bank.trees(), "xyz:00000001", true));
    EXPECT_TRUE(IndexNode(index, bank.trees(), "PWD:00000001", false));
    // A child carrying its parent's UID must not make the walk go round for ever.
    TreeNode* child = Add(bank.records, "loop", "w", bank.rootRecord);
    bank.records.SetUid(child, 1);
    EXPECT_TRUE(BuildIndex(index, bank.trees()));
    // An otherwise empty bank builds an empty index.
    Bank empty;
    EXPECT_TRUE(BuildIndex(index, empty.trees()));
    EXPECT_TRUE(index.empty());
}

TEST(KeywordRows, FilterByKindOfReference) {
    KeywordIndex index;
    index.AddWord("both").SetReferences({"rec:00000001", "pwd:00000001", "rec:00000002"});
    index.AddWord("folders").SetReferences({"pwd:00000002"});
    auto rec = KeywordRows(index, KeywordFilter::Records);
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].count, 2u);
    EXPECT_TRUE(rec[0].records && rec[0].folders);
    auto all = KeywordRows(index, KeywordFilter::All);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].count, 3u);
    EXPECT_EQ(KeywordRows(index, KeywordFilter::Folders).size(), 2u);
    EXPECT_EQ(KeywordListStatus(2),
              "Найдено 2 слов. Для просмотра результатов выделите нужные слова.");
}
