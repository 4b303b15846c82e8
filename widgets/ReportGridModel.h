// The rows of a report grid: per row a markup text per column, a detail text drawn under the
// cells, the heights the caller gave, and a key that finds the row again.
#pragma once

#include "platform/text/Ansi.h"

#include <QAbstractTableModel>
#include <QString>

#include <unordered_map>
#include <vector>

namespace kelvo {

struct ReportRow {
    /// Markup text of each column (missing ones are empty).
    std::vector<AnsiString> cells;
    /// Markup text drawn in the detail area under the cells; empty for none.
    AnsiString detail;
    /// Height of the cell area from the row's top; 0: the whole row.
    int cellHeight = 0;
    /// Height of the whole row; 0: the grid's default (one line).
    int height = 0;
    /// The caller's name for the row (an ItemKey, say); FindRow looks it up.
    AnsiString key;
};

class ReportGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        MarkupRole = Qt::UserRole + 1, ///< QByteArray: the cell's markup (Windows-1251)
        DetailRole,                    ///< QByteArray: the row's detail markup
        CellHeightRole,                ///< int
        KeyRole,                       ///< QByteArray
    };

    explicit ReportGridModel(QObject* parent = nullptr);

    void SetHeadings(const std::vector<QString>& headings);

    /// Appends rows; returns the first new row's number.
    int AddRow(ReportRow row);
    int AddRows(std::vector<ReportRow> rows);
    void Clear();

    const ReportRow& Row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    const AnsiString& Cell(int row, int column) const;
    /// The row whose key this is (the first one, should several share it), or -1.
    int FindRow(AnsiView key) const;

    void SetCellText(int row, int column, AnsiString text);
    void SetDetailText(int row, AnsiString text);
    void SetRowHeight(int row, int cellHeight, int height);
    struct Heights {
        int cellHeight = 0, height = 0;
    };
    /// New heights for every row at once, in row order (one change for the views).
    void SetRowHeights(const std::vector<Heights>& heights);

    /// The height a row is drawn with: its own, or the default.
    int RowHeight(int row) const;
    int DefaultRowHeight() const { return m_defaultHeight; }
    void SetDefaultRowHeight(int height);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Sorts the rows by the shown text of a column (numbers by value, letters without
    /// regard to case); rows that compare equal keep their order. Selections and other
    /// persistent indexes follow their rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    void IndexKeys(int from);

    std::vector<QString> m_headings;
    std::vector<ReportRow> m_rows;
    std::unordered_map<AnsiString, int> m_byKey;
    int m_defaultHeight = 20;
};

} // namespace kelvo
