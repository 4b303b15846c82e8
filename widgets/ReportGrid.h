// The report grid of the result windows: columns with headings that the user widens, drags
// into another order and clicks to sort; rows of a height the caller sets, each with a cell
// area and a detail area below it, both drawn by the markup renderer.
#pragma once

#include "markup/MarkupStyle.h"
#include "widgets/ListLayout.h"
#include "widgets/ReportGridModel.h"

#include <QTableView>
#include <QTimer>

#include <limits>
#include <memory>

namespace kelvo {

class QtTextMeasurer;

struct ReportColumn {
    QString heading;
    int width = 50;
};

/// A row's cells are drawn in its cell area (the row's top `cellHeight` pixels, or the whole
/// row), each in its column narrowed by kCellMargin on both sides; the detail text is drawn
/// from 2 pixels below the cell area to 2 pixels above the row's bottom, from the right edge
/// of the first displayed column to the right edge of the last. Row heights live in the
/// (hidden) vertical header, so adding a row while the grid is shown costs no pass over the
/// other rows, and rows off screen are neither measured nor laid out: ten thousand rows fill
/// and scroll as smoothly as ten.
class ReportGrid : public QTableView {
    Q_OBJECT
public:
    /// Pixels a row has beyond its texts (added to the fitted height).
    static constexpr int kRowExtra = 2;
    /// Pixels between a cell's text and its column's edges.
    static constexpr int kCellMargin = 2;

    explicit ReportGrid(QWidget* parent = nullptr);
    ~ReportGrid() override;

    /// Replaces the columns (and removes all rows).
    void SetColumns(const std::vector<ReportColumn>& columns);
    int ColumnCount() const { return m_model->columnCount(); }

    ReportGridModel& Model() { return *m_model; }
    const ReportGridModel& Model() const { return *m_model; }

    /// Appends a row at the end (whatever the sort), fitted to its texts first when `fit`
    /// (cheaper than FitRowHeight after adding); returns its number.
    int AddRow(ReportRow row, bool fit = false);
    /// Appends rows at the end; returns the first new row.
    int AddRows(std::vector<ReportRow> rows) { return m_model->AddRows(std::move(rows)); }
    void RemoveAllRows() { m_model->Clear(); }
    int RowCount() const { return m_model->rowCount(); }
    const ReportRow& Row(int row) const { return m_model->Row(row); }
    int FindRow(AnsiView key) const { return m_model->FindRow(key); }
    void SetCellText(int row, int column, AnsiString text) {
        m_model->SetCellText(row, column, std::move(text));
    }
    void SetDetailText(int row, AnsiString text) { m_model->SetDetailText(row, std::move(text)); }
    void SetRowHeight(int row, int cellHeight, int height) {
        m_model->SetRowHeight(row, cellHeight, height);
    }

    /// The style cells and details start from: DefaultCellStyle in the palette's text colour.
    const MarkupStyle& CellStyle() const { return m_style; }
    /// The height of a markup text laid out `width` pixels wide in the grid's fonts.
    int MeasureMarkup(AnsiView text, int width) const;
    /// The widths cells of a column and the details are laid out in, at the current widths.
    int CellTextWidth(int column) const;
    int DetailTextWidth() const;
    /// Fits a row to its texts at the current column widths: the cell area is the tallest
    /// cell (at least one line); with a detail the row is detail + kRowExtra + cell area + 10
    /// pixels high, without one the whole row is the cell area, cell + kRowExtra + 4 high.
    void FitRowHeight(int row);
    /// FitRowHeight for every row, as one change.
    void FitRowHeights();
    /// Sets the heights of a row not yet added as FitRowHeight would.
    void Fit(ReportRow& row) const;

    /// Where a cell's text and a row's detail are drawn, in viewport coordinates (empty when
    /// the row is not laid out or has no detail area).
    QRect CellArea(int row, int column) const;
    QRect DetailArea(int row) const;

    /// The selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);

    /// Sorts by a column (as a click on its heading does: a second click reverses the order).
    void SortByColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);
    /// The column last sorted by, or -1.
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    /// The columns' order and widths, with the sort when `withSort` (else zeros).
    ListLayout Layout(bool withSort = false) const;
    /// Applies a layout; with `withSort` also its sort, when the column exists.
    void ApplyLayout(const ListLayout& layout, bool withSort = false);
    void SaveLayout(ListLayoutStore& store, const QString& name, bool withSort = false) const;
    /// False (grid unchanged) when nothing is stored under the name.
    bool LoadLayout(ListLayoutStore& store, const QString& name, bool withSort = false);

signals:
    void RowClicked(int row);
    void RowDoubleClicked(int row);
    /// A double click or Enter on the selected row.
    void RowActivated(int row);
    /// The selected row changed (-1: none).
    void SelectedRowChanged(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class ReportGridDelegate;
    void UpdateStyle();
    ReportGridModel::Heights FittedHeights(const ReportRow& row) const;
    QRect CellAreaIn(const QRect& rowRect, int row, int column) const;
    QRect DetailAreaIn(const QRect& rowRect, const ReportRow& row) const;
    void ApplyRowHeights(int first, int last);
    void RowsCounted(int oldCount, int newCount);
    void RowResized(int row, int oldHeight, int newHeight);
    void RowsChangedFrom(int row);
    void RepaintChanged();
    void FlushGeometry();
    void PaintMarkup(QPainter& painter, AnsiView text, const QRect& area) const;

    ReportGridModel* m_model;
    std::unique_ptr<QtTextMeasurer> m_measurer;
    MarkupStyle m_style;
    QColor m_selectionFill, m_gridLine;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_settingIndicator = false;
    QTimer m_geometryTimer;
    QTimer m_repaintTimer;
    int m_firstChanged = std::numeric_limits<int>::max();
};

} // namespace kelvo
