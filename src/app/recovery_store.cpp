#include "recovery_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#include <cerrno>
#include <unistd.h>

namespace velmora {

namespace {

constexpr qint64 MaxNameBytes = 64 * 1024;

std::unique_ptr<QLockFile> LockFor(const QString &slot)
{
    auto lock = std::make_unique<QLockFile>(slot + QStringLiteral(".lock"));
    // A run holds its lock for hours; only a lock whose process is gone counts as stale.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

RecoveryStore::RecoveryStore(QString folder) : folder_(std::move(folder))
{
    // Unique per run, also when a crashed run had the same process id.
    slot_ = folder_ + QStringLiteral("/drawing-%1-%2")
                          .arg(QDateTime::currentMSecsSinceEpoch())
                          .arg(QCoreApplication::applicationPid());
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

QString RecoveryStore::CopyPath() const
{
    return slot_ + QStringLiteral(".vlm");
}

FileOutcome RecoveryStore::Write(const QByteArray &drawing, const QString &fileName)
{
    if (!lock_) {
        QDir().mkpath(folder_);
        lock_ = LockFor(slot_);
        if (!lock_->tryLock(0)) {
            lock_.reset();
            // The folder's own error number, so the message can say why in the user's language.
            const int error = ::access(QFile::encodeName(folder_).constData(), W_OK | X_OK) == 0 ? EIO : errno;
            return {FileFault::System, QStringLiteral("the recovery folder cannot be written: ") + folder_, error};
        }
    }
    FileOutcome outcome = WriteFileSafely(CopyPath(), drawing);
    if (outcome.Ok())
        outcome = WriteFileSafely(slot_ + QStringLiteral(".name"), fileName.toUtf8());
    written_ = written_ || QFileInfo::exists(CopyPath());
    return outcome;
}

void RecoveryStore::Remove()
{
    if (!lock_)
        return;
    QFile::remove(CopyPath());
    QFile::remove(slot_ + QStringLiteral(".name"));
    lock_->unlock(); // removes the lock file
    lock_.reset();
    written_ = false;
}

QList<RecoveryStore::Orphan> RecoveryStore::TakeOrphans()
{
    QList<Orphan> orphans;
    const QDir dir(folder_);
    for (const QFileInfo &copy : dir.entryInfoList({QStringLiteral("*.vlm")}, QDir::Files)) {
        const QString slot = dir.filePath(copy.completeBaseName());
        if (slot == slot_ || orphanLocks_.contains(slot))
            continue;
        std::shared_ptr<QLockFile> lock = LockFor(slot);
        if (!lock->tryLock(0))
            continue; // its run is alive
        QByteArray name;
        ReadRegularFile(slot + QStringLiteral(".name"), MaxNameBytes, name);
        orphanLocks_.insert(slot, lock);
        orphans.append({slot, QString::fromUtf8(name), copy.lastModified()});
    }
    std::sort(orphans.begin(), orphans.end(),
              [](const Orphan &a, const Orphan &b) { return a.Written > b.Written; });
    return orphans;
}

void RecoveryStore::Discard(const Orphan &orphan)
{
    QFile::remove(orphan.Slot + QStringLiteral(".vlm"));
    QFile::remove(orphan.Slot + QStringLiteral(".name"));
    Release(orphan);
}

void RecoveryStore::Release(const Orphan &orphan)
{
    if (const auto lock = orphanLocks_.take(orphan.Slot))
        lock->unlock();
}

} // namespace velmora
