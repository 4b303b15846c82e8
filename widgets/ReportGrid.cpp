// The report grid: a table view over the grid model whose item delegate draws the cells, with
// the detail areas drawn across the columns after them.
#include "widgets/ReportGrid.h"

#include "markup/ui/MarkupPainter.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <limits>

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
        const QRect& cell = option.rect;
        if (option.state & QStyle::State_Selected)
            painter->fillRect(cell, m_grid->m_selectionFill);
        const QRect area = m_grid->CellAreaIn(cell, index.row(), index.column());
        m_grid->PaintMarkup(*painter, m_grid->m_model->Cell(index.row(), index.column()), area);
        // Grid lines: between the columns of the cell area, and under the row.
        painter->setPen(m_grid->m_gridLine);
        painter->drawLine(cell.right(), cell.top(), cell.right(), area.bottom());
        painter->drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(option.rect.width(), m_grid->m_model->RowHeight(index.row()));
    }

private:
    ReportGrid* m_grid;
};

ReportGrid::ReportGrid(QWidget* parent)
    : QTableView(parent), m_model(new ReportGridModel(this)),
      m_measurer(std::make_unique<QtTextMeasurer>(logicalDpiY())) {
    setModel(m_model);
    setItemDelegate(new ReportGridDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    // Rows are chosen whole with the arrow keys; Tab goes on to the window's next control
    // instead of walking the cells (a table view's default), which kept the keyboard in a
    // grid of results.
    setTabKeyNavigation(false);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);

    QHeaderView* rows = verticalHeader();
    // Rows added at the end or given a height need no new layout of the whole view (which
    // repaints every visible row, once per row while a search adds its rows): only the scroll
    // range grows and the rows are painted from where they show.
    disconnect(rows, SIGNAL(sectionCountChanged(int, int)), this, SLOT(rowCountChanged(int, int)));
    connect(rows, &QHeaderView::sectionCountChanged, this, &ReportGrid::RowsCounted);
    disconnect(rows, SIGNAL(sectionResized(int, int, int)), this, SLOT(rowResized(int, int, int)));
    connect(rows, &QHeaderView::sectionResized, this, &ReportGrid::RowResized);
    m_geometryTimer.setSingleShot(true);
    m_geometryTimer.setInterval(40);
    connect(&m_geometryTimer, &QTimer::timeout, this, [this] { updateGeometries(); });
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(0);
    connect(&m_repaintTimer, &QTimer::timeout, this, &ReportGrid::RepaintChanged);
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    // Heights of new rows, and of rows whose heights change or which a sort moves.
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { ApplyRowHeights(first, last); });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::SizeHintRole))
                    ApplyRowHeights(from.row(), to.row());
            });
    connect(m_model, &QAbstractItemModel::layoutChanged, this,
            [this] { ApplyRowHeights(0, RowCount() - 1); });

    QHeaderView* head = horizontalHeader();
    head->setSectionsMovable(true);
    head->setSectionsClickable(true);
    head->setHighlightSections(false);
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
    QHeaderView* head = horizontalHeader();
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
    const int line = m_measurer->Metrics(m_style).height() + kRowExtra + 4;
    m_model->SetDefaultRowHeight(line);
    verticalHeader()->setDefaultSectionSize(line);
    ApplyRowHeights(0, RowCount() - 1);
    viewport()->update();
}

void ReportGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        UpdateStyle();
}

int ReportGrid::MeasureMarkup(AnsiView text, int width) const {
    return MarkupTextHeight(text, m_style, width, *m_measurer);
}

int ReportGrid::CellTextWidth(int column) const {
    return std::max(1, horizontalHeader()->sectionSize(column) - 2 * kCellMargin);
}

int ReportGrid::DetailTextWidth() const {
    const QHeaderView* head = horizontalHeader();
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

ReportGridModel::Heights ReportGrid::FittedHeights(const ReportRow& row) const {
    int cell = 0;
    for (int column = 0; column < ColumnCount() && column < static_cast<int>(row.cells.size());
         ++column)
        cell = std::max(cell, MeasureMarkup(row.cells[static_cast<std::size_t>(column)],
                                            CellTextWidth(column)));
    // Every row keeps at least one line, also when its cells are empty.
    cell = std::max(cell, m_measurer->Metrics(m_style).height());
    if (row.detail.empty())
        return {0, cell + kRowExtra + 4};
    const int detailHeight = MeasureMarkup(row.detail, DetailTextWidth());
    return {cell, detailHeight + kRowExtra + cell + 10};
}

void ReportGrid::Fit(ReportRow& row) const {
    const ReportGridModel::Heights heights = FittedHeights(row);
    row.cellHeight = heights.cellHeight;
    row.height = heights.height;
}

int ReportGrid::AddRow(ReportRow row, bool fit) {
    if (fit)
        Fit(row);
    return m_model->AddRow(std::move(row));
}

void ReportGrid::FitRowHeight(int row) {
    if (row < 0 || row >= RowCount())
        return;
    const ReportGridModel::Heights heights = FittedHeights(m_model->Row(row));
    m_model->SetRowHeight(row, heights.cellHeight, heights.height);
}

void ReportGrid::FitRowHeights() {
    std::vector<ReportGridModel::Heights> heights;
    heights.reserve(static_cast<std::size_t>(RowCount()));
    for (int row = 0; row < RowCount(); ++row)
        heights.push_back(FittedHeights(m_model->Row(row)));
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
    const QHeaderView* head = horizontalHeader();
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

void ReportGrid::RowsCounted(int oldCount, int newCount) {
    if (newCount < oldCount || oldCount == 0) {
        rowCountChanged(oldCount, newCount);
        return;
    }
    RowsChangedFrom(oldCount);
}

void ReportGrid::RowResized(int row, int, int) {
    RowsChangedFrom(row);
}

void ReportGrid::RowsChangedFrom(int row) {
    // The scroll range follows at most every few hundredths of a second: while a search adds
    // a row between any two events, repainting the scroll bar each time would cost more than
    // the rows. What shows is repainted once per event loop turn, from the first changed row
    // down; many changes at once (a fit of every row) cost no row position each.
    if (!m_geometryTimer.isActive())
        m_geometryTimer.start();
    m_firstChanged = std::min(m_firstChanged, row);
    if (!m_repaintTimer.isActive())
        m_repaintTimer.start();
}

void ReportGrid::RepaintChanged() {
    if (m_firstChanged < RowCount()) {
        const int top = rowViewportPosition(m_firstChanged);
        if (top < viewport()->height())
            viewport()->update(
                QRect(0, std::max(0, top), viewport()->width(), viewport()->height()));
    }
    m_firstChanged = std::numeric_limits<int>::max();
}

void ReportGrid::FlushGeometry() {
    if (m_geometryTimer.isActive()) {
        m_geometryTimer.stop();
        updateGeometries();
    }
}

void ReportGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    FlushGeometry();
    QTableView::scrollTo(index, hint);
}

void ReportGrid::ApplyRowHeights(int first, int last) {
    QHeaderView* rows = verticalHeader();
    const int defaultHeight = rows->defaultSectionSize();
    for (int row = std::max(0, first); row <= last && row < RowCount(); ++row) {
        const int height = m_model->RowHeight(row);
        if (height != defaultHeight || rows->sectionSize(row) != height)
            rows->resizeSection(row, height);
    }
}

void ReportGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event); // the cells, through the delegate
    if (RowCount() == 0)
        return;
    const QRect dirty = event->rect();
    const int first = rowAt(std::max(0, dirty.top()));
    if (first < 0)
        return; // only the empty space below the last row
    int last = rowAt(dirty.bottom());
    if (last < 0)
        last = RowCount() - 1; // the last row ends above the bottom
    QPainter painter(viewport());
    painter.setClipRect(dirty);
    const int current = hasFocus() && currentIndex().isValid() ? currentIndex().row() : -1;
    for (int row = first; row <= last; ++row) {
        const QRect rowRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
        const ReportRow& r = m_model->Row(row);
        if (!r.detail.empty())
            PaintMarkup(painter, r.detail, DetailAreaIn(rowRect, r));
        if (row == current) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rowRect.adjusted(0, 0, -1, -1);
            focus.backgroundColor = m_selectionFill;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void ReportGrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && SelectedRow() >= 0) {
        emit RowActivated(SelectedRow());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
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
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void ReportGrid::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    m_settingIndicator = true;
    horizontalHeader()->setSortIndicator(column, order);
    m_settingIndicator = false;
    m_model->sort(column, order);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

ListLayout ReportGrid::Layout(bool withSort) const {
    const bool sorted = withSort && m_sortColumn >= 0;
    return CaptureListLayout(*horizontalHeader(), sorted ? m_sortColumn : 0,
                             sorted && m_sortOrder == Qt::DescendingOrder ? 1 : 0);
}

void ReportGrid::ApplyLayout(const ListLayout& layout, bool withSort) {
    ApplyListLayout(*horizontalHeader(), layout);
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
