// The tree model and its Struct/ObPool streams, byte for byte and through damaged input.
#include "core/RecordTree.h"
#include "platform/base/MemoryStream.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

std::string Bytes(std::initializer_list<std::uint32_t> words) {
    std::string out;
    for (std::uint32_t w : words)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>((w >> (8 * i)) & 0xFF));
    return out;
}

// A Struct record: uid, level, expanded and selected flags.
std::string Rec(std::uint32_t uid, std::uint32_t level, bool expanded = false,
                bool selected = false) {
    std::string r = Bytes({uid, level});
    r.push_back(expanded ? '\xFF' : '\0');
    r.push_back(selected ? '\xFF' : '\0');
    r.append(6, '\0');
    return r;
}

std::string Block(const std::string& key, const std::string& title) {
    return "begin obj(TreeItem)\r\n" + key + "\r\n" + title + "\r\n\r\n\r\nend obj(TreeItem)\r\n";
}

struct Recorder : TreeListener {
    std::vector<TreeNode*> reported;
    void OnSelectionChanged(RecordTree&, TreeNode* node) override { reported.push_back(node); }
};

void Load(RecordTree& tree, const std::string& structBytes, const std::string& pool) {
    MemoryStream s(structBytes), p(pool);
    LoadTree(tree, s, p);
}

std::vector<std::pair<std::string, std::size_t>> Shape(const RecordTree& tree) {
    std::vector<std::pair<std::string, std::size_t>> out;
    for (TreeNode* n : tree.PreOrder())
        out.emplace_back(n->title, RecordTree::Depth(n));
    return out;
}

} // namespace

TEST(RecordTree, OneNodeWritesFortyEightBytesOfStruct) {
    RecordTree tree;
    TreeNode* root = tree.Insert("Root");
    tree.Select(root, false);
    MemoryStream s, p;
    ASSERT_TRUE(SaveTree(tree, s, p).ok());
    const std::string expected =
        Rec(1, 0xFFFFFFFF) + Rec(1, 1, false, true) + Rec(1, 0xFFFFFFFF, false, true);
    EXPECT_EQ(s.bytes(), expected);
    EXPECT_EQ(s.bytes().size(), 48u);

    // An empty tree: header and a terminator repeating it.
    RecordTree empty;
    MemoryStream s2, p2;
    ASSERT_TRUE(SaveTree(empty, s2, p2).ok());
    EXPECT_EQ(s2.bytes(), Rec(0, 0xFFFFFFFF) + Rec(0, 0xFFFFFFFF));
    EXPECT_EQ(p2.bytes(), "");
}

TEST(RecordTree, ObPoolBlockLines) {
    RecordTree tree;
    TreeNode* n = tree.Insert("a\\b");
    tree.SetUid(n, 12);
    n->item.created = OleDateTime::FromParts({2003, 5, 17, 14, 3, 9});
    n->item.saved = OleDateTime::FromParts({2003, 5, 18, 0, 0, 0});
    n->item.opened = OleDateTime::Invalid();
    n->item.keywords = "k1,k2";
    n->item.notes = "line1\r\nline2";
    MemoryStream s, p;
    ASSERT_TRUE(SaveTree(tree, s, p).ok());
    EXPECT_EQ(p.bytes(), "begin obj(TreeItem)\r\n"
                         "0000000C#17.05.2003 14:03:09#18.05.2003#\r\n"
                         "a\\\\b\r\n"
                         "k1,k2\r\n"
                         "line1\\nline2\r\n"
                         "end obj(TreeItem)\r\n");
}

TEST(RecordTree, UidsAreTheSmallestFreeNumbers) {
    RecordTree tree;
    TreeNode* a = tree.Insert("1");
    TreeNode* b = tree.Insert("2");
    TreeNode* c = tree.Insert("3");
    EXPECT_EQ(a->item.uid, 1u);
    EXPECT_EQ(c->item.uid, 3u);
    tree.Remove(b);
    EXPECT_EQ(tree.NextFreeUid(), 2u);
    EXPECT_EQ(tree.FindByUid(2), nullptr);
    EXPECT_EQ(tree.FindByUid(3), c);
    EXPECT_EQ(tree.Insert("again")->item.uid, 2u);
    EXPECT_EQ(tree.NextFreeUid(), 4u);
    // Removing a subtree frees every UID in it.
    TreeNode* d = tree.Insert("4", a);
    tree.Insert("5", d);
    tree.Remove(a);
    EXPECT_EQ(tree.NextFreeUid(), 1u);
    EXPECT_EQ(tree.size(), 2u);
}

TEST(RecordTree, PreOrderDepthAndSuccessor) {
    RecordTree tree;
    TreeNode* a = tree.Insert("a");
    TreeNode* a1 = tree.Insert("a1", a);
    TreeNode* a11 = tree.Insert("a11", a1);
    TreeNode* a2 = tree.Insert("a2", a);
    TreeNode* b = tree.Insert("b");
    TreeNode* a0 = tree.InsertFirst("a0", a);
    TreeNode* a15 = tree.InsertAfter("a15", a1);
    EXPECT_EQ(tree.PreOrder(), (std::vector<TreeNode*>{a, a0, a1, a11, a15, a2, b}));
    EXPECT_EQ(RecordTree::Depth(a11), 2u);
    EXPECT_EQ(RecordTree::Depth(b), 0u);
    EXPECT_EQ(tree.NextPreOrder(a11), a15);
    EXPECT_EQ(tree.NextPreOrder(a2), b);
    EXPECT_EQ(tree.NextPreOrder(b), nullptr);
    EXPECT_TRUE(RecordTree::IsInSubtree(a11, a));
    EXPECT_FALSE(RecordTree::IsInSubtree(b, a));
}

TEST(RecordTree, EnsureSelectionSelectsFirstAndAlwaysReports) {
    RecordTree tree;
    Recorder rec;
    tree.SetListener(&rec);
    TreeNode* a = tree.Insert("a");
    TreeNode* b = tree.Insert("b");
    tree.EnsureSelection();
    EXPECT_EQ(tree.selected(), a);
    EXPECT_TRUE(a->expanded);
    tree.Select(b, false);
    tree.EnsureSelection();
    EXPECT_EQ(tree.selected(), b);
    EXPECT_EQ(rec.reported, (std::vector<TreeNode*>{a, b}));
}

TEST(RecordTree, RoundTripKeepsEverything) {
    RecordTree tree;
    TreeNode* root = tree.Insert(Utf8ToAnsiLossy("Корневая запись"));
    TreeNode* deep = root;
    for (int i = 0; i < 40; ++i)
        deep = tree.Insert("level " + std::to_string(i), deep);
    TreeNode* side = tree.Insert("C:\\new\\path", root);
    side->item.notes = Utf8ToAnsiLossy("первая\r\nвторая\r\n\\n буквально");
    side->item.keywords = Utf8ToAnsiLossy("ключ, слово");
    side->expanded = true;
    root->expanded = true;
    tree.Insert("second top");
    tree.Select(deep, false);

    MemoryStream s, p;
    ASSERT_TRUE(SaveTree(tree, s, p).ok());
    RecordTree loaded;
    Recorder rec;
    loaded.SetListener(&rec);
    MemoryStream s2(s.bytes()), p2(p.bytes());
    LoadTree(loaded, s2, p2);

    ASSERT_EQ(loaded.size(), tree.size());
    EXPECT_EQ(Shape(loaded), Shape(tree));
    auto a = tree.PreOrder(), b = loaded.PreOrder();
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(b[i]->item.uid, a[i]->item.uid);
        EXPECT_EQ(b[i]->item.keywords, a[i]->item.keywords);
        EXPECT_EQ(b[i]->item.notes, a[i]->item.notes);
        EXPECT_EQ(b[i]->expanded, a[i]->expanded);
        EXPECT_EQ(b[i]->item.created, a[i]->item.created);
        EXPECT_EQ(b[i]->item.node, b[i]);
    }
    EXPECT_EQ(loaded.selected()->title, deep->title);
    EXPECT_EQ(rec.reported, std::vector<TreeNode*>{loaded.selected()});
    EXPECT_EQ(loaded.FindByUid(side->item.uid)->title, "C:\\new\\path");

    // Saving the loaded tree again gives the same bytes.
    MemoryStream s3, p3;
    ASSERT_TRUE(SaveTree(loaded, s3, p3).ok());
    EXPECT_EQ(s3.bytes(), s.bytes());
    EXPECT_EQ(p3.bytes(), p.bytes());
}

TEST(RecordTree, LooseLevels) {
    RecordTree tree;
    // Levels 1, 3: the second node is a child of the first. Then 1 again, then 3, 1.
    Load(tree,
         Rec(5, 0xFFFFFFFF) + Rec(1, 1) + Rec(2, 3) + Rec(3, 2) + Rec(4, 3) + Rec(6, 1) +
             Rec(7, 0xFFFFFFFF),
         Block("00000001", "a") + Block("00000002", "b") + Block("00000003", "c") +
             Block("00000004", "d") + Block("00000005", "e"));
    // b (level 3) hangs under a; c (level 2) is b's sibling; d under c; e back to the top.
    EXPECT_EQ(Shape(tree), (std::vector<std::pair<std::string, std::size_t>>{
                               {"a", 0}, {"b", 1}, {"c", 1}, {"d", 2}, {"e", 0}}));

    RecordTree t2;
    Load(t2, Rec(2, 0xFFFFFFFF) + Rec(1, 3) + Rec(2, 1) + Rec(0, 0xFFFFFFFF),
         Block("00000001", "x") + Block("00000002", "y"));
    EXPECT_EQ(Shape(t2), (std::vector<std::pair<std::string, std::size_t>>{{"x", 0}, {"y", 0}}));

    // Level 0 and absurd levels do not break anything.
    RecordTree t3;
    Load(t3, Rec(3, 0xFFFFFFFF) + Rec(1, 1) + Rec(2, 0) + Rec(3, 0x7FFFFFFF) + Rec(4, 0x80000000),
         "");
    EXPECT_EQ(t3.size(), 4u);
}

TEST(RecordTree, DamagedStreams) {
    // Empty Struct: empty tree, nothing reported.
    RecordTree t;
    Recorder rec;
    t.SetListener(&rec);
    Load(t, "", "");
    EXPECT_TRUE(t.empty());

    // Truncated: no terminator, half a record at the end.
    Load(t, Rec(9, 0xFFFFFFFF) + Rec(1, 1) + Rec(2, 2) + Rec(3, 2).substr(0, 7),
         Block("00000001", "a"));
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t.first()->title, "a");
    // The second block is missing: UID 0, empty texts, invalid times.
    TreeNode* second = t.first()->children.at(0);
    EXPECT_EQ(second->item.uid, 0u);
    EXPECT_EQ(second->title, "");
    EXPECT_FALSE(second->item.created.valid);
    EXPECT_EQ(t.selected(), t.first());

    // A key line with three pieces: UID kept, every time invalid.
    Load(t, Rec(1, 0xFFFFFFFF) + Rec(9, 1) + Rec(9, 0xFFFFFFFF), Block("00000005##", "z"));
    EXPECT_EQ(t.first()->item.uid, 5u);
    EXPECT_FALSE(t.first()->item.created.valid);
    EXPECT_EQ(t.FindByUid(5), t.first());
    EXPECT_EQ(t.FindByUid(9), nullptr);

    // Duplicate UIDs in a damaged bank: found in order, and freed one by one.
    Load(t, Rec(2, 0xFFFFFFFF) + Rec(1, 1) + Rec(1, 1) + Rec(1, 0xFFFFFFFF),
         Block("00000001", "p") + Block("00000001", "q"));
    EXPECT_EQ(t.FindByUid(1)->title, "p");
    t.Remove(t.FindByUid(1));
    EXPECT_EQ(t.FindByUid(1)->title, "q");
    EXPECT_EQ(t.NextFreeUid(), 2u);
}

TEST(RecordTree, SaveReportsAFailingStream) {
    struct Failing : ByteStream {
        Result<std::size_t> Read(void*, std::size_t) override { return std::size_t{0}; }
        Result<std::size_t> Write(const void*, std::size_t) override {
            return MakeError(hr::MediumFull);
        }
        Result<std::uint64_t> Seek(std::int64_t, SeekOrigin) override { return std::uint64_t{0}; }
        Result<std::uint64_t> Size() const override { return std::uint64_t{0}; }
        Result<void> SetSize(std::uint64_t) override { return {}; }
    };
    RecordTree tree;
    tree.Insert("a");
    MemoryStream s;
    Failing p;
    EXPECT_FALSE(SaveTree(tree, s, p).ok());
}
