// The two trees of a bank as the operations over a whole bank read them (index build,
// search, cleanup, printing, revision, export), and the one walk over a subtree that they
// all use: safe against trees that change while the walk handles events, against damaged
// trees that repeat a UID below itself, and against trees too deep for recursion.
#pragma once

#include "core/RecordTree.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace kelvo {

enum class TreeKind { Records, Folders };

/// The record tree and the password folder tree of one bank. The trees may change between
/// two calls of an operation (events are handled during it): hold UIDs, not nodes, across
/// such calls, and look the nodes up again.
struct BankTrees {
    const RecordTree& records;
    const RecordTree& folders;

    const RecordTree& tree(TreeKind kind) const {
        return kind == TreeKind::Records ? records : folders;
    }
    /// Records and folders together.
    std::size_t size() const { return records.size() + folders.size(); }
};

namespace detail {
template <class Visit>
bool WalkFrom(const RecordTree& tree, std::vector<TreeNode*> pending, bool descendants,
              Visit& visit) {
    std::unordered_set<const TreeNode*> visited;
    bool first = true;
    while (!pending.empty()) {
        TreeNode* node = pending.back();
        pending.pop_back();
        // Removed meanwhile (the node is no longer the tree's): the walk goes on.
        if (!tree.Contains(node) || !visited.insert(node).second)
            continue;
        if (!visit(*node))
            return !first;
        first = false;
        if (!descendants)
            break;
        // Asked again: the visit may have handled events that changed the tree.
        if (tree.Contains(node))
            for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
                pending.push_back(*it);
    }
    return true;
}
} // namespace detail

/// Visits the node with `uid` and, with `descendants`, its subtree in pre-order, children in
/// display order, without recursion. `visit(TreeNode&)` returns false to end the walk; the
/// node it gets is valid until the visit handles events. Each node is checked to still be in
/// the tree when its turn comes, and its children are read only after its visit, so nodes
/// removed meanwhile are skipped and nodes added under a node not yet visited are walked.
/// Every node is visited, also one whose UID a damaged bank repeats, and none twice. False
/// when no node has `uid` or the start node's own visit ended the walk; a later visit that
/// ends it still counts as success (the start node was handled).
template <class Visit>
bool WalkSubtree(const RecordTree& tree, std::uint32_t uid, bool descendants, Visit&& visit) {
    TreeNode* start = tree.FindByUid(uid);
    if (!start)
        return false;
    return detail::WalkFrom(tree, {start}, descendants, visit);
}

/// The same walk from a node of `tree` given itself (nothing is visited when it is not the
/// tree's): for trees that may repeat a UID, where the UID would not name the node.
template <class Visit>
bool WalkSubtree(const RecordTree& tree, const TreeNode* start, bool descendants, Visit&& visit) {
    if (!start || !tree.Contains(start))
        return false;
    // A tree hands its nodes out for changing (as FindByUid does); so does the walk.
    return detail::WalkFrom(tree, {const_cast<TreeNode*>(start)}, descendants, visit);
}

/// Visits every node of `tree` in pre-order: each top-level node with its subtree, in display
/// order, with the guarantees of WalkSubtree. False when a visit ended the walk.
template <class Visit> bool WalkTree(const RecordTree& tree, Visit&& visit) {
    bool ended = false;
    auto guarded = [&](TreeNode& node) {
        ended = !visit(node);
        return !ended;
    };
    std::vector<TreeNode*> roots(tree.roots().rbegin(), tree.roots().rend());
    (void)detail::WalkFrom(tree, std::move(roots), true, guarded);
    return !ended;
}

} // namespace kelvo
