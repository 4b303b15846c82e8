// The tree model and its Struct/ObPool persistence.
#include "core/RecordTree.h"

#include "platform/base/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace kelvo {

RecordTree::RecordTree() = default;
RecordTree::~RecordTree() = default;

std::vector<TreeNode*>& RecordTree::SiblingsOf(const TreeNode* node) {
    return node->parent ? node->parent->children : m_roots;
}

const std::vector<TreeNode*>& RecordTree::SiblingsOf(const TreeNode* node) const {
    return node->parent ? node->parent->children : m_roots;
}

TreeNode* RecordTree::InsertAt(AnsiView title, TreeNode* parent, std::size_t index) {
    auto owned = std::make_unique<TreeNode>();
    TreeNode* node = owned.get();
    node->title = AnsiString(title);
    node->parent = parent;
    node->item.node = node;
    node->item.uid = NextFreeUid();
    m_uids.Add(node->item.uid, node);
    auto& siblings = parent ? parent->children : m_roots;
    siblings.insert(
        siblings.begin() + static_cast<std::ptrdiff_t>(std::min(index, siblings.size())), node);
    m_nodes.emplace(node, std::move(owned));
    return node;
}

TreeNode* RecordTree::Insert(AnsiView title, TreeNode* parent) {
    return InsertAt(title, parent, parent ? parent->children.size() : m_roots.size());
}

TreeNode* RecordTree::InsertFirst(AnsiView title, TreeNode* parent) {
    return InsertAt(title, parent, 0);
}

TreeNode* RecordTree::InsertAfter(AnsiView title, TreeNode* after) {
    const auto& siblings = SiblingsOf(after);
    const auto pos = std::find(siblings.begin(), siblings.end(), after) - siblings.begin();
    return InsertAt(title, after->parent, static_cast<std::size_t>(pos) + 1);
}

void RecordTree::Remove(TreeNode* node) {
    if (!node || !Contains(node))
        return;
    auto& siblings = SiblingsOf(node);
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    // Iterative, so that a very deep subtree cannot exhaust the stack.
    std::vector<TreeNode*> pending{node};
    while (!pending.empty()) {
        TreeNode* n = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), n->children.begin(), n->children.end());
        if (n == m_selected)
            m_selected = nullptr;
        m_uids.Remove(n->item.uid, n);
        m_nodes.erase(n);
    }
}

void RecordTree::Clear() {
    m_selected = nullptr;
    m_roots.clear();
    m_uids.Clear();
    m_nodes.clear();
}

void RecordTree::SetUid(TreeNode* node, std::uint32_t uid) {
    if (node->item.uid == uid)
        return;
    m_uids.Remove(node->item.uid, node);
    node->item.uid = uid;
    m_uids.Add(uid, node);
}

bool RecordTree::Contains(const TreeNode* node) const {
    return m_nodes.count(node) != 0;
}

std::size_t RecordTree::Depth(const TreeNode* node) {
    std::size_t depth = 0;
    for (const TreeNode* p = node ? node->parent : nullptr; p; p = p->parent)
        ++depth;
    return depth;
}

TreeNode* RecordTree::NextPreOrder(const TreeNode* node) const {
    if (!node)
        return nullptr;
    if (!node->children.empty())
        return node->children.front();
    for (const TreeNode* n = node; n; n = n->parent) {
        const auto& siblings = SiblingsOf(n);
        auto it = std::find(siblings.begin(), siblings.end(), n);
        if (it != siblings.end() && ++it != siblings.end())
            return *it;
    }
    return nullptr;
}

std::vector<TreeNode*> RecordTree::PreOrder() const {
    std::vector<TreeNode*> order;
    order.reserve(m_nodes.size());
    std::vector<TreeNode*> stack(m_roots.rbegin(), m_roots.rend());
    while (!stack.empty()) {
        TreeNode* n = stack.back();
        stack.pop_back();
        order.push_back(n);
        stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
    }
    return order;
}

bool RecordTree::IsInSubtree(const TreeNode* node, const TreeNode* ancestor) {
    for (const TreeNode* n = node; n; n = n->parent)
        if (n == ancestor)
            return true;
    return false;
}

void RecordTree::Select(TreeNode* node, bool notify) {
    m_selected = node;
    if (notify && m_listener)
        m_listener->OnSelectionChanged(*this, node);
}

void RecordTree::EnsureSelection() {
    if (!m_selected && !m_roots.empty()) {
        m_selected = m_roots.front();
        m_selected->expanded = true;
    }
    if (m_listener)
        m_listener->OnSelectionChanged(*this, m_selected);
}

// --- Struct and ObPool -------------------------------------------------------------------

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutRecord(std::string& out, const StructRecord& r) {
    PutU32(out, r.uid);
    PutU32(out, r.level);
    out.push_back(static_cast<char>(r.expanded));
    out.push_back(static_cast<char>(r.selected));
    out.append(6, '\0');
}

std::uint32_t GetU32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// Reads the 16-byte records of a Struct stream through a buffer; the stream's end (or a read
// error) ends the records, and a partial record at the end is dropped.
class RecordReader {
public:
    explicit RecordReader(ByteStream& in) : m_in(in) {}
    bool Next(StructRecord& r) {
        if (m_buffer.size() - m_pos < kStructRecordSize && !Fill())
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(m_buffer.data() + m_pos);
        r.uid = GetU32(p);
        r.level = GetU32(p + 4);
        r.expanded = p[8];
        r.selected = p[9];
        m_pos += kStructRecordSize;
        return true;
    }

private:
    bool Fill() {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
        while (m_buffer.size() < kStructRecordSize) {
            char chunk[64 * 1024];
            auto read = m_in.Read(chunk, sizeof chunk);
            if (!read || read.value() == 0)
                return false;
            m_buffer.append(chunk, read.value());
        }
        return true;
    }
    ByteStream& m_in;
    std::string m_buffer;
    std::size_t m_pos = 0;
};

} // namespace

Result<void> SaveTree(const RecordTree& tree, ByteStream& structStream, ByteStream& obPool,
                      Progress* progress) {
    const std::vector<TreeNode*> nodes = tree.PreOrder();
    if (progress)
        progress->Start(nodes.size() + 2);

    std::string structBytes;
    structBytes.reserve((nodes.size() + 2) * kStructRecordSize);
    StructRecord last{static_cast<std::uint32_t>(nodes.size()), kStructEndLevel, 0, 0};
    PutRecord(structBytes, last);

    LineWriter pool(obPool);
    // Depths follow the pre-order walk: a node's depth is one more than its parent's.
    std::unordered_map<const TreeNode*, std::uint32_t> depth;
    depth.reserve(nodes.size());
    for (const TreeNode* node : nodes) {
        const std::uint32_t d = node->parent ? depth[node->parent] + 1 : 0;
        depth[node] = d;
        last = StructRecord{node->item.uid, d + 1,
                            static_cast<std::uint8_t>(node->expanded ? 0xFF : 0),
                            static_cast<std::uint8_t>(node == tree.selected() ? 0xFF : 0)};
        PutRecord(structBytes, last);
        WriteTreeItemBlock(pool, node->item, node->title);
        if (progress)
            progress->Step();
    }
    last.level = kStructEndLevel;
    PutRecord(structBytes, last);

    const bool poolOk = pool.Flush();
    auto written = structStream.Write(structBytes.data(), structBytes.size());
    if (progress)
        progress->Step();
    if (!written)
        return written.error();
    if (!poolOk)
        return MakeError(hr::WriteFault, "ObPool");
    return {};
}

void LoadTree(RecordTree& tree, ByteStream& structStream, ByteStream& obPool, Progress* progress) {
    tree.Clear();
    RecordReader records(structStream);
    LineReader pool(obPool);
    StructRecord header;
    if (!records.Next(header))
        return;
    if (progress)
        progress->Start(std::size_t{header.uid} + 2);

    TreeNode* previous = nullptr;
    std::int64_t previousDepth = 0;
    StructRecord r;
    while (records.Next(r) && r.level != kStructEndLevel) {
        // Levels are taken as signed: 0 or a negative level goes up past the top.
        const std::int64_t d = static_cast<std::int64_t>(static_cast<std::int32_t>(r.level)) - 1;
        TreeNode* parent = nullptr;
        std::int64_t depth = 0;
        if (previous) {
            if (d == previousDepth) {
                parent = previous->parent;
                depth = previousDepth;
            } else if (d > previousDepth) {
                parent = previous;
                depth = previousDepth + 1;
            } else {
                parent = previous;
                for (std::int64_t up = previousDepth - d + 1; up > 0 && parent; --up)
                    parent = parent->parent;
                depth = parent ? d : 0;
            }
        }
        TreeNode* node = tree.Insert("", parent);
        tree.SetUid(node, r.uid);
        TreeItem loaded;
        AnsiString title;
        ReadTreeItemBlock(pool, loaded, title);
        loaded.node = node;
        tree.SetUid(node, loaded.uid);
        node->item = std::move(loaded);
        node->title = std::move(title);
        if (r.selected)
            tree.Select(node, false);
        if (r.expanded)
            node->expanded = true;
        previous = node;
        previousDepth = depth;
        if (progress)
            progress->Step();
    }
    tree.EnsureSelection();
    if (progress)
        progress->Step();
}

} // namespace kelvo
