#include "drawing_lock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>

namespace velmora {

bool HeldByLivingProcessHere(const QLockFile &lock)
{
    qint64 pid = 0;
    QString host, application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0 || host != QSysInfo::machineHostName())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString DrawingLock::LockPath(const QString &drawing)
{
    const QFileInfo file(drawing);
    return file.absolutePath() + QStringLiteral("/.") + file.fileName() + QStringLiteral(".lock");
}

DrawingLock::Outcome DrawingLock::Take(const QString &drawing)
{
    if (lock_ && drawing_ == drawing)
        return Outcome::Taken;
    auto lock = std::make_unique<QLockFile>(LockPath(drawing));
    lock->setStaleLockTime(0); // held as long as the window has the drawing open
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return Outcome::Unlockable;
        qint64 pid = 0;
        QString host, application;
        const bool named = lock->getLockInfo(&pid, &host, &application);
        if (named && pid == QCoreApplication::applicationPid() && host == QSysInfo::machineHostName())
            return Outcome::Unlockable; // another window of this very run (tests make them): no other program
        if (HeldByLivingProcessHere(*lock))
            return Outcome::HeldHere;
        if (named && !host.isEmpty() && host != QSysInfo::machineHostName())
            return Outcome::HeldElsewhere;
        // Empty or unreadable: what a power cut leaves. Two programs taking it over at once
        // still end with one holder, as the lock is made anew.
        if (!lock->removeStaleLockFile() || !lock->tryLock(0))
            return lock->error() == QLockFile::LockFailedError ? Outcome::HeldHere : Outcome::Unlockable;
    }
    Release();
    lock_ = std::move(lock);
    drawing_ = drawing;
    return Outcome::Taken;
}

void DrawingLock::Release()
{
    if (lock_)
        lock_->unlock();
    lock_.reset();
    drawing_.clear();
}

} // namespace velmora
