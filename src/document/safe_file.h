// Reading and writing the program's files without losing anything and without hanging:
// only regular files are read (never a FIFO or a device, never blocking on open), reads are
// limited, and every write goes to a file beside the target that replaces it only after all
// bytes reached the disk, so a failed write leaves the old file as it was.
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
};

struct FileOutcome {
    FileFault Fault = FileFault::None;
    QString Reason; // the system's description of the failure, never empty on failure
    int Error = 0;  // the system's error number (errno) when it is known, else 0
    bool Ok() const { return Fault == FileFault::None; }
};

// Reads a regular file (symlinks followed) into data. With wholeFile, a file longer than
// limit is refused as TooLarge; otherwise only its first limit bytes are read.
FileOutcome ReadRegularFile(const QString &path, qint64 limit, QByteArray &data, bool wholeFile = true);

// Writes a file safely: produce writes the content into the device; the result is flushed,
// checked, committed over the target and its size on disk compared with the bytes written.
// A target that exists but is not a regular file is left alone (NotRegular).
FileOutcome WriteFileSafely(const QString &path, const std::function<bool(QIODevice &)> &produce);
FileOutcome WriteFileSafely(const QString &path, const QByteArray &bytes);

// The reason in English words, for the command line: "the disk is full", "not a regular
// file", "too large", or the system's English text of the error number (whatever the
// system's language).
QString FaultText(const FileOutcome &outcome);

} // namespace velmora
