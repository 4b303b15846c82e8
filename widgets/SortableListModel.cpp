// The sortable list's rows.
#include "widgets/SortableListModel.h"

#include "widgets/RowOrder.h"

#include <algorithm>
#include <numeric>

namespace kelvo {

struct SortableListModel::Entry : ListRow {
    explicit Entry(ListRow row) : ListRow(std::move(row)) {}
    // The collation key of the sort column's text, made when first needed.
    mutable std::optional<QCollatorSortKey> key;
};

SortableListModel::SortableListModel(QObject* parent)
    : QAbstractTableModel(parent), m_order(std::make_unique<RowOrder>()) {}

SortableListModel::~SortableListModel() = default;

void SortableListModel::SetHeadings(const std::vector<QString>& headings) {
    beginResetModel();
    m_headings = headings;
    endResetModel();
}

void SortableListModel::SetCheckable(bool checkable) {
    if (checkable == m_checkable)
        return;
    m_checkable = checkable;
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

void SortableListModel::SetSortOrder(int column, Qt::SortOrder order) {
    if (column != m_sortColumn)
        for (const auto& entry : m_rows)
            entry->key.reset();
    m_sortColumn = std::max(0, column);
    m_sortOrder = order;
}

const QCollatorSortKey& SortableListModel::KeyOf(const Entry& entry) const {
    if (!entry.key) {
        const std::size_t column = static_cast<std::size_t>(m_sortColumn);
        entry.key = m_order->Key(column < entry.cells.size() ? entry.cells[column] : QString());
    }
    return *entry.key;
}

bool SortableListModel::Before(const Entry& a, const Entry& b) const {
    const int c = KeyOf(a).compare(KeyOf(b));
    return m_sortOrder == Qt::AscendingOrder ? c < 0 : c > 0;
}

int SortableListModel::SortedPlace(const Entry& entry) const {
    // After the rows that compare equal, as a list control inserting sorted does.
    const auto it = std::upper_bound(m_rows.begin(), m_rows.end(), entry,
                                     [this](const Entry& value, const std::unique_ptr<Entry>& row) {
                                         return Before(value, *row);
                                     });
    return static_cast<int>(it - m_rows.begin());
}

int SortableListModel::AddRow(ListRow row) {
    auto entry = std::make_unique<Entry>(std::move(row));
    const int place = m_keepSorted ? SortedPlace(*entry) : rowCount();
    beginInsertRows({}, place, place);
    m_rows.insert(m_rows.begin() + place, std::move(entry));
    endInsertRows();
    return place;
}

void SortableListModel::SetRows(std::vector<ListRow> rows) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (ListRow& row : rows)
        m_rows.push_back(std::make_unique<Entry>(std::move(row)));
    if (m_keepSorted)
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [this](const auto& a, const auto& b) { return Before(*a, *b); });
    endResetModel();
}

void SortableListModel::RemoveRow(int row) {
    if (!ValidRow(row))
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void SortableListModel::Clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

const ListRow& SortableListModel::Row(int row) const {
    return *m_rows[static_cast<std::size_t>(row)];
}

QString SortableListModel::Text(int row, int column) const {
    if (!ValidRow(row) || column < 0)
        return {};
    const std::vector<QString>& cells = m_rows[static_cast<std::size_t>(row)]->cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                   : QString();
}

int SortableListModel::SetText(int row, int column, const QString& text) {
    if (!ValidRow(row) || column < 0 || column >= columnCount())
        return row;
    Entry& entry = *m_rows[static_cast<std::size_t>(row)];
    if (static_cast<int>(entry.cells.size()) <= column)
        entry.cells.resize(static_cast<std::size_t>(column) + 1);
    entry.cells[static_cast<std::size_t>(column)] = text;
    emit dataChanged(index(row, column), index(row, column));
    if (column != m_sortColumn)
        return row;
    entry.key.reset();
    if (!m_keepSorted)
        return row;
    // The row's place among the others, found with the row taken out and then put back, so
    // that the move is announced with the old positions.
    std::unique_ptr<Entry> moving = std::move(m_rows[static_cast<std::size_t>(row)]);
    m_rows.erase(m_rows.begin() + row);
    const int place = SortedPlace(*moving);
    m_rows.insert(m_rows.begin() + row, std::move(moving));
    if (place != row) {
        beginMoveRows({}, row, row, {}, place > row ? place + 1 : place);
        moving = std::move(m_rows[static_cast<std::size_t>(row)]);
        m_rows.erase(m_rows.begin() + row);
        m_rows.insert(m_rows.begin() + place, std::move(moving));
        endMoveRows();
    }
    return place;
}

int SortableListModel::FindData(const QVariant& data) const {
    for (int i = 0; i < rowCount(); ++i)
        if (m_rows[static_cast<std::size_t>(i)]->data == data)
            return i;
    return -1;
}

bool SortableListModel::IsChecked(int row) const {
    return ValidRow(row) && m_rows[static_cast<std::size_t>(row)]->checked;
}

void SortableListModel::SetChecked(int row, bool checked) {
    if (!ValidRow(row) || m_rows[static_cast<std::size_t>(row)]->checked == checked)
        return;
    m_rows[static_cast<std::size_t>(row)]->checked = checked;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
    emit CheckChanged(row, checked);
}

std::vector<int> SortableListModel::CheckedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < rowCount(); ++i)
        if (m_rows[static_cast<std::size_t>(i)]->checked)
            rows.push_back(i);
    return rows;
}

int SortableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SortableListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

QVariant SortableListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !ValidRow(index.row()) || index.column() >= columnCount())
        return {};
    const Entry& entry = *m_rows[static_cast<std::size_t>(index.row())];
    const bool first = index.column() == 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return Text(index.row(), index.column());
    case Qt::DecorationRole:
        return first && !entry.icon.isNull() ? QVariant(entry.icon) : QVariant();
    case Qt::ToolTipRole:
        return first && !entry.tip.isEmpty() ? QVariant(entry.tip) : QVariant();
    case Qt::CheckStateRole:
        return first && m_checkable ? QVariant(entry.checked ? Qt::Checked : Qt::Unchecked)
                                    : QVariant();
    case DataRole:
        return entry.data;
    default:
        return {};
    }
}

bool SortableListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || !m_checkable ||
        !ValidRow(index.row()))
        return false;
    SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

QVariant SortableListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_headings[static_cast<std::size_t>(section)];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags SortableListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
    if (m_checkable && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

void SortableListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount())
        return;
    SetSortOrder(column, order);
    if (m_rows.size() < 2)
        return;
    std::vector<int> byPlace(m_rows.size()); // byPlace[new row] = old row
    std::iota(byPlace.begin(), byPlace.end(), 0);
    std::stable_sort(byPlace.begin(), byPlace.end(), [this](int a, int b) {
        return Before(*m_rows[static_cast<std::size_t>(a)], *m_rows[static_cast<std::size_t>(b)]);
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> placeOf(m_rows.size());
    std::vector<std::unique_ptr<Entry>> sorted;
    sorted.reserve(m_rows.size());
    for (std::size_t place = 0; place < byPlace.size(); ++place) {
        placeOf[static_cast<std::size_t>(byPlace[place])] = static_cast<int>(place);
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(byPlace[place])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from)
        to.append(index(placeOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace kelvo
