#include "recovery_store.h"

#include "drawing_lock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#include <cerrno>
#include <sys/statvfs.h>
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

FileOutcome RecoveryStore::Write(const DrawingState &drawing, const DrawingFileSettings &settings,
                                 const QString &fileName)
{
    if (!lock_) {
        QDir().mkpath(folder_);
        lock_ = LockFor(slot_);
        if (!lock_->tryLock(0)) {
            lock_.reset();
            // The folder's own error number, so the message can say why in the user's language.
            const QByteArray folder = QFile::encodeName(folder_);
            struct statvfs space {};
            const int error = ::access(folder.constData(), W_OK | X_OK) != 0                  ? errno
                              : ::statvfs(folder.constData(), &space) == 0 && space.f_bavail == 0 ? ENOSPC
                                                                                                  : EIO;
            return {FileFault::System, QStringLiteral("the recovery folder cannot be written: ") + folder_, error};
        }
    }
    FileOutcome outcome = SaveDrawingFile(CopyPath(), drawing, settings);
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
        if (!lock->tryLock(0)) {
            if (HeldByLivingProcessHere(*lock))
                continue; // its run is alive
            // An empty lock (a power cut), another computer's (a home on a network drive) or
            // none that can be made (a folder not writable, a full disk): the copy is offered,
            // locked when the lock can be taken over.
            if (lock->error() != QLockFile::LockFailedError || !lock->removeStaleLockFile() || !lock->tryLock(0))
                lock.reset();
        }
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

QString RecoveryStore::PutAside(const Orphan &orphan)
{
    const QString aside = folder_ + QStringLiteral("/damaged");
    const QString copy = orphan.Slot + QStringLiteral(".vlm");
    const QString target = aside + QLatin1Char('/') + QFileInfo(copy).fileName();
    if (!QDir().mkpath(aside) || QFileInfo::exists(target) || !QFile::rename(copy, target))
        return copy;
    QFile::rename(orphan.Slot + QStringLiteral(".name"), target.chopped(4) + QStringLiteral(".name"));
    return target;
}

void RecoveryStore::Release(const Orphan &orphan)
{
    if (const auto lock = orphanLocks_.take(orphan.Slot))
        lock->unlock();
}

} // namespace velmora
