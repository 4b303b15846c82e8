// The one subtree walk: pre-order, nodes removed or added while it runs, a damaged tree
// that repeats UIDs, trees too deep for recursion, and an end asked for by the visit.
#include "core/BankTrees.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvo;

namespace {
using Titles = std::vector<std::string>;

struct Tree {
    RecordTree tree;
    TreeNode* Add(const char* title, TreeNode* parent = nullptr) {
        return tree.Insert(title, parent);
    }
    Titles Walk(std::uint32_t uid, bool descendants) {
        Titles seen;
        WalkSubtree(tree, uid, descendants, [&](TreeNode& n) {
            seen.push_back(n.title);
            return true;
        });
        return seen;
    }
};
} // namespace

TEST(BankWalk, PreOrderInDisplayOrder) {
    Tree t;
    TreeNode* root = t.Add("root");
    TreeNode* a = t.Add("a", root);
    t.Add("a1", a);
    t.Add("a2", a);
    t.Add("b", root);
    t.Add("second top");
    EXPECT_EQ(t.Walk(root->item.uid, true), (Titles{"root", "a", "a1", "a2", "b"}));
    EXPECT_EQ(t.Walk(a->item.uid, false), Titles{"a"});
    EXPECT_FALSE(WalkSubtree(t.tree, 99, true, [](TreeNode&) { return true; }));
    Titles all;
    EXPECT_TRUE(WalkTree(t.tree, [&](TreeNode& n) {
        all.push_back(n.title);
        return true;
    }));
    EXPECT_EQ(all, (Titles{"root", "a", "a1", "a2", "b", "second top"}));
}

TEST(BankWalk, TheTreeMayChangeDuringAVisit) {
    Tree t;
    TreeNode* root = t.Add("root");
    TreeNode* a = t.Add("a", root);
    t.Add("a1", a);
    TreeNode* b = t.Add("b", root);
    Titles seen;
    // While "root" is visited the user deletes "a" and adds a child under "b".
    EXPECT_TRUE(WalkSubtree(t.tree, root->item.uid, true, [&](TreeNode& n) {
        seen.push_back(n.title);
        if (n.title == "root") {
            t.tree.Remove(a);
            t.Add("b1", b);
        }
        return true;
    }));
    EXPECT_EQ(seen, (Titles{"root", "b", "b1"}));
    // A node deleted during its own visit: its children are not walked, the rest is.
    Tree u;
    TreeNode* r = u.Add("r");
    TreeNode* x = u.Add("x", r);
    u.Add("x1", x);
    u.Add("y", r);
    seen.clear();
    WalkSubtree(u.tree, r->item.uid, true, [&](TreeNode& n) {
        seen.push_back(n.title);
        if (n.title == "x")
            u.tree.Remove(&n);
        return true;
    });
    EXPECT_EQ(seen, (Titles{"r", "x", "y"}));
}

TEST(BankWalk, RepeatedUidsAndDeepTrees) {
    Tree t;
    TreeNode* root = t.Add("root");
    TreeNode* child = t.Add("child", root);
    TreeNode* twin = t.Add("twin", child);
    t.tree.SetUid(child, root->item.uid); // a damaged bank: a child carries its parent's UID
    t.tree.SetUid(twin, root->item.uid);
    EXPECT_EQ(t.Walk(root->item.uid, true), (Titles{"root", "child", "twin"}));

    Tree deep;
    TreeNode* node = deep.Add("0");
    for (int i = 1; i < 100000; ++i)
        node = deep.Add("n", node);
    std::size_t count = 0;
    EXPECT_TRUE(WalkSubtree(deep.tree, 1, true, [&](TreeNode&) { return ++count > 0; }));
    EXPECT_EQ(count, 100000u);
}

TEST(BankWalk, TheVisitEndsTheWalk) {
    Tree t;
    TreeNode* root = t.Add("root");
    t.Add("a", root);
    t.Add("b", root);
    // Ended at the start node: a failure; later: the start was handled.
    EXPECT_FALSE(WalkSubtree(t.tree, root->item.uid, true, [](TreeNode&) { return false; }));
    int visits = 0;
    EXPECT_TRUE(WalkSubtree(t.tree, root->item.uid, true, [&](TreeNode&) { return ++visits < 2; }));
    EXPECT_EQ(visits, 2);
    visits = 0;
    EXPECT_FALSE(WalkTree(t.tree, [&](TreeNode&) { return ++visits < 2; }));
    EXPECT_EQ(visits, 2);
}
