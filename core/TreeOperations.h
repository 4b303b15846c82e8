// What the user does to the record tree and the password folder tree, without the widget:
// adding, renaming, deleting with bodies and entries, expanding, moving, selecting. Each
// operation keeps items, bodies, password entries and the modified flag of the document
// consistent; the tree control of the shell only turns gestures into these calls.
#pragma once

#include "core/QuorvellineDoc.h"

#include <string_view>

namespace kelvo {

/// Titles of new nodes (UTF-8).

/// The views that follow a tree's selection: the record editor saves and loads bodies, the
/// password list refills itself.
class SelectionObserver {
public:
    virtual ~SelectionObserver() = default;
    /// The selection is about to leave `leaving` (may be null) for `entering`: in the record
    /// tree the editor saves the body of `leaving` now, while it still exists.
    virtual void OnSelectionChanging(TreeKind /*tree*/, TreeNode* /*leaving*/,
                                     TreeNode* /*entering*/) {}
    /// `node` is now selected: the editor loads its body, or the password list shows its
    /// entries.
    virtual void OnSelectionChanged(TreeKind /*tree*/, TreeNode* /*node*/) {}
};

/// The image of a node in its tree's image list: a record with children 3 (selected 4), one
/// without 5 (selected 6); the first top-level folder 0, every other folder 2 (selected 3).
int TreeImageIndex(const RecordTree& tree, TreeKind kind, const TreeNode& node, bool selected);

/// Selects `node` (a node of the tree): the observer hears the change before and after, and
/// the node's opened time becomes now (which does not mark the bank modified). Selecting the
/// selected node again does nothing. Returns false when `node` is not in the tree.
bool SelectTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* node,
                    SelectionObserver* observer = nullptr);

/// Adds "Новая запись" (records) or "Новая папка" (folders) as the last child of the selected
/// node, selects it and marks the bank modified. The record has no body until it is shown.
/// Returns null when nothing is selected.
TreeNode* AddTreeNode(CQuorvellineDoc& doc, TreeKind kind, SelectionObserver* observer = nullptr);

/// The end of a label edit that is kept: when `text` differs from the node's title byte for
/// byte, the title takes it and the bank is marked modified. An empty text is accepted.
/// Returns whether the title changed.
bool RenameTreeNode(CQuorvellineDoc& doc, TreeNode* node, AnsiView text);

/// Whether the delete command is enabled: a node is selected and it is not the first
/// top-level node (the root record or the root folder).
bool CanDeleteTreeNode(CQuorvellineDoc& doc, TreeKind kind);

/// What the loss of one node means for the data behind it. Records: with `treeLive` the body
/// stream is destroyed in the working storage at once (the bank file changes even if the bank
/// is then closed without saving); without it (the document clearing its trees) nothing
/// happens. Folders: the entries of the folder move to its parent folder (to the first
/// top-level folder when it has none), so that no entry is lost.
void HandleTreeItemDeleted(CQuorvellineDoc& doc, TreeKind kind, const TreeNode& node,
                           bool treeLive = true);

/// Deletes `node` with its whole subtree: every node is handed to HandleTreeItemDeleted,
/// descendants before their ancestors, then the nodes go. When the selection was inside, the
/// next sibling, else the previous one, else the parent becomes selected and the observer
/// hears only that it changed (nothing is saved for a deleted record). Marks the bank
/// modified. Refuses the first top-level node and nodes not in the tree (hr::InvalidArg).
/// Record bodies leave the bank file first, all of them in one transaction; when that fails
/// (the file cannot be opened or written) nothing is deleted and message 10131 with the
/// reason is returned: a body left behind would reappear under the next record that takes
/// the UID.
Result<void> DeleteTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* node,
                            bool treeLive = true, SelectionObserver* observer = nullptr);

/// Enabling of expand and collapse: the node has children and is (not) expanded.
bool CanExpandTreeNode(const TreeNode* node);
bool CanCollapseTreeNode(const TreeNode* node);
/// Expands or collapses a node that has children; the state is stored with the next save but
/// does not mark the bank modified. Returns whether the state changed.
bool SetTreeNodeExpanded(TreeNode* node, bool expanded);

/// Moves `node` with its subtree under `newParent`: right after `after` (a child of
/// `newParent`), or as the last child when `after` is null. The node keeps its UID, item,
/// body, expanded state, selection and children in their order; pointers to it stay valid.
/// Refused (nothing changes, returns false) when a node is missing or not in the tree, when
/// `node` is a top-level node, when `newParent` is `node` or lies below it, or when `after`
/// is `node` or not a child of `newParent`. Marks the bank modified.
bool MoveTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* node, TreeNode* newParent,
                  TreeNode* after = nullptr);

/// The end of a drag: with `shift` the dragged node becomes the sibling right after `target`,
/// without it the last child of `target`. Nothing happens when there is no target, when the
/// target is the dragged node, when a Shift-drop falls on a top-level node, or when the move
/// is refused. Returns whether the node moved.
bool DropTreeNode(CQuorvellineDoc& doc, TreeKind kind, TreeNode* dragged, TreeNode* target,
                  bool shift);

} // namespace kelvo
