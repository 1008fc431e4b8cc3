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

QString InstalledTemplatePath(const QString &programDir, const QString &fileName)
{
    const QString path = QDir::cleanPath(programDir + QStringLiteral("/../share/velmora/") + fileName);
    return QFileInfo(path).isFile() ? path : QString();
}

QString DataFilePath(const QString &programDir, const QString &fileName)
{
    const QString beside = programDir + fileName;
    const QString shipped = InstalledTemplatePath(programDir, fileName);
    if (QFileInfo::exists(beside) || (shipped.isEmpty() && QFileInfo(programDir).isWritable()))
        return beside;
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userDir);
    const QString own = userDir + QLatin1Char('/') + fileName;
    if (!shipped.isEmpty() && !QFileInfo::exists(own)) {
        // The first start of an installed program: the user's copy begins as the shipped one.
        // A failed copy leaves the user without one; the program then creates or misses the
        // file as it does in a folder of its own.
        QByteArray bytes;
        if (ReadRegularFile(shipped, qint64(1) << 30, bytes).Ok())
            WriteFileSafely(own, bytes);
    }
    return own;
}

} // namespace velmora
