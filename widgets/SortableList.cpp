// The sortable list: a flat tree view over its model, with uniform row heights so that
// thousands of rows fill and scroll at once.
#include "widgets/SortableList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace kelvo {

SortableList::SortableList(QWidget* parent)
    : QTreeView(parent), m_model(new SortableListModel(this)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setIconSize(QSize(16, 16));
    setTextElideMode(Qt::ElideRight);

    QHeaderView* head = header();
    head->setSectionsMovable(true);
    head->setStretchLastSection(false);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    head->setMinimumSectionSize(8);
    SetSortOnHeaderClick(true);
    connect(head, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                if (!m_settingIndicator && m_headerSorts && column >= 0)
                    SortByColumn(column, order);
            });

    connect(m_model, &SortableListModel::CheckChanged, this, &SortableList::CheckChanged);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit RowDoubleClicked(index.row());
        emit RowActivated(index.row());
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SortableList::SelectionChanged);
}

void SortableList::SetColumns(const std::vector<ListColumn>& columns) {
    std::vector<QString> headings;
    for (const ListColumn& column : columns)
        headings.push_back(column.heading);
    m_model->Clear();
    m_model->SetHeadings(headings);
    QHeaderView* head = header();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (head->visualIndex(i) != i)
            head->moveSection(head->visualIndex(i), i);
        head->resizeSection(i, columns[static_cast<std::size_t>(i)].width);
    }
    m_model->SetSortOrder(0, Qt::AscendingOrder);
    SetSortOnHeaderClick(m_headerSorts);
}

void SortableList::SetSortOnHeaderClick(bool on) {
    m_headerSorts = on;
    QHeaderView* head = header();
    head->setSectionsClickable(on);
    head->setSortIndicatorShown(on);
    m_settingIndicator = true;
    head->setSortIndicator(on ? SortColumn() : -1, SortOrder());
    m_settingIndicator = false;
}

void SortableList::SetGridLines(bool on) {
    m_gridLines = on;
    viewport()->update();
}

int SortableList::CurrentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

std::vector<int> SortableList::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SortableList::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void SortableList::SortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount())
        return;
    if (m_headerSorts) {
        m_settingIndicator = true;
        header()->setSortIndicator(column, order);
        m_settingIndicator = false;
    }
    m_model->sort(column, order);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

ListLayout SortableList::Layout(bool withSort) const {
    return CaptureListLayout(*header(), withSort ? SortColumn() : 0,
                             withSort && SortOrder() == Qt::DescendingOrder ? 1 : 0);
}

void SortableList::ApplyLayout(const ListLayout& layout, bool withSort) {
    ApplyListLayout(*header(), layout);
    if (withSort && layout.sortColumn >= 0 && layout.sortColumn < ColumnCount())
        SortByColumn(layout.sortColumn,
                     layout.sortOrder == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void SortableList::SaveLayout(ListLayoutStore& store, const QString& name, bool withSort) const {
    store.SaveListLayout(name, Layout(withSort));
}

bool SortableList::LoadLayout(ListLayoutStore& store, const QString& name, bool withSort) {
    const std::optional<ListLayout> layout = store.LoadListLayout(name);
    if (!layout)
        return false;
    ApplyLayout(*layout, withSort);
    return true;
}

void SortableList::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (!m_gridLines)
        return;
    const QHeaderView* head = header();
    const QColor line = palette().color(QPalette::Midlight);
    painter->save();
    painter->setPen(line.isValid() ? line : QColor(0xd0, 0xd0, 0xd0));
    const int top = option.rect.top();
    const int bottom = option.rect.bottom();
    int right = 0;
    for (int visual = 0; visual < head->count(); ++visual) {
        const int logical = head->logicalIndex(visual);
        if (head->isSectionHidden(logical))
            continue;
        const int x = head->sectionViewportPosition(logical) + head->sectionSize(logical) - 1;
        painter->drawLine(x, top, x, bottom);
        right = std::max(right, x);
    }
    painter->drawLine(0, bottom, right, bottom);
    painter->restore();
}

void SortableList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && CurrentRow() >= 0) {
        emit RowActivated(CurrentRow());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace kelvo
