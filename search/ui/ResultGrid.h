// The result grid of the search and index windows: the report grid with the five result
// columns, filled from ResultRows (each row fitted to its texts), its rows fitted again when
// the user widens a column.
#pragma once

#include "search/ResultRows.h"
#include "widgets/ReportGrid.h"

#include <QTimer>

namespace kelvo {

class ResultGrid : public ReportGrid {
    Q_OBJECT
public:
    /// The columns, in order: "№", "Место", "Ключевые слова", "Заметки", "Размер, Кбайт".
    enum Column { NumberColumn, PlaceColumn, KeywordsColumn, NotesColumn, SizeColumn };

    explicit ResultGrid(QWidget* parent = nullptr);

    /// Sets the columns with their first widths (30, 50, 50, 50, 50).
    void SetResultColumns();
    /// Shows what happened to `rows[row]`: a new row added at the end, or the row of the
    /// same key given its new texts; fitted to its texts in both cases.
    void ShowRow(const ResultRows& rows, std::size_t row, bool added);
    /// Replaces every row by `rows`.
    void ShowRows(const ResultRows& rows);
    /// The key of the selected row; empty when none is selected.
    AnsiString SelectedKey() const;

    /// The grid row of a result row.
    static ReportRow ToReportRow(const ResultRow& row);

private:
    QTimer m_refit;
};

} // namespace kelvo
