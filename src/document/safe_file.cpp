#include "safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <clocale>
#include <cstring>

#include <locale.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

QString SystemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileOutcome Failure(FileFault fault, int error)
{
    return {fault, SystemText(error), error};
}

// Why a file cannot be written where QSaveFile gave up: Qt gives a text (in the language
// of its translator), not the error number, so the target and its folder are asked.
int WriteErrorAt(const QString &path)
{
    const QByteArray target = QFile::encodeName(path);
    if (::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
        return errno;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return errno;
    return EIO;
}

// Qt reports "no space" as a resource error with the system's text.
bool IsDiskFull(const QFileDevice &file)
{
    const QString text = file.errorString();
    return file.error() == QFileDevice::ResourceError || text == SystemText(ENOSPC) || text == SystemText(EDQUOT);
}

FileOutcome WriteFailure(const QFileDevice &file, const QString &path)
{
    if (IsDiskFull(file))
        return Failure(FileFault::DiskFull, ENOSPC);
    return Failure(FileFault::System, WriteErrorAt(path));
}

} // namespace

FileOutcome ReadRegularFile(const QString &path, qint64 limit, QByteArray &data, bool wholeFile)
{
    data.clear();
    // Non-blocking: opening a FIFO must not wait for a writer. Regular files ignore the flag.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failure(FileFault::System, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Failure(FileFault::NotRegular, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
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
            return Failure(FileFault::System, error);
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    if (wholeFile && filled > limit)
        return Failure(FileFault::TooLarge, EFBIG);
    buffer.truncate(qsizetype(filled));
    data = buffer;
    return {};
}

FileOutcome WriteFileSafely(const QString &path, const std::function<bool(QIODevice &)> &produce)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return Failure(FileFault::NotRegular, target.isDir() ? EISDIR : EINVAL);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(FileFault::System, WriteErrorAt(path));
    const bool produced = produce(file);
    // The device buffers small writes; a failure of that last flush must not pass unseen.
    if (file.error() != QFileDevice::NoError || !file.flush() || file.error() != QFileDevice::NoError) {
        const FileOutcome failure = WriteFailure(file, path);
        file.cancelWriting();
        return failure;
    }
    if (!produced) {
        file.cancelWriting();
        return {FileFault::Refused, QStringLiteral("refused")};
    }
    const qint64 written = file.pos();
    if (!file.commit())
        return WriteFailure(file, path);
    const qint64 onDisk = QFileInfo(path).size();
    if (onDisk != written)
        return {FileFault::System, QStringLiteral("%1 of %2 bytes reached the disk").arg(onDisk).arg(written), EIO};
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
    if (outcome.Error == 0)
        return outcome.Reason;
    // The C locale's text: a German system must not put German words in an English sentence.
    static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return english ? QString::fromLocal8Bit(strerror_l(outcome.Error, english)) : outcome.Reason;
}

} // namespace velmora
