// The file commands of a drawing: New, Open, Save, Save as, and the question about unsaved
// changes that comes before anything that would discard them.
#pragma once

#include "drawing_lock.h"

#include <QString>

namespace velmora {

class DocumentSession;

class FileCommands {
public:
    explicit FileCommands(DocumentSession &session) : session_(session) {}

    // "Neu": after the question about unsaved changes, an empty drawing with the same settings.
    bool New();
    // "Öffnen...": after the question, the drawing chosen in the open dialog.
    bool Open();
    // A drawing named from outside the window (command line, drop, recent drawings): after
    // the question.
    bool OpenFromOutside(const QString &path);
    // Opens the drawing without a question about unsaved changes: read in whole or not at
    // all. A drawing open in another window is opened read-only or not at all, as the user says.
    bool OpenFile(const QString &path);
    // "Speichern": to the drawing's file, or to one chosen in the save dialog when it has none
    // or was opened read-only.
    bool Save();
    // "Speichern unter...".
    bool SaveAs();
    // The question about unsaved changes (Yes saves first); true when the caller may go on.
    bool AskToSaveChanges();

    // Reads the drawing file in whole and, when it was read completely and makes sense, makes
    // it the session's drawing with its settings (no step of the history). Otherwise the user
    // is told why and the drawing stays as it was.
    bool Load(const QString &path);
    // Read-only: open in another window as well; Save asks for a new name.
    bool ReadOnly() const { return readOnly_; }
    // The drawing no longer belongs to its file (a new one takes its place): the lock goes.
    void LetFileGo();

private:
    // Writes the drawing to its file, atomically; says what failed.
    bool Write();

    DocumentSession &session_;
    DrawingLock lock_; // of the drawing's file while this window has it open
    bool readOnly_ = false;
};

} // namespace velmora
