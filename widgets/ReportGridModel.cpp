// The report grid's rows.
#include "widgets/ReportGridModel.h"

#include "markup/MarkupParser.h"
#include "markup/ui/MarkupPainter.h"
#include "widgets/RowOrder.h"

#include <QSize>

#include <algorithm>
#include <numeric>

namespace kelvo {

namespace {

QByteArray Bytes(const AnsiString& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReportGridModel::ReportGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportGridModel::SetHeadings(const std::vector<QString>& headings) {
    beginResetModel();
    m_headings = headings;
    endResetModel();
}

int ReportGridModel::AddRow(ReportRow row) {
    std::vector<ReportRow> rows;
    rows.push_back(std::move(row));
    return AddRows(std::move(rows));
}

int ReportGridModel::AddRows(std::vector<ReportRow> rows) {
    const int first = static_cast<int>(m_rows.size());
    if (rows.empty())
        return first;
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (m_rows.capacity() < m_rows.size() + rows.size()) // grow geometrically, also by ones
        m_rows.reserve(std::max(m_rows.size() + rows.size(), 2 * m_rows.capacity()));
    for (ReportRow& row : rows)
        m_rows.push_back(std::move(row));
    IndexKeys(first);
    endInsertRows();
    return first;
}

void ReportGridModel::Clear() {
    beginResetModel();
    m_rows.clear();
    m_byKey.clear();
    endResetModel();
}

const AnsiString& ReportGridModel::Cell(int row, int column) const {
    static const AnsiString kEmpty;
    if (!ValidRow(row) || column < 0)
        return kEmpty;
    const std::vector<AnsiString>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                   : kEmpty;
}

int ReportGridModel::FindRow(AnsiView key) const {
    const auto it = m_byKey.find(AnsiString(key));
    return it == m_byKey.end() ? -1 : it->second;
}

void ReportGridModel::IndexKeys(int from) {
    if (from == 0)
        m_byKey.clear();
    for (int i = from; i < static_cast<int>(m_rows.size()); ++i) {
        const AnsiString& key = m_rows[static_cast<std::size_t>(i)].key;
        if (!key.empty())
            m_byKey.emplace(key, i);
    }
}

void ReportGridModel::SetCellText(int row, int column, AnsiString text) {
    if (!ValidRow(row) || column < 0 || column >= columnCount())
        return;
    std::vector<AnsiString>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (static_cast<int>(cells.size()) <= column)
        cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = std::move(text);
    emit dataChanged(index(row, column), index(row, column));
}

void ReportGridModel::SetDetailText(int row, AnsiString text) {
    if (!ValidRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].detail = std::move(text);
    emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)), {DetailRole});
}

void ReportGridModel::SetRowHeight(int row, int cellHeight, int height) {
    if (!ValidRow(row))
        return;
    ReportRow& r = m_rows[static_cast<std::size_t>(row)];
    r.cellHeight = std::max(0, cellHeight);
    r.height = std::max(0, height);
    emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)),
                     {Qt::SizeHintRole, CellHeightRole});
}

void ReportGridModel::SetRowHeights(const std::vector<Heights>& heights) {
    const std::size_t count = std::min(heights.size(), m_rows.size());
    for (std::size_t i = 0; i < count; ++i) {
        m_rows[i].cellHeight = std::max(0, heights[i].cellHeight);
        m_rows[i].height = std::max(0, heights[i].height);
    }
    if (count > 0)
        emit dataChanged(index(0, 0),
                         index(static_cast<int>(count) - 1, std::max(0, columnCount() - 1)),
                         {Qt::SizeHintRole, CellHeightRole});
}

int ReportGridModel::RowHeight(int row) const {
    if (!ValidRow(row))
        return m_defaultHeight;
    const int height = m_rows[static_cast<std::size_t>(row)].height;
    return height > 0 ? height : m_defaultHeight;
}

void ReportGridModel::SetDefaultRowHeight(int height) {
    m_defaultHeight = std::max(1, height);
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, std::max(0, columnCount() - 1)),
                         {Qt::SizeHintRole});
}

int ReportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

QVariant ReportGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !ValidRow(index.row()) || index.column() >= columnCount())
        return {};
    const ReportRow& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return MarkupQString(MarkupPlainText(Cell(index.row(), index.column())));
    case Qt::ToolTipRole: {
        const QString text = MarkupQString(MarkupPlainText(Cell(index.row(), index.column())));
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::SizeHintRole:
        return QSize(-1, RowHeight(index.row()));
    case MarkupRole:
        return Bytes(Cell(index.row(), index.column()));
    case DetailRole:
        return Bytes(row.detail);
    case CellHeightRole:
        return row.cellHeight;
    case KeyRole:
        return Bytes(row.key);
    default:
        return {};
    }
}

QVariant ReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_headings[static_cast<std::size_t>(section)];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ReportGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ReportGridModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount() || m_rows.size() < 2)
        return;
    const RowOrder rowOrder;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(m_rows.size());
    for (int i = 0; i < rowCount(); ++i)
        keys.push_back(rowOrder.Key(MarkupQString(MarkupPlainText(Cell(i, column)))));
    std::vector<int> byPlace(m_rows.size()); // byPlace[new row] = old row
    std::iota(byPlace.begin(), byPlace.end(), 0);
    std::stable_sort(byPlace.begin(), byPlace.end(), [&](int a, int b) {
        const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> placeOf(m_rows.size());
    std::vector<ReportRow> sorted;
    sorted.reserve(m_rows.size());
    for (std::size_t place = 0; place < byPlace.size(); ++place) {
        placeOf[static_cast<std::size_t>(byPlace[place])] = static_cast<int>(place);
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(byPlace[place])]));
    }
    m_rows = std::move(sorted);
    IndexKeys(0);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from)
        to.append(index(placeOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace kelvo
