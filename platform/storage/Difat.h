// The double-indirect FAT: where the FAT's own sectors are, in the header's 109 slots and a
// chain of DIFAT sectors after them.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/Chain.h"
#include "platform/storage/Header.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kelvo::cfb {

class Difat {
public:
    using SectorReader = std::function<Result<void>(std::uint32_t sector, std::uint8_t* out)>;

    /// Collects the header's FAT sector count of FAT sector numbers from the header slots and
    /// the DIFAT chain, claiming the FAT and DIFAT sectors.
    Result<void> Load(const Header& header, SectorClaims& claims, const SectorReader& read);

    const std::vector<std::uint32_t>& FatSectors() const { return m_fatSectors; }
    const std::vector<std::uint32_t>& DifatSectors() const { return m_difatSectors; }
    /// FAT sector numbers one DIFAT sector holds (the last entry is the next pointer).
    std::uint32_t PerDifatSector() const { return m_perSector - 1; }
    /// DIFAT sectors needed to list `fatSectors` FAT sectors.
    std::uint32_t DifatSectorsNeeded(std::uint64_t fatSectors) const;

    void Reset(std::uint32_t entriesPerSector) {
        m_perSector = entriesPerSector;
        m_fatSectors.clear();
        m_difatSectors.clear();
        m_dirty = true;
    }
    void AddFatSector(std::uint32_t sector);
    void AddDifatSector(std::uint32_t sector);
    /// Moves FAT sector `index` (in FAT order) to `sector`.
    void MoveFatSector(std::uint32_t index, std::uint32_t sector);
    /// Moves DIFAT sector `index` (in chain order) to `sector`.
    void MoveDifatSector(std::uint32_t index, std::uint32_t sector);

    /// Fills the header's DIFAT fields.
    void StoreInHeader(Header& header) const;
    /// The bytes of DIFAT sector `index` of the chain.
    std::vector<std::uint8_t> SerializeDifatSector(std::uint32_t index) const;

    /// True when the DIFAT sectors must be written again (the header's slots are written with
    /// every commit).
    bool IsDirty() const { return m_dirty; }
    void ClearDirty() { m_dirty = false; }

private:
    std::vector<std::uint32_t> m_fatSectors;
    std::vector<std::uint32_t> m_difatSectors;
    std::uint32_t m_perSector = 128;
    bool m_dirty = false;
};

} // namespace kelvo::cfb
