// The file allocation table of regular sectors, with the marks for its own sectors and the
// DIFAT's.
#pragma once

#include "platform/storage/AllocationTable.h"

namespace kelvo::cfb {

class Fat : public AllocationTable {
public:
    using AllocationTable::AllocationTable;
    /// Marks a sector as holding part of the FAT itself.
    void MarkFatSector(std::uint32_t sector) { Set(sector, FatSect); }
    /// Marks a sector as holding part of the DIFAT.
    void MarkDifatSector(std::uint32_t sector) { Set(sector, DifSect); }
};

} // namespace kelvo::cfb
