// Sector chains: following a chain through an allocation table with every link checked.
#include "platform/storage/Chain.h"

#include <algorithm>

namespace kelvo::cfb {

Result<std::vector<std::uint32_t>> Chain::Walk(const AllocationTable& table, std::uint32_t start,
                                               SectorClaims& claims, const char* what) {
    std::vector<std::uint32_t> chain;
    if (auto r = Walk(table, start, claims, what, chain); !r)
        return r.error();
    return chain;
}

Result<void> Chain::Walk(const AllocationTable& table, std::uint32_t start, SectorClaims& claims,
                         const char* what, std::vector<std::uint32_t>& chain) {
    const std::uint32_t limit = std::min(table.Size(), claims.Count());
    const auto& next = table.Entries();
    std::uint32_t s = start;
    while (s != EndOfChain) {
        if (s >= limit)
            return MakeError(hr::DocFileCorrupt, std::string(what) + ": sector " +
                                                     std::to_string(s) + " outside the file");
        if (!claims.Claim(s))
            return MakeError(hr::DocFileCorrupt, std::string(what) + ": sector " +
                                                     std::to_string(s) +
                                                     " used twice (a cycle or shared sector)");
        chain.push_back(s);
        s = next[s];
    }
    return {};
}

std::size_t Chain::RunLength(const std::vector<std::uint32_t>& chain, std::size_t from,
                             std::size_t max) {
    std::size_t n = 1;
    while (n < max && from + n < chain.size() && chain[from + n] == chain[from + n - 1] + 1)
        ++n;
    return n;
}

} // namespace kelvo::cfb
