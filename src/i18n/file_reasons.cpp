#include "file_reasons.h"

#include <cerrno>
#include <cstring>

namespace velmora {

namespace {

const QString Missing = QStringLiteral("Die Datei oder ihr Ordner existiert nicht.");
const QString NoPermission = QStringLiteral("Dafür fehlt Ihnen die Berechtigung.");
const QString DiskFull = QStringLiteral("Der Datenträger ist voll.");
const QString ReadOnly = QStringLiteral("Der Datenträger ist schreibgeschützt.");
const QString IsFolder = QStringLiteral("Das ist ein Ordner, keine Datei.");
const QString NotRegular = QStringLiteral("Das ist keine gewöhnliche Datei (ein Ordner, ein Gerät oder eine Pipe).");
const QString TooLarge = QStringLiteral("Die Datei ist zu groß.");
const QString DiskError = QStringLiteral("Der Datenträger meldet einen Lese- oder Schreibfehler.");
const QString Damaged = QStringLiteral("Das Dateisystem ist beschädigt.");
const QString NameTooLong = QStringLiteral("Der Dateiname ist zu lang.");
const QString OutOfMemory = QStringLiteral("Der Arbeitsspeicher reicht nicht aus.");
const QString NotWritten = QStringLiteral("Die Daten konnten nicht geschrieben werden.");
const QString Unknown = QStringLiteral("Der Grund ist nicht bekannt.");
const QString SystemError = QStringLiteral("Das System meldet den Fehler %1.");

QString ErrorName(int error)
{
    const char *name = strerrorname_np(error);
    return name ? QString::fromLatin1(name) : QString::number(error);
}

} // namespace

GermanReason FileReasonGerman(const FileOutcome &outcome)
{
    switch (outcome.Fault) {
    case FileFault::None: return {};
    case FileFault::DiskFull: return {DiskFull, {}};
    case FileFault::TooLarge: return {TooLarge, {}};
    case FileFault::NotRegular: return {outcome.Error == EISDIR ? IsFolder : NotRegular, {}};
    case FileFault::Refused: return {NotWritten, {}};
    case FileFault::OutOfMemory: return {OutOfMemory, {}};
    case FileFault::System: break;
    }
    switch (outcome.Error) {
    case 0: return {Unknown, {}};
    case ENOENT:
    case ENOTDIR: return {Missing, {}};
    case EACCES:
    case EPERM: return {NoPermission, {}};
    case ENOSPC:
    case EDQUOT: return {DiskFull, {}};
    case EROFS: return {ReadOnly, {}};
    case EISDIR: return {IsFolder, {}};
    case EFBIG: return {TooLarge, {}};
    case EIO: return {DiskError, {}};
    case EUCLEAN: return {Damaged, {}};
    case ENAMETOOLONG: return {NameTooLong, {}};
    case ENOMEM: return {OutOfMemory, {}};
    default: return {SystemError, {ErrorName(outcome.Error)}};
    }
}

QString FileReason(const FileOutcome &outcome, const std::function<QString(const QString &)> &translate)
{
    const GermanReason reason = FileReasonGerman(outcome);
    if (reason.German.isEmpty())
        return {};
    QString text = translate(reason.German);
    for (const QString &arg : reason.Args)
        text = text.arg(arg);
    return text;
}

QStringList FileReasonSentences()
{
    return {Missing, NoPermission, DiskFull,    ReadOnly,          IsFolder,   NotRegular, TooLarge,
            DiskError, Damaged,    NameTooLong, OutOfMemory, NotWritten, Unknown,    SystemError};
}

} // namespace velmora
