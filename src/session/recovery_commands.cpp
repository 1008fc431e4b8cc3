#include "recovery_commands.h"

#include "i18n/file_reasons.h"

#include "document_session.h"
#include "file_messages.h"

#include "i18n/options_file.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocale>

#include <new>

namespace velmora {

namespace {

QLocale LocaleOf(int language)
{
    switch (language) {
    case LanguageGerman: return QLocale(QLocale::German, QLocale::Germany);
    case LanguageEnglish: return QLocale(QLocale::English, QLocale::UnitedKingdom);
    case LanguageItalian: return QLocale(QLocale::Italian, QLocale::Italy);
    default: return QLocale();
    }
}

// The digest of what is written to it, the file never held in memory: whether the drawing
// changed since the last copy.
class DigestDevice : public QIODevice {
public:
    DigestDevice() { open(QIODevice::WriteOnly); }
    QByteArray Result() const { return hash_.result(); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        hash_.addData(QByteArrayView(data, size));
        return size;
    }

private:
    QCryptographicHash hash_{QCryptographicHash::Sha1};
};

} // namespace

bool RecoveryCommands::Write()
{
    if (!session_.IsModified()) {
        Drop();
        return true;
    }
    if (session_.EditOpen())
        return true; // half a stroke is no drawing; the next interval writes the finished one
    QString reason;
    try {
        const DrawingFileSettings settings = session_.FileSettings();
        DigestDevice digesting;
        WriteDrawingFile(digesting, session_.Drawing(), settings);
        const QByteArray digest = digesting.Result() + session_.FileName().toUtf8();
        if (store_.HasCopy() && digest == written_)
            return true; // nothing new since the last copy
        const FileOutcome written = store_.Write(session_.Drawing(), settings, session_.FileName());
        if (written.Ok()) {
            written_ = digest;
            return true;
        }
        reason = FileReason(written, [this](const QString &text) { return session_.Translation().TranslateString(text); });
    } catch (const std::bad_alloc &) {
        // A drawing with no room left for the writer's own needs keeps its window (the
        // timer's call would otherwise end the program with the pupil's work).
        reason = session_.Translation().TranslateString(OutOfMemoryText());
    }
    written_.clear();
    // Said where it does not interrupt the work; the next interval tries again.
    session_.Prompts().ShowStatus(
        session_.Translation().TranslateString(QStringLiteral("Die Sicherungskopie konnte nicht geschrieben werden:")) +
        QLatin1Char(' ') + store_.CopyPath() + QStringLiteral(" (") + reason + QLatin1Char(')'));
    return false;
}

void RecoveryCommands::Drop()
{
    store_.Remove();
    written_.clear();
}

bool RecoveryCommands::Discarding(const RecoveryStore::Orphan &orphan)
{
    // A copy newer than the drawing's file (or of a drawing never saved) holds work found
    // nowhere else: asked once more.
    const QFileInfo own(orphan.FileName);
    if (!orphan.FileName.isEmpty() && own.exists() && own.lastModified() >= orphan.Written)
        return true;
    Translator &translation = session_.Translation();
    return session_.Prompts().AskYesNo(
               translation.TranslateString(QStringLiteral(
                   "Die Sicherungskopie ist neuer als die gespeicherte Zeichnung. Soll sie wirklich gelöscht werden?")),
               translation.TranslateString(QStringLiteral("Sicherungskopie verwerfen"))) == SessionPrompts::Answer::Yes;
}

bool RecoveryCommands::Restore(const RecoveryStore::Orphan &orphan, bool &damaged)
{
    Translator &translation = session_.Translation();
    const QString copy = orphan.Slot + QStringLiteral(".vlm");
    DrawingState read;
    DrawingFileSettings file = session_.FileSettings();
    file.Chunks.clear();
    file.KeepEveryChunk = true;
    FileOutcome opened;
    const SalvagedDrawing salvaged = SalvageDrawingFile(copy, read, file, &opened);
    if (!opened.Ok()) {
        // Kept where it is and offered again at the next start.
        session_.Prompts().ShowError(
            FileFaultMessage(translation, QStringLiteral("Die Datei kann nicht geöffnet werden:"), copy, opened));
        return false;
    }
    if (salvaged.Damage == DrawingFileError::OutOfMemory) {
        // Not damaged: kept where it is and offered again at the next start.
        session_.Prompts().ShowError(
            translation.TranslateString(QStringLiteral("Die Datei kann nicht geöffnet werden:")) + QLatin1Char('\n') +
            copy + QLatin1Char('\n') + translation.TranslateString(OutOfMemoryText()));
        return false;
    }
    QString name = orphan.FileName;
    damaged = salvaged.Damage != DrawingFileError::None;
    if (damaged) {
        // Never deleted: put aside where it is not offered again, and said where it is.
        const QString kept = store_.PutAside(orphan);
        const QString reason = translation.TranslateString(DrawingFileErrorText(salvaged.Damage));
        QString text = translation.TranslateString(QStringLiteral("Die Sicherungskopie ist beschädigt:")) +
                       QLatin1Char(' ') + reason + QStringLiteral(".\n");
        if (read.Objects.Count == 0 && read.Texts.Count == 0) {
            session_.Prompts().ShowError(
                text + translation.TranslateString(QStringLiteral("Es ließ sich nichts daraus lesen. Die Kopie bleibt erhalten:")) +
                QLatin1Char('\n') + kept);
            return false;
        }
        session_.Prompts().ShowError(
            text +
            translation.TranslateString(QStringLiteral(
                    "Wiederhergestellt ist, was sich lesen ließ: %1 Objekte und %2 Texte, als neue Zeichnung. "
                    "Die Kopie bleibt erhalten:"))
                .arg(read.Objects.Count)
                .arg(read.Texts.Count) +
            QLatin1Char('\n') + kept);
        name.clear(); // a part of the drawing: saved under a new name, never over its own file
    }
    session_.TakeDrawing(read, file.Placement, SettingsFromFile(file, session_.Settings()), std::move(file.Chunks));
    // Changed, under its own file's name: Save goes where the user expects.
    session_.SetFileName(name);
    session_.SetChanged();
    session_.History().resetClean(); // no step of the history is what a file holds
    return true;
}

void RecoveryCommands::Offer()
{
    Translator &translation = session_.Translation();
    const QList<RecoveryStore::Orphan> orphans = store_.TakeOrphans();
    bool restored = false;
    for (const RecoveryStore::Orphan &orphan : orphans) {
        if (restored) {
            store_.Release(orphan); // one drawing per window; the others wait for the next start
            continue;
        }
        const QString name = orphan.FileName.isEmpty() ? translation.ProgramMessage(Message::Untitled) : orphan.FileName;
        const QString question =
            translation.TranslateString(QStringLiteral(
                "Velmora wurde nicht ordnungsgemäß beendet. Es gibt eine Sicherungskopie dieser Zeichnung:")) +
            QStringLiteral("\n\n") + name + QStringLiteral("\n\n") +
            translation
                .TranslateString(QStringLiteral(
                    "Gesichert am %1. „Später entscheiden“ behält die Kopie für den nächsten Start."))
                .arg(LocaleOf(translation.LanguageColumn).toString(orphan.Written, QLocale::ShortFormat));
        switch (session_.Prompts().AskRecovery(question, translation.TranslateString(QStringLiteral("Sicherungskopie")))) {
        case SessionPrompts::RecoveryAnswer::Later:
            store_.Release(orphan);
            continue;
        case SessionPrompts::RecoveryAnswer::Discard:
            if (Discarding(orphan))
                store_.Discard(orphan);
            else
                store_.Release(orphan);
            continue;
        case SessionPrompts::RecoveryAnswer::Restore:
            break;
        }
        bool damaged = false;
        if (!Restore(orphan, damaged)) {
            store_.Release(orphan);
            continue;
        }
        // The old copy goes only once this run's own copy is on disk: a full disk keeps it
        // for the next start. A damaged one stays where it was put aside.
        if (Write() && !damaged)
            store_.Discard(orphan);
        else
            store_.Release(orphan);
        restored = true;
        emit session_.DrawingRead();
    }
}

} // namespace velmora
