// The result grid.
#include "search/ui/ResultGrid.h"

#include "shell/ShellStrings.h"

#include <QHeaderView>

namespace kelvo {

ResultGrid::ResultGrid(QWidget* parent) : ReportGrid(parent) {
    setObjectName(QStringLiteral("ResultGrid"));
    setAccessibleName(Tr(text::ResultsGrid));
    // Heights follow the widths: after the user has widened or narrowed a column, every row
    // is fitted again once, when the dragging has paused.
    m_refit.setSingleShot(true);
    m_refit.setInterval(120);
    connect(&m_refit, &QTimer::timeout, this, [this] { FitRowHeights(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (RowCount() > 0)
            m_refit.start();
    });
}

void ResultGrid::SetResultColumns() {
    SetColumns({{Tr(text::ResultNumber), 30},
                {Tr(text::ResultPlace), 50},
                {Tr(text::ResultKeywords), 50},
                {Tr(text::ResultNotes), 50},
                {Tr(text::ResultSize), 50}});
}

ReportRow ResultGrid::ToReportRow(const ResultRow& row) {
    ReportRow out;
    out.cells = {std::to_string(row.number), row.place, row.keywords, row.notes,
                 std::to_string(row.sizeKb)};
    out.detail = row.detail;
    out.key = row.key;
    return out;
}

void ResultGrid::ShowRow(const ResultRows& rows, std::size_t row, bool added) {
    if (row >= rows.size())
        return;
    const ResultRow& result = rows[row];
    if (added) {
        AddRow(ToReportRow(result), true);
        return;
    }
    // The grid may have been sorted meanwhile: the key finds the row.
    const int shown = FindRow(result.key);
    if (shown < 0)
        return;
    ReportRow fresh = ToReportRow(result);
    for (int column = PlaceColumn; column <= NotesColumn; ++column)
        if (Row(shown).cells[static_cast<std::size_t>(column)] !=
            fresh.cells[static_cast<std::size_t>(column)])
            SetCellText(shown, column, fresh.cells[static_cast<std::size_t>(column)]);
    if (Row(shown).detail != fresh.detail)
        SetDetailText(shown, std::move(fresh.detail));
    FitRowHeight(shown);
}

void ResultGrid::ShowRows(const ResultRows& rows) {
    RemoveAllRows();
    std::vector<ReportRow> fitted;
    fitted.reserve(rows.size());
    for (const ResultRow& row : rows.rows()) {
        fitted.push_back(ToReportRow(row));
        Fit(fitted.back());
    }
    AddRows(std::move(fitted));
}

AnsiString ResultGrid::SelectedKey() const {
    const int row = SelectedRow();
    return row < 0 ? AnsiString() : Row(row).key;
}

} // namespace kelvo
