// The allocation table of the 64-byte mini sectors inside the mini stream.
#pragma once

#include "platform/storage/AllocationTable.h"

namespace kelvo::cfb {

class MiniFat : public AllocationTable {
public:
    using AllocationTable::AllocationTable;
    /// Bytes of the mini stream that a mini sector starts at.
    static std::uint64_t MiniOffset(std::uint32_t miniSector) {
        return std::uint64_t{miniSector} * MiniSectorSize;
    }
};

} // namespace kelvo::cfb
