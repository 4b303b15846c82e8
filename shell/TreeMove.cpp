// Moving a node of a bank tree under another parent.
#include "shell/TreeMove.h"

#include <vector>

namespace kelvo {
namespace {

// Copies `node` and its subtree under `parent` (after `after`, or last), each copy carrying
// the item of its original. `selected` follows the tree's selected node into the copy.
TreeNode* CopySubtree(RecordTree& tree, const TreeNode* node, TreeNode* parent, TreeNode* after,
                      TreeNode*& selected) {
    TreeNode* copy =
        after ? tree.InsertAfter(node->title, after) : tree.Insert(node->title, parent);
    const std::uint32_t temporaryUid = copy->item.uid;
    copy->item = node->item;
    copy->item.node = copy;
    copy->item.uid = temporaryUid;
    tree.SetUid(copy, node->item.uid);
    copy->expanded = node->expanded;
    if (node == tree.selected())
        selected = copy;
    const std::vector<TreeNode*> children = node->children;
    for (const TreeNode* child : children)
        CopySubtree(tree, child, copy, nullptr, selected);
    return copy;
}

} // namespace

TreeNode* MoveTreeNode(RecordTree& tree, TreeNode* node, TreeNode* newParent, TreeNode* after) {
    if (!node || !newParent || !tree.Contains(node) || !tree.Contains(newParent) ||
        RecordTree::IsInSubtree(newParent, node))
        return nullptr;
    if (after && (after->parent != newParent || after == node))
        after = nullptr;
    TreeNode* selected = nullptr;
    TreeNode* moved = CopySubtree(tree, node, newParent, after, selected);
    tree.Remove(node);
    if (selected)
        tree.Select(selected, false);
    return moved;
}

} // namespace kelvo
