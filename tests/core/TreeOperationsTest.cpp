// Tree operations against real bank files: bodies, delete with bodies and entries, the
// treeLive rule, moves, renames, selection, expand state and item tips.
#include "core/TreeOperations.h"
#include "BankFixture.h"
#include "core/ItemTip.h"
#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"

using namespace kelvo;
using kelvo::test::ReadBankStream;
using kelvo::test::TempFolder;

namespace {

AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

std::optional<std::string> Body(const std::filesystem::path& bank, std::uint32_t uid) {
    return ReadBankStream(bank, u"RecData/" + BodyStreamName(uid));
}

// Records what the views hear.
struct Views : SelectionObserver {
    std::vector<std::string> calls;
    void OnSelectionChanging(TreeKind, TreeNode* leaving, TreeNode* entering) override {
        calls.push_back("changing " + (leaving ? leaving->title : "-") + ">" + entering->title);
    }
    void OnSelectionChanged(TreeKind, TreeNode* node) override {
        calls.push_back("changed " + node->title);
    }
};

class TreeOps : public ::testing::Test {
protected:
    // root { a { a1, a2 }, b }, every record with a body; saved to bank.Kvb.
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument());
        root = doc.records().first();
        a = doc.AddNode(TreeKind::Records, root, "a");
        a1 = doc.AddNode(TreeKind::Records, a, "a1");
        a2 = doc.AddNode(TreeKind::Records, a, "a2");
        b = doc.AddNode(TreeKind::Records, root, "b");
        ASSERT_TRUE(doc.SaveAs(bank));
        for (TreeNode* n : {root, a, a1, a2, b})
            ASSERT_TRUE(doc.SaveBody(n, "{\\rtf1 " + n->title + "}"));
        ASSERT_TRUE(doc.Save());
    }

    TempFolder folder;
    std::filesystem::path bank = folder / "банк.Kvb";
    CQuorvellineDoc doc;
    TreeNode *root = nullptr, *a = nullptr, *a1 = nullptr, *a2 = nullptr, *b = nullptr;
};

TEST_F(TreeOps, DeletingARecordDestroysItsSubtreeBodiesAtOnceAndClosingKeepsThemGone) {
    const std::uint32_t ua = a->item.uid, ua1 = a1->item.uid, ua2 = a2->item.uid;
    doc.records().Select(a2, false);
    Views views;
    ASSERT_TRUE(DeleteTreeNode(doc, TreeKind::Records, a, true, &views));
    // In the file already, before any save.
    EXPECT_FALSE(Body(bank, ua));
    EXPECT_FALSE(Body(bank, ua1));
    EXPECT_FALSE(Body(bank, ua2));
    EXPECT_TRUE(Body(bank, b->item.uid));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.records().size(), 2u);
    // The selection was inside: the next sibling takes it, reported only as changed.
    EXPECT_EQ(doc.records().selected(), b);
    EXPECT_EQ(views.calls, std::vector<std::string>{"changed b"});

    // Closed without saving: the saved tree still lists the records, their bodies are gone,
    // and the bank opens and shows them with empty bodies.
    CQuorvellineDoc reopened; // a second look at the file `doc` keeps open
    ASSERT_TRUE(reopened.OnOpenDocument(bank, BankAccess::Read));
    ASSERT_EQ(reopened.records().size(), 5u);
    TreeNode* again = reopened.records().FindByUid(ua1);
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(reopened.ReadBody(ua1));
    auto shown = reopened.LoadBody(ua1);
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, "");
}

TEST_F(TreeOps, DeletionWithoutTreeLiveKeepsBodiesAndTheRootIsNeverDeleted) {
    const std::uint32_t ua = a->item.uid, ua1 = a1->item.uid;
    ASSERT_TRUE(DeleteTreeNode(doc, TreeKind::Records, a, false));
    EXPECT_TRUE(Body(bank, ua));
    EXPECT_TRUE(Body(bank, ua1));

    doc.SetModifiedFlag(false);
    doc.records().Select(root, false);
    EXPECT_FALSE(CanDeleteTreeNode(doc, TreeKind::Records));
    EXPECT_FALSE(DeleteTreeNode(doc, TreeKind::Records, root));
    EXPECT_FALSE(DeleteTreeNode(doc, TreeKind::Records, nullptr));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(Body(bank, root->item.uid));
    doc.records().Select(b, false);
    EXPECT_TRUE(CanDeleteTreeNode(doc, TreeKind::Records));

    // Opening another bank clears the trees: no body of the old one is touched.
    const std::uint32_t ub = b->item.uid;
    CQuorvellineDoc other;
    ASSERT_TRUE(other.OnNewDocument());
    ASSERT_TRUE(other.SaveAs(folder / "other.Kvb"));
    ASSERT_TRUE(other.OnNewDocument()); // closed there, so that `doc` may open it
    ASSERT_TRUE(doc.OnOpenDocument(folder / "other.Kvb"));
    EXPECT_TRUE(Body(bank, ub));
}

TEST_F(TreeOps, DeletingAFolderMovesTheEntriesOfItsWholeSubtreeToItsParent) {
    TreeNode* top = doc.folders().first();
    TreeNode* mail = doc.AddNode(TreeKind::Folders, top, A("Почта"));
    TreeNode* work = doc.AddNode(TreeKind::Folders, mail, A("Работа"));
    TreeNode* keep = doc.AddNode(TreeKind::Folders, top, A("Другое"));
    for (TreeNode* f : {mail, work, work, keep}) {
        auto e = std::make_unique<PwdItem>();
        e->title = f->title;
        doc.AddPassword(std::move(e), f);
    }
    ASSERT_TRUE(DeleteTreeNode(doc, TreeKind::Folders, mail));
    EXPECT_EQ(doc.passwords().size(), 4u);
    EXPECT_EQ(doc.passwords().InFolder(top->item.uid).size(), 3u);
    EXPECT_EQ(doc.passwords().InFolder(keep->item.uid).size(), 1u);
    // Folder deletion never touches record bodies.
    EXPECT_TRUE(Body(bank, root->item.uid));
}

TEST_F(TreeOps, MoveIntoItsOwnSubtreeIsRefusedAndChangesNothing) {
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(MoveTreeNode(doc, TreeKind::Records, a, a1));
    EXPECT_FALSE(MoveTreeNode(doc, TreeKind::Records, a, a));
    EXPECT_FALSE(DropTreeNode(doc, TreeKind::Records, a, a2, false));
    EXPECT_FALSE(DropTreeNode(doc, TreeKind::Records, a, a, true));
    EXPECT_FALSE(DropTreeNode(doc, TreeKind::Records, a, nullptr, false));
    // A top-level node cannot be dragged, and a Shift-drop on one has no parent to go to.
    EXPECT_FALSE(MoveTreeNode(doc, TreeKind::Records, root, b));
    EXPECT_FALSE(DropTreeNode(doc, TreeKind::Records, b, root, true));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(root->children, (std::vector<TreeNode*>{a, b}));
    EXPECT_EQ(a->children, (std::vector<TreeNode*>{a1, a2}));
}

TEST_F(TreeOps, AMovedRecordKeepsUidBodyExpandedStateAndChildren) {
    a->expanded = true;
    doc.records().Select(a1, false);
    const std::uint32_t ua = a->item.uid;
    doc.SetModifiedFlag(false);

    // Without Shift: last child of the target.
    ASSERT_TRUE(DropTreeNode(doc, TreeKind::Records, a, b, false));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(root->children, std::vector<TreeNode*>{b});
    EXPECT_EQ(b->children, std::vector<TreeNode*>{a});
    EXPECT_EQ(a->children, (std::vector<TreeNode*>{a1, a2}));
    EXPECT_EQ(doc.records().selected(), a1);

    // With Shift: the sibling right after the target.
    ASSERT_TRUE(DropTreeNode(doc, TreeKind::Records, a2, b, true));
    EXPECT_EQ(root->children, (std::vector<TreeNode*>{b, a2}));
    ASSERT_TRUE(MoveTreeNode(doc, TreeKind::Records, a1, b, nullptr));
    ASSERT_TRUE(MoveTreeNode(doc, TreeKind::Records, a2, b, a));
    EXPECT_EQ(b->children, (std::vector<TreeNode*>{a, a2, a1}));

    ASSERT_TRUE(doc.Save());
    CQuorvellineDoc reopened; // a second look at the file `doc` keeps open
    ASSERT_TRUE(reopened.OnOpenDocument(bank, BankAccess::Read));
    TreeNode* moved = reopened.records().FindByUid(ua);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->title, "a");
    EXPECT_TRUE(moved->expanded);
    EXPECT_EQ(moved->parent->title, "b");
    EXPECT_EQ(moved->parent->children.size(), 3u);
    EXPECT_EQ(*reopened.ReadBody(ua), "{\\rtf1 a}");
}

TEST_F(TreeOps, RenameSelectExpandAndAdd) {
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(RenameTreeNode(doc, a, "a"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(RenameTreeNode(doc, a, ""));
    EXPECT_EQ(a->title, "");
    EXPECT_TRUE(doc.IsModified());

    // Selection stamps the opened time and does not mark the bank modified.
    doc.SetModifiedFlag(false);
    doc.records().Select(b, false);
    b->item.opened = a1->item.opened = OleDateTime::Invalid();
    Views views;
    ASSERT_TRUE(SelectTreeNode(doc, TreeKind::Records, a1, &views));
    EXPECT_EQ(views.calls, (std::vector<std::string>{"changing b>a1", "changed a1"}));
    EXPECT_TRUE(a1->item.opened.valid);
    EXPECT_FALSE(b->item.opened.valid);
    EXPECT_FALSE(doc.IsModified());
    views.calls.clear();
    ASSERT_TRUE(SelectTreeNode(doc, TreeKind::Records, a1, &views));
    EXPECT_TRUE(views.calls.empty());

    // Expand and collapse only nodes with children; not a change of the bank.
    EXPECT_FALSE(CanExpandTreeNode(a1));
    EXPECT_FALSE(SetTreeNodeExpanded(a1, true));
    a->expanded = false;
    EXPECT_TRUE(CanExpandTreeNode(a));
    EXPECT_TRUE(SetTreeNodeExpanded(a, true));
    EXPECT_TRUE(CanCollapseTreeNode(a));
    EXPECT_FALSE(doc.IsModified());

    // A new record: last child of the selected one, selected, without a body until shown.
    TreeNode* added = AddTreeNode(doc, TreeKind::Records, &views);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(AnsiToUtf8(added->title), "Новая запись");
    EXPECT_EQ(added->parent, a1);
    EXPECT_EQ(doc.records().selected(), added);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(Body(bank, added->item.uid));
    doc.folders().Select(doc.folders().first(), false);
    TreeNode* folder = AddTreeNode(doc, TreeKind::Folders);
    EXPECT_EQ(AnsiToUtf8(folder->title), "Новая папка");
}

TEST_F(TreeOps, BodiesAreCreatedOnShowTruncatedOnSaveAndSavedOnlyWhenModified) {
    TreeNode* fresh = doc.AddNode(TreeKind::Records, root, "fresh");
    EXPECT_FALSE(doc.BodySize(fresh->item.uid));
    auto shown = doc.LoadBody(fresh->item.uid);
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, "");
    EXPECT_EQ(doc.BodySize(fresh->item.uid), 0u);

    auto unchanged = doc.SaveBodyIfModified(fresh, false, "ignored");
    ASSERT_TRUE(unchanged);
    EXPECT_FALSE(*unchanged);
    EXPECT_EQ(doc.BodySize(fresh->item.uid), 0u);

    ASSERT_TRUE(*doc.SaveBodyIfModified(fresh, true, std::string(5000, 'x')));
    ASSERT_TRUE(*doc.SaveBodyIfModified(fresh, true, "short"));
    EXPECT_EQ(*Body(bank, fresh->item.uid), "short");
    EXPECT_TRUE(fresh->item.saved.valid);

    ASSERT_TRUE(doc.RemoveBody(fresh->item.uid));
    ASSERT_TRUE(doc.RemoveBody(fresh->item.uid)); // missing: no error
    EXPECT_FALSE(doc.BodySize(fresh->item.uid));

    // A bank never saved gets no working file from asking or removing.
    CQuorvellineDoc unsaved;
    ASSERT_TRUE(unsaved.OnNewDocument());
    EXPECT_FALSE(unsaved.BodySize(1));
    EXPECT_TRUE(unsaved.RemoveBody(1));
    EXPECT_TRUE(unsaved.tempPath().empty());
}

TEST_F(TreeOps, ItemTips) {
    a->item.keywords = A("ключ");
    a->item.notes = A("заметка");
    ASSERT_TRUE(doc.SaveBody(a, std::string(1536, 'x')));
    EXPECT_EQ(AnsiToUtf8(GetTreeItemTip(doc, TreeKind::Records, *a)),
              "Название: a\nКлючевые слова: ключ\nЗаметки: заметка\nРазмер: 1,5 Кб");
    ASSERT_TRUE(doc.SaveBody(b, ""));
    EXPECT_EQ(AnsiToUtf8(GetTreeItemTip(doc, TreeKind::Records, *b)), "Название: b");
    TreeNode* none = doc.AddNode(TreeKind::Records, root, "none");
    EXPECT_EQ(AnsiToUtf8(GetTreeItemTip(doc, TreeKind::Records, *none)), "Название: none");
    EXPECT_FALSE(doc.BodySize(none->item.uid)); // the tip created nothing

    TreeNode* top = doc.folders().first();
    TreeNode* six = doc.AddNode(TreeKind::Folders, top, "six");
    TreeNode* seven = doc.AddNode(TreeKind::Folders, top, "seven");
    for (int i = 1; i <= 7; ++i) {
        for (TreeNode* f : {six, seven}) {
            if (f == six && i == 7)
                continue;
            auto e = std::make_unique<PwdItem>();
            e->title = "p" + std::to_string(i);
            doc.AddPassword(std::move(e), f);
        }
    }
    EXPECT_EQ(AnsiToUtf8(GetTreeItemTip(doc, TreeKind::Folders, *six)),
              "Название: six\nПароли (всего 6): p1, p2, p3, p4, p5, p6, ...");
    EXPECT_EQ(AnsiToUtf8(GetTreeItemTip(doc, TreeKind::Folders, *seven)),
              "Название: seven\nПароли (всего 7): p1, p2, p3, p4, p5, p6, ...");
    EXPECT_EQ(AnsiToUtf8(GetTreeItemTip(doc, TreeKind::Folders, *top)),
              AnsiToUtf8(AnsiStringText(msg::RootFolderTitle)).insert(0, "Название: "));

    EXPECT_EQ(FitTipText("abcdef", 7), "abcdef");
    EXPECT_EQ(FitTipText("abcdefghij", 10), "abcd...");
}

} // namespace
