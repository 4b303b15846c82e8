// The session lock: an exclusive flock on a small file named after the bank. The system
// drops the lock when its holder ends, however it ends, so no stale lock is ever left.
#include "core/SessionLock.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kelvo {

namespace {

// FNV-1a over the path's bytes: the same name for the same bank in every program.
std::uint64_t PathHash(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::filesystem::path LockFolder() {
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* dir = std::getenv(name);
        if (dir && *dir)
            return dir;
    }
    return "/tmp";
}

} // namespace

SessionLock::~SessionLock() {
    Release();
}

SessionLock::SessionLock(SessionLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_bank(std::move(other.m_bank)) {
    other.m_bank.clear();
}

SessionLock& SessionLock::operator=(SessionLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
        m_bank = std::move(other.m_bank);
        other.m_bank.clear();
    }
    return *this;
}

std::filesystem::path SessionLock::Canonical(const std::filesystem::path& bank) {
    std::error_code ec;
    auto canonical = std::filesystem::canonical(bank, ec);
    if (!ec)
        return canonical;
    auto absolute = std::filesystem::absolute(bank, ec);
    return (ec ? bank : absolute).lexically_normal();
}

std::filesystem::path SessionLock::LockPathFor(const std::filesystem::path& bank) {
    char name[48];
    std::snprintf(name, sizeof name, "kelvo-bank-%016llx.lock",
                  static_cast<unsigned long long>(PathHash(Canonical(bank).string())));
    return LockFolder() / name;
}

bool SessionLock::Acquire(const std::filesystem::path& bank) {
    if (Holds() && Canonical(bank) == m_bank)
        return true; // a second lock of our own would be refused by the first
    const std::filesystem::path lockPath = LockPathFor(bank);
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        Release(); // the lock place cannot be written: unguarded, but not refused
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        if (busy)
            return false;
        Release(); // a file system without locks: unguarded, as above
        return true;
    }
    Release();
    m_fd = fd;
    m_bank = Canonical(bank);
    return true;
}

void SessionLock::Release() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the descriptor drops the flock
    m_fd = -1;
    m_bank.clear();
}

} // namespace kelvo
