#include "recovery_commands.h"

#include "i18n/file_reasons.h"

#include "document_session.h"

#include "i18n/options_file.h"

#include <QCryptographicHash>
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

} // namespace

void RecoveryCommands::Write()
{
    if (!session_.IsModified()) {
        Drop();
        return;
    }
    if (session_.EditOpen())
        return; // half a stroke is no drawing; the next interval writes the finished one
    QString reason;
    try {
        const QByteArray drawing = WriteDrawingFile(session_.Drawing(), session_.FileSettings());
        const QByteArray digest =
            QCryptographicHash::hash(drawing, QCryptographicHash::Sha1) + session_.FileName().toUtf8();
        if (store_.HasCopy() && digest == written_)
            return; // nothing new since the last copy
        const FileOutcome written = store_.Write(drawing, session_.FileName());
        if (written.Ok()) {
            written_ = digest;
            return;
        }
        reason = FileReason(written, [this](const QString &text) { return session_.Translation().TranslateString(text); });
    } catch (const std::bad_alloc &) {
        // The copy is made in memory: a drawing too large for a second copy keeps its window
        // (the timer's call would otherwise end the program with the pupil's work).
        reason = session_.Translation().TranslateString(OutOfMemoryText());
    }
    written_.clear();
    // Said where it does not interrupt the work; the next interval tries again.
    session_.Prompts().ShowStatus(
        session_.Translation().TranslateString(QStringLiteral("Die Sicherungskopie konnte nicht geschrieben werden:")) +
        QLatin1Char(' ') + store_.CopyPath() + QStringLiteral(" (") + reason + QLatin1Char(')'));
}

void RecoveryCommands::Drop()
{
    store_.Remove();
    written_.clear();
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
                .TranslateString(QStringLiteral("Gesichert am %1. Soll sie wiederhergestellt werden? (Nein verwirft die Kopie.)"))
                .arg(LocaleOf(translation.LanguageColumn).toString(orphan.Written, QLocale::ShortFormat));
        if (session_.Prompts().AskYesNo(question, translation.TranslateString(QStringLiteral("Sicherungskopie"))) !=
            SessionPrompts::Answer::Yes) {
            store_.Discard(orphan);
            continue;
        }
        if (!session_.Files.Load(orphan.Slot + QStringLiteral(".vlm"))) {
            store_.Discard(orphan); // the reason was shown; a damaged copy is not offered again
            continue;
        }
        // Changed, under its own file's name: Save goes where the user expects.
        session_.SetFileName(orphan.FileName);
        session_.SetChanged();
        session_.History().resetClean(); // no step of the history is what a file holds
        Write(); // this run keeps it safe before the old copy goes
        store_.Discard(orphan);
        restored = true;
        emit session_.DrawingRead();
    }
}

} // namespace velmora
