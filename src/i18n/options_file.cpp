#include "options_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>

namespace velmora {

int ReadOptionsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.read(4);
    if (bytes.size() < 4)
        return -1;
    const qint32 language = qFromLittleEndian<qint32>(bytes.constData());
    return language >= 0 && language <= LastLanguageColumn ? language : -1;
}

bool WriteOptionsFile(const QString &path, int language)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    char bytes[4];
    qToLittleEndian<qint32>(language, bytes);
    return file.write(bytes, 4) == 4 && file.commit();
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
