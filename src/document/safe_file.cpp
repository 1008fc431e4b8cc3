#include "safe_file.h"

#include "file_names.h"

#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>

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

FileOutcome OutOfMemory()
{
    return Failure(FileFault::OutOfMemory, ENOMEM);
}

// Why a file cannot be written where QSaveFile gave up: Qt gives a text (in the language
// of its translator), not the error number, so the target and its folder are asked.
int WriteErrorAt(const QString &path)
{
    const QByteArray target = FileNameBytes(path);
    if (::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
        return errno;
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
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

// The save through QSaveFile at a path Qt can name: written, flushed, checked, committed.
FileOutcome Commit(const QString &path, const std::function<bool(QIODevice &)> &produce, qint64 &written)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(FileFault::System, WriteErrorAt(path));
    bool produced = false;
    try {
        produced = produce(file);
    } catch (const std::bad_alloc &) {
        file.cancelWriting();
        return OutOfMemory();
    }
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
    written = file.pos();
    if (!file.commit())
        return WriteFailure(file, path);
    return {};
}

// A name Qt cannot write (bytes that are not UTF-8): the save goes through QSaveFile to a
// hidden name in the same folder, reached through the folder's descriptor, and that file is
// renamed over the target, which is as atomic as the commit itself.
FileOutcome CommitByteName(const QByteArray &native, const std::function<bool(QIODevice &)> &produce,
                           const struct stat *existing, qint64 &written)
{
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : native.left(slash);
    const QByteArray base = native.mid(slash + 1);
    const int dir = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return Failure(FileFault::System, errno);
    static std::atomic<int> serial{0};
    const QByteArray part = QStringLiteral(".velmora-%1-%2.part").arg(getpid()).arg(serial++).toLatin1();
    FileOutcome outcome =
        Commit(QStringLiteral("/proc/self/fd/%1/").arg(dir) + QString::fromLatin1(part), produce, written);
    if (outcome.Ok()) {
        if (existing && ::fchmodat(dir, part.constData(), existing->st_mode & 07777, 0) != 0) {
            // The old file's permissions are kept at best effort, as QSaveFile keeps them: a
            // save does not fail for them.
        }
        if (::renameat(dir, part.constData(), dir, base.constData()) != 0) {
            outcome = Failure(FileFault::System, errno);
            ::unlinkat(dir, part.constData(), 0);
        }
    }
    ::close(dir);
    return outcome;
}

} // namespace

ReadableFile::ReadableFile(const QString &path)
{
    // Non-blocking: opening a FIFO must not wait for a writer. Regular files ignore the flag.
    fd_ = ::open(FileNameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        outcome_ = Failure(FileFault::System, errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        outcome_ = Failure(FileFault::NotRegular, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return;
    }
    size_ = std::max<qint64>(info.st_size, 0);
}

ReadableFile::~ReadableFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

qint64 ReadableFile::Read(void *to, qint64 size)
{
    if (!Ok())
        return -1;
    qint64 filled = 0;
    while (filled < size) {
        const ssize_t got = ::read(fd_, static_cast<char *>(to) + filled, size_t(size - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            outcome_ = Failure(FileFault::System, errno);
            return -1;
        }
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

bool ReadableFile::Skip(qint64 size)
{
    if (!Ok())
        return false;
    if (::lseek(fd_, off_t(size), SEEK_CUR) < 0) {
        outcome_ = Failure(FileFault::System, errno);
        return false;
    }
    return true;
}

FileOutcome ReadRegularFile(const QString &path, qint64 limit, QByteArray &data, bool wholeFile)
{
    data.clear();
    ReadableFile file(path);
    if (!file.Ok())
        return file.Outcome();
    // What is read counts, not what the file claims to hold: it may grow while being read.
    try {
        QByteArray buffer;
        const qint64 wanted = wholeFile ? limit + 1 : limit;
        buffer.resize(qsizetype(std::min<qint64>(file.Size() + 1, wanted)));
        qint64 filled = 0;
        while (filled < wanted) {
            if (filled == buffer.size())
                buffer.resize(qsizetype(std::min<qint64>(wanted, qint64(buffer.size()) * 2 + 4096)));
            const qint64 got = file.Read(buffer.data() + filled, buffer.size() - filled);
            if (got < 0)
                return file.Outcome();
            if (got == 0)
                break;
            filled += got;
        }
        if (wholeFile && filled > limit)
            return Failure(FileFault::TooLarge, EFBIG);
        buffer.truncate(qsizetype(filled));
        data = buffer;
    } catch (const std::bad_alloc &) {
        return OutOfMemory();
    }
    return {};
}

FileOutcome WriteFileSafely(const QString &path, const std::function<bool(QIODevice &)> &produce)
{
    const QByteArray native = FileNameBytes(path);
    struct stat target {};
    const bool exists = ::stat(native.constData(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode))
        return Failure(FileFault::NotRegular, S_ISDIR(target.st_mode) ? EISDIR : EINVAL);
    qint64 written = 0;
    const FileOutcome outcome = QtCanNameFile(path) ? Commit(path, produce, written)
                                                    : CommitByteName(native, produce, exists ? &target : nullptr, written);
    if (!outcome.Ok())
        return outcome;
    struct stat onDisk {};
    if (::stat(native.constData(), &onDisk) != 0 || onDisk.st_size != written)
        return {FileFault::System,
                QStringLiteral("%1 of %2 bytes reached the disk").arg(qint64(onDisk.st_size)).arg(written), EIO};
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
    case FileFault::OutOfMemory: return QStringLiteral("not enough memory");
    case FileFault::System:
    case FileFault::Refused: break;
    }
    if (outcome.Error == 0)
        return outcome.Reason;
    // The C locale's text: a German system must not put German words in an English sentence.
    static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return english ? QString::fromLocal8Bit(strerror_l(outcome.Error, english)) : outcome.Reason;
}

QString OutOfMemoryText()
{
    return QStringLiteral("nicht genug Arbeitsspeicher");
}

} // namespace velmora
