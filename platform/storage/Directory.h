// The directory: 128-byte entries, and per storage a red-black tree of its children ordered
// by name (shorter names first, then UTF-16 units after simple upper-casing).
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/CfbFormat.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::cfb {

enum : std::uint8_t { TypeUnused = 0, TypeStorage = 1, TypeStream = 2, TypeRoot = 5 };
enum : std::uint8_t { Red = 0, Black = 1 };

struct DirEntry {
    std::u16string name;
    std::uint8_t type = TypeUnused;
    std::uint8_t color = Black;
    std::uint32_t left = NoStream;
    std::uint32_t right = NoStream;
    std::uint32_t child = NoStream;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::uint32_t start = EndOfChain;
    std::uint64_t size = 0;
    // Kept in memory only:
    std::uint32_t parent = NoStream; ///< tree parent among the siblings
    std::uint32_t owner = NoStream;  ///< the storage whose children this entry is among

    bool InUse() const { return type != TypeUnused; }
};

class Directory {
public:
    static constexpr std::uint32_t Root = 0;

    /// Orders names as the format does: by length, then by simply upper-cased UTF-16 units.
    static int CompareNames(std::u16string_view a, std::u16string_view b);
    /// Simple upper-casing of one UTF-16 unit (Latin-1, Latin Extended-A, Greek, Cyrillic).
    static char16_t UpperUnit(char16_t c);
    /// 1 to 31 units, none of `/ \ : !`.
    static bool ValidName(std::u16string_view name);

    /// Parses the entries of the directory sectors; entries are not linked yet.
    void Parse(const std::uint8_t* bytes, std::size_t size, bool version3);
    void SerializeEntry(std::uint32_t index, std::uint8_t* out) const;
    /// Walks the tree from the root entry (iteratively, each entry at most once) and fills
    /// parents and owners. Cycles, shared entries, bad types and bad names give
    /// hr::DocFileCorrupt.
    Result<void> Link();

    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_entries.size()); }
    const DirEntry& operator[](std::uint32_t i) const { return m_entries[i]; }
    /// Mutable access; marks the entry dirty.
    DirEntry& Edit(std::uint32_t i);

    /// The child of `storage` with this name, or NoStream.
    std::uint32_t Find(std::uint32_t storage, std::u16string_view name) const;
    /// The children of `storage` in name order.
    std::vector<std::uint32_t> Children(std::uint32_t storage) const;
    /// Adds entry `index` (named, typed) under `storage`, keeping the tree red-black.
    void Insert(std::uint32_t storage, std::uint32_t index);
    /// Takes entry `index` out of the tree of `storage`, keeping it red-black.
    void Remove(std::uint32_t storage, std::uint32_t index);
    /// Checks that the tree of `storage` is a sorted red-black tree; an empty string when it
    /// is, else what is wrong.
    std::string CheckTree(std::uint32_t storage) const;

    /// An unused entry, or NoStream when every entry is in use.
    std::uint32_t FindUnused();
    /// Appends `count` unused entries (a new directory sector).
    void AddEntries(std::uint32_t count);
    /// Resets an entry to unused.
    void Free(std::uint32_t index);

    const std::vector<std::uint32_t>& DirtyEntries() const { return m_dirtyList; }
    void ClearDirty();
    void MarkAllDirty();

private:
    void MarkDirty(std::uint32_t i);
    void SetLeft(std::uint32_t x, std::uint32_t v);
    void SetRight(std::uint32_t x, std::uint32_t v);
    void SetColor(std::uint32_t x, std::uint8_t c);
    void SetTreeRoot(std::uint32_t storage, std::uint32_t v);
    std::uint8_t ColorOf(std::uint32_t x) const {
        return x == NoStream ? std::uint8_t{Black} : m_entries[x].color;
    }
    void RotateLeft(std::uint32_t storage, std::uint32_t x);
    void RotateRight(std::uint32_t storage, std::uint32_t x);
    void Transplant(std::uint32_t storage, std::uint32_t u, std::uint32_t v);
    void InsertFixup(std::uint32_t storage, std::uint32_t z);
    void RemoveFixup(std::uint32_t storage, std::uint32_t x, std::uint32_t xParent);
    /// Rebuilds the tree of `storage` balanced when it is not a valid red-black tree (files
    /// from other writers may hold any binary tree), so that inserts and removals hold.
    void EnsureRedBlack(std::uint32_t storage);
    std::uint32_t Build(const std::vector<std::uint32_t>& sorted, std::size_t lo, std::size_t hi,
                        std::uint32_t parent, int depth, int redDepth);

    std::vector<DirEntry> m_entries;
    std::vector<bool> m_dirty;
    std::vector<std::uint32_t> m_dirtyList;
    std::vector<bool> m_treeChecked; ///< per storage: its tree is known to be red-black
    std::uint32_t m_unusedCursor = 1;
};

} // namespace kelvo::cfb
