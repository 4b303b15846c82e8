// Keeps a bank for this running copy of the program.
#include "shell/BankLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace kelvo {

BankLock::BankLock() = default;
BankLock::~BankLock() = default;
BankLock::BankLock(BankLock&&) noexcept = default;
BankLock& BankLock::operator=(BankLock&&) noexcept = default;

QString BankLock::LockPathFor(const QString& bankPath) {
    const QFileInfo info(bankPath);
    const QString canonical =
        info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/kelvo-bank-") + QString::fromLatin1(hash) +
           QStringLiteral(".lock");
}

bool BankLock::Acquire(const QString& path) {
    auto lock = std::make_unique<QLockFile>(LockPathFor(path));
    lock->setStaleLockTime(0); // only a lock whose process is gone is stale
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        // The lock place cannot be written (no runtime folder): the bank is not guarded, but
        // the user is not kept from it either.
        m_lock.reset();
        return true;
    }
    m_lock = std::move(lock);
    return true;
}

void BankLock::Release() {
    m_lock.reset();
}

} // namespace kelvo
