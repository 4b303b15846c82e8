// The rows of a sortable list: texts per column, an icon and a tip for the first column, an
// optional check box, and the caller's data (a UID, say).
#pragma once

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QIcon>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace kelvo {

class RowOrder;

struct ListRow {
    std::vector<QString> cells;
    QIcon icon;  ///< shown in the first column
    QString tip; ///< the first column's tip; empty for none
    QVariant data;
    bool checked = false;
};

class SortableListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int DataRole = Qt::UserRole + 1;

    explicit SortableListModel(QObject* parent = nullptr);
    ~SortableListModel() override;

    void SetHeadings(const std::vector<QString>& headings);
    /// Check boxes in the first column.
    void SetCheckable(bool checkable);
    bool Checkable() const { return m_checkable; }

    /// The column and order rows sort by (initially the first column, ascending).
    void SetSortOrder(int column, Qt::SortOrder order);
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }
    /// Whether rows are kept in that order: added rows go to their place, edited ones move.
    void SetKeepSorted(bool keep) { m_keepSorted = keep; }
    bool KeepSorted() const { return m_keepSorted; }

    /// Adds a row at the end, or at its sorted place when rows are kept sorted; returns it.
    int AddRow(ListRow row);
    /// Replaces all rows (sorted when rows are kept sorted).
    void SetRows(std::vector<ListRow> rows);
    void RemoveRow(int row);
    void Clear();

    const ListRow& Row(int row) const;
    QString Text(int row, int column) const;
    /// Sets a text; with rows kept sorted, a row whose sort text changes moves to its place.
    /// Returns the row's (new) position.
    int SetText(int row, int column, const QString& text);
    /// The first row carrying `data`, or -1.
    int FindData(const QVariant& data) const;

    bool IsChecked(int row) const;
    /// Checks or unchecks a row; CheckChanged is emitted when the state changes.
    void SetChecked(int row, bool checked);
    /// The checked rows, top to bottom.
    std::vector<int> CheckedRows() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Sorts by a column's text (numbers by value, letters without regard to case), keeping
    /// equal rows in their order, and makes it the sort order. Selections follow their rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    /// A row's check box changed between its two states (not when a row is added).
    void CheckChanged(int row, bool checked);

private:
    struct Entry;
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    const QCollatorSortKey& KeyOf(const Entry& entry) const;
    bool Before(const Entry& a, const Entry& b) const;
    int SortedPlace(const Entry& entry) const;

    std::unique_ptr<RowOrder> m_order;
    std::vector<QString> m_headings;
    std::vector<std::unique_ptr<Entry>> m_rows;
    bool m_checkable = false;
    bool m_keepSorted = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace kelvo
