// Reading, writing and resizing a stream over its cached sector list, in runs of adjacent
// sectors; small streams live in mini sectors and move across the cutoff as they change.
#pragma once

#include "platform/base/Result.h"

#include <cstdint>
#include <vector>

namespace kelvo::cfb {

class Engine;

class StreamIo {
public:
    explicit StreamIo(Engine& engine) : m_engine(engine) {}

    Result<std::size_t> Read(std::uint32_t entry, std::uint64_t pos, void* buffer,
                             std::size_t size);
    /// Writes at `pos`, growing the stream; a gap between the old end and `pos` reads as zero.
    Result<std::size_t> Write(std::uint32_t entry, std::uint64_t pos, const void* buffer,
                              std::size_t size);
    /// Sets the size; new bytes below `zeroEnd` are zeroed. Crossing the mini-stream cutoff
    /// moves the data to the other kind of sector and frees the old chain.
    Result<void> Resize(std::uint32_t entry, std::uint64_t size, std::uint64_t zeroEnd);

private:
    /// Before a write of the range: moves each sector it touches that the committed state uses
    /// to a free one (copying what the write does not cover), so that the committed state
    /// stays intact. For a small stream these are the sectors of the mini stream that hold its
    /// mini sectors.
    Result<void> Unshare(std::uint32_t entry, bool mini, std::uint64_t pos, std::size_t size);
    /// Moves bytes between `buffer` and the stream's sectors; the range lies inside the chain.
    Result<void> Transfer(std::uint32_t entry, bool mini, std::uint64_t pos, void* buffer,
                          std::size_t size, bool write);
    Result<void> WriteZeros(std::uint32_t entry, std::uint64_t from, std::uint64_t to);
    std::uint64_t UnitOffset(bool mini, std::uint32_t unit) const;
    Result<void> Allocate(bool mini, std::vector<std::uint32_t>& chain, std::size_t units);
    void Truncate(bool mini, std::vector<std::uint32_t>& chain, std::size_t units);
    std::uint64_t MaxSize() const;

    Engine& m_engine;
};

} // namespace kelvo::cfb
