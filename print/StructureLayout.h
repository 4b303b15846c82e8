// The record tree as it is printed: the visible rows in display order, what each row draws in
// the tree pane's pixels (icon, text, connecting lines, expand button), and the rows cut into
// pages at row boundaries.
#pragma once

#include "core/RecordTree.h"

#include <cstddef>
#include <vector>

namespace kelvo {

/// The tree pane's metrics, in its pixels. The window takes them from its tree view; kvb
/// prints with the defaults.
struct TreeMetrics {
    int indentation = 19; ///< per level
    int rowHeight = 18;
    int iconSize = 16;
    int originX = 0;    ///< left edge of the top level's column (negative when scrolled sideways)
    int iconOffset = 2; ///< from the left of a row's item area to its icon
    int textGap = 4;    ///< from the icon's right edge to the text
    int buttonSize = 9; ///< the expand button's side
};

/// One visible row, with what its lines need to know of its place in the tree.
struct StructureRow {
    const TreeNode* node = nullptr;
    int depth = 0;            ///< 0 for a top-level node
    bool hasPrevious = false; ///< the node has a previous sibling
    bool hasNext = false;     ///< the node has a next sibling
    bool hasChildren = false;
    bool expanded = false; ///< expanded with children: its children follow
    /// For each column left of the node's own (one per ancestor level, from the top level):
    /// whether the line of that column goes on past this row (the ancestor has a next sibling).
    std::vector<bool> continues;
};

/// The visible rows in display order: a node, then its children when it is expanded, then its
/// next sibling. Linear in the number of rows.
std::vector<StructureRow> VisibleRows(const RecordTree& tree);

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};
struct PixelLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const PixelLine&) const = default;
};

/// What one row draws, in pane pixels relative to the row's top-left corner (x as in the pane,
/// y = 0 at the row's top).
struct RowDrawing {
    PixelRect icon;
    int textLeft = 0;
    std::vector<PixelLine> lines; ///< connecting lines, drawn before the button
    bool hasButton = false;
    bool expanded = false; ///< the button shows "−" (expanded) or "+" (collapsed)
    PixelRect button;
};

/// The geometry of a row: the icon at the start of its level's item area, the text after it,
/// the node's own connector from its level's column to the icon, the vertical lines of that
/// column (up to the row above unless it is the first top-level node, down when a sibling
/// follows), the lines of the ancestors' columns that go on, and the button over the column.
RowDrawing LayRow(const StructureRow& row, const TreeMetrics& metrics);

/// One printed page: a run of rows.
struct StructurePage {
    std::size_t firstRow = 0;
    std::size_t rowCount = 0;
    bool operator==(const StructurePage&) const = default;
};

/// Cuts `rowCount` rows of `rowHeight` pixels into pages `pageHeight` pixels high: a page opens
/// at a row; a row whose bottom would lie more than `pageHeight` below the page's top starts the
/// next page. A row taller than a page gets a page of its own rather than an empty page before
/// it. No rows give one empty page, so that a job always has a page.
std::vector<StructurePage> PaginateStructure(std::size_t rowCount, int rowHeight,
                                             double pageHeight);

} // namespace kelvo
