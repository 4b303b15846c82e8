// A Qt item model over one bank tree, for the tree control. Structure changes made elsewhere
// are announced with Reset(); titles change through setData (label editing).
#pragma once

#include "core/RecordTree.h"

#include <QAbstractItemModel>

#include <functional>

namespace kelvo {

class TreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum class Kind { Records, Folders };
    /// The node a model index stands for (UserRole + 1 would box it; this is direct).
    static TreeNode* NodeOf(const QModelIndex& index) {
        return static_cast<TreeNode*>(index.internalPointer());
    }

    TreeModel(RecordTree& tree, Kind kind, QObject* parent = nullptr);

    RecordTree& Tree() const { return *m_tree; }
    void SetTree(RecordTree& tree);
    Kind kind() const { return m_kind; }

    /// Tip text of a node (tooltip role); set by the tree control.
    void SetTipProvider(std::function<QString(TreeNode&)> provider) { m_tip = std::move(provider); }
    /// Called when a label edit ends with text to keep; returns whether the text was taken.
    void SetRenameHandler(std::function<bool(TreeNode&, const QString&)> handler) {
        m_rename = std::move(handler);
    }

    QModelIndex IndexOf(const TreeNode* node) const;
    /// The structure changed: rebuild every index.
    void Reset();
    /// The node's text or image may have changed.
    void NodeChanged(const TreeNode* node);
    /// Image index of a node by the tree's rules (selected: the selected image).
    int ImageOf(const TreeNode& node, bool selected) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

private:
    const std::vector<TreeNode*>& ChildrenOf(const TreeNode* node) const;

    RecordTree* m_tree;
    Kind m_kind;
    std::function<QString(TreeNode&)> m_tip;
    std::function<bool(TreeNode&, const QString&)> m_rename;
};

} // namespace kelvo
