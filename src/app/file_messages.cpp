#include "file_messages.h"

namespace velmora {

QString FileFaultMessage(Translator &translation, const QString &sentence, const QString &path,
                         const FileOutcome &outcome)
{
    QString reason;
    switch (outcome.Fault) {
    case FileFault::DiskFull:
        reason = translation.TranslateString(QStringLiteral("Der Datenträger ist voll."));
        break;
    case FileFault::NotRegular:
        reason = translation.TranslateString(
            QStringLiteral("Das ist keine gewöhnliche Datei (ein Ordner, ein Gerät oder eine Pipe)."));
        break;
    case FileFault::TooLarge:
        reason = translation.TranslateString(QStringLiteral("Die Datei ist zu groß."));
        break;
    case FileFault::OutOfMemory:
        reason = translation.TranslateString(OutOfMemoryText());
        break;
    case FileFault::None:
    case FileFault::System:
    case FileFault::Refused:
        reason = outcome.Reason;
        break;
    }
    return translation.TranslateString(sentence) + QLatin1Char('\n') + path + QStringLiteral("\n\n") + reason;
}

} // namespace velmora
