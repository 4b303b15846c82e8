// The session lock of a bank: held by the program that has the bank open for changing (the
// window for as long as the bank is open, a kvb editing command while it runs), so that no
// other copy of the program and no kvb command writes over its work. Reading needs no lock.
#pragma once

#include <filesystem>

namespace kelvo {

class SessionLock {
public:
    SessionLock() = default;
    ~SessionLock();
    SessionLock(SessionLock&& other) noexcept;
    SessionLock& operator=(SessionLock&& other) noexcept;
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

    /// Takes the lock of the bank at `bank` (any spelling of the same file is the same bank).
    /// False when another holder has it, in this process or another. A lock whose holder
    /// died is free again (the system lets go of it with the process). When no lock file
    /// can be made (no writable runtime or temporary folder) the bank is not guarded: true,
    /// but Holds() stays false.
    bool Acquire(const std::filesystem::path& bank);
    void Release();
    bool Holds() const { return m_fd >= 0; }
    /// The bank this lock was taken for (empty when it holds none).
    const std::filesystem::path& bank() const { return m_bank; }

    /// The lock file that stands for a bank: a name made from the bank's canonical path, in
    /// $XDG_RUNTIME_DIR, else $TMPDIR, else /tmp.
    static std::filesystem::path LockPathFor(const std::filesystem::path& bank);
    /// The path by which a bank is known to its lock: canonical when the file exists,
    /// otherwise absolute with "." and ".." resolved.
    static std::filesystem::path Canonical(const std::filesystem::path& bank);

private:
    int m_fd = -1;
    std::filesystem::path m_bank;
};

} // namespace kelvo
