// Files in tests: the samples under tests/data, and whole files read and written.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace velmora {

#ifdef TEST_DATA_DIR
inline QString Sample(const QString &name)
{
    return QStringLiteral(TEST_DATA_DIR "/") + name;
}
#endif

// The file's bytes, empty when it cannot be read.
inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace velmora
