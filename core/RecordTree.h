// The GUI-free model of one bank tree (the record tree or the password folder tree): nodes
// with titles, expanded state, children in display order and the selected node, each node
// carrying its TreeItem; and its persistence as the Struct and ObPool streams.
#pragma once

#include "core/Progress.h"
#include "core/TreeItem.h"
#include "core/UidIndex.h"
#include "platform/base/Result.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvo {

namespace cfb {
class Storage;
}

/// One node. Nodes are owned by their tree; pointers to them stay valid until the node is
/// removed or the tree cleared. Change them through RecordTree so its indexes stay right.
struct TreeNode {
    AnsiString title;
    bool expanded = false;
    TreeItem item;
    TreeNode* parent = nullptr;
    std::vector<TreeNode*> children; ///< display order
};

class RecordTree;

/// Told when the selected node of a tree becomes (or is reported as) newly selected.
class TreeListener {
public:
    virtual ~TreeListener() = default;
    virtual void OnSelectionChanged(RecordTree& tree, TreeNode* node) = 0;
};

class RecordTree {
public:
    RecordTree();
    ~RecordTree();
    RecordTree(const RecordTree&) = delete;
    RecordTree& operator=(const RecordTree&) = delete;

    void SetListener(TreeListener* listener) { m_listener = listener; }

    /// Inserts a node as the last child of `parent` (null: top level) with a new item whose UID
    /// is NextFreeUid. Returns the node.
    TreeNode* Insert(AnsiView title, TreeNode* parent = nullptr);
    /// Inserts a node as the first child of `parent`.
    TreeNode* InsertFirst(AnsiView title, TreeNode* parent = nullptr);
    /// Inserts a node right after its sibling `after`.
    TreeNode* InsertAfter(AnsiView title, TreeNode* after);
    /// Removes a node with its whole subtree. The selection moves to none when it was inside.
    void Remove(TreeNode* node);
    /// Removes every node.
    void Clear();

    /// The smallest UID >= 1 that no node of this tree carries.
    std::uint32_t NextFreeUid() const { return m_uids.NextFreeUid(); }
    /// The first node (in insertion order) whose item has `uid`, or null.
    TreeNode* FindByUid(std::uint32_t uid) const { return m_uids.Find(uid); }
    /// Gives a node's item another UID, keeping the index right.
    void SetUid(TreeNode* node, std::uint32_t uid);
    /// True when `node` is a node of this tree.
    bool Contains(const TreeNode* node) const;

    const std::vector<TreeNode*>& roots() const { return m_roots; }
    TreeNode* first() const { return m_roots.empty() ? nullptr : m_roots.front(); }
    std::size_t size() const { return m_nodes.size(); }
    bool empty() const { return m_nodes.empty(); }

    /// The number of ancestors (0 for a top-level node).
    static std::size_t Depth(const TreeNode* node);
    /// The node after `node` in pre-order: first child, else next sibling, else the next
    /// sibling of the nearest ancestor that has one; null at the end.
    TreeNode* NextPreOrder(const TreeNode* node) const;
    /// Every node in pre-order from the first top-level node.
    std::vector<TreeNode*> PreOrder() const;
    /// True when `node` is `ancestor` or lies below it.
    static bool IsInSubtree(const TreeNode* node, const TreeNode* ancestor);

    TreeNode* selected() const { return m_selected; }
    /// Selects a node (null clears the selection); reports it to the listener when `notify`.
    void Select(TreeNode* node, bool notify = true);
    /// When no node is selected, selects the first top-level node and expands it; then, in
    /// every case, reports the selected node as newly selected.
    void EnsureSelection();

private:
    TreeNode* InsertAt(AnsiView title, TreeNode* parent, std::size_t index);
    std::vector<TreeNode*>& SiblingsOf(const TreeNode* node);
    const std::vector<TreeNode*>& SiblingsOf(const TreeNode* node) const;

    std::unordered_map<const TreeNode*, std::unique_ptr<TreeNode>> m_nodes;
    std::vector<TreeNode*> m_roots;
    UidIndex<TreeNode> m_uids;
    TreeNode* m_selected = nullptr;
    TreeListener* m_listener = nullptr;
};

/// The 16-byte entry of a Struct stream.
struct StructRecord {
    std::uint32_t uid = 0;   ///< node count in the header record
    std::uint32_t level = 0; ///< depth + 1; 0xFFFFFFFF in the header and the terminator
    std::uint8_t expanded = 0;
    std::uint8_t selected = 0;
};
inline constexpr std::uint32_t kStructEndLevel = 0xFFFFFFFF;
inline constexpr std::size_t kStructRecordSize = 16;

/// Writes the tree: Struct gets the header, one record per node in pre-order and the
/// terminator; ObPool one TreeItem block per node. Fails when a stream write fails (the
/// ObPool writer drops the rest once a write failed).
Result<void> SaveTree(const RecordTree& tree, ByteStream& structStream, ByteStream& obPool,
                      Progress* progress = nullptr);
/// Clears the tree and loads it from the two streams. Damaged streams give the nodes read so
/// far; never reads past an end. Ensures a selection at the end.
void LoadTree(RecordTree& tree, ByteStream& structStream, ByteStream& obPool,
              Progress* progress = nullptr);

/// Creates Struct and ObPool in `storage` (replacing them), writes the tree and commits.
Result<void> SaveTreeToStorage(const RecordTree& tree, cfb::Storage& storage,
                               Progress* progress = nullptr);
/// Opens (or creates, as the bank format does) Struct and ObPool in `storage` and loads.
void LoadTreeFromStorage(RecordTree& tree, cfb::Storage& storage, Progress* progress = nullptr);

} // namespace kelvo
