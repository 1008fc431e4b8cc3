// One user action's change of the drawing. Every append, change and delete of an object or a
// text, and a new sheet size or paper, goes through it: each is noted at once in the drawing's
// change journal (which the kept pictures follow to redraw only what changed) and in the undo
// record (which the history keeps), so the two cannot fall out of step.
//
// Its owner (the document session) learns of the first change, so the drawing is marked
// changed as soon as anything changed, and of the commit, which makes the action one step of
// the history and shows it. Without an owner it simply builds the drawing (tests, benchmarks).
#pragma once

#include "drawing_edit.h"

#include <optional>

namespace velmora {

class EditTransaction {
public:
    class Owner {
    public:
        // The first change of the open transaction: the drawing differs from now on.
        virtual void EditTouched() = 0;
        // A transaction that changed something was committed. step: what it did, none when
        // the changes undid themselves (a move by nothing). shown: the tool drew the change
        // on the surface already (a stroke), no repaint.
        virtual void EditCommitted(std::optional<DrawingEdit> step, bool shown) = 0;
        // A transaction that changed something was cancelled: the drawing is as it was before.
        virtual void EditCancelled() = 0;

    protected:
        ~Owner() = default;
    };

    explicit EditTransaction(DrawingState &state, Owner *owner = nullptr) : state_(state), owner_(owner) {}
    // Opened at once with a name, for building a drawing without an owner.
    EditTransaction(DrawingState &state, const QString &label) : state_(state) { Open(label); }
    EditTransaction(const EditTransaction &) = delete;
    EditTransaction &operator=(const EditTransaction &) = delete;

    // Opens the transaction under a name the history shows ("Linie", ...); while it is open a
    // second Open keeps the first, so a stroke's segments are one action.
    void Open(const QString &label);
    bool IsOpen() const { return recorder_.IsOpen(); }

    // Null or false when the list could not grow or shrink: nothing changed then.
    DrawingObject *AppendObject();
    // Object i (0 <= i < count), to be written by the caller before the commit.
    DrawingObject &ChangeObject(int i);
    bool DeleteObject(int i);
    // A new text, emptied: no strings, no stale bytes of a slot used before.
    TextObject *AppendText();
    TextObject &ChangeText(int i);
    bool DeleteText(int i);
    // The page setup: sheet size and paper.
    void ChangePageSetup(double widthInch, double heightInch, PaperKind paper);

    // Ends the action: the owner makes it one step of the history and repaints what changed
    // (a transaction that changed nothing ends without a word).
    void Commit();
    // The same for a change the tool has already drawn on the surface: no repaint.
    void CommitShown();
    // Takes back everything the action did (a gesture that turned out to be no drawing):
    // no step of the history remains.
    void Cancel();
    // Ends the action and hands its undo record to the caller instead of the owner.
    std::optional<DrawingEdit> Finish();

private:
    void Touch();
    void End(bool shown);

    DrawingState &state_;
    Owner *owner_ = nullptr;
    EditRecorder recorder_;
    bool touched_ = false;
};

} // namespace velmora
