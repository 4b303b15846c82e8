// Sector chains: following a chain through an allocation table with every link checked.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/AllocationTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::cfb {

/// Claims of sectors while a file is loaded: a sector belongs to at most one chain, which
/// also stops every cycle.
class SectorClaims {
public:
    explicit SectorClaims(std::uint32_t count) : m_claimed(count, 0) {}
    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_claimed.size()); }
    bool IsClaimed(std::uint32_t s) const { return m_claimed[s]; }
    /// False when the sector is out of range or claimed already.
    bool Claim(std::uint32_t s) {
        if (s >= m_claimed.size() || m_claimed[s])
            return false;
        m_claimed[s] = 1;
        return true;
    }

private:
    std::vector<std::uint8_t> m_claimed;
};

class Chain {
public:
    /// Follows the chain from `start` to ENDOFCHAIN, claiming each sector. Out-of-range
    /// sectors, sectors claimed before (a cycle or a shared sector) and links that are not
    /// sector numbers give hr::DocFileCorrupt naming `what`.
    static Result<std::vector<std::uint32_t>>
    Walk(const AllocationTable& table, std::uint32_t start, SectorClaims& claims, const char* what);
    /// The same, appending to `chain`.
    static Result<void> Walk(const AllocationTable& table, std::uint32_t start,
                             SectorClaims& claims, const char* what,
                             std::vector<std::uint32_t>& chain);
    /// Counts the sectors in `chain` from index `from` that lie one after another.
    static std::size_t RunLength(const std::vector<std::uint32_t>& chain, std::size_t from,
                                 std::size_t max);
};

} // namespace kelvo::cfb
