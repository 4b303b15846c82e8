// Column layouts read from and applied to a header.
#include "widgets/ListLayout.h"

#include <QHeaderView>

#include <algorithm>

namespace kelvo {

ListLayout CaptureListLayout(const QHeaderView& header, int sortColumn, int sortOrder) {
    ListLayout layout;
    layout.sortColumn = sortColumn;
    layout.sortOrder = sortOrder;
    for (int i = 0; i < header.count(); ++i)
        layout.columns.push_back({header.visualIndex(i), header.sectionSize(i)});
    return layout;
}

void ApplyListLayout(QHeaderView& header, const ListLayout& layout) {
    const int count = std::min(static_cast<int>(layout.columns.size()), header.count());
    for (int i = 0; i < count; ++i) {
        const ListLayout::Column& column = layout.columns[static_cast<std::size_t>(i)];
        if (column.width > 0 && column.width < 10000)
            header.resizeSection(i, column.width);
    }
    // Display order: columns sorted by their stored places; a column without a usable place
    // goes after them, keeping its current order. Filling the places from the left, the column
    // wanted next always sits at or right of its place.
    const int sections = header.count();
    std::vector<std::pair<int, int>> wanted; // (place, column)
    for (int i = 0; i < sections; ++i) {
        const int order = i < count ? layout.columns[static_cast<std::size_t>(i)].order : -1;
        const bool usable = order >= 0 && order < sections;
        wanted.emplace_back(usable ? order : sections + header.visualIndex(i), i);
    }
    std::stable_sort(wanted.begin(), wanted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int place = 0; place < sections; ++place) {
        const int from = header.visualIndex(wanted[static_cast<std::size_t>(place)].second);
        if (from != place)
            header.moveSection(from, place);
    }
}

} // namespace kelvo
