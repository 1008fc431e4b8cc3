// Reading and writing the program's files without losing anything and without hanging:
// only regular files are read (never a FIFO or a device, never blocking on open), reads are
// limited, and every write goes to a file beside the target that replaces it only after all
// bytes reached the disk, so a failed write leaves the old file as it was. Paths may hold
// stray bytes of a name that is not UTF-8 (file_names.h); they reach the disk unchanged.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

namespace velmora {

enum class FileFault {
    None,
    NotRegular, // a directory, FIFO, device or socket
    TooLarge,   // longer than the reader accepts
    DiskFull,   // no space left on the device (or the quota is used up)
    System,     // any other failure; Reason holds the system's text
    Refused,    // the writer itself gave up (its caller knows why)
    OutOfMemory, // an allocation failed while reading or writing; nothing was changed
};

struct FileOutcome {
    FileFault Fault = FileFault::None;
    QString Reason; // the system's description of the failure, never empty on failure
    int Error = 0;  // the system's error number (errno) when it is known, else 0
    bool Ok() const { return Fault == FileFault::None; }
};

// A regular file (symlinks followed) open for reading, never a FIFO or a device: opening
// does not block, and the file is closed when this goes.
class ReadableFile {
public:
    explicit ReadableFile(const QString &path);
    ~ReadableFile();
    ReadableFile(const ReadableFile &) = delete;
    ReadableFile &operator=(const ReadableFile &) = delete;

    // Why the file cannot be opened or read; Ok while all is well.
    const FileOutcome &Outcome() const { return outcome_; }
    bool Ok() const { return outcome_.Ok(); }
    // Its size when it was opened.
    qint64 Size() const { return size_; }
    // Reads up to size bytes from the current position into to, waiting for all of them;
    // returns how many were read (fewer at the end of the file), or -1 with Outcome set.
    qint64 Read(void *to, qint64 size);
    // Moves the position forward by size bytes without reading them.
    bool Skip(qint64 size);

private:
    int fd_ = -1;
    qint64 size_ = 0;
    FileOutcome outcome_;
};

// Reads a regular file (symlinks followed) into data. With wholeFile, a file longer than
// limit is refused as TooLarge; otherwise only its first limit bytes are read.
FileOutcome ReadRegularFile(const QString &path, qint64 limit, QByteArray &data, bool wholeFile = true);

// Writes a file safely: produce writes the content into the device; the result is flushed,
// checked, committed over the target and its size on disk compared with the bytes written.
// A target that exists but is not a regular file is left alone (NotRegular). An allocation
// failure inside produce (std::bad_alloc) leaves the target as it was (OutOfMemory).
FileOutcome WriteFileSafely(const QString &path, const std::function<bool(QIODevice &)> &produce);
FileOutcome WriteFileSafely(const QString &path, const QByteArray &bytes);

// The reason in English words, for the command line: "the disk is full", "not a regular
// file", "too large", "not enough memory", or the system's English text of the error
// number (whatever the system's language).
QString FaultText(const FileOutcome &outcome);

// The program's text for a failed allocation, in German ("nicht genug Arbeitsspeicher"):
// the window passes it through the translator like every other text.
QString OutOfMemoryText();

} // namespace velmora
