// The tree control of the main window, for the record tree or the password folder tree: shows a
// bank tree and turns the user's gestures (selection, label editing, drag and drop, keys,
// context menu) into the bank's tree operations and calls of its host, the main window.
#pragma once

#include "core/TreeOperations.h"
#include "shell/TreeModel.h"

#include <QByteArray>
#include <QTreeView>

class QMimeData;

namespace kelvo {

class CKelvoCtrl;

/// What the tree control asks of the main window.
class KelvoCtrlHost : public SelectionObserver {
public:
    /// Delete and F2 pressed in a tree.
    virtual void HandleTreeKey(int key, CKelvoCtrl& tree) = 0;
    /// The tree's content changed by a gesture (rename, move).
    virtual void HandleTreeChanged(CKelvoCtrl& tree) = 0;
    /// Right click over a node (already selected): show the tree menu at `globalPos`.
    virtual void ShowTreeMenu(CKelvoCtrl& tree, const QPoint& globalPos) = 0;
    /// Converts a typed text for the bank; false (after telling the user) when it cannot be
    /// held in Windows-1251.
    virtual bool AcceptText(const QString& text, const QString& field, AnsiString& out) = 0;
    /// Password entries dragged from the password list were dropped on `folder`.
    virtual void HandlePasswordDrop(TreeNode& folder) = 0;
};

class CKelvoCtrl : public QTreeView {
    Q_OBJECT
public:
    static inline const char* kNodeMime = "application/x-kelvo-tree-node";
    static inline const char* kPasswordMime = "application/x-kelvo-password-rows";
    /// What a drag of password rows carries: the process it started in, so that rows dragged
    /// out of another running Kelvo are never taken for the rows selected in this one.
    static QByteArray PasswordDragData();
    static bool IsOwnPasswordDrag(const QMimeData& mime);
    /// The room the tip window offers, in characters.
    static constexpr std::size_t kTipBufferChars = 1024;

    CKelvoCtrl(CQuorvellineDoc& doc, TreeKind kind, KelvoCtrlHost& host, QWidget* parent = nullptr);
    ~CKelvoCtrl() override;

    RecordTree& Tree() const { return m_doc.tree(m_kind); }
    TreeKind Kind() const { return m_kind; }
    TreeModel& Model() const { return *m_model; }
    bool IsPasswordTree() const { return m_kind == TreeKind::Folders; }

    /// The tree's structure changed elsewhere (load, clear, import): rebuild the view from it.
    void Refresh();
    /// Re-shows the node images (after a change of children).
    void RefreshImages();

    TreeNode* SelectedNode() const { return Tree().selected(); }
    /// Selects a node as a user's click would: the host hears "changing" and "changed".
    void SelectNode(TreeNode* node);
    /// Shows a node just added to the tree, selected.
    void ShowNewNode(TreeNode* node);
    /// The tree selected a node itself (loading, ensuring a selection): show it.
    void ShowTreeSelection();
    /// Deletes a node with its subtree (bodies, entries moved up) and selects a neighbour.
    Result<void> DeleteNode(TreeNode* node);
    /// Expands or collapses the selected node.
    void SetSelectedExpanded(bool expanded);
    /// Starts editing the label of the selected node.
    void BeginRename();
    /// Ends a drag of `dragged` released over `target`: with Shift the node becomes the next
    /// sibling of the target, without it the target's last child. True when it moved.
    bool DropNode(TreeNode* dragged, TreeNode* target, bool shift);
    /// The node under a point of the viewport, or null.
    TreeNode* NodeAt(const QPoint& viewportPos) const;
    /// The node shown as drop target during a drag (null outside a drag).
    TreeNode* DropTarget() const { return m_dropTarget; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void SyncViewFromTree();
    void ClearDragState();
    bool Rename(TreeNode& node, const QString& text);

    CQuorvellineDoc& m_doc;
    TreeKind m_kind;
    TreeModel* m_model;
    KelvoCtrlHost& m_host;
    bool m_syncing = false;
    TreeNode* m_dragged = nullptr;
    TreeNode* m_dropTarget = nullptr;
    bool m_shift = false;
};

} // namespace kelvo
