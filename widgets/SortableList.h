// A list in report mode whose rows sort by a column: by a click on the heading or kept sorted
// as rows are added, with optional check boxes, icons and tips in the first column, grid
// lines, and its column layout saved under a name.
#pragma once

#include "widgets/ListLayout.h"
#include "widgets/SortableListModel.h"

#include <QTreeView>

namespace kelvo {

struct ListColumn {
    QString heading;
    int width = 100;
};

class SortableList : public QTreeView {
    Q_OBJECT
public:
    explicit SortableList(QWidget* parent = nullptr);

    /// Replaces the columns (and removes all rows).
    void SetColumns(const std::vector<ListColumn>& columns);
    int ColumnCount() const { return m_model->columnCount(); }
    SortableListModel& Model() { return *m_model; }
    const SortableListModel& Model() const { return *m_model; }

    /// Check boxes in the first column (off by default).
    void SetCheckBoxes(bool on) { m_model->SetCheckable(on); }
    /// Whether a click on a heading sorts by that column (on by default).
    void SetSortOnHeaderClick(bool on);
    /// Whether rows are kept sorted as they are added and edited (off by default).
    void SetKeepSorted(bool on) { m_model->SetKeepSorted(on); }
    void SetGridLines(bool on);

    int AddRow(ListRow row) { return m_model->AddRow(std::move(row)); }
    void SetRows(std::vector<ListRow> rows) { m_model->SetRows(std::move(rows)); }
    void RemoveRow(int row) { m_model->RemoveRow(row); }
    void RemoveAllRows() { m_model->Clear(); }
    int RowCount() const { return m_model->rowCount(); }
    const ListRow& Row(int row) const { return m_model->Row(row); }
    QString Text(int row, int column) const { return m_model->Text(row, column); }
    int SetText(int row, int column, const QString& text) {
        return m_model->SetText(row, column, text);
    }
    QVariant RowData(int row) const { return m_model->Row(row).data; }
    int FindData(const QVariant& data) const { return m_model->FindData(data); }

    bool IsChecked(int row) const { return m_model->IsChecked(row); }
    void SetChecked(int row, bool checked) { m_model->SetChecked(row, checked); }
    std::vector<int> CheckedRows() const { return m_model->CheckedRows(); }

    /// The current row (the one with the focus), or -1.
    int CurrentRow() const;
    /// The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    /// Makes `row` the only selected row and the current one (-1: clears the selection).
    void SelectRow(int row);

    /// Sorts by a column and makes that the list's order.
    void SortByColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);
    /// Sorts again by the current order (after rows were added unsorted).
    void Sort() { SortByColumn(SortColumn(), SortOrder()); }
    int SortColumn() const { return m_model->SortColumn(); }
    Qt::SortOrder SortOrder() const { return m_model->SortOrder(); }

    /// The columns' order and widths, with the sort when `withSort` (else zeros).
    ListLayout Layout(bool withSort = false) const;
    /// Applies a layout; with `withSort` also sorts as it says, when the column exists.
    void ApplyLayout(const ListLayout& layout, bool withSort = false);
    void SaveLayout(ListLayoutStore& store, const QString& name, bool withSort = false) const;
    /// False (list unchanged) when nothing is stored under the name.
    bool LoadLayout(ListLayoutStore& store, const QString& name, bool withSort = false);

signals:
    /// A row's check box changed between its two states, by the user or by SetChecked.
    void CheckChanged(int row, bool checked);
    void RowDoubleClicked(int row);
    /// A double click or Enter on the current row.
    void RowActivated(int row);
    void SelectionChanged();

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    SortableListModel* m_model;
    bool m_headerSorts = true;
    bool m_gridLines = false;
    bool m_settingIndicator = false;
};

} // namespace kelvo
