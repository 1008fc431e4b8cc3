#include "options_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <unistd.h>

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

namespace {

// The data file beside the program, or none when it belongs in the user's data folder.
bool KeptBesideProgram(const QString &programDir, const QString &fileName)
{
    return QFileInfo::exists(programDir + fileName) ||
           (InstalledTemplatePath(programDir, fileName).isEmpty() && QFileInfo(programDir).isWritable());
}

QString UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// Why a folder cannot be made or written: the error number of its first part that exists.
int FolderError(const QString &folder)
{
    QString existing = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath())
        existing = QFileInfo(existing).absolutePath();
    if (!QFileInfo(existing).isDir())
        return ENOTDIR;
    if (::access(QFile::encodeName(existing).constData(), W_OK | X_OK) != 0)
        return errno;
    return 0;
}

} // namespace

QString DataFilePath(const QString &programDir, const QString &fileName)
{
    if (KeptBesideProgram(programDir, fileName))
        return programDir + fileName;
    const QString shipped = InstalledTemplatePath(programDir, fileName);
    const QString userDir = UserDataFolder();
    QDir().mkpath(userDir);
    const QString own = userDir + QLatin1Char('/') + fileName;
    if (!shipped.isEmpty() && !QFileInfo::exists(own)) {
        // The first start of an installed program: the user's copy begins as the shipped one.
        // When it cannot be made, the shipped file is read where it is (and never written).
        QByteArray bytes;
        if (!ReadRegularFile(shipped, qint64(1) << 30, bytes).Ok() || !WriteFileSafely(own, bytes).Ok())
            return shipped;
    }
    return own;
}

QString ExistingDataFilePath(const QString &programDir, const QString &fileName)
{
    if (KeptBesideProgram(programDir, fileName))
        return programDir + fileName;
    const QString own = UserDataFolder() + QLatin1Char('/') + fileName;
    return QFileInfo::exists(own) ? own : InstalledTemplatePath(programDir, fileName);
}

UserFolderState UserFolderProblem(const QString &programDir)
{
    if (KeptBesideProgram(programDir, QStringLiteral("options.dat")))
        return {};
    const QString folder = UserDataFolder();
    if (QDir().mkpath(folder) && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return {};
    const int error = FolderError(folder);
    return {folder, {FileFault::System, QString::fromLocal8Bit(std::strerror(error)), error}};
}

} // namespace velmora
