// The printed tree without a display: which rows print, where their lines and buttons go, and
// how the rows are cut into pages.
#include "print/StructureLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo {
namespace {

AnsiString A(const char* text) {
    return AnsiString(text);
}

std::vector<std::string> Titles(const std::vector<StructureRow>& rows) {
    std::vector<std::string> titles;
    for (const StructureRow& row : rows)
        titles.push_back(std::string(row.node->title.begin(), row.node->title.end()));
    return titles;
}

bool HasLine(const RowDrawing& d, PixelLine line) {
    return std::find(d.lines.begin(), d.lines.end(), line) != d.lines.end();
}

// root
// +- a (expanded)
// |  +- a1
// |  +- a2 (collapsed, has a21)
// +- b (collapsed, has b1)
// other (second top-level node)
struct SampleTree {
    RecordTree tree;
    TreeNode *root, *a, *a1, *a2, *a21, *b, *b1, *other;
    SampleTree() {
        root = tree.Insert(A("root"));
        a = tree.Insert(A("a"), root);
        a1 = tree.Insert(A("a1"), a);
        a2 = tree.Insert(A("a2"), a);
        a21 = tree.Insert(A("a21"), a2);
        b = tree.Insert(A("b"), root);
        b1 = tree.Insert(A("b1"), b);
        other = tree.Insert(A("other"));
        root->expanded = true;
        a->expanded = true;
    }
};

TEST(StructureRows, OnlyExpandedNodesShowTheirChildren) {
    SampleTree s;
    auto rows = VisibleRows(s.tree);
    EXPECT_EQ(Titles(rows), (std::vector<std::string>{"root", "a", "a1", "a2", "b", "other"}));
    EXPECT_EQ(rows[2].depth, 2);
    EXPECT_TRUE(rows[3].hasChildren);
    EXPECT_FALSE(rows[3].expanded);

    // Expanding the collapsed node adds its descendants right after it.
    s.a2->expanded = true;
    rows = VisibleRows(s.tree);
    EXPECT_EQ(Titles(rows),
              (std::vector<std::string>{"root", "a", "a1", "a2", "a21", "b", "other"}));
    // A node marked expanded without children draws no button and descends nowhere.
    s.b1->expanded = true;
    s.b->expanded = true;
    rows = VisibleRows(s.tree);
    EXPECT_EQ(rows.back().node, s.other);
    EXPECT_FALSE(rows[rows.size() - 2].expanded);
    EXPECT_TRUE(VisibleRows(RecordTree()).empty());
}

TEST(StructureRows, SiblingAndAncestorFlagsFollowTheTree) {
    SampleTree s;
    s.a2->expanded = true;
    const auto rows = VisibleRows(s.tree);
    // a21 (depth 3) under a2 (last child of a) under a (which has the next sibling b) under
    // root (which has the next top-level sibling "other").
    const StructureRow& a21 = rows[4];
    ASSERT_EQ(a21.node, s.a21);
    EXPECT_EQ(a21.continues, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(a21.hasPrevious);
    EXPECT_FALSE(a21.hasNext);
    EXPECT_TRUE(rows[1].hasNext);      // a, then b
    EXPECT_TRUE(rows[3].hasPrevious);  // a2 after a1
    EXPECT_FALSE(rows.back().hasNext); // other
    EXPECT_TRUE(rows.back().hasPrevious);
}

TEST(StructureRows, ADeepChainIsWalkedWithoutRecursion) {
    RecordTree tree;
    TreeNode* node = tree.Insert(A("0"));
    for (int i = 1; i < 50000; ++i) {
        node->expanded = true;
        node = tree.Insert(A("n"), node);
    }
    const auto rows = VisibleRows(tree);
    ASSERT_EQ(rows.size(), 50000u);
    EXPECT_EQ(rows.back().depth, 49999);
}

TEST(StructureRowGeometry, LinesIconsAndButtonsKeepTheTreesShape) {
    SampleTree s;
    const auto rows = VisibleRows(s.tree);
    TreeMetrics m; // 19 per level, rows 18 high, 16-pixel icons, origin 0
    const int mid = m.rowHeight / 2;

    // The first top-level node: its connector and a line down to its next sibling, no line up.
    const RowDrawing root = LayRow(rows[0], m);
    EXPECT_EQ(root.icon, (PixelRect{19 + 2, 1, 16, 16}));
    EXPECT_EQ(root.textLeft, 21 + 16 + 4);
    EXPECT_TRUE(HasLine(root, {9, mid, 19, mid}));
    EXPECT_TRUE(HasLine(root, {9, mid, 9, m.rowHeight}));
    EXPECT_FALSE(HasLine(root, {9, 0, 9, mid}));
    EXPECT_TRUE(root.hasButton);
    EXPECT_TRUE(root.expanded);
    EXPECT_EQ(root.button, (PixelRect{9 - 4, mid - 4, 9, 9}));

    // a1: a first child one level deeper, a sibling follows, the ancestors' columns go on.
    const RowDrawing a1 = LayRow(rows[2], m);
    const int own = 2 * 19 + 9;
    EXPECT_EQ(a1.icon.x, 3 * 19 + 2);
    EXPECT_TRUE(HasLine(a1, {own, 0, own, mid}));
    EXPECT_TRUE(HasLine(a1, {own, mid, own, m.rowHeight}));
    EXPECT_TRUE(HasLine(a1, {9, 0, 9, m.rowHeight}));           // root goes on to "other"
    EXPECT_TRUE(HasLine(a1, {19 + 9, 0, 19 + 9, m.rowHeight})); // a goes on to b
    EXPECT_FALSE(a1.hasButton);

    // a2: the last child, collapsed with a child: a "+" button and no line down.
    const RowDrawing a2 = LayRow(rows[3], m);
    EXPECT_TRUE(a2.hasButton);
    EXPECT_FALSE(a2.expanded);
    EXPECT_FALSE(HasLine(a2, {own, mid, own, m.rowHeight}));

    // A pane scrolled sideways moves every part by the same amount.
    TreeMetrics scrolled = m;
    scrolled.originX = -30;
    const RowDrawing moved = LayRow(rows[2], scrolled);
    EXPECT_EQ(moved.icon.x, a1.icon.x - 30);
    EXPECT_EQ(moved.textLeft, a1.textLeft - 30);
    ASSERT_EQ(moved.lines.size(), a1.lines.size());
    for (std::size_t i = 0; i < a1.lines.size(); ++i)
        EXPECT_EQ(moved.lines[i].x1, a1.lines[i].x1 - 30);
}

TEST(StructurePagination, PagesAreCutAtRowBoundaries) {
    // A tree that fits gives exactly one page.
    EXPECT_EQ(PaginateStructure(5, 18, 1000), (std::vector<StructurePage>{{0, 5}}));
    // Five rows of 18 end exactly at 90: they fit; the sixth would cross the bottom and
    // starts the next page.
    EXPECT_EQ(PaginateStructure(5, 18, 90), (std::vector<StructurePage>{{0, 5}}));
    EXPECT_EQ(PaginateStructure(6, 18, 90), (std::vector<StructurePage>{{0, 5}, {5, 1}}));
    EXPECT_EQ(PaginateStructure(12, 18, 95.5),
              (std::vector<StructurePage>{{0, 5}, {5, 5}, {10, 2}}));
    // Nothing to print still makes one (empty) page.
    EXPECT_EQ(PaginateStructure(0, 18, 90), (std::vector<StructurePage>{{0, 0}}));
}

TEST(StructurePagination, ARowTallerThanAPageGetsAPageOfItsOwn) {
    // Without care, a page of no rows would come first and every row would get its own page
    // after an empty one.
    const auto pages = PaginateStructure(3, 40, 30);
    EXPECT_EQ(pages, (std::vector<StructurePage>{{0, 1}, {1, 1}, {2, 1}}));
}

TEST(StructurePagination, ACollapsedNodePrintsWithoutItsDescendants) {
    RecordTree tree;
    TreeNode* root = tree.Insert(A("root"));
    TreeNode* big = tree.Insert(A("big"), root);
    for (int i = 0; i < 100; ++i)
        tree.Insert(A("leaf"), big);
    root->expanded = true;
    const auto collapsed = VisibleRows(tree);
    EXPECT_EQ(collapsed.size(), 2u);
    EXPECT_EQ(PaginateStructure(collapsed.size(), 18, 500).size(), 1u);
    big->expanded = true;
    const auto expanded = VisibleRows(tree);
    EXPECT_EQ(expanded.size(), 102u);
    // 27 rows of 18 fit in 500 pixels: 102 rows take four pages.
    const auto pages = PaginateStructure(expanded.size(), 18, 500);
    ASSERT_EQ(pages.size(), 4u);
    std::size_t total = 0;
    for (const auto& page : pages) {
        EXPECT_EQ(page.firstRow, total); // no row lost or printed twice
        total += page.rowCount;
    }
    EXPECT_EQ(total, 102u);
}

} // namespace
} // namespace kelvo
