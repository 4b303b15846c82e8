// The file system under compound files and banks: opening a file with its lock, the names in
// a folder (exists, unique new file, rename, remove) and making those names durable. The
// machine's file system is the default; tests install one held in memory that counts every
// write, fails the ones they choose and replays a power cut.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/SectorFile.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace kelvo::cfb {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// Opens a file and takes an exclusive lock on it (a second open fails with
    /// hr::ShareViolation, in this process or another). `create` makes the file when it is
    /// missing, with `perms`, and empties it once the lock is held.
    virtual Result<std::unique_ptr<SectorFile>> Open(const std::filesystem::path& path,
                                                     bool writable, bool create,
                                                     std::filesystem::perms perms) = 0;
    /// True when the path names something (a file, a folder, a dangling link).
    virtual bool Exists(const std::filesystem::path& path) = 0;
    /// Makes a new empty file, readable and writable by the owner only, in `dir`, named
    /// `prefix` + some unique characters + `suffix`, and returns its path.
    virtual Result<std::filesystem::path> CreateUnique(const std::filesystem::path& dir,
                                                       std::string_view prefix,
                                                       std::string_view suffix) = 0;
    /// Moves `from` to `to` in one step, replacing what `to` named.
    virtual Result<void> Rename(const std::filesystem::path& from,
                                const std::filesystem::path& to) = 0;
    virtual Result<void> Remove(const std::filesystem::path& path) = 0;
    /// Returns once the names in `dir` (files created, renamed or removed there) are on stable
    /// storage.
    virtual Result<void> SyncDirectory(const std::filesystem::path& dir) = 0;
};

/// The file system in use: the machine's, unless a test installed another.
FileSystem& Files();
/// Installs `fs` (null: the machine's again) and returns the one installed before.
FileSystem* InstallFileSystem(FileSystem* fs);

/// The folder a path lies in ("." for a bare name).
std::filesystem::path FolderOf(const std::filesystem::path& path);

} // namespace kelvo::cfb
