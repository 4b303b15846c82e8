// The bytes under a compound file: a locked POSIX file or a memory buffer, and the machine's
// file system that opens them.
#include "platform/storage/SectorFile.h"

#include "platform/base/SystemReason.h"
#include "platform/storage/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo::cfb {

namespace {
// Anything larger than this is refused for a memory buffer rather than thrown as bad_alloc.
constexpr std::uint64_t MaxMemorySize = std::uint64_t{1} << 34;

Result<void> ResizeBuffer(std::string& memory, std::uint64_t size) {
    if (size > MaxMemorySize)
        return MakeError(hr::InsufficientMemory, "memory compound file too large");
    try {
        memory.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return MakeError(hr::InsufficientMemory, "out of memory");
    }
    return {};
}

class PosixFileSystem final : public FileSystem {
public:
    Result<std::unique_ptr<SectorFile>> Open(const std::filesystem::path& path, bool writable,
                                             bool create, std::filesystem::perms perms) override;
    bool Exists(const std::filesystem::path& path) override {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }
    Result<std::filesystem::path> CreateUnique(const std::filesystem::path& dir,
                                               std::string_view prefix,
                                               std::string_view suffix) override {
        std::string pattern = (dir / (std::string(prefix) + "XXXXXX")).string();
        pattern += suffix;
        const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
        if (fd < 0) {
            const int err = errno;
            return MakeError(StatusFromErrno(err, hr::AccessDenied),
                             FileFailureText(dir, "не удается создать файл", err));
        }
        ::close(fd);
        return std::filesystem::path(pattern);
    }
    Result<void> Rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            const int err = errno;
            return MakeError(StatusFromErrno(err, hr::WriteFault),
                             FileFailureText(to, "не удается заменить", err));
        }
        return {};
    }
    Result<void> Remove(const std::filesystem::path& path) override {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            const int err = errno;
            return MakeError(StatusFromErrno(err, hr::WriteFault),
                             FileFailureText(path, "не удается удалить", err));
        }
        return {};
    }
    Result<void> SyncDirectory(const std::filesystem::path& dir) override {
        const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            return MakeError(StatusFromErrno(err, hr::WriteFault),
                             FileFailureText(dir, "не удается открыть", err));
        }
        const int rc = ::fsync(fd);
        const int err = errno;
        ::close(fd);
        // Some file systems cannot sync a folder; their names are as durable as they get.
        if (rc != 0 && err != EINVAL && err != ENOTSUP)
            return MakeError(StatusFromErrno(err, hr::WriteFault),
                             FileFailureText(dir, "не удается записать на диск", err));
        return {};
    }
};

PosixFileSystem& MachineFiles() {
    static PosixFileSystem files;
    return files;
}

FileSystem* g_installed = nullptr;

} // namespace

FileSystem& Files() {
    return g_installed ? *g_installed : MachineFiles();
}

FileSystem* InstallFileSystem(FileSystem* fs) {
    FileSystem* before = g_installed;
    g_installed = fs;
    return before;
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    const std::filesystem::path parent = path.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

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

std::string FileFailureText(const std::filesystem::path& path, std::string_view what, int err) {
    std::string text = path.string();
    text += ": ";
    text += what;
    text += ": ";
    text += SystemReason(err);
    return text;
}

Result<std::unique_ptr<SectorFile>> SectorFile::OpenPath(const std::filesystem::path& path,
                                                         bool writable, bool create,
                                                         std::filesystem::perms perms) {
    return Files().Open(path, writable, create, perms);
}

std::unique_ptr<SectorFile> SectorFile::OverMemory(std::string bytes) {
    return std::make_unique<MemorySectorFile>(std::move(bytes));
}

Result<std::unique_ptr<SectorFile>> PosixFileSystem::Open(const std::filesystem::path& path,
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
    auto file = std::make_unique<PosixSectorFile>(fd, path, static_cast<std::uint64_t>(st.st_size));
    if (create && file->Size() != 0) {
        if (auto r = file->Resize(0); !r)
            return r.error();
    }
    return std::unique_ptr<SectorFile>(std::move(file));
}

// ---- POSIX files ----------------------------------------------------------------------

PosixSectorFile::~PosixSectorFile() {
    if (m_fd >= 0)
        ::close(m_fd); // closing also drops the flock
}

Error PosixSectorFile::Failure(const char* what, int err, HResult fallback) const {
    return MakeError(StatusFromErrno(err, fallback), FileFailureText(m_path, what, err));
}

Result<void> PosixSectorFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t avail =
        offset < m_size ? static_cast<std::size_t>(std::min<std::uint64_t>(size, m_size - offset))
                        : 0;
    if (avail < size)
        std::memset(out + avail, 0, size - avail);
    std::size_t done = 0;
    while (done < avail) {
        ssize_t n = ::pread(m_fd, out + done, avail - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Failure("ошибка чтения", errno, hr::ReadFault);
        }
        if (n == 0) { // the file shrank under us: the rest reads as zeros
            std::memset(out + done, 0, avail - done);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

Result<void> PosixSectorFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) {
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(m_fd, in + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Failure("ошибка записи", errno, hr::WriteFault);
        }
        done += static_cast<std::size_t>(n);
    }
    if (size > 0)
        m_size = std::max(m_size, offset + size);
    return {};
}

Result<void> PosixSectorFile::Resize(std::uint64_t size) {
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
        return Failure("не удается изменить размер файла", errno, hr::WriteFault);
    m_size = size;
    return {};
}

Result<void> PosixSectorFile::Sync() {
    while (::fdatasync(m_fd) != 0) {
        if (errno != EINTR)
            return Failure("не удается записать на диск", errno, hr::WriteFault);
    }
    return {};
}

// ---- memory buffers -------------------------------------------------------------------

Result<void> MemorySectorFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::uint64_t have = m_memory.size();
    const std::size_t avail =
        offset < have ? static_cast<std::size_t>(std::min<std::uint64_t>(size, have - offset)) : 0;
    if (avail > 0)
        std::memcpy(out, m_memory.data() + offset, avail);
    if (avail < size)
        std::memset(out + avail, 0, size - avail);
    return {};
}

Result<void> MemorySectorFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) {
    if (size == 0)
        return {};
    if (offset + size > m_memory.size()) {
        if (auto r = ResizeBuffer(m_memory, offset + size); !r)
            return r;
    }
    std::memcpy(m_memory.data() + offset, buffer, size);
    return {};
}

Result<void> MemorySectorFile::Resize(std::uint64_t size) {
    return ResizeBuffer(m_memory, size);
}

} // namespace kelvo::cfb
