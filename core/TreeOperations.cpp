// Tree operations over the document: selection, add, rename, delete, expand, move.
#include "core/TreeOperations.h"

#include <algorithm>
#include <vector>

namespace kelvo {

namespace {

const std::vector<TreeNode*>& SiblingsOf(const RecordTree& tree, const TreeNode* node) {
    return node->parent ? node->parent->children : tree.roots();
}

// The node the tree control selects when the selected node is deleted: the next sibling,
// else the previous one, else the parent.
TreeNode* Neighbour(RecordTree& tree, TreeNode* node) {
    const auto& siblings = SiblingsOf(tree, node);
    auto pos = std::find(siblings.begin(), siblings.end(), node);
    if (pos == siblings.end())
        return node->parent;
    if (pos + 1 != siblings.end())
        return *(pos + 1);
    if (pos != siblings.begin())
        return *(pos - 1);
    return node->parent;
}

// The subtree of `node`, descendants before their ancestors (children in order).
std::vector<TreeNode*> PostOrder(TreeNode* node) {
    std::vector<TreeNode*> order;
    std::vector<std::pair<TreeNode*, bool>> stack{{node, false}};
    while (!stack.empty()) {
        auto [n, visited] = stack.back();
        stack.pop_back();
        if (visited) {
            order.push_back(n);
            continue;
        }
        stack.push_back({n, true});
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.push_back({*it, false});
    }
    return order;
}

} // namespace

int TreeImageIndex(const RecordTree& tree, TreeKind kind, const TreeNode& node, bool selected) {
    if (kind == TreeKind::Folders) {
        if (&node == tree.first())
            return 0;
        return selected ? 3 : 2;
    }
    if (!node.children.empty())
        return selected ? 4 : 3;
    return selected ? 6 : 5;
}

bool SelectTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* node,
                    SelectionObserver* observer) {
    RecordTree& tree = doc.tree(kind);
    if (!node || !tree.Contains(node))
        return false;
    TreeNode* leaving = tree.selected();
    if (leaving == node)
        return true;
    if (observer)
        observer->OnSelectionChanging(kind, leaving, node);
    node->item.opened = OleDateTime::Now();
    tree.Select(node, false);
    if (observer)
        observer->OnSelectionChanged(kind, node);
    node->item.opened = OleDateTime::Now();
    return true;
}

TreeNode* AddTreeNode(CQuorvellineDoc& doc, TreeKind kind, SelectionObserver* observer) {
    TreeNode* parent = doc.tree(kind).selected();
    if (!parent)
        return nullptr;
    TreeNode* node = doc.AddNode(
        kind, parent,
        AnsiStringText(kind == TreeKind::Records ? msg::NewRecordTitle : msg::NewFolderTitle));
    SelectTreeNode(doc, kind, node, observer);
    return node;
}

bool RenameTreeNode(CQuorvellineDoc& doc, TreeNode* node, AnsiView text) {
    if (!node || node->title == text)
        return false;
    node->title = AnsiString(text);
    doc.SetModifiedFlag(true);
    return true;
}

bool CanDeleteTreeNode(CQuorvellineDoc& doc, TreeKind kind) {
    const RecordTree& tree = doc.tree(kind);
    return tree.selected() && tree.selected() != tree.first();
}

void HandleTreeItemDeleted(CQuorvellineDoc& doc, TreeKind kind, const TreeNode& node,
                           bool treeLive) {
    if (kind == TreeKind::Records) {
        if (treeLive)
            (void)doc.RemoveBody(node.item.uid); // a body that cannot be removed stays behind
        return;
    }
    const TreeNode* heir = node.parent ? node.parent : doc.folders().first();
    if (heir && heir != &node)
        doc.passwords().MoveFolderEntries(node.item.uid, heir->item.uid);
}

Result<void> DeleteTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* node, bool treeLive,
                            SelectionObserver* observer) {
    RecordTree& tree = doc.tree(kind);
    if (!node || !tree.Contains(node) || node == tree.first())
        return MakeError(hr::InvalidArg, "this node cannot be deleted");
    TreeNode* selected = tree.selected();
    const bool selectionInside = selected && RecordTree::IsInSubtree(selected, node);
    TreeNode* next = selectionInside ? Neighbour(tree, node) : nullptr;

    const std::vector<TreeNode*> gone = PostOrder(node);
    if (kind == TreeKind::Records) {
        // One opening of the bank file for the whole subtree rather than one per record.
        if (treeLive) {
            std::vector<std::uint32_t> uids;
            uids.reserve(gone.size());
            for (const TreeNode* n : gone)
                uids.push_back(n->item.uid);
            if (auto removed = doc.RemoveBodies(uids); !removed)
                return ErrorWithReason(msg::DeleteBodiesFailed, removed.error());
        }
    } else {
        for (TreeNode* n : gone)
            HandleTreeItemDeleted(doc, kind, *n, treeLive);
    }
    tree.Remove(node);

    if (next) {
        tree.Select(next, false);
        next->item.opened = OleDateTime::Now();
        if (observer)
            observer->OnSelectionChanged(kind, next);
    }
    doc.SetModifiedFlag(true);
    return {};
}

bool CanExpandTreeNode(const TreeNode* node) {
    return node && !node->children.empty() && !node->expanded;
}

bool CanCollapseTreeNode(const TreeNode* node) {
    return node && !node->children.empty() && node->expanded;
}

bool SetTreeNodeExpanded(TreeNode* node, bool expanded) {
    if (!node || node->children.empty() || node->expanded == expanded)
        return false;
    node->expanded = expanded;
    return true;
}

bool MoveTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* node, TreeNode* newParent,
                  TreeNode* after) {
    RecordTree& tree = doc.tree(kind);
    if (!node || !newParent || !tree.Contains(node) || !tree.Contains(newParent))
        return false;
    if (!node->parent || RecordTree::IsInSubtree(newParent, node))
        return false;
    if (after && (after == node || after->parent != newParent))
        return false;

    // The node itself changes place, so that its item, its children and every pointer to it
    // come along unchanged.
    auto& oldSiblings = node->parent->children;
    oldSiblings.erase(std::find(oldSiblings.begin(), oldSiblings.end(), node));
    auto& newSiblings = newParent->children;
    auto pos =
        after ? std::find(newSiblings.begin(), newSiblings.end(), after) + 1 : newSiblings.end();
    newSiblings.insert(pos, node);
    node->parent = newParent;
    doc.SetModifiedFlag(true);
    return true;
}

bool DropTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* dragged, TreeNode* target,
                  bool shift) {
    if (!dragged || !target || dragged == target)
        return false;
    if (shift)
        return target->parent && MoveTreeNode(doc, kind, dragged, target->parent, target);
    return MoveTreeNode(doc, kind, dragged, target, nullptr);
}

} // namespace kelvo
