#include "document_session.h"

#include "history_steps.h"

#include "worksheet/worksheet_opening.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>

#include <new>

namespace velmora {

DocumentSession::DocumentSession(Translator &translation, SessionPrompts &prompts, const QString &recoveryFolder,
                                 QObject *parent)
    : QObject(parent), Recovery(*this, recoveryFolder), translation_(translation), prompts_(&prompts)
{
    history_.setUndoLimit(HistoryLimit);
    // Undoing back to the state last saved or opened makes the drawing unchanged again;
    // going away from it by undo or redo makes it changed.
    connect(&history_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean)
            SetUnChanged();
        else
            SetChanged();
    });
}

DocumentSession::~DocumentSession()
{
    // The drawing goes with the program: no copy is left to recover. Nobody is told.
    const QSignalBlocker quiet(this);
    history_.clear();
    drawing_.ClearRecords();
    Recovery.Drop();
}

EditTransaction &DocumentSession::BeginEdit(const QString &label)
{
    edit_.Open(label);
    return edit_;
}

void DocumentSession::EditTouched()
{
    modifiedBeforeEdit_ = modified_;
    SetChanged();
}

void DocumentSession::EditCancelled()
{
    modified_ = modifiedBeforeEdit_;
    emit MarkerChanged();
    emit DrawingChanged();
}

void DocumentSession::EditCommitted(std::optional<DrawingEdit> step, bool shown)
{
    if (step) {
        DrawingStep *made = nullptr;
        try {
            made = new DrawingStep(*this, std::move(*step));
        } catch (const std::bad_alloc &) {
            // No room for its step of the history: the action is taken back whole rather
            // than kept without a way to undo it.
            step->Revert(drawing_);
            EditCancelled();
            throw;
        }
        history_.push(made);
    }
    if (!shown)
        emit DrawingChanged();
}

DrawingSettings DocumentSession::Settings() const
{
    DrawingSettings now = settings_;
    now.Page = {drawing_.PageWidthInch, drawing_.PageHeightInch, drawing_.Paper};
    return now;
}

void DocumentSession::SetZoom(double percent)
{
    settings_.Zoom = LimitedZoom(percent);
    emit SettingsChanged(Settings());
}

void DocumentSession::SetPenWidth(double mm)
{
    settings_.PenWidth = LimitedWidth(mm);
    emit SettingsChanged(Settings());
}

void DocumentSession::SetPenColour(uint32_t colour)
{
    settings_.PenColour = colour;
    emit SettingsChanged(Settings());
}

void DocumentSession::SetEraserSize(double mm)
{
    settings_.EraserSize = LimitedWidth(mm);
    emit SettingsChanged(Settings());
}

void DocumentSession::SetSheetCount(int count)
{
    const int before = settings_.SheetCount;
    settings_.SheetCount = LimitedSheetCount(count);
    if (settings_.SheetCount == before)
        return;
    history_.push(new SheetCountStep(*this, before, settings_.SheetCount));
    SetChanged();
    emit SettingsChanged(Settings());
}

void DocumentSession::ApplySheetCount(int count)
{
    settings_.SheetCount = LimitedSheetCount(count);
    emit SettingsChanged(Settings());
    AfterHistoryStep();
}

void DocumentSession::SetShown(bool ruler, bool protractor, bool compass, bool setSquare)
{
    settings_.RulerShown = ruler;
    settings_.ProtractorShown = protractor;
    settings_.CompassShown = compass;
    settings_.SetSquareShown = setSquare;
    emit SettingsChanged(Settings());
}

void DocumentSession::SetEntryBarShown(bool shown)
{
    settings_.EntryBarShown = shown;
    emit SettingsChanged(Settings());
}

void DocumentSession::SetInchLabels(bool inches)
{
    settings_.InchLabels = inches;
    emit SettingsChanged(Settings());
}

void DocumentSession::ChangePageSetup(const PageSetup &page)
{
    const PageSetup before = Settings().Page;
    if (page == before) // confirmed unchanged: nothing to record
        return;
    // What stood on the last sheets stays on sheets: a lower sheet brings more of them.
    const int count = settings_.SheetCount;
    const int needed =
        SheetsKeepingRecordsShown(drawing_, count, before.HeightInch * MmPerInch, page.HeightInch * MmPerInch);
    const int grown = LimitedSheetCount(needed);
    const QString caption = translation_.ProgramMessage(Message::ProgramTitle);
    if (needed > grown &&
        prompts_->AskYesNo(translation_.TranslateString(
                               QStringLiteral("Auf %1 Seiten dieser Größe hat nicht alles Gezeichnete Platz; "
                                              "was darüber hinausgeht, wäre nicht zu sehen. "
                                              "Die Seite trotzdem so einrichten?"))
                               .arg(grown),
                           caption) != SessionPrompts::Answer::Yes)
        return;
    const QString label = QStringLiteral("Seite einrichten");
    if (grown > count)
        history_.beginMacro(label); // one step takes back the size and the sheets together
    EditTransaction &edit = BeginEdit(label);
    edit.ChangePageSetup(page.WidthInch, page.HeightInch, page.Paper);
    edit.Commit();
    if (grown == count)
        return;
    SetSheetCount(grown);
    history_.endMacro();
    if (needed == grown)
        prompts_->ShowInformation(
            translation_.TranslateString(QStringLiteral("Die Seitenanzahl ist auf %1 gestiegen, damit alles "
                                                        "Gezeichnete auf den Seiten bleibt."))
                .arg(grown),
            caption);
}

void DocumentSession::Undo()
{
    if (!edit_.IsOpen()) // a stroke under way keeps the drawing it started on
        history_.undo();
}

void DocumentSession::Redo()
{
    if (!edit_.IsOpen())
        history_.redo();
}

void DocumentSession::AfterHistoryStep()
{
    emit HistoryStepTaken();
    SetChanged();
    emit DrawingChanged();
}

QString DocumentSession::DrawingName()
{
    const QString name = fileName_.isEmpty() ? translation_.ProgramMessage(Message::Untitled) : fileName_;
    return QFileInfo(name).completeBaseName();
}

void DocumentSession::SetChanged()
{
    modified_ = true;
    emit MarkerChanged();
}

void DocumentSession::SetUnChanged()
{
    modified_ = false;
    history_.setClean(); // this step of the history is what the file holds
    Recovery.Drop();     // the drawing is saved, opened or empty: nothing to recover
    emit MarkerChanged();
}

void DocumentSession::SetFileName(const QString &path)
{
    fileName_ = path;
}

DrawingFileSettings DocumentSession::FileSettings() const
{
    DrawingFileSettings file = FileSettingsOf(Settings(), drawing_.Placement);
    file.Chunks = chunks_;
    // In the place the file had it, or after the chunks read with the drawing.
    SetChunk(file.Chunks, SetSquareChunk, SetSquareChunkData(drawing_.Placement, settings_.SetSquareShown));
    return file;
}

void DocumentSession::TakeDrawing(DrawingState &read, const InstrumentPlacement &placement,
                                  const DrawingSettings &settings, DrawingFileChunks chunks)
{
    drawing_.TakeRecords(read);
    chunks_ = std::move(chunks);
    // The file holds neither the protractor's size nor the compass angle.
    InstrumentPlacement &mine = drawing_.Placement;
    const double diameter = mine.ProtractorDiameter, compassAngle = mine.CompassAngle;
    mine = placement;
    mine.ProtractorDiameter = diameter;
    mine.CompassAngle = compassAngle;
    bool setSquareShown = true;
    SetSquareFromChunks(chunks_, mine, setSquareShown); // unreadable: it lies as in a new drawing
    drawing_.PageWidthInch = settings.Page.WidthInch;
    drawing_.PageHeightInch = settings.Page.HeightInch;
    drawing_.Paper = settings.Page.Paper;
    settings_ = settings;
    proposedName_.clear();
    settings_.SetSquareShown = setSquareShown;
    history_.clear(); // a history of another drawing means nothing here
}

void DocumentSession::TakeWorksheet(Worksheet worksheet, const QString &from)
{
    Files.LetFileGo();
    history_.clear();
    drawing_.ClearRecords();
    chunks_.clear();
    const QSizeF size = WorksheetSheetSizeMm(worksheet);
    settings_.SheetCount = LimitedSheetCount(int(worksheet.Pages.size()));
    drawing_.Background = std::make_shared<const Worksheet>(std::move(worksheet));
    drawing_.PageWidthInch = size.width() / MmPerInch;
    drawing_.PageHeightInch = size.height() / MmPerInch;
    drawing_.Paper = PaperKind::Plain; // the page shows as it is
    fileName_.clear();
    const QFileInfo source(from);
    proposedName_ = source.dir().filePath(source.completeBaseName() + QStringLiteral(".vlm"));
    SetUnChanged();
    emit DrawingRead();
}

void DocumentSession::Clear()
{
    history_.clear();
    drawing_.ClearRecords();
    chunks_.clear();
    fileName_.clear();
    proposedName_.clear();
    SetUnChanged();
    emit DrawingChanged();
}

} // namespace velmora
