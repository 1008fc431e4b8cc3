// File names as the disk holds them: bytes. A name that is not UTF-8 (a Latin-1 "\xdcbung.vlm"
// from an old USB stick) keeps each stray byte in the QString as a lone surrogate U+DC80 to
// U+DCFF, so the name reaches the disk again exactly as it was given. Every file function of
// the document layer takes such names; Qt's own file classes do not (they write U+FFFD).
#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// The name for the bytes of a command-line argument or a directory entry: UTF-8 decoded,
// stray bytes kept as U+DC00 + byte.
QString FileNameFromBytes(const QByteArray &bytes);

// The bytes of a name, for the system's calls.
QByteArray FileNameBytes(const QString &name);

// True when Qt's own file classes reach this name (it holds no stray byte).
bool QtCanNameFile(const QString &name);

// True when something of that name is on the disk (QFileInfo::exists cannot see a name
// with a stray byte).
bool FileNameExists(const QString &name);

// The name for a message: each stray byte read as Windows-1252, as old systems wrote it
// ("\xdcbung.vlm" shows as "Übung.vlm").
QString ReadableFileName(const QString &name);

} // namespace velmora
