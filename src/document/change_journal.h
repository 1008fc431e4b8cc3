// What happened to the record lists, one note per record appended, inserted, deleted or
// changed in place, so that the rendering can redraw only what a change touched and keep
// its index of the objects without rebuilding it. Changes that the notes cannot describe
// (a drawing read or emptied, the sheet size) bump the drawing's content revision instead.
#pragma once

#include "records.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

// A box in global millimetres.
struct MmBox {
    double Left, Top, Right, Bottom;
};

// Where an object can put ink: the hull of the points its kind uses, widened by half its
// pen. Not finite when a coordinate or the pen is not (such an object may draw anywhere).
MmBox ObjectInkBox(const DrawingObject &o);
// A text's box as last measured.
inline MmBox TextBox(const TextObject &t)
{
    return {t.Left, t.Top, t.Right, t.Bottom};
}

struct RecordChange {
    enum Kind : uint8_t { Inserted, Removed, Changed };
    Kind What;
    bool Text;     // a text, else an object
    bool Appended; // inserted at the end of its list
    int Index;     // the place in the list at the time of the change
    MmBox Before;  // removed or changed: where the record was (its ink box, or the text's box)
};

class ChangeJournal {
public:
    void Note(const RecordChange &change);
    // Room for the next note, made before the record list changes: a lack of memory then
    // leaves both as they were, never a change without its note.
    void MakeRoom();
    // Stamp after the latest note.
    uint64_t End() const { return base_ + notes_.size(); }
    // The notes from stamp `from` on; false when some of them are no longer kept.
    bool Since(uint64_t from, std::span<const RecordChange> &notes) const;

    // Notes kept at least (older ones go, in blocks).
    static constexpr size_t Kept = 1 << 16;

private:
    std::vector<RecordChange> notes_;
    uint64_t base_ = 0; // stamp of notes_[0]
};

} // namespace velmora
