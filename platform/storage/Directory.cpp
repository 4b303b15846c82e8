// The directory: entries and a red-black tree of children per storage.
#include "platform/storage/Directory.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kelvo::cfb {

char16_t Directory::UpperUnit(char16_t c) {
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    auto minus = [c](int d) { return static_cast<char16_t>(c - d); };
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return minus(32);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        const bool evenUpper =
            (c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177);
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (evenUpper && (c & 1))
            return minus(1);
        if (oddUpper && !(c & 1))
            return minus(1);
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3CB)
        return c == 0x3C2 ? char16_t{0x3A3} : minus(32);
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return minus(37);
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return minus(63);
    if (c >= 0x430 && c <= 0x44F)
        return minus(32);
    if (c >= 0x450 && c <= 0x45F)
        return minus(80);
    if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F)) &&
        (c & 1))
        return minus(1);
    if (c >= 0x4C1 && c <= 0x4CE && !(c & 1))
        return minus(1);
    if (c == 0x4CF)
        return 0x4C0;
    if (c >= 0x561 && c <= 0x586)
        return minus(48);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return minus(32);
    return c;
}

int Directory::CompareNames(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x == y)
            continue;
        x = UpperUnit(x);
        y = UpperUnit(y);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool Directory::ValidName(std::u16string_view name) {
    if (name.empty() || name.size() > MaxNameUnits)
        return false;
    for (char16_t c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'!' || c == 0)
            return false;
    }
    return true;
}

void Directory::Parse(const std::uint8_t* bytes, std::size_t size, bool version3) {
    const std::size_t count = size / DirEntrySize;
    m_entries.assign(count, DirEntry{});
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = bytes + i * DirEntrySize;
        DirEntry& e = m_entries[i];
        const std::uint16_t nameBytes = Get16(p + 0x40);
        std::size_t units = std::min<std::size_t>(nameBytes / 2, 32);
        if (units > 0)
            --units; // the terminating NUL
        e.name.resize(units);
        for (std::size_t k = 0; k < units; ++k)
            e.name[k] = static_cast<char16_t>(Get16(p + 2 * k));
        e.type = p[0x42];
        e.color = p[0x43];
        e.left = Get32(p + 0x44);
        e.right = Get32(p + 0x48);
        e.child = Get32(p + 0x4C);
        std::memcpy(e.clsid.data(), p + 0x50, 16);
        e.stateBits = Get32(p + 0x60);
        e.created = Get64(p + 0x64);
        e.modified = Get64(p + 0x6C);
        e.start = Get32(p + 0x74);
        e.size = version3 ? Get32(p + 0x78) : Get64(p + 0x78);
        // Keep the raw length for Link's checks: a name field that is not whole units, or
        // longer than the field, is damage.
        if ((nameBytes & 1) != 0 || nameBytes > 64)
            e.name.assign(1, u'/'); // an impossible name, refused when the entry is reached
    }
    m_dirty.assign(count, false);
    m_dirtyList.clear();
    m_treeChecked.assign(count, false);
    m_unusedCursor = 1;
}

void Directory::SerializeEntry(std::uint32_t index, std::uint8_t* p) const {
    const DirEntry& e = m_entries[index];
    std::memset(p, 0, DirEntrySize);
    if (!e.InUse()) {
        Put32(p + 0x44, NoStream);
        Put32(p + 0x48, NoStream);
        Put32(p + 0x4C, NoStream);
        return;
    }
    for (std::size_t k = 0; k < e.name.size() && k < MaxNameUnits; ++k)
        Put16(p + 2 * k, e.name[k]);
    const std::size_t units = std::min<std::size_t>(e.name.size(), MaxNameUnits);
    Put16(p + 0x40, static_cast<std::uint16_t>(units == 0 ? 0 : (units + 1) * 2));
    p[0x42] = e.type;
    p[0x43] = e.color;
    Put32(p + 0x44, e.left);
    Put32(p + 0x48, e.right);
    Put32(p + 0x4C, e.child);
    std::memcpy(p + 0x50, e.clsid.data(), 16);
    Put32(p + 0x60, e.stateBits);
    Put64(p + 0x64, e.created);
    Put64(p + 0x6C, e.modified);
    Put32(p + 0x74, e.start);
    Put64(p + 0x78, e.size);
}

Result<void> Directory::Link() {
    if (m_entries.empty() || m_entries[Root].type != TypeRoot)
        return MakeError(hr::DocFileCorrupt, "the first directory entry is not the root");
    for (DirEntry& e : m_entries) {
        e.parent = NoStream;
        e.owner = NoStream;
    }
    std::vector<bool> seen(m_entries.size(), false);
    seen[Root] = true;
    std::vector<std::uint32_t> storages{Root};
    std::vector<std::pair<std::uint32_t, std::uint32_t>> nodes; // (entry, tree parent)
    while (!storages.empty()) {
        const std::uint32_t storage = storages.back();
        storages.pop_back();
        nodes.emplace_back(m_entries[storage].child, NoStream);
        while (!nodes.empty()) {
            auto [x, parent] = nodes.back();
            nodes.pop_back();
            if (x == NoStream)
                continue;
            if (x >= m_entries.size())
                return MakeError(hr::DocFileCorrupt,
                                 "directory link " + std::to_string(x) + " out of range");
            if (seen[x])
                return MakeError(hr::DocFileCorrupt, "directory entry " + std::to_string(x) +
                                                         " reached twice (a cycle)");
            seen[x] = true;
            DirEntry& e = m_entries[x];
            if (e.type != TypeStorage && e.type != TypeStream)
                return MakeError(hr::DocFileCorrupt,
                                 "directory entry " + std::to_string(x) + " has a bad type");
            if (e.name.empty() || (e.name.size() == 1 && e.name[0] == u'/'))
                return MakeError(hr::DocFileCorrupt,
                                 "directory entry " + std::to_string(x) + " has a bad name");
            e.parent = parent;
            e.owner = storage;
            nodes.emplace_back(e.left, x);
            nodes.emplace_back(e.right, x);
            if (e.type == TypeStorage)
                storages.push_back(x);
        }
    }
    return {};
}

DirEntry& Directory::Edit(std::uint32_t i) {
    MarkDirty(i);
    return m_entries[i];
}

void Directory::MarkDirty(std::uint32_t i) {
    if (!m_dirty[i]) {
        m_dirty[i] = true;
        m_dirtyList.push_back(i);
    }
}

void Directory::ClearDirty() {
    for (std::uint32_t i : m_dirtyList)
        m_dirty[i] = false;
    m_dirtyList.clear();
}

void Directory::MarkAllDirty() {
    for (std::uint32_t i = 0; i < Count(); ++i)
        MarkDirty(i);
}

std::uint32_t Directory::Find(std::uint32_t storage, std::u16string_view name) const {
    std::uint32_t x = m_entries[storage].child;
    for (std::uint32_t steps = 0; x != NoStream && steps < Count(); ++steps) {
        const int c = CompareNames(name, m_entries[x].name);
        if (c == 0)
            return x;
        x = c < 0 ? m_entries[x].left : m_entries[x].right;
    }
    return NoStream;
}

std::vector<std::uint32_t> Directory::Children(std::uint32_t storage) const {
    std::vector<std::uint32_t> out, stack;
    std::uint32_t x = m_entries[storage].child;
    while ((x != NoStream || !stack.empty()) && out.size() < Count()) {
        while (x != NoStream && stack.size() < Count()) {
            stack.push_back(x);
            x = m_entries[x].left;
        }
        x = stack.back();
        stack.pop_back();
        out.push_back(x);
        x = m_entries[x].right;
    }
    return out;
}

void Directory::SetLeft(std::uint32_t x, std::uint32_t v) {
    if (m_entries[x].left != v)
        Edit(x).left = v;
}
void Directory::SetRight(std::uint32_t x, std::uint32_t v) {
    if (m_entries[x].right != v)
        Edit(x).right = v;
}
void Directory::SetColor(std::uint32_t x, std::uint8_t c) {
    if (x != NoStream && m_entries[x].color != c)
        Edit(x).color = c;
}
void Directory::SetTreeRoot(std::uint32_t storage, std::uint32_t v) {
    if (m_entries[storage].child != v)
        Edit(storage).child = v;
    if (v != NoStream)
        m_entries[v].parent = NoStream;
}

void Directory::RotateLeft(std::uint32_t storage, std::uint32_t x) {
    const std::uint32_t y = m_entries[x].right;
    const std::uint32_t yl = m_entries[y].left;
    SetRight(x, yl);
    if (yl != NoStream)
        m_entries[yl].parent = x;
    const std::uint32_t p = m_entries[x].parent;
    m_entries[y].parent = p;
    if (p == NoStream)
        SetTreeRoot(storage, y);
    else if (m_entries[p].left == x)
        SetLeft(p, y);
    else
        SetRight(p, y);
    SetLeft(y, x);
    m_entries[x].parent = y;
}

void Directory::RotateRight(std::uint32_t storage, std::uint32_t x) {
    const std::uint32_t y = m_entries[x].left;
    const std::uint32_t yr = m_entries[y].right;
    SetLeft(x, yr);
    if (yr != NoStream)
        m_entries[yr].parent = x;
    const std::uint32_t p = m_entries[x].parent;
    m_entries[y].parent = p;
    if (p == NoStream)
        SetTreeRoot(storage, y);
    else if (m_entries[p].right == x)
        SetRight(p, y);
    else
        SetLeft(p, y);
    SetRight(y, x);
    m_entries[x].parent = y;
}

void Directory::Insert(std::uint32_t storage, std::uint32_t z) {
    EnsureRedBlack(storage);
    std::uint32_t y = NoStream;
    std::uint32_t x = m_entries[storage].child;
    int c = 0;
    while (x != NoStream) {
        y = x;
        c = CompareNames(m_entries[z].name, m_entries[x].name);
        x = c < 0 ? m_entries[x].left : m_entries[x].right;
    }
    DirEntry& e = Edit(z);
    e.parent = y;
    e.owner = storage;
    e.left = e.right = NoStream;
    e.color = Red;
    if (y == NoStream)
        SetTreeRoot(storage, z);
    else if (c < 0)
        SetLeft(y, z);
    else
        SetRight(y, z);
    InsertFixup(storage, z);
}

void Directory::InsertFixup(std::uint32_t storage, std::uint32_t z) {
    while (m_entries[z].parent != NoStream && ColorOf(m_entries[z].parent) == Red) {
        std::uint32_t p = m_entries[z].parent;
        const std::uint32_t g = m_entries[p].parent;
        if (g == NoStream)
            break;
        if (p == m_entries[g].left) {
            const std::uint32_t u = m_entries[g].right;
            if (ColorOf(u) == Red) {
                SetColor(p, Black);
                SetColor(u, Black);
                SetColor(g, Red);
                z = g;
                continue;
            }
            if (z == m_entries[p].right) {
                z = p;
                RotateLeft(storage, z);
                p = m_entries[z].parent;
            }
            SetColor(p, Black);
            SetColor(g, Red);
            RotateRight(storage, g);
        } else {
            const std::uint32_t u = m_entries[g].left;
            if (ColorOf(u) == Red) {
                SetColor(p, Black);
                SetColor(u, Black);
                SetColor(g, Red);
                z = g;
                continue;
            }
            if (z == m_entries[p].left) {
                z = p;
                RotateRight(storage, z);
                p = m_entries[z].parent;
            }
            SetColor(p, Black);
            SetColor(g, Red);
            RotateLeft(storage, g);
        }
    }
    SetColor(m_entries[storage].child, Black);
}

void Directory::Transplant(std::uint32_t storage, std::uint32_t u, std::uint32_t v) {
    const std::uint32_t p = m_entries[u].parent;
    if (p == NoStream)
        SetTreeRoot(storage, v);
    else if (m_entries[p].left == u)
        SetLeft(p, v);
    else
        SetRight(p, v);
    if (v != NoStream)
        m_entries[v].parent = p;
}

void Directory::Remove(std::uint32_t storage, std::uint32_t z) {
    EnsureRedBlack(storage);
    std::uint32_t x = NoStream, xParent = NoStream;
    std::uint8_t removedColor = m_entries[z].color;
    if (m_entries[z].left == NoStream) {
        x = m_entries[z].right;
        xParent = m_entries[z].parent;
        Transplant(storage, z, x);
    } else if (m_entries[z].right == NoStream) {
        x = m_entries[z].left;
        xParent = m_entries[z].parent;
        Transplant(storage, z, x);
    } else {
        std::uint32_t y = m_entries[z].right;
        while (m_entries[y].left != NoStream)
            y = m_entries[y].left;
        removedColor = m_entries[y].color;
        x = m_entries[y].right;
        if (m_entries[y].parent == z) {
            xParent = y;
        } else {
            xParent = m_entries[y].parent;
            Transplant(storage, y, x);
            SetRight(y, m_entries[z].right);
            m_entries[m_entries[y].right].parent = y;
        }
        Transplant(storage, z, y);
        SetLeft(y, m_entries[z].left);
        m_entries[m_entries[y].left].parent = y;
        SetColor(y, m_entries[z].color);
    }
    if (removedColor == Black)
        RemoveFixup(storage, x, xParent);
    DirEntry& e = Edit(z);
    e.left = e.right = NoStream;
    e.parent = NoStream;
    e.owner = NoStream;
}

void Directory::RemoveFixup(std::uint32_t storage, std::uint32_t x, std::uint32_t xParent) {
    while (x != m_entries[storage].child && ColorOf(x) == Black && xParent != NoStream) {
        if (x == m_entries[xParent].left) {
            std::uint32_t w = m_entries[xParent].right;
            if (ColorOf(w) == Red) {
                SetColor(w, Black);
                SetColor(xParent, Red);
                RotateLeft(storage, xParent);
                w = m_entries[xParent].right;
            }
            if (w == NoStream) { // only in a tree that was not red-black to begin with
                x = xParent;
                xParent = m_entries[x].parent;
                continue;
            }
            if (ColorOf(m_entries[w].left) == Black && ColorOf(m_entries[w].right) == Black) {
                SetColor(w, Red);
                x = xParent;
                xParent = m_entries[x].parent;
            } else {
                if (ColorOf(m_entries[w].right) == Black) {
                    SetColor(m_entries[w].left, Black);
                    SetColor(w, Red);
                    RotateRight(storage, w);
                    w = m_entries[xParent].right;
                }
                SetColor(w, m_entries[xParent].color);
                SetColor(xParent, Black);
                SetColor(m_entries[w].right, Black);
                RotateLeft(storage, xParent);
                x = m_entries[storage].child;
                break;
            }
        } else {
            std::uint32_t w = m_entries[xParent].left;
            if (ColorOf(w) == Red) {
                SetColor(w, Black);
                SetColor(xParent, Red);
                RotateRight(storage, xParent);
                w = m_entries[xParent].left;
            }
            if (w == NoStream) {
                x = xParent;
                xParent = m_entries[x].parent;
                continue;
            }
            if (ColorOf(m_entries[w].left) == Black && ColorOf(m_entries[w].right) == Black) {
                SetColor(w, Red);
                x = xParent;
                xParent = m_entries[x].parent;
            } else {
                if (ColorOf(m_entries[w].left) == Black) {
                    SetColor(m_entries[w].right, Black);
                    SetColor(w, Red);
                    RotateLeft(storage, w);
                    w = m_entries[xParent].left;
                }
                SetColor(w, m_entries[xParent].color);
                SetColor(xParent, Black);
                SetColor(m_entries[w].left, Black);
                RotateRight(storage, xParent);
                x = m_entries[storage].child;
                break;
            }
        }
    }
    SetColor(x, Black);
}

std::string Directory::CheckTree(std::uint32_t storage) const {
    const std::uint32_t root = m_entries[storage].child;
    if (root == NoStream)
        return {};
    const auto children = Children(storage);
    for (std::size_t i = 1; i < children.size(); ++i) {
        if (CompareNames(m_entries[children[i - 1]].name, m_entries[children[i]].name) >= 0)
            return "names out of order or repeated";
    }
    if (m_entries[root].color != Black)
        return "the root of the tree is red";
    // (node, black nodes above it, parent is red)
    struct Item {
        std::uint32_t node;
        int blacks;
        bool parentRed;
    };
    std::vector<Item> stack{{root, 0, false}};
    int blackHeight = -1;
    std::size_t steps = 0;
    while (!stack.empty()) {
        if (++steps > 2 * std::size_t{Count()} + 2)
            return "the tree has a cycle";
        const Item it = stack.back();
        stack.pop_back();
        if (it.node == NoStream) {
            if (blackHeight < 0)
                blackHeight = it.blacks;
            else if (blackHeight != it.blacks)
                return "black heights differ";
            continue;
        }
        const DirEntry& e = m_entries[it.node];
        if (e.color != Red && e.color != Black)
            return "an entry has a colour that is neither red nor black";
        if (e.color == Red && it.parentRed)
            return "a red entry has a red child";
        const int blacks = it.blacks + (e.color == Black ? 1 : 0);
        stack.push_back({e.left, blacks, e.color == Red});
        stack.push_back({e.right, blacks, e.color == Red});
    }
    return {};
}

void Directory::EnsureRedBlack(std::uint32_t storage) {
    if (m_treeChecked[storage])
        return;
    m_treeChecked[storage] = true;
    if (CheckTree(storage).empty())
        return;
    std::vector<std::uint32_t> sorted = Children(storage);
    std::stable_sort(sorted.begin(), sorted.end(), [this](std::uint32_t a, std::uint32_t b) {
        return CompareNames(m_entries[a].name, m_entries[b].name) < 0;
    });
    int height = 0;
    for (std::size_t n = sorted.size(); n > 0; n >>= 1)
        ++height;
    const std::uint32_t root = Build(sorted, 0, sorted.size(), NoStream, 0, height - 1);
    SetTreeRoot(storage, root);
}

std::uint32_t Directory::Build(const std::vector<std::uint32_t>& sorted, std::size_t lo,
                               std::size_t hi, std::uint32_t parent, int depth, int redDepth) {
    if (lo >= hi)
        return NoStream;
    const std::size_t mid = lo + (hi - lo) / 2;
    const std::uint32_t x = sorted[mid];
    DirEntry& e = Edit(x);
    e.parent = parent;
    e.color = (depth == redDepth && depth > 0) ? Red : Black;
    const std::uint32_t l = Build(sorted, lo, mid, x, depth + 1, redDepth);
    const std::uint32_t r = Build(sorted, mid + 1, hi, x, depth + 1, redDepth);
    m_entries[x].left = l;
    m_entries[x].right = r;
    return x;
}

std::uint32_t Directory::FindUnused() {
    while (m_unusedCursor < Count() && m_entries[m_unusedCursor].InUse())
        ++m_unusedCursor;
    return m_unusedCursor < Count() ? m_unusedCursor : NoStream;
}

void Directory::AddEntries(std::uint32_t count) {
    const std::uint32_t first = Count();
    m_entries.resize(first + count);
    m_dirty.resize(first + count, false);
    m_treeChecked.resize(first + count, true);
    for (std::uint32_t i = first; i < first + count; ++i)
        MarkDirty(i);
}

void Directory::Free(std::uint32_t index) {
    Edit(index) = DirEntry{};
    m_treeChecked[index] = true;
    if (index < m_unusedCursor)
        m_unusedCursor = index;
}

} // namespace kelvo::cfb
