// The column layout of a list or grid: per column its display order and width, and the sort,
// as the settings keep it under the list's name.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QHeaderView;

namespace kelvo {

struct ListLayout {
    struct Column {
        std::int32_t order = 0, width = 0;
    };
    /// The sort of a sortable list: its column and order (0 ascending, 1 descending); both 0
    /// for a list saved without sort.
    std::int32_t sortColumn = 0, sortOrder = 0;
    /// In column (logical) order.
    std::vector<Column> columns;
};

/// The display order and width of every column of a header, with the given sort.
ListLayout CaptureListLayout(const QHeaderView& header, int sortColumn = 0, int sortOrder = 0);
/// Gives each stored column its width and display order. Stored columns the header does not
/// have and widths outside 1..9999 are ignored; columns without a usable order (missing, out
/// of range) follow the others in their current order, and of two columns with one order
/// the first comes first.
void ApplyListLayout(QHeaderView& header, const ListLayout& layout);

/// Where lists keep their layouts by name: the settings store.
class ListLayoutStore {
public:
    virtual ~ListLayoutStore() = default;
    virtual void SaveListLayout(const QString& name, const ListLayout& layout) = 0;
    /// Empty when nothing (or nothing readable) is stored under the name.
    virtual std::optional<ListLayout> LoadListLayout(const QString& name) = 0;
};

} // namespace kelvo
