// A sector allocation table held in memory (the FAT or the mini FAT).
#include "platform/storage/AllocationTable.h"

namespace kelvo::cfb {

void AllocationTable::Load(std::vector<std::uint32_t> entries) {
    m_entries = std::move(entries);
    m_dirty.assign(TableSectors() + 1, false);
    m_committed.clear();
    m_freeCursor = 0;
}

void AllocationTable::Set(std::uint32_t index, std::uint32_t value) {
    if (m_entries[index] == value)
        return;
    m_entries[index] = value;
    m_dirty[index / m_perSector] = true;
    // An entry the committed state uses cannot be handed out before the next commit, so the
    // cursor stays where it is for it.
    if (value == FreeSect && index < m_freeCursor && !Committed(index))
        m_freeCursor = index;
}

void AllocationTable::AddTableSector() {
    m_entries.resize(m_entries.size() + m_perSector, FreeSect);
    m_dirty.resize(TableSectors() + 1, false);
    m_dirty[TableSectors() - 1] = true;
}

std::uint32_t AllocationTable::FindFree(std::uint32_t hint, std::uint32_t limit) {
    const std::uint32_t end = std::min<std::uint64_t>(Size(), std::uint64_t{limit} + 1);
    auto available = [&](std::uint32_t i) { return m_entries[i] == FreeSect && !Committed(i); };
    if (hint < end && available(hint))
        return hint;
    while (m_freeCursor < end && !available(m_freeCursor))
        ++m_freeCursor;
    return m_freeCursor < end ? m_freeCursor : FreeSect;
}

void AllocationTable::KeepCommitted() {
    m_committed.resize(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_committed[i] = m_entries[i] != FreeSect;
    m_freeCursor = 0;
}

std::uint32_t AllocationTable::UsedEnd() const {
    std::uint32_t end = Size();
    while (end > 0 && m_entries[end - 1] == FreeSect)
        --end;
    return end;
}

bool AllocationTable::AnyDirty() const {
    for (bool d : m_dirty)
        if (d)
            return true;
    return false;
}

void AllocationTable::ClearDirty() {
    m_dirty.assign(m_dirty.size(), false);
}

void AllocationTable::MarkAllDirty() {
    m_dirty.assign(m_dirty.size(), true);
}

} // namespace kelvo::cfb
