// A Qt item model over one bank tree.
#include "shell/TreeModel.h"

#include "core/TreeOperations.h"
#include "shell/Icons.h"

#include <algorithm>

namespace kelvo {

TreeModel::TreeModel(RecordTree& tree, Kind kind, QObject* parent)
    : QAbstractItemModel(parent), m_tree(&tree), m_kind(kind) {}

void TreeModel::SetTree(RecordTree& tree) {
    beginResetModel();
    m_tree = &tree;
    endResetModel();
}

const std::vector<TreeNode*>& TreeModel::ChildrenOf(const TreeNode* node) const {
    return node ? node->children : m_tree->roots();
}

QModelIndex TreeModel::IndexOf(const TreeNode* node) const {
    if (!node || !m_tree->Contains(node))
        return {};
    const auto& siblings = ChildrenOf(node->parent);
    const auto it = std::find(siblings.begin(), siblings.end(), node);
    if (it == siblings.end())
        return {};
    return createIndex(static_cast<int>(it - siblings.begin()), 0, const_cast<TreeNode*>(node));
}

void TreeModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TreeModel::NodeChanged(const TreeNode* node) {
    const QModelIndex index = IndexOf(node);
    if (index.isValid())
        emit dataChanged(index, index);
}

int TreeModel::ImageOf(const TreeNode& node, bool selected) const {
    return TreeImageIndex(*m_tree, m_kind == Kind::Records ? TreeKind::Records : TreeKind::Folders,
                          node, selected);
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const auto& children = ChildrenOf(NodeOf(parent));
    if (row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, children[static_cast<std::size_t>(row)]);
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    const TreeNode* node = NodeOf(child);
    if (!child.isValid() || !node || !node->parent)
        return {};
    return IndexOf(node->parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return static_cast<int>(ChildrenOf(NodeOf(parent)).size());
}

int TreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    TreeNode* node = NodeOf(index);
    if (!index.isValid() || !node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(AnsiToUtf8(node->title));
    case Qt::DecorationRole: {
        const int image = ImageOf(*node, node == m_tree->selected());
        return m_kind == Kind::Records ? RecordTreeImage(image) : PasswordTreeImage(image);
    }
    case Qt::ToolTipRole:
        return m_tip ? QVariant(m_tip(*node)) : QVariant();
    default:
        return {};
    }
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TreeNode* node = NodeOf(index);
    if (role != Qt::EditRole || !index.isValid() || !node || !m_rename)
        return false;
    if (!m_rename(*node, value.toString()))
        return false;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
    // A top-level node cannot be dragged.
    if (const TreeNode* node = NodeOf(index); node && node->parent)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

} // namespace kelvo
