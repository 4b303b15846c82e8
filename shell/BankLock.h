// Keeps a bank for this running copy of the program: a second copy that wants the same bank
// learns that it is busy instead of writing over the first one's work.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace kelvo {

class BankLock {
public:
    BankLock();
    ~BankLock();
    BankLock(BankLock&&) noexcept;
    BankLock& operator=(BankLock&&) noexcept;

    /// Takes the bank at `path` (any spelling of the same file is the same bank). False when
    /// another running copy holds it. A lock left by a copy that died is taken over.
    bool Acquire(const QString& path);
    void Release();
    bool Holds() const { return m_lock != nullptr; }
    /// The lock file that stands for a bank path.
    static QString LockPathFor(const QString& bankPath);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace kelvo
