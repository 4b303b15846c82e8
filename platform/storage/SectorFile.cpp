// The bytes under a compound file: a locked POSIX file or a memory buffer.
#include "platform/storage/SectorFile.h"

#include "platform/base/SystemReason.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo::cfb {

namespace {
// Anything larger than this is refused for a memory buffer rather than thrown as bad_alloc.
constexpr std::uint64_t MaxMemorySize = std::uint64_t{1} << 34;
} // namespace

HResult StatusFromErrno(int err, HResult fallback) {
    switch (err) {
    case ENOENT:
        return hr::FileNotFound;
    case ENOTDIR:
        return hr::PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return hr::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return hr::MediumFull;
    case ENOMEM:
        return hr::InsufficientMemory;
    case EMFILE:
    case ENFILE:
        return hr::TooManyOpenFiles;
    case EWOULDBLOCK:
        return hr::ShareViolation;
    default:
        return fallback;
    }
}

SectorFile::~SectorFile() {
    if (m_fd >= 0)
        ::close(m_fd); // closing also drops the flock
}

Result<std::unique_ptr<SectorFile>> SectorFile::OpenPath(const std::filesystem::path& path,
                                                         bool writable, bool create,
                                                         std::filesystem::perms perms) {
    int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    if (create)
        flags |= O_CREAT;
    int fd = ::open(path.c_str(), flags, static_cast<mode_t>(perms) & 07777);
    if (fd < 0) {
        const int err = errno;
        HResult code = StatusFromErrno(err, hr::AccessDenied);
        // A missing folder on the way is "path not found", a missing file "file not found".
        if (err == ENOENT && !path.parent_path().empty()) {
            std::error_code ec;
            if (!std::filesystem::is_directory(path.parent_path(), ec))
                code = hr::PathNotFound;
        }
        return MakeError(code, path.string() + ": " + SystemReason(err));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return MakeError(hr::AccessDenied, path.string() + ": not a regular file");
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return MakeError(err == EWOULDBLOCK ? hr::ShareViolation : hr::LockViolation,
                         path.string() + ": the file is open elsewhere");
    }
    std::unique_ptr<SectorFile> file(new SectorFile());
    file->m_fd = fd;
    file->m_path = path;
    file->m_size = static_cast<std::uint64_t>(st.st_size);
    if (create && file->m_size != 0) {
        if (::ftruncate(fd, 0) != 0)
            return MakeError(StatusFromErrno(errno, hr::WriteFault), path.string());
        file->m_size = 0;
    }
    return file;
}

std::unique_ptr<SectorFile> SectorFile::OverMemory(std::string bytes) {
    std::unique_ptr<SectorFile> file(new SectorFile());
    file->m_size = bytes.size();
    file->m_memory = std::move(bytes);
    return file;
}

Result<void> SectorFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t avail =
        offset < m_size ? static_cast<std::size_t>(std::min<std::uint64_t>(size, m_size - offset))
                        : 0;
    if (avail < size)
        std::memset(out + avail, 0, size - avail);
    if (avail == 0)
        return {};
    if (m_fd < 0) {
        std::memcpy(out, m_memory.data() + offset, avail);
        return {};
    }
    std::size_t done = 0;
    while (done < avail) {
        ssize_t n = ::pread(m_fd, out + done, avail - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return MakeError(hr::ReadFault, SystemReason(errno));
        }
        if (n == 0) { // the file shrank under us: the rest reads as zeros
            std::memset(out + done, 0, avail - done);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

Result<void> SectorFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) {
    if (size == 0)
        return {};
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    if (m_fd < 0) {
        if (offset + size > MaxMemorySize)
            return MakeError(hr::InsufficientMemory, "memory compound file too large");
        if (offset + size > m_memory.size()) {
            try {
                m_memory.resize(offset + size);
            } catch (const std::bad_alloc&) {
                return MakeError(hr::InsufficientMemory, "out of memory");
            }
        }
        std::memcpy(m_memory.data() + offset, in, size);
        m_size = m_memory.size();
        return {};
    }
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(m_fd, in + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return MakeError(StatusFromErrno(errno, hr::WriteFault), SystemReason(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    m_size = std::max(m_size, offset + size);
    return {};
}

Result<void> SectorFile::Resize(std::uint64_t size) {
    if (m_fd < 0) {
        if (size > MaxMemorySize)
            return MakeError(hr::InsufficientMemory, "memory compound file too large");
        try {
            m_memory.resize(size);
        } catch (const std::bad_alloc&) {
            return MakeError(hr::InsufficientMemory, "out of memory");
        }
        m_size = size;
        return {};
    }
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
        return MakeError(StatusFromErrno(errno, hr::WriteFault), SystemReason(errno));
    m_size = size;
    return {};
}

} // namespace kelvo::cfb
