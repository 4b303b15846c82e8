// The double-indirect FAT: where the FAT's own sectors are.
#include "platform/storage/Difat.h"

namespace kelvo::cfb {

Result<void> Difat::Load(const Header& header, SectorClaims& claims, const SectorReader& read) {
    m_perSector = header.EntriesPerSector();
    m_fatSectors.clear();
    m_difatSectors.clear();
    const std::uint32_t total = header.m_numFatSectors; // checked against the file size
    auto addFat = [&](std::uint32_t s) -> Result<void> {
        if (!claims.Claim(s))
            return MakeError(hr::DocFileCorrupt,
                             "FAT sector " + std::to_string(s) + " outside the file or used twice");
        m_fatSectors.push_back(s);
        return {};
    };
    for (std::uint32_t i = 0; i < HeaderDifatSlots && m_fatSectors.size() < total; ++i) {
        if (auto r = addFat(header.m_difat[i]); !r)
            return r;
    }
    std::uint32_t next = header.m_firstDifatSector;
    std::vector<std::uint8_t> buffer(header.SectorSize());
    while (m_fatSectors.size() < total) {
        if (next == EndOfChain || next == FreeSect)
            return MakeError(hr::DocFileCorrupt, "the DIFAT chain ends before the FAT does");
        if (!claims.Claim(next))
            return MakeError(hr::DocFileCorrupt, "DIFAT sector " + std::to_string(next) +
                                                     " outside the file or used twice");
        m_difatSectors.push_back(next);
        if (auto r = read(next, buffer.data()); !r)
            return r;
        for (std::uint32_t i = 0; i < PerDifatSector() && m_fatSectors.size() < total; ++i) {
            if (auto r = addFat(Get32(buffer.data() + 4 * i)); !r)
                return r;
        }
        next = Get32(buffer.data() + 4 * PerDifatSector());
    }
    m_dirty = false;
    return {};
}

std::uint32_t Difat::DifatSectorsNeeded(std::uint64_t fatSectors) const {
    if (fatSectors <= HeaderDifatSlots)
        return 0;
    return static_cast<std::uint32_t>((fatSectors - HeaderDifatSlots + PerDifatSector() - 1) /
                                      PerDifatSector());
}

void Difat::AddFatSector(std::uint32_t sector) {
    m_fatSectors.push_back(sector);
    m_dirty = true;
}

void Difat::AddDifatSector(std::uint32_t sector) {
    m_difatSectors.push_back(sector);
    m_dirty = true;
}

void Difat::MoveFatSector(std::uint32_t index, std::uint32_t sector) {
    m_fatSectors[index] = sector;
    if (index >= HeaderDifatSlots)
        m_dirty = true;
}

void Difat::MoveDifatSector(std::uint32_t index, std::uint32_t sector) {
    m_difatSectors[index] = sector;
    m_dirty = true;
}

void Difat::StoreInHeader(Header& header) const {
    header.m_numFatSectors = static_cast<std::uint32_t>(m_fatSectors.size());
    header.m_difat.fill(FreeSect);
    for (std::size_t i = 0; i < m_fatSectors.size() && i < HeaderDifatSlots; ++i)
        header.m_difat[i] = m_fatSectors[i];
    header.m_numDifatSectors = static_cast<std::uint32_t>(m_difatSectors.size());
    header.m_firstDifatSector = m_difatSectors.empty() ? EndOfChain : m_difatSectors[0];
}

std::vector<std::uint8_t> Difat::SerializeDifatSector(std::uint32_t index) const {
    std::vector<std::uint8_t> out(std::size_t{m_perSector} * 4);
    const std::size_t first = HeaderDifatSlots + std::size_t{index} * PerDifatSector();
    for (std::uint32_t i = 0; i < PerDifatSector(); ++i) {
        const std::size_t k = first + i;
        Put32(out.data() + 4 * i, k < m_fatSectors.size() ? m_fatSectors[k] : FreeSect);
    }
    const std::uint32_t next =
        index + 1 < m_difatSectors.size() ? m_difatSectors[index + 1] : EndOfChain;
    Put32(out.data() + 4 * PerDifatSector(), next);
    return out;
}

} // namespace kelvo::cfb
