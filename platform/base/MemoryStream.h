// A ByteStream over a growable byte buffer in memory.
#pragma once

#include "platform/base/ByteStream.h"

#include <string>

namespace kelvo {

class MemoryStream final : public ByteStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string bytes) : m_bytes(std::move(bytes)) {}

    Result<std::size_t> Read(void* buffer, std::size_t size) override;
    Result<std::size_t> Write(const void* buffer, std::size_t size) override;
    Result<std::uint64_t> Seek(std::int64_t offset, SeekOrigin origin) override;
    Result<std::uint64_t> Size() const override { return std::uint64_t{m_bytes.size()}; }
    Result<void> SetSize(std::uint64_t size) override;

    const std::string& bytes() const { return m_bytes; }
    std::uint64_t position() const { return m_pos; }

private:
    std::string m_bytes;
    std::uint64_t m_pos = 0;
};

} // namespace kelvo
