// What a run of noted changes asks of a kept picture of the drawing: the places to draw
// anew from the objects and texts there, or objects appended on top that can simply be
// drawn over it.
#pragma once

#include "document/change_journal.h"

#include <QRect>

#include <span>
#include <vector>

namespace velmora {

class DrawingState;

struct ChangedArea {
    MmBox Box; // global millimetres
    bool Text; // a text's box: glyphs may reach a little beyond it
};

struct DrawingChanges {
    // Where records were and are now: drawn anew from everything that meets them.
    std::vector<ChangedArea> Redraw;
    // Objects from this index to the end were appended over the rest, away from every text:
    // drawn over the kept picture (-1: none). OnTop holds their boxes.
    int OnTopFrom = -1;
    std::vector<ChangedArea> OnTop;
    // Lines appended to the stroke that begins at this index (-1: none), away from every text:
    // a picture that kept what lay under the stroke draws it there again where it grew (the
    // places in Redraw); Before is how many objects there were.
    int GrownFrom = -1;
    int Before = 0;
};

// The changes of the notes, with the drawing as it is now (text boxes measured). False when
// they are too many to be worth following one by one.
bool CollectChanges(const DrawingState &state, std::span<const RecordChange> notes, DrawingChanges &out);

// The pixels of a sheet (sheet pixels at s pixels per millimetre, the sheet starting at
// offMm in global millimetres) that drawing the area can touch, within limit.
QRect AreaOnSheet(const ChangedArea &area, double s, double offMm, const QRect &limit);

} // namespace velmora
