// Reading, writing and resizing a stream over its cached sector list.
#include "platform/storage/StreamIo.h"

#include "platform/storage/Engine.h"

#include <algorithm>
#include <cstring>

namespace kelvo::cfb {

std::uint64_t StreamIo::UnitOffset(bool mini, std::uint32_t unit) const {
    const Header& h = m_engine.m_header;
    if (!mini)
        return h.SectorOffset(unit);
    const std::uint64_t inMini = std::uint64_t{unit} * MiniSectorSize;
    const auto& rootChain = m_engine.m_chains[Directory::Root];
    return h.SectorOffset(rootChain[inMini >> h.m_sectorShift]) + (inMini & (h.SectorSize() - 1));
}

std::uint64_t StreamIo::MaxSize() const {
    // Version 3 keeps 32 bits of a stream size; a memory file is capped by its buffer.
    return 0xFFFFFFFFull;
}

Result<void> StreamIo::Unshare(std::uint32_t entry, bool mini, std::uint64_t pos,
                               std::size_t size) {
    Engine& e = m_engine;
    const std::uint32_t ss = e.m_header.SectorSize();
    auto& chain = e.m_chains[entry];
    if (!mini) {
        const std::size_t first = static_cast<std::size_t>(pos / ss);
        const std::size_t last = static_cast<std::size_t>((pos + size - 1) / ss);
        for (std::size_t k = first; k <= last; ++k) {
            if (!e.m_fat.Committed(chain[k]))
                continue;
            const std::uint64_t start = std::uint64_t{k} * ss;
            const bool whole = pos <= start && pos + size >= start + ss;
            if (auto r = e.Relocate(chain, k, !whole); !r)
                return r;
            if (k == 0)
                e.SyncStart(entry);
        }
        return {};
    }
    auto& rootChain = e.m_chains[Directory::Root];
    const std::size_t first = static_cast<std::size_t>(pos / MiniSectorSize);
    const std::size_t last = static_cast<std::size_t>((pos + size - 1) / MiniSectorSize);
    for (std::size_t k = first; k <= last; ++k) {
        const std::size_t r = static_cast<std::size_t>(MiniFat::MiniOffset(chain[k]) / ss);
        if (!e.m_fat.Committed(rootChain[r]))
            continue;
        if (auto moved = e.Relocate(rootChain, r, true); !moved)
            return moved;
        if (r == 0)
            e.SyncStart(Directory::Root);
    }
    return {};
}

Result<void> StreamIo::Transfer(std::uint32_t entry, bool mini, std::uint64_t pos, void* buffer,
                                std::size_t size, bool write) {
    if (write && size > 0) {
        if (auto r = Unshare(entry, mini, pos, size); !r)
            return r;
    }
    const auto& chain = m_engine.m_chains[entry];
    const std::uint32_t unit = mini ? MiniSectorSize : m_engine.m_header.SectorSize();
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        std::size_t k = static_cast<std::size_t>(pos / unit);
        const std::uint32_t within = static_cast<std::uint32_t>(pos % unit);
        std::uint64_t unitOffset = UnitOffset(mini, chain[k]);
        const std::uint64_t offset = unitOffset + within;
        std::size_t len = std::min<std::size_t>(size, unit - within);
        // Extend over following units that lie right after this one in the file.
        while (len < size && k + 1 < chain.size()) {
            const std::uint64_t next = UnitOffset(mini, chain[k + 1]);
            if (next != unitOffset + unit)
                break;
            ++k;
            unitOffset = next;
            len = std::min<std::size_t>(size, len + unit);
        }
        auto r = write ? m_engine.WriteBytes(offset, bytes, len)
                       : m_engine.m_file->ReadAt(offset, bytes, len);
        if (!r)
            return r;
        bytes += len;
        pos += len;
        size -= len;
    }
    return {};
}

Result<std::size_t> StreamIo::Read(std::uint32_t entry, std::uint64_t pos, void* buffer,
                                   std::size_t size) {
    const std::uint64_t streamSize = m_engine.m_dir[entry].size;
    if (pos >= streamSize || size == 0)
        return std::size_t{0};
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, streamSize - pos));
    if (auto r = Transfer(entry, m_engine.IsMini(entry), pos, buffer, n, false); !r)
        return r.error();
    return n;
}

Result<std::size_t> StreamIo::Write(std::uint32_t entry, std::uint64_t pos, const void* buffer,
                                    std::size_t size) {
    if (size == 0)
        return std::size_t{0};
    if (pos > MaxSize() || size > MaxSize() - pos)
        return MakeError(hr::MediumFull, "a stream cannot grow beyond 4 GB");
    const std::uint64_t end = pos + size;
    if (end > m_engine.m_dir[entry].size) {
        if (auto r = Resize(entry, end, pos); !r)
            return r.error();
    }
    if (auto r =
            Transfer(entry, m_engine.IsMini(entry), pos, const_cast<void*>(buffer), size, true);
        !r)
        return r.error();
    return size;
}

Result<void> StreamIo::Allocate(bool mini, std::vector<std::uint32_t>& chain, std::size_t units) {
    const std::size_t before = chain.size();
    auto r = mini ? m_engine.ExtendMiniChain(chain, units) : m_engine.ExtendChain(chain, units);
    if (!r)
        Truncate(mini, chain, before); // give back what a failed growth took
    return r;
}

void StreamIo::Truncate(bool mini, std::vector<std::uint32_t>& chain, std::size_t units) {
    if (mini)
        m_engine.TruncateMiniChain(chain, units);
    else
        m_engine.TruncateChain(chain, units);
}

Result<void> StreamIo::Resize(std::uint32_t entry, std::uint64_t size, std::uint64_t zeroEnd) {
    const std::uint64_t old = m_engine.m_dir[entry].size;
    if (size == old)
        return {};
    if (size > MaxSize())
        return MakeError(hr::MediumFull, "a stream cannot grow beyond 4 GB");
    const std::uint32_t ss = m_engine.m_header.SectorSize();
    const bool oldMini = old < MiniStreamCutoff;
    const bool newMini = size < MiniStreamCutoff;
    const std::uint32_t unit = newMini ? MiniSectorSize : ss;
    const std::size_t units = static_cast<std::size_t>((size + unit - 1) / unit);
    auto& chain = m_engine.m_chains[entry];
    if (oldMini == newMini) {
        if (units > chain.size()) {
            if (auto r = Allocate(newMini, chain, units); !r)
                return r;
        } else if (units < chain.size()) {
            Truncate(newMini, chain, units);
        }
        m_engine.m_dir.Edit(entry).size = size;
    } else {
        // Across the cutoff: the kept bytes go to a chain of the other kind, allocated before
        // the old one is freed so that a failure leaves the stream as it was.
        const std::uint64_t keep = std::min(old, size);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(keep));
        if (auto r = Transfer(entry, oldMini, 0, data.data(), data.size(), false); !r)
            return r;
        std::vector<std::uint32_t> fresh;
        if (auto r = Allocate(newMini, fresh, units); !r)
            return r;
        Truncate(oldMini, chain, 0);
        chain = std::move(fresh);
        m_engine.m_dir.Edit(entry).size = size;
        if (auto r = Transfer(entry, newMini, 0, data.data(), data.size(), true); !r)
            return r;
    }
    m_engine.SyncStart(entry);
    if (size > old && zeroEnd > old)
        return WriteZeros(entry, old, std::min(zeroEnd, size));
    return {};
}

Result<void> StreamIo::WriteZeros(std::uint32_t entry, std::uint64_t from, std::uint64_t to) {
    static const std::vector<std::uint8_t> zeros(1u << 16, 0);
    const bool mini = m_engine.IsMini(entry);
    while (from < to) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(to - from, zeros.size()));
        if (auto r = Transfer(entry, mini, from, const_cast<std::uint8_t*>(zeros.data()), n, true);
            !r)
            return r;
        from += n;
    }
    return {};
}

} // namespace kelvo::cfb
