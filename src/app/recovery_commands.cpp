// Recovery copies: every interval a changed drawing is written with the normal drawing writer
// into the user's data folder (its own file and the caption stay as they are); saving, opening
// or emptying the drawing removes the copy. A copy that a crashed or killed run left behind is
// offered at the next start.
#include "main_form.h"

#include "i18n/file_reasons.h"
#include "i18n/options_file.h"

#include <QCryptographicHash>

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

void TMainForm::WriteRecoveryCopy()
{
    if (!State.Modified) {
        DropRecoveryCopy();
        return;
    }
    if (Dispatch.Dragging())
        return; // half a stroke is no drawing; the next interval writes the finished one
    const QByteArray drawing = WriteDrawingFile(State, CurrentFileSettings());
    const QByteArray digest = QCryptographicHash::hash(drawing, QCryptographicHash::Sha1) + State.FileName.toUtf8();
    if (Recovery.HasCopy() && digest == RecoveryWritten)
        return; // nothing new since the last copy
    const FileOutcome written = Recovery.Write(drawing, State.FileName);
    if (written.Ok()) {
        RecoveryWritten = digest;
        return;
    }
    RecoveryWritten.clear();
    // Said where it does not interrupt the work; the next interval tries again.
    StatusBar1->showMessage(
        Translation.TranslateString(QStringLiteral("Die Sicherungskopie konnte nicht geschrieben werden:")) +
        QLatin1Char(' ') + Recovery.CopyPath() + QStringLiteral(" (") +
        FileReason(written, [this](const QString &text) { return Translation.TranslateString(text); }) + QLatin1Char(')'));
}

void TMainForm::DropRecoveryCopy()
{
    Recovery.Remove();
    RecoveryWritten.clear();
}

void TMainForm::OfferRecovery()
{
    const QList<RecoveryStore::Orphan> orphans = Recovery.TakeOrphans();
    bool restored = false;
    for (const RecoveryStore::Orphan &orphan : orphans) {
        if (restored) {
            Recovery.Release(orphan); // one drawing per window; the others wait for the next start
            continue;
        }
        const QString name = orphan.FileName.isEmpty() ? Translation.ProgramMessage(Message::Untitled) : orphan.FileName;
        const QString question =
            Translation.TranslateString(QStringLiteral(
                "Velmora wurde nicht ordnungsgemäß beendet. Es gibt eine Sicherungskopie dieser Zeichnung:")) +
            QStringLiteral("\n\n") + name + QStringLiteral("\n\n") +
            Translation
                .TranslateString(QStringLiteral("Gesichert am %1. Soll sie wiederhergestellt werden? (Nein verwirft die Kopie.)"))
                .arg(LocaleOf(Translation.LanguageColumn).toString(orphan.Written, QLocale::ShortFormat));
        if (AskYesNo(question, Translation.TranslateString(QStringLiteral("Sicherungskopie"))) != QMessageBox::Yes) {
            Recovery.Discard(orphan);
            continue;
        }
        if (!LoadDrawing(orphan.Slot + QStringLiteral(".vlm"))) {
            Recovery.Discard(orphan); // the reason was shown; a damaged copy is not offered again
            continue;
        }
        // Changed, under its own file's name: Save goes where the user expects.
        State.FileName = orphan.FileName;
        SetChanged();
        History.resetClean(); // no step of the history is what a file holds
        WriteRecoveryCopy(); // this run keeps it safe before the old copy goes
        Recovery.Discard(orphan);
        restored = true;
    }
    PaintBox1Paint();
}

} // namespace velmora
