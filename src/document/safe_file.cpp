#include "safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

QString SystemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileOutcome Failure(FileFault fault, const QString &reason)
{
    return {fault, reason.isEmpty() ? SystemText(EIO) : reason};
}

// Qt reports "no space" as a resource error with the system's text.
bool IsDiskFull(const QFileDevice &file)
{
    const QString text = file.errorString();
    return file.error() == QFileDevice::ResourceError || text == SystemText(ENOSPC) || text == SystemText(EDQUOT);
}

FileOutcome WriteFailure(const QFileDevice &file)
{
    if (IsDiskFull(file))
        return {FileFault::DiskFull, SystemText(ENOSPC)};
    return Failure(FileFault::System, file.errorString());
}

} // namespace

FileOutcome ReadRegularFile(const QString &path, qint64 limit, QByteArray &data, bool wholeFile)
{
    data.clear();
    // Non-blocking: opening a FIFO must not wait for a writer. Regular files ignore the flag.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failure(FileFault::System, SystemText(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {FileFault::NotRegular, SystemText(S_ISDIR(info.st_mode) ? EISDIR : EINVAL)};
    }
    // What is read counts, not what the file claims to hold: it may grow while being read.
    QByteArray buffer;
    const qint64 wanted = wholeFile ? limit + 1 : limit;
    buffer.resize(qsizetype(std::min<qint64>(std::max<qint64>(info.st_size, 0) + 1, wanted)));
    qint64 filled = 0;
    while (filled < wanted) {
        if (filled == buffer.size())
            buffer.resize(qsizetype(std::min<qint64>(wanted, qint64(buffer.size()) * 2 + 4096)));
        const ssize_t got = ::read(fd, buffer.data() + filled, size_t(buffer.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return Failure(FileFault::System, SystemText(error));
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    if (wholeFile && filled > limit)
        return {FileFault::TooLarge, SystemText(EFBIG)};
    buffer.truncate(qsizetype(filled));
    data = buffer;
    return {};
}

FileOutcome WriteFileSafely(const QString &path, const std::function<bool(QIODevice &)> &produce)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return {FileFault::NotRegular, SystemText(target.isDir() ? EISDIR : EINVAL)};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(FileFault::System, file.errorString());
    const bool produced = produce(file);
    // The device buffers small writes; a failure of that last flush must not pass unseen.
    if (file.error() != QFileDevice::NoError || !file.flush() || file.error() != QFileDevice::NoError) {
        const FileOutcome failure = WriteFailure(file);
        file.cancelWriting();
        return failure;
    }
    if (!produced) {
        file.cancelWriting();
        return {FileFault::Refused, QStringLiteral("refused")};
    }
    const qint64 written = file.pos();
    if (!file.commit())
        return WriteFailure(file);
    const qint64 onDisk = QFileInfo(path).size();
    if (onDisk != written)
        return {FileFault::System, QStringLiteral("%1 of %2 bytes reached the disk").arg(onDisk).arg(written)};
    return {};
}

FileOutcome WriteFileSafely(const QString &path, const QByteArray &bytes)
{
    return WriteFileSafely(path, [&bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); });
}

QString FaultText(const FileOutcome &outcome)
{
    switch (outcome.Fault) {
    case FileFault::None: return {};
    case FileFault::NotRegular: return QStringLiteral("not a regular file");
    case FileFault::TooLarge: return QStringLiteral("too large");
    case FileFault::DiskFull: return QStringLiteral("the disk is full");
    case FileFault::System:
    case FileFault::Refused: break;
    }
    return outcome.Reason;
}

} // namespace velmora
