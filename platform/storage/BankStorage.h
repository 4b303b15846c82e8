// Storage helpers every part of the bank uses: open, or else create, a bank file, a child
// storage or a child stream, with the modes the bank format fixes; and the target of a save.
#pragma once

#include "platform/storage/Storage.h"

#include <filesystem>

namespace kelvo {

/// True when a directory search finds the path (a file or a directory).
bool FileExists(const std::filesystem::path& path);
/// Opens the compound file with mode 0x12; when the file is missing or is not a compound file
/// at all, creates it with 0x1012. Any other failure (a damaged compound file, a file open
/// elsewhere, no permission) is returned and the file is left as it is.
Result<cfb::Storage> OpenOrCreateBankFile(const std::filesystem::path& path);
Result<cfb::Storage> OpenOrCreateStorage(cfb::Storage& parent, std::u16string_view name);
Result<cfb::Stream> OpenOrCreateStream(cfb::Storage& parent, std::u16string_view name);

/// The file a save writes into, so that the path holds either what it held or the whole new
/// content. An existing compound file is opened (mode 0x12) and written in place as one
/// transaction. A path without one (nothing there, or a file that is not a compound file,
/// which the save replaces) gets a new compound file built beside it under a hidden
/// temporary name, moved over the path once it is complete and on disk.
class SaveTarget {
public:
    /// Fails, touching nothing, when there is a compound file that cannot be opened (open
    /// elsewhere, damaged, not permitted) or no file can be made beside the path.
    static Result<SaveTarget> Open(const std::filesystem::path& path);
    /// Always a new compound file built beside the path, whatever the path holds now: a
    /// rewrite of the whole file that must not merge into the old one.
    static Result<SaveTarget> Beside(const std::filesystem::path& path);
    SaveTarget(SaveTarget&& other) noexcept;
    SaveTarget& operator=(SaveTarget&&) = delete;
    /// Without Finish, everything written is dropped: the file keeps its committed state, a
    /// file built beside is removed.
    ~SaveTarget();

    cfb::Storage& root() { return m_root; }
    /// True when the path had no compound file and a new one is being built.
    bool isNew() const { return !m_beside.empty(); }
    /// Commits; a file built beside then replaces the path, and the folder is synced. The
    /// root is released either way.
    Result<void> Finish();

private:
    SaveTarget(cfb::Storage root, std::filesystem::path path, std::filesystem::path beside)
        : m_root(std::move(root)), m_path(std::move(path)), m_beside(std::move(beside)) {}
    void Abandon();

    cfb::Storage m_root;
    std::filesystem::path m_path;
    std::filesystem::path m_beside;
    bool m_done = false;
};

} // namespace kelvo
