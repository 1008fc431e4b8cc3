#include "file_commands.h"

#include "document_session.h"
#include "file_messages.h"
#include "user_settings.h"

#include "document/file_names.h"

#include <QFileInfo>

namespace velmora {

namespace {

// Texts stored larger than the font dialog offers (by another program, or damage) are drawn
// at its largest size while the file keeps theirs: the user learns why they look smaller.
void TellAboutLargeTexts(DocumentSession &session)
{
    const auto &texts = session.Drawing().Texts;
    int larger = 0;
    for (int i = 0; i < texts.Count; ++i)
        larger += texts.At(i).Size > MaxTextPoints;
    if (larger == 0)
        return;
    Translator &translation = session.Translation();
    session.Prompts().ShowInformation(
        translation
            .TranslateString(QStringLiteral("Diese Zeichnung enthält Texte, die größer als %1 Punkt gespeichert sind "
                                            "(Anzahl: %2). Sie werden in %1 Punkt angezeigt, gedruckt und exportiert; "
                                            "in der Datei behalten sie ihre Größe, solange sie nicht geändert werden."))
            .arg(MaxTextPoints)
            .arg(larger),
        translation.TranslateString(QStringLiteral("Große Texte")));
}

} // namespace

bool FileCommands::New()
{
    if (!AskToSaveChanges())
        return false;
    session_.Clear();
    LetFileGo();
    return true;
}

void FileCommands::LetFileGo()
{
    lock_.Release();
    readOnly_ = false;
}

bool FileCommands::Open()
{
    if (!AskToSaveChanges())
        return false;
    const QString path = session_.Prompts().AskFileName(FileChoice::OpenDrawing, QString());
    return !path.isEmpty() && OpenFile(path);
}

bool FileCommands::OpenFromOutside(const QString &path)
{
    return AskToSaveChanges() && OpenFile(QFileInfo(path).absoluteFilePath());
}

bool FileCommands::OpenFile(const QString &path)
{
    DrawingLock opening;
    bool readOnly = false;
    if (lock_.Held() != path) {
        const DrawingLock::Outcome outcome = opening.Take(path);
        if (outcome == DrawingLock::Outcome::HeldHere || outcome == DrawingLock::Outcome::HeldElsewhere) {
            Translator &translation = session_.Translation();
            if (session_.Prompts().AskYesNo(
                    translation.TranslateString(
                        QStringLiteral("Diese Zeichnung ist bereits in einem anderen Velmora-Fenster geöffnet:")) +
                        QStringLiteral("\n\n") + ReadableFileName(path) + QStringLiteral("\n\n") +
                        translation.TranslateString(QStringLiteral(
                            "Soll sie schreibgeschützt geöffnet werden? Mit „Nein“ wird sie nicht geöffnet.")),
                    translation.TranslateString(QStringLiteral("Zeichnung bereits geöffnet"))) !=
                SessionPrompts::Answer::Yes)
                return false;
            readOnly = true;
        }
    }
    if (!Load(path))
        return false;
    if (lock_.Held() != path)
        lock_ = std::move(opening);
    readOnly_ = readOnly;
    session_.SetFileName(path);
    session_.SetUnChanged();
    AddRecentDrawing(path);
    emit session_.RecentDrawingsChanged();
    emit session_.DrawingRead();
    TellAboutLargeTexts(session_);
    return true;
}

bool FileCommands::Load(const QString &path)
{
    DrawingState read;
    // An older file keeps the current values of the fields it does not hold.
    DrawingFileSettings file = session_.FileSettings();
    file.KeepEveryChunk = true; // a newer program's additions survive a save
    FileOutcome opened;
    const DrawingFileError error = LoadDrawingFile(path, read, file, &opened);
    Translator &translation = session_.Translation();
    if (!opened.Ok()) {
        session_.Prompts().ShowError(
            FileFaultMessage(translation, QStringLiteral("Die Datei kann nicht geöffnet werden:"), path, opened));
        return false;
    }
    if (error == DrawingFileError::OutOfMemory) { // the file may be sound: not called damaged
        session_.Prompts().ShowError(translation.TranslateString(QStringLiteral("Die Datei kann nicht geöffnet werden:")) +
                                     QLatin1Char('\n') + ReadableFileName(path) + QLatin1Char('\n') +
                                     translation.TranslateString(OutOfMemoryText()));
        return false;
    }
    if (error != DrawingFileError::None) {
        session_.Prompts().ShowError(
            translation.TranslateString(
                QStringLiteral("Die Datei ist beschädigt oder keine Zeichnung; die bisherige Zeichnung bleibt:")) +
            QLatin1Char('\n') + ReadableFileName(path) + QStringLiteral("\n\n") + translation.TranslateString(DrawingFileErrorText(error)));
        return false;
    }
    session_.TakeDrawing(read, file.Placement, SettingsFromFile(file, session_.Settings()), std::move(file.Chunks));
    return true;
}

bool FileCommands::Write()
{
    // Streamed beside the target and renamed over it only when every byte reached the disk:
    // a failed save (a lack of memory too) leaves the old file whole.
    const QString &path = session_.FileName();
    const FileOutcome written = SaveDrawingFile(path, session_.Drawing(), session_.FileSettings());
    if (!written.Ok()) {
        session_.Prompts().ShowError(FileFaultMessage(
            session_.Translation(), QStringLiteral("Die Zeichnung konnte nicht gespeichert werden:"), path, written));
        return false;
    }
    session_.SetUnChanged();
    if (lock_.Held() != path) { // saved under another name: that file is this window's now
        DrawingLock saved;
        if (saved.Take(path) == DrawingLock::Outcome::Taken) {
            lock_ = std::move(saved);
            readOnly_ = false;
        } else {
            lock_.Release(); // still another window's: the next save asks for a name again
        }
    }
    AddRecentDrawing(path);
    emit session_.RecentDrawingsChanged();
    return true;
}

bool FileCommands::Save()
{
    if (readOnly_)
        return SaveAs();
    if (session_.FileName().isEmpty()) {
        const QString path = session_.Prompts().AskFileName(FileChoice::SaveDrawing, session_.ProposedFileName());
        if (path.isEmpty())
            return false;
        session_.SetFileName(path);
    }
    return Write();
}

bool FileCommands::SaveAs()
{
    const QString path = session_.Prompts().AskFileName(
        FileChoice::SaveDrawing, session_.FileName().isEmpty() ? session_.ProposedFileName() : session_.FileName());
    if (path.isEmpty())
        return false;
    session_.SetFileName(path); // also when the save fails, so the caption names where it went
    if (!Write()) {
        session_.SetChanged();
        return false;
    }
    return true;
}

bool FileCommands::AskToSaveChanges()
{
    if (!session_.IsModified())
        return true;
    Translator &translation = session_.Translation();
    switch (session_.Prompts().AskYesNoCancel(translation.ProgramMessage(Message::SaveChangesQuestion),
                                              translation.ProgramMessage(Message::SaveChangesCaption))) {
    case SessionPrompts::Answer::Yes:
        return Save();
    case SessionPrompts::Answer::No:
        return true;
    default:
        return false;
    }
}

} // namespace velmora
