// The printed record tree: visible rows, row geometry and pages.
#include "print/StructureLayout.h"

namespace kelvo {

std::vector<StructureRow> VisibleRows(const RecordTree& tree) {
    std::vector<StructureRow> rows;
    // An explicit stack of sibling runs, so that a deep tree cannot exhaust the call stack.
    struct Level {
        const std::vector<TreeNode*>* siblings;
        std::size_t next;
    };
    std::vector<Level> stack{{&tree.roots(), 0}};
    std::vector<bool> continues; // per open level: a sibling follows at that level
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.siblings->size()) {
            stack.pop_back();
            if (!continues.empty())
                continues.pop_back();
            continue;
        }
        const std::size_t index = level.next++;
        const TreeNode* node = (*level.siblings)[index];
        StructureRow row;
        row.node = node;
        row.depth = static_cast<int>(stack.size()) - 1;
        row.hasPrevious = index > 0;
        row.hasNext = index + 1 < level.siblings->size();
        row.hasChildren = !node->children.empty();
        row.expanded = node->expanded && row.hasChildren;
        row.continues = continues;
        const bool descend = row.expanded;
        const bool hasNext = row.hasNext;
        rows.push_back(std::move(row));
        if (descend) {
            continues.push_back(hasNext);
            stack.push_back({&node->children, 0});
        }
    }
    return rows;
}

RowDrawing LayRow(const StructureRow& row, const TreeMetrics& m) {
    RowDrawing d;
    const auto column = [&m](int level) {
        return m.originX + m.indentation * level + m.indentation / 2;
    };
    const int itemLeft = m.originX + m.indentation * (row.depth + 1);
    const int middle = m.rowHeight / 2;
    d.icon = {itemLeft + m.iconOffset, (m.rowHeight - m.iconSize) / 2, m.iconSize, m.iconSize};
    d.textLeft = d.icon.x + m.iconSize + m.textGap;

    const int own = column(row.depth);
    d.lines.push_back({own, middle, d.icon.x - 2, middle});
    if (row.depth > 0 || row.hasPrevious)
        d.lines.push_back({own, 0, own, middle});
    if (row.hasNext)
        d.lines.push_back({own, middle, own, m.rowHeight});
    for (std::size_t k = 0; k < row.continues.size(); ++k)
        if (row.continues[k]) {
            const int x = column(static_cast<int>(k));
            d.lines.push_back({x, 0, x, m.rowHeight});
        }
    if (row.hasChildren) {
        d.hasButton = true;
        d.expanded = row.expanded;
        d.button = {own - m.buttonSize / 2, middle - m.buttonSize / 2, m.buttonSize, m.buttonSize};
    }
    return d;
}

std::vector<StructurePage> PaginateStructure(std::size_t rowCount, int rowHeight,
                                             double pageHeight) {
    std::vector<StructurePage> pages;
    StructurePage page;
    double pageTop = 0;
    for (std::size_t i = 0; i < rowCount; ++i) {
        ++page.rowCount;
        const double top = static_cast<double>(i) * rowHeight;
        const double bottom = top + rowHeight;
        if (bottom - pageTop > pageHeight && page.rowCount > 1) {
            --page.rowCount;
            pages.push_back(page);
            page = {i, 1};
            pageTop = top;
        }
    }
    pages.push_back(page);
    return pages;
}

} // namespace kelvo
