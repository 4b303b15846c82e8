// A file system held in memory for the fault tests: installed under the compound-file engine
// (and so under everything that opens banks), it counts every call that changes the disk,
// fails the ones a test chooses with the errno it chooses, and records what it was asked to
// do so that a power cut at any moment can be replayed: what the last syncs made durable,
// plus a random subset of the writes after them, applied in random order.
#pragma once

#include "platform/storage/FileSystem.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace kelvo::test {

/// Files by path with their bytes.
using FileImages = std::map<std::filesystem::path, std::string>;

/// One call that changes the disk, as the file system saw it.
struct FileOp {
    enum Kind { Write, Resize, Sync, Create, Rename, Remove, SyncDirectory } kind;
    std::uint64_t file = 0;   ///< the file written, resized, synced or created
    std::uint64_t offset = 0; ///< Write: where; Resize: the new size
    std::string bytes;        ///< Write
    std::filesystem::path path, to;
};

/// What a file system was asked to do from some moment on, with the files as they were then:
/// enough to replay any moment after it.
struct Recording {
    std::map<std::uint64_t, std::string> baseFiles;           ///< by file
    std::map<std::filesystem::path, std::uint64_t> baseNames; ///< path → file
    std::vector<FileOp> log;

    /// The files as a power cut just before log entry `cut` leaves them: everything synced
    /// before it, and of the writes and resizes since each file's last sync a random subset in
    /// random order; of the names created, renamed or removed since the last folder sync, a
    /// random number of the first ones.
    FileImages PowerCut(std::size_t cut, std::mt19937& rng) const;
    /// The files as they stood just before log entry `upTo`, every call before it done.
    FileImages Replay(std::size_t upTo) const;

private:
    FileImages Replayed(std::size_t cut, std::mt19937* rng) const;
};

/// Steps through a recording call by call, the files always as they stand after the calls
/// made so far (every call done): cheaper than Replay for each moment in turn.
class Replayer {
public:
    explicit Replayer(const Recording& recording);
    /// Calls made so far.
    std::size_t done() const { return m_done; }
    /// Makes the next call of the log.
    void Step();
    FileImages Images() const;

private:
    const Recording& m_recording;
    std::map<std::uint64_t, std::string> m_files;
    std::map<std::filesystem::path, std::uint64_t> m_names;
    std::size_t m_done = 0;
};

class MemoryFileSystem final : public cfb::FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    /// Makes this the file system in use until Uninstall or destruction.
    void Install();
    void Uninstall();

    // Contents.
    /// Replaces every file by these (all taken as on disk) and forgets the log.
    void Reset(const FileImages& files);
    void AddFolder(const std::filesystem::path& dir) { m_folders.insert(dir); }
    /// The present bytes of every file.
    FileImages Images() const;
    std::optional<std::string> Image(const std::filesystem::path& path) const;

    // Faults.
    /// From the `k`-th call that changes the disk on (counting from 1 after the last Reset or
    /// ResetCount), every such call fails with `err`; 0 fails nothing.
    void FailFrom(std::uint64_t k, int err = ENOSPC);
    /// Only the `k`-th call fails; the ones after it succeed again.
    void FailOnly(std::uint64_t k, int err = EIO);
    /// Opens for writing fail with EROFS while set.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    std::uint64_t Calls() const { return m_calls; }
    void ResetCount() { m_calls = 0; }

    // Power cuts.
    /// Records from here on, with the present files as what is on disk.
    void StartRecording();
    const std::vector<FileOp>& Log() const { return m_recording.log; }
    const Recording& Recorded() const { return m_recording; }
    FileImages PowerCut(std::size_t cut, std::mt19937& rng) const {
        return m_recording.PowerCut(cut, rng);
    }
    FileImages Replay(std::size_t upTo) const { return m_recording.Replay(upTo); }

    // cfb::FileSystem
    Result<std::unique_ptr<cfb::SectorFile>> Open(const std::filesystem::path& path, bool writable,
                                                  bool create,
                                                  std::filesystem::perms perms) override;
    bool Exists(const std::filesystem::path& path) override;
    Result<std::filesystem::path> CreateUnique(const std::filesystem::path& dir,
                                               std::string_view prefix,
                                               std::string_view suffix) override;
    Result<void> Rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
    Result<void> Remove(const std::filesystem::path& path) override;
    Result<void> SyncDirectory(const std::filesystem::path& dir) override;

private:
    friend class MemoryFile;
    struct Node {
        std::uint64_t id = 0;
        std::string bytes;
        bool locked = false;
    };
    /// Counts a call that changes the disk; the error when it is to fail.
    std::optional<Error> Fault(const std::filesystem::path& path, const char* what);
    void Record(FileOp op);
    std::shared_ptr<Node> NewNode(std::string bytes);

    std::map<std::filesystem::path, std::shared_ptr<Node>> m_names;
    std::set<std::filesystem::path> m_folders;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_calls = 0;
    std::uint64_t m_failFrom = 0;
    bool m_failOnce = false;
    int m_failErr = ENOSPC;
    bool m_readOnly = false;
    bool m_installed = false;
    cfb::FileSystem* m_previous = nullptr;
    bool m_recordOn = false;
    Recording m_recording;
};

} // namespace kelvo::test
