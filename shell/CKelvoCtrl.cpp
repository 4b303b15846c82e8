// The tree control of the main window.
#include "shell/CKelvoCtrl.h"
#include "shell/ShellStrings.h"

#include "core/ItemTip.h"
#include "shell/AnsiInput.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

namespace kelvo {

CKelvoCtrl::CKelvoCtrl(CQuorvellineDoc& doc, TreeKind kind, KelvoCtrlHost& host, QWidget* parent)
    : QTreeView(parent), m_doc(doc), m_kind(kind),
      m_model(new TreeModel(
          doc.tree(kind),
          kind == TreeKind::Records ? TreeModel::Kind::Records : TreeModel::Kind::Folders, this)),
      m_host(host) {
    setModel(m_model);
    header()->hide();
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false); // the drop target and insertion mark are drawn here
    setDragDropMode(DragDrop);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setMinimumSize(120, 120);

    m_model->SetTipProvider([this](TreeNode& node) {
        return FromAnsi(FitTipText(GetTreeItemTip(m_doc, m_kind, node), kTipBufferChars));
    });
    m_model->SetRenameHandler(
        [this](TreeNode& node, const QString& text) { return Rename(node, text); });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TreeNode* node = TreeModel::NodeOf(index); node && !m_syncing)
            SetTreeNodeExpanded(node, true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (TreeNode* node = TreeModel::NodeOf(index); node && !m_syncing)
            SetTreeNodeExpanded(node, false);
    });
    SyncViewFromTree();
}

CKelvoCtrl::~CKelvoCtrl() = default;

void CKelvoCtrl::Refresh() {
    ClearDragState();
    m_model->Reset();
    SyncViewFromTree();
}

void CKelvoCtrl::RefreshImages() {
    for (TreeNode* node : Tree().PreOrder())
        m_model->NodeChanged(node);
}

void CKelvoCtrl::SyncViewFromTree() {
    m_syncing = true;
    for (TreeNode* node : Tree().PreOrder())
        setExpanded(m_model->IndexOf(node), node->expanded);
    const QModelIndex current = m_model->IndexOf(Tree().selected());
    if (current.isValid()) {
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
        scrollTo(current);
    } else {
        selectionModel()->clearSelection();
    }
    m_syncing = false;
}

void CKelvoCtrl::ShowTreeSelection() {
    SyncViewFromTree();
    RefreshImages();
}

void CKelvoCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (m_syncing)
        return;
    TreeNode* node = TreeModel::NodeOf(current);
    if (!current.isValid() || !node || node == Tree().selected())
        return;
    SelectNode(node);
}

void CKelvoCtrl::SelectNode(TreeNode* node) {
    TreeNode* old = Tree().selected();
    if (!node || old == node || !SelectTreeNode(m_doc, m_kind, node, &m_host))
        return;
    m_syncing = true;
    const QModelIndex index = m_model->IndexOf(node);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
    m_syncing = false;
    if (old)
        m_model->NodeChanged(old);
    m_model->NodeChanged(node);
}

void CKelvoCtrl::ShowNewNode(TreeNode* node) {
    m_model->Reset();
    SyncViewFromTree();
    SelectNode(node);
    RefreshImages();
}

Result<void> CKelvoCtrl::DeleteNode(TreeNode* node) {
    if (auto deleted = DeleteTreeNode(m_doc, m_kind, node, true, &m_host); !deleted)
        return deleted;
    m_model->Reset();
    SyncViewFromTree();
    RefreshImages();
    return {};
}

void CKelvoCtrl::SetSelectedExpanded(bool expanded) {
    if (TreeNode* node = SelectedNode())
        setExpanded(m_model->IndexOf(node), expanded); // the expanded signals store the state
}

void CKelvoCtrl::BeginRename() {
    setFocus();
    const QModelIndex index = m_model->IndexOf(Tree().selected());
    if (index.isValid())
        edit(index);
}

bool CKelvoCtrl::Rename(TreeNode& node, const QString& text) {
    AnsiString title;
    if (!m_host.AcceptText(text, Tr(text::TitleField), title))
        return false;
    // Byte for byte: only a real change marks the bank modified.
    if (!RenameTreeNode(m_doc, &node, title))
        return false;
    m_host.HandleTreeChanged(*this);
    return true;
}

bool CKelvoCtrl::DropNode(TreeNode* dragged, TreeNode* target, bool shift) {
    if (!DropTreeNode(m_doc, m_kind, dragged, target, shift))
        return false;
    m_model->Reset();
    SyncViewFromTree();
    m_host.HandleTreeChanged(*this);
    return true;
}

TreeNode* CKelvoCtrl::NodeAt(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? TreeModel::NodeOf(index) : nullptr;
}

void CKelvoCtrl::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_F2)) {
        m_host.HandleTreeKey(event->key(), *this);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CKelvoCtrl::contextMenuEvent(QContextMenuEvent* event) {
    TreeNode* node = NodeAt(event->pos());
    if (!node)
        return; // nothing over no node
    SelectNode(node);
    m_host.ShowTreeMenu(*this, event->globalPos() + QPoint(2, 0));
}

void CKelvoCtrl::startDrag(Qt::DropActions) {
    TreeNode* node = TreeModel::NodeOf(currentIndex());
    if (!node || !node->parent || !Tree().Contains(node))
        return; // a top-level node cannot be dragged
    m_dragged = node;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kNodeMime), QByteArray::number(node->item.uid));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const QRect rect = visualRect(currentIndex());
    QPixmap image(rect.size());
    image.fill(Qt::transparent);
    viewport()->render(&image, QPoint(), QRegion(rect));
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    drag->exec(Qt::MoveAction);
    ClearDragState();
}

QByteArray CKelvoCtrl::PasswordDragData() {
    return QByteArray::number(QCoreApplication::applicationPid());
}

bool CKelvoCtrl::IsOwnPasswordDrag(const QMimeData& mime) {
    return mime.hasFormat(QString::fromLatin1(kPasswordMime)) &&
           mime.data(QString::fromLatin1(kPasswordMime)) == PasswordDragData();
}

void CKelvoCtrl::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    const bool ownNode = mime->hasFormat(QString::fromLatin1(kNodeMime)) && event->source() == this;
    const bool passwords = IsPasswordTree() && IsOwnPasswordDrag(*mime);
    if (ownNode || passwords)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CKelvoCtrl::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint pos = event->position().toPoint();
    TreeNode* node = NodeAt(pos);
    m_shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (node) {
        m_dropTarget = node;
        scrollTo(m_model->IndexOf(node));
    }
    viewport()->update();
    event->acceptProposedAction();
}

void CKelvoCtrl::dragLeaveEvent(QDragLeaveEvent* event) {
    m_dropTarget = nullptr;
    viewport()->update();
    QTreeView::dragLeaveEvent(event);
}

void CKelvoCtrl::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    TreeNode* target = NodeAt(event->position().toPoint());
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (mime->hasFormat(QString::fromLatin1(kPasswordMime))) {
        ClearDragState();
        if (!IsPasswordTree() || !IsOwnPasswordDrag(*mime)) {
            event->ignore();
            return;
        }
        if (target)
            m_host.HandlePasswordDrop(*target);
        event->acceptProposedAction();
        return;
    }
    TreeNode* dragged = event->source() == this ? m_dragged : nullptr;
    ClearDragState();
    if (dragged && target)
        DropNode(dragged, target, shift);
    // The move is done here; the drag source must not remove anything itself.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void CKelvoCtrl::ClearDragState() {
    m_dropTarget = nullptr;
    m_shift = false;
    viewport()->update();
}

void CKelvoCtrl::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!m_dropTarget || !Tree().Contains(m_dropTarget))
        return;
    const QRect rect = visualRect(m_model->IndexOf(m_dropTarget));
    if (!rect.isValid())
        return;
    QPainter p(viewport());
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlpha(80);
    p.fillRect(rect, highlight);
    if (m_shift) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
    }
}

} // namespace kelvo
