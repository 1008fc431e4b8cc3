// One user action's change to the drawing, kept so that it can be taken back and done again
// exactly: the records as they were and as they became, byte for byte, at their places in the
// lists. An EditRecorder, inside the action's EditTransaction, produces it.
#pragma once

#include "drawing_state.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace velmora {

// A text as the history keeps it: its storage image and its two strings.
struct TextSnapshot {
    std::array<char, TextRecordSize> Record;
    QString Text;
    QByteArray FontName;
};

class DrawingEdit {
public:
    QString Label; // what the action was, as the menu names it ("Linie", ...)

    struct ObjectChange {
        int Index;
        std::optional<DrawingObject> Before, After; // no Before: inserted; no After: deleted
    };
    struct TextChange {
        int Index;
        std::optional<TextSnapshot> Before, After;
    };
    struct SheetSize {
        double WidthInch, HeightInch;
        PaperKind Paper;
    };
    std::vector<ObjectChange> Objects;
    std::vector<TextChange> Texts;
    std::optional<std::pair<SheetSize, SheetSize>> Sheet; // before, after: the page setup

    bool IsEmpty() const { return Objects.empty() && Texts.empty() && !Sheet; }
    // Takes the change back, or does it again. False when the lists could not take a record
    // back (out of memory); what was done so far stays consistent.
    bool Revert(DrawingState &state) const;
    bool Apply(DrawingState &state) const;
    // Memory the step holds, for the bound on the history.
    size_t Bytes() const;

private:
    // Record `index` from one side of a change to the other: inserted, deleted or rewritten.
    static bool PutObject(DrawingState &state, int index, const std::optional<DrawingObject> &from,
                          const std::optional<DrawingObject> &to);
    static bool PutText(DrawingState &state, int index, const std::optional<TextSnapshot> &from,
                        const std::optional<TextSnapshot> &to);
};

// Builds the undo record of an action from its changes as they happen, in order. A record
// appended or changed in place is written by the caller afterwards: what it became is taken
// at the next change of its list, or at the end.
class EditRecorder {
public:
    // Starts watching an action; a second Begin while one is open keeps the first.
    void Begin(DrawingState &state, const QString &label);
    bool IsOpen() const { return state_ != nullptr; }
    // Before a change of the list: what records appended or changed so far became.
    void Settle();
    // Room for the next change's note, made before the drawing changes: a lack of memory
    // then leaves the drawing and the record as they were.
    void MakeRoom();
    // After record `index` was appended or inserted.
    void InsertedObject(int index);
    void InsertedText(int index);
    // Before record `index` is changed in place.
    void WillChangeObject(int index);
    void WillChangeText(int index);
    // After record `index` was deleted; before: what it was.
    void DeletedObject(int index, const DrawingObject &before);
    void DeletedText(int index, TextSnapshot before);
    // After the page setup changed the sheet size or the paper.
    void PageSetupChanged(double widthBefore, double heightBefore, PaperKind paperBefore);
    // Ends the action: what it appended, changed and deleted, in order. None when nothing changed.
    std::optional<DrawingEdit> End();

    static TextSnapshot Snapshot(const TextObject &text);

private:
    DrawingState *state_ = nullptr;
    DrawingEdit edit_;
    // Changes whose After is still being written by the caller (indices into edit_'s lists).
    std::vector<size_t> pendingObjects_, pendingTexts_;
};

} // namespace velmora
