// Moving a node of a bank tree under another parent, keeping its item (UID, fields, body),
// its expanded state and its whole subtree.
#pragma once

#include "core/RecordTree.h"

namespace kelvo {

/// Moves `node` to be a child of `newParent`: right after `after` (a child of newParent), or
/// as the last child when `after` is null. Refused (null) when a node is missing or newParent
/// is the node itself or lies below it. Returns the node that now carries the item.
TreeNode* MoveTreeNode(RecordTree& tree, TreeNode* node, TreeNode* newParent,
                       TreeNode* after = nullptr);

} // namespace kelvo
