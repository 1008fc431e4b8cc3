#include "options_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

namespace velmora {

int ReadOptionsFile(const QString &path)
{
    // Only the first four bytes count; a FIFO or device named options.dat is not waited for.
    QByteArray bytes;
    if (!ReadRegularFile(path, 4, bytes, false).Ok() || bytes.size() < 4)
        return -1;
    const qint32 language = qFromLittleEndian<qint32>(bytes.constData());
    return language >= 0 && language <= LastLanguageColumn ? language : -1;
}

FileOutcome WriteOptionsFile(const QString &path, int language)
{
    char bytes[4];
    qToLittleEndian<qint32>(language, bytes);
    return WriteFileSafely(path, QByteArray(bytes, 4));
}

QString DataFilePath(const QString &programDir, const QString &fileName)
{
    const QString beside = programDir + fileName;
    if (QFileInfo::exists(beside) || QFileInfo(programDir).isWritable())
        return beside;
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userDir);
    return userDir + QLatin1Char('/') + fileName;
}

} // namespace velmora
