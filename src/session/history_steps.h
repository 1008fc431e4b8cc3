// The steps of a drawing's history, as the session pushes them onto its undo stack: done when
// pushed (the action has done it), taken back and done again from what they keep.
#pragma once

#include "document/drawing_edit.h"

#include <QUndoCommand>

namespace velmora {

class DocumentSession;

// A change of the records or of the page setup, made through an edit transaction.
class DrawingStep : public QUndoCommand {
public:
    // The edit is taken only once the step is made: should that fail, the caller still has it.
    DrawingStep(DocumentSession &session, DrawingEdit &&edit);
    void undo() override;
    void redo() override;

private:
    DocumentSession &session_;
    DrawingEdit edit_;
    bool pushed_ = true;
};

// A change of the number of sheets. Consecutive changes are one step: typing "10" or
// clicking the arrow three times is undone at once.
class SheetCountStep : public QUndoCommand {
public:
    static constexpr int Id = 1;
    SheetCountStep(DocumentSession &session, int before, int after);
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;

private:
    DocumentSession &session_;
    int before_, after_;
    bool pushed_ = true;
};

} // namespace velmora
