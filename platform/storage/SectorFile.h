// The bytes under a compound file, behind a small interface: a locked POSIX file
// (pread/pwrite/fdatasync), a growable memory buffer, or whatever a FileSystem hands out (the
// tests put faults and simulated power cuts under the engine this way). Reads past the end
// give zeros, so a short last sector reads as padded. Every failure of a write, a resize or a
// sync is returned with the file's path and the system's reason.
#pragma once

#include "platform/base/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace kelvo::cfb {

class SectorFile {
public:
    SectorFile() = default;
    SectorFile(const SectorFile&) = delete;
    SectorFile& operator=(const SectorFile&) = delete;
    virtual ~SectorFile() = default;

    /// Opens a file through the file system in use (Files()), with an exclusive lock.
    static Result<std::unique_ptr<SectorFile>> OpenPath(const std::filesystem::path& path,
                                                        bool writable, bool create,
                                                        std::filesystem::perms perms);
    /// A growable buffer in memory that belongs to no file system.
    static std::unique_ptr<SectorFile> OverMemory(std::string bytes);

    virtual Result<void> ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const = 0;
    virtual Result<void> WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) = 0;
    virtual std::uint64_t Size() const = 0;
    /// Grows (with zeros) or cuts the file to `size` bytes.
    virtual Result<void> Resize(std::uint64_t size) = 0;
    /// Returns once every write so far is on stable storage.
    virtual Result<void> Sync() = 0;
    /// The file's path; empty for a memory buffer.
    virtual const std::filesystem::path& Path() const = 0;
    /// The bytes of a memory buffer; null for a file.
    virtual const std::string* MemoryBytes() const { return nullptr; }
    bool IsMemory() const { return MemoryBytes() != nullptr; }
};

/// The POSIX file descriptor behind a SectorFile of the machine's file system.
class PosixSectorFile final : public SectorFile {
public:
    /// Takes over `fd` (open, locked, a regular file) of `size` bytes.
    PosixSectorFile(int fd, std::filesystem::path path, std::uint64_t size)
        : m_fd(fd), m_size(size), m_path(std::move(path)) {}
    ~PosixSectorFile() override;

    Result<void> ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const override;
    Result<void> WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) override;
    std::uint64_t Size() const override { return m_size; }
    Result<void> Resize(std::uint64_t size) override;
    Result<void> Sync() override;
    const std::filesystem::path& Path() const override { return m_path; }

private:
    Error Failure(const char* what, int err, HResult fallback) const;

    int m_fd;
    std::uint64_t m_size;
    std::filesystem::path m_path;
};

/// A buffer in memory; nothing to sync.
class MemorySectorFile : public SectorFile {
public:
    explicit MemorySectorFile(std::string bytes = {}) : m_memory(std::move(bytes)) {}

    Result<void> ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const override;
    Result<void> WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) override;
    std::uint64_t Size() const override { return m_memory.size(); }
    Result<void> Resize(std::uint64_t size) override;
    Result<void> Sync() override { return {}; }
    const std::filesystem::path& Path() const override { return m_path; }
    const std::string* MemoryBytes() const override { return &m_memory; }

private:
    std::string m_memory;
    std::filesystem::path m_path;
};

/// Maps an errno value of a failed file operation to the status Windows gives.
HResult StatusFromErrno(int err, HResult fallback);
/// "<path>: <what>: <the system's reason>", the text of a failed file operation.
std::string FileFailureText(const std::filesystem::path& path, std::string_view what, int err);

} // namespace kelvo::cfb
