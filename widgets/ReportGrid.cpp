// The report grid: a tree view over the flat grid model, drawing whole rows itself (the cells
// through its item delegate, then the detail area across the columns).
#include "widgets/ReportGrid.h"

#include "markup/ui/MarkupPainter.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace kelvo {

namespace {

QColor Blend(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(a.redF() * share + b.redF() * (1 - share),
                            a.greenF() * share + b.greenF() * (1 - share),
                            a.blueF() * share + b.blueF() * (1 - share));
}

} // namespace

/// Paints one cell's markup in the cell area of its row, and the column's grid line.
class ReportGridDelegate : public QStyledItemDelegate {
public:
    explicit ReportGridDelegate(ReportGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect area = m_grid->CellAreaIn(option.rect, index.row(), index.column());
        m_grid->PaintMarkup(*painter, m_grid->m_model->Cell(index.row(), index.column()), area);
        painter->setPen(m_grid->m_gridLine);
        const int x = option.rect.right();
        painter->drawLine(x, option.rect.top(), x, area.bottom());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(option.rect.width(), m_grid->m_model->RowHeight(index.row()));
    }

private:
    ReportGrid* m_grid;
};

ReportGrid::ReportGrid(QWidget* parent)
    : QTreeView(parent), m_model(new ReportGridModel(this)),
      m_measurer(std::make_unique<QtTextMeasurer>(logicalDpiY())) {
    setModel(m_model);
    setItemDelegate(new ReportGridDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);

    QHeaderView* head = header();
    head->setSectionsMovable(true);
    head->setSectionsClickable(true);
    head->setStretchLastSection(false);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    head->setMinimumSectionSize(8);
    head->setSortIndicatorShown(true);
    head->setSortIndicator(-1, Qt::AscendingOrder);
    // A click on a heading flips the header's sort indicator; the rows follow it.
    connect(head, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                if (!m_settingIndicator && column >= 0)
                    SortByColumn(column, order);
            });

    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit RowClicked(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit RowDoubleClicked(index.row());
        emit RowActivated(index.row());
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectedRowChanged(SelectedRow()); });
    UpdateStyle();
}

ReportGrid::~ReportGrid() = default;

void ReportGrid::SetColumns(const std::vector<ReportColumn>& columns) {
    std::vector<QString> headings;
    for (const ReportColumn& column : columns)
        headings.push_back(column.heading);
    m_model->Clear();
    m_model->SetHeadings(headings);
    QHeaderView* head = header();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (head->visualIndex(i) != i)
            head->moveSection(head->visualIndex(i), i);
        head->resizeSection(i, columns[static_cast<std::size_t>(i)].width);
    }
    m_sortColumn = -1;
    m_settingIndicator = true;
    head->setSortIndicator(-1, Qt::AscendingOrder);
    m_settingIndicator = false;
}

void ReportGrid::UpdateStyle() {
    const QPalette& colours = palette();
    m_style = DefaultCellStyle(MarkupColourOf(colours.color(QPalette::Text)));
    m_selectionFill =
        Blend(colours.color(QPalette::Highlight), colours.color(QPalette::Base), 0.35);
    m_gridLine = Blend(colours.color(QPalette::Text), colours.color(QPalette::Base), 0.15);
    m_model->SetDefaultRowHeight(m_measurer->Metrics(m_style).height() + kRowExtra + 4);
    viewport()->update();
}

void ReportGrid::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        UpdateStyle();
}

int ReportGrid::MeasureMarkup(AnsiView text, int width) const {
    return MarkupTextHeight(text, m_style, width, *m_measurer);
}

int ReportGrid::CellTextWidth(int column) const {
    return std::max(1, header()->sectionSize(column) - 2 * kCellMargin);
}

int ReportGrid::DetailTextWidth() const {
    const QHeaderView* head = header();
    int total = 0, first = -1;
    for (int visual = 0; visual < head->count(); ++visual) {
        const int logical = head->logicalIndex(visual);
        if (head->isSectionHidden(logical))
            continue;
        if (first < 0)
            first = logical;
        else
            total += head->sectionSize(logical);
    }
    return std::max(1, total);
}

ReportGridModel::Heights ReportGrid::FittedHeights(int row) const {
    int cell = 0;
    for (int column = 0; column < ColumnCount(); ++column)
        cell = std::max(cell, MeasureMarkup(m_model->Cell(row, column), CellTextWidth(column)));
    const AnsiString& detail = m_model->Row(row).detail;
    if (detail.empty())
        return {0, cell + kRowExtra + 4};
    // A row with a detail keeps a cell area of at least one line.
    cell = std::max(cell, m_measurer->Metrics(m_style).height());
    const int detailHeight = MeasureMarkup(detail, DetailTextWidth());
    return {cell, detailHeight + kRowExtra + cell + 10};
}

void ReportGrid::FitRowHeight(int row) {
    if (row < 0 || row >= RowCount())
        return;
    const ReportGridModel::Heights heights = FittedHeights(row);
    m_model->SetRowHeight(row, heights.cellHeight, heights.height);
}

void ReportGrid::FitRowHeights() {
    std::vector<ReportGridModel::Heights> heights;
    heights.reserve(static_cast<std::size_t>(RowCount()));
    for (int row = 0; row < RowCount(); ++row)
        heights.push_back(FittedHeights(row));
    m_model->SetRowHeights(heights);
}

QRect ReportGrid::CellAreaIn(const QRect& cellRect, int row, int /*column*/) const {
    const int cellHeight = m_model->Row(row).cellHeight;
    const int height = cellHeight > 0 ? std::min(cellHeight, cellRect.height()) : cellRect.height();
    return QRect(cellRect.left() + kCellMargin, cellRect.top(),
                 std::max(0, cellRect.width() - 2 * kCellMargin), height);
}

QRect ReportGrid::DetailAreaIn(const QRect& rowRect, const ReportRow& row) const {
    if (row.cellHeight <= 0)
        return {};
    const QHeaderView* head = header();
    int left = -1, right = -1;
    for (int visual = 0; visual < head->count(); ++visual) {
        const int logical = head->logicalIndex(visual);
        if (head->isSectionHidden(logical))
            continue;
        const int end = head->sectionViewportPosition(logical) + head->sectionSize(logical);
        if (left < 0)
            left = end;
        right = end;
    }
    const int top = rowRect.top() + row.cellHeight + 2;
    const int bottom = rowRect.top() + rowRect.height() - 2; // exclusive
    if (left < 0 || right <= left || bottom <= top)
        return {};
    return QRect(left, top, right - left, bottom - top);
}

QRect ReportGrid::CellArea(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return {};
    const QRect cell = visualRect(m_model->index(row, column));
    return cell.isValid() ? CellAreaIn(cell, row, column) : QRect();
}

QRect ReportGrid::DetailArea(int row) const {
    if (row < 0 || row >= RowCount())
        return {};
    const QRect rowRect = visualRect(m_model->index(row, 0));
    return rowRect.isValid() ? DetailAreaIn(rowRect, m_model->Row(row)) : QRect();
}

void ReportGrid::PaintMarkup(QPainter& painter, AnsiView text, const QRect& area) const {
    if (text.empty() || area.isEmpty())
        return;
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    RenderMarkup(painter, text, m_style, area, MarkupAlign::Left, *m_measurer);
    painter.restore();
}

void ReportGrid::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int row = index.row();
    const QRect rowRect(0, option.rect.top(), viewport()->width(), option.rect.height());
    if (selectionModel()->isSelected(index))
        painter->fillRect(rowRect, m_selectionFill);

    const QHeaderView* head = header();
    QAbstractItemDelegate* delegate = itemDelegate();
    int right = 0;
    for (int visual = 0; visual < head->count(); ++visual) {
        const int logical = head->logicalIndex(visual);
        if (head->isSectionHidden(logical))
            continue;
        const int x = head->sectionViewportPosition(logical);
        const int width = head->sectionSize(logical);
        right = std::max(right, x + width);
        if (x >= rowRect.right() || x + width <= 0)
            continue;
        QStyleOptionViewItem cell = option;
        cell.rect = QRect(x, rowRect.top(), width, rowRect.height());
        delegate->paint(painter, cell, m_model->index(row, logical));
    }

    const ReportRow& r = m_model->Row(row);
    if (!r.detail.empty())
        PaintMarkup(*painter, r.detail, DetailAreaIn(rowRect, r));

    painter->setPen(m_gridLine);
    const int bottom = rowRect.top() + rowRect.height() - 1;
    painter->drawLine(0, bottom, std::min(right, rowRect.right()), bottom);

    if (hasFocus() && currentIndex().row() == row) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rowRect.adjusted(0, 0, -1, -1);
        focus.backgroundColor = m_selectionFill;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

void ReportGrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        SelectedRow() >= 0) {
        emit RowActivated(SelectedRow());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

int ReportGrid::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void ReportGrid::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index,
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void ReportGrid::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    m_settingIndicator = true;
    header()->setSortIndicator(column, order);
    m_settingIndicator = false;
    m_model->sort(column, order);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

ListLayout ReportGrid::Layout(bool withSort) const {
    const bool sorted = withSort && m_sortColumn >= 0;
    return CaptureListLayout(*header(), sorted ? m_sortColumn : 0,
                             sorted && m_sortOrder == Qt::DescendingOrder ? 1 : 0);
}

void ReportGrid::ApplyLayout(const ListLayout& layout, bool withSort) {
    ApplyListLayout(*header(), layout);
    if (withSort && layout.sortColumn >= 0 && layout.sortColumn < ColumnCount())
        SortByColumn(layout.sortColumn,
                     layout.sortOrder == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ReportGrid::SaveLayout(ListLayoutStore& store, const QString& name, bool withSort) const {
    store.SaveListLayout(name, Layout(withSort));
}

bool ReportGrid::LoadLayout(ListLayoutStore& store, const QString& name, bool withSort) {
    const std::optional<ListLayout> layout = store.LoadListLayout(name);
    if (!layout)
        return false;
    ApplyLayout(*layout, withSort);
    return true;
}

} // namespace kelvo
