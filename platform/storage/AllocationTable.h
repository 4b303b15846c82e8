// A sector allocation table held in memory (the FAT or the mini FAT): next-sector links,
// a next-free cursor, which table sectors changed since the last flush, and (for the FAT)
// which entries the last committed state uses: those are never handed out again before the
// next commit, so that a transaction cannot overwrite what the file on disk still relies on.
#pragma once

#include "platform/storage/CfbFormat.h"

#include <cstdint>
#include <vector>

namespace kelvo::cfb {

class AllocationTable {
public:
    explicit AllocationTable(std::uint32_t entriesPerSector = 128)
        : m_perSector(entriesPerSector) {}

    /// Replaces the table with entries read from disk; nothing is dirty afterwards.
    void Load(std::vector<std::uint32_t> entries);
    std::uint32_t Size() const { return static_cast<std::uint32_t>(m_entries.size()); }
    std::uint32_t EntriesPerSector() const { return m_perSector; }
    std::uint32_t TableSectors() const { return Size() / m_perSector; }
    std::uint32_t Next(std::uint32_t index) const { return m_entries[index]; }
    const std::vector<std::uint32_t>& Entries() const { return m_entries; }

    /// Sets one link and marks its table sector dirty.
    void Set(std::uint32_t index, std::uint32_t value);
    /// Adds one table sector of free entries (marked dirty).
    void AddTableSector();
    /// A free entry that the committed state does not use: `hint` when it is one, else the
    /// lowest one; FreeSect when there is none. Entries above `limit` are never handed out.
    std::uint32_t FindFree(std::uint32_t hint, std::uint32_t limit = MaxRegSect);
    /// Takes the entries in use now as the committed state (see FindFree).
    void KeepCommitted();
    /// True when the committed state uses entry `index`.
    bool Committed(std::uint32_t index) const {
        return index < m_committed.size() && m_committed[index];
    }
    /// Highest entry that is not free, plus one.
    std::uint32_t UsedEnd() const;

    bool IsDirty(std::uint32_t tableSector) const { return m_dirty[tableSector]; }
    bool AnyDirty() const;
    void ClearDirty();
    void MarkAllDirty();

private:
    std::vector<std::uint32_t> m_entries;
    std::vector<bool> m_dirty;
    std::vector<bool> m_committed;
    std::uint32_t m_perSector;
    std::uint32_t m_freeCursor = 0;
};

} // namespace kelvo::cfb
