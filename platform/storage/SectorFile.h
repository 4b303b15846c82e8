// The bytes under a compound file: a locked POSIX file (pread/pwrite) or a growable memory
// buffer. Reads past the end give zeros, so a short last sector reads as padded.
#pragma once

#include "platform/base/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace kelvo::cfb {

class SectorFile {
public:
    SectorFile(const SectorFile&) = delete;
    SectorFile& operator=(const SectorFile&) = delete;
    ~SectorFile();

    /// Opens an existing file and takes an exclusive advisory lock on it (flock, so a second
    /// open fails in this process and in others). `create` makes the file when it is missing
    /// and empties it, only after the lock is held.
    static Result<std::unique_ptr<SectorFile>> OpenPath(const std::filesystem::path& path,
                                                        bool writable, bool create,
                                                        std::filesystem::perms perms);
    static std::unique_ptr<SectorFile> OverMemory(std::string bytes);

    Result<void> ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const;
    Result<void> WriteAt(std::uint64_t offset, const void* buffer, std::size_t size);
    std::uint64_t Size() const { return m_size; }
    /// Grows (with zeros) or cuts the file to `size` bytes.
    Result<void> Resize(std::uint64_t size);
    bool IsMemory() const { return m_fd < 0; }
    const std::string& MemoryBytes() const { return m_memory; }
    const std::filesystem::path& Path() const { return m_path; }

private:
    SectorFile() = default;

    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::string m_memory;
    std::filesystem::path m_path;
};

/// Maps an errno value of a failed file operation to the status Windows gives.
HResult StatusFromErrno(int err, HResult fallback);

} // namespace kelvo::cfb
