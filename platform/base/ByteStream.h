// The small byte-stream interface every item stream is read and written through:
// memory buffers, compound-file streams and test doubles implement it.
#pragma once

#include "platform/base/Result.h"

#include <cstddef>
#include <cstdint>

namespace kelvo {

enum class SeekOrigin { Begin, Current, End };

class ByteStream {
public:
    virtual ~ByteStream() = default;

    /// Reads up to `size` bytes at the current position; returns how many were read
    /// (0 at the end of the stream).
    virtual Result<std::size_t> Read(void* buffer, std::size_t size) = 0;
    /// Writes `size` bytes at the current position, growing the stream as needed;
    /// returns how many were written.
    virtual Result<std::size_t> Write(const void* buffer, std::size_t size) = 0;
    /// Moves the position; returns the new position from the start.
    virtual Result<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual Result<std::uint64_t> Size() const = 0;
    virtual Result<void> SetSize(std::uint64_t size) = 0;
};

} // namespace kelvo
