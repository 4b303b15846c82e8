#include "platform/base/MemoryStream.h"

#include <cstring>

namespace kelvo {

Result<std::size_t> MemoryStream::Read(void* buffer, std::size_t size) {
    if (m_pos >= m_bytes.size())
        return std::size_t{0};
    const std::size_t n = std::min<std::uint64_t>(size, m_bytes.size() - m_pos);
    std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return n;
}

Result<std::size_t> MemoryStream::Write(const void* buffer, std::size_t size) {
    if (size == 0)
        return std::size_t{0};
    if (m_pos + size > m_bytes.size())
        m_bytes.resize(m_pos + size);
    std::memcpy(m_bytes.data() + m_pos, buffer, size);
    m_pos += size;
    return size;
}

Result<std::uint64_t> MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<std::int64_t>(m_pos);
    else if (origin == SeekOrigin::End)
        base = static_cast<std::int64_t>(m_bytes.size());
    const std::int64_t target = base + offset;
    if (target < 0)
        return MakeError(hr::InvalidFunction, "seek before the start of the stream");
    m_pos = static_cast<std::uint64_t>(target);
    return m_pos;
}

Result<void> MemoryStream::SetSize(std::uint64_t size) {
    m_bytes.resize(size);
    return {};
}

} // namespace kelvo
