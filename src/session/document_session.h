// The document session: one drawing as the user works on it. It owns the drawing, its
// history, its settings, the file it belongs to and whether it changed since, and the
// commands on files, recovery copies and output. It needs no window: it asks and tells the
// user through SessionPrompts, and says what changed through its signals, which the window
// shows. Every change of the records goes through BeginEdit's transaction.
#pragma once

#include "drawing_settings.h"
#include "file_commands.h"
#include "output_commands.h"
#include "recovery_commands.h"
#include "session_prompts.h"
#include "worksheet_commands.h"

#include "document/drawing_state.h"
#include "document/edit_transaction.h"
#include "i18n/translator.h"

#include <QObject>
#include <QUndoStack>

namespace velmora {

class DocumentSession : public QObject, private EditTransaction::Owner {
    Q_OBJECT
public:
    // recoveryFolder: where recovery copies are kept (RecoveryStore::DefaultFolder() for the program).
    DocumentSession(Translator &translation, SessionPrompts &prompts, const QString &recoveryFolder,
                    QObject *parent = nullptr);
    ~DocumentSession() override;

    // The drawing, for reading.
    const DrawingState &Drawing() const { return drawing_; }
    // The drawing for what is no record: the instruments' placement, for tests the sheet.
    // Its records change only through BeginEdit.
    DrawingState &Document() { return drawing_; }
    // Opens the drawing's edit under the name the history shows, or hands out the one that
    // is open. Its first change marks the drawing changed; its commit makes it one step of
    // the history and reports the change (DrawingChanged), unless the tool showed it already.
    EditTransaction &BeginEdit(const QString &label);
    bool EditOpen() const { return edit_.IsOpen(); }
    // Takes back everything the open edit did; nothing when none is open.
    void CancelEdit() { edit_.Cancel(); }

    // The settings, each limited as its control is; a change is announced (SettingsChanged).
    DrawingSettings Settings() const;
    // What the drawing file keeps besides the records: the settings and the placement.
    // What the file keeps: the settings, the instruments' placement and the file's chunks.
    DrawingFileSettings FileSettings() const;
    void SetZoom(double percent); // rounded half to even
    void SetPenWidth(double mm);
    void SetPenColour(uint32_t colour);
    void SetEraserSize(double mm);
    // A step of the history ("Seitenanzahl"); steps in a row are one.
    void SetSheetCount(int count);
    void SetShown(bool ruler, bool protractor, bool compass, bool setSquare);
    void SetEntryBarShown(bool shown);
    void SetInchLabels(bool inches);
    // A step of the history ("Seite einrichten"), none when nothing changed. When a lower
    // sheet would leave objects or texts beyond the last sheet, the same step adds sheets
    // (and says so), up to the most allowed; needing more, the user is asked first.
    void ChangePageSetup(const PageSetup &page);

    // The history. Undo and redo apply one step and announce it (HistoryStepTaken).
    QUndoStack &History() { return history_; }
    static constexpr int HistoryLimit = 1000; // steps kept; older ones are forgotten
    void Undo();
    void Redo();

    // The drawing's file, empty when it has none, and whether it changed since it was saved,
    // opened or emptied.
    const QString &FileName() const { return fileName_; }
    bool IsModified() const { return modified_; }
    // The file's name without folder and extension, for print jobs, PDF titles and SVG titles.
    QString DrawingName();
    // The name the save dialog proposes for a drawing without a file: beside the worksheet it
    // was made from, with its name; empty otherwise.
    const QString &ProposedFileName() const { return proposedName_; }

    FileCommands Files{*this};
    WorksheetCommands Worksheets{*this};
    RecoveryCommands Recovery;
    OutputCommands Output{*this};

    Translator &Translation() { return translation_; }
    SessionPrompts &Prompts() { return *prompts_; }
    // Another answerer of the questions (tests answer them).
    void SetPrompts(SessionPrompts &prompts) { prompts_ = &prompts; }

signals:
    void SettingsChanged(const DrawingSettings &now);
    // The drawing changed (records, sheets): the surface shows it anew.
    void DrawingChanged();
    // Another drawing was read in (opened, restored): everything is shown anew, from the
    // first sheet's top-left corner.
    void DrawingRead();
    // An undo or redo changed the drawing: what the tools highlighted may be gone.
    void HistoryStepTaken();
    // The file name or the changed marker changed.
    void MarkerChanged();
    void RecentDrawingsChanged();

private:
    friend class FileCommands;
    friend class WorksheetCommands;
    friend class RecoveryCommands;
    friend class OutputCommands;
    friend class DrawingStep;
    friend class SheetCountStep;

    void EditTouched() override;
    void EditCommitted(std::optional<DrawingEdit> step, bool shown) override;
    void EditCancelled() override;

    void SetChanged();
    // This state is what the file holds (saved, opened, emptied): no recovery copy is needed.
    void SetUnChanged();
    void SetFileName(const QString &path);
    // Takes the records of a drawing read in full, and the placement, settings and chunks read with it.
    void TakeDrawing(DrawingState &read, const InstrumentPlacement &placement, const DrawingSettings &settings,
                     DrawingFileChunks chunks);
    // Empties the drawing and its history; the settings stay.
    void Clear();
    // A new drawing whose sheets are the worksheet's pages, at the size that holds each, on
    // plain paper (no step of the history, no file yet); the other settings stay.
    void TakeWorksheet(Worksheet worksheet, const QString &from);
    void AfterHistoryStep();
    void ApplySheetCount(int count); // from the history: no new step

    Translator &translation_;
    SessionPrompts *prompts_;
    DrawingState drawing_;
    EditTransaction edit_{drawing_, this};
    DrawingSettings settings_; // its Page is the drawing's
    QUndoStack history_;
    QString fileName_;
    QString proposedName_;
    DrawingFileChunks chunks_; // as the file held them, written again unchanged
    bool modified_ = false;
    bool modifiedBeforeEdit_ = false; // the changed marker before the open edit's first change
};

} // namespace velmora
