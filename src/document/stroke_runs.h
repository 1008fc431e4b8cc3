// A pencil or eraser stroke is stored as one line record per pointer move, each starting
// where the one before ended. Such neighbours in the list (same pen, the end of one the
// start of the next) are drawn together as one line, so the joints show no darker beads;
// white lines one after another (the eraser's strokes) show the paper again as one, so no
// light nicks are left where they overlap. The records themselves stay as they are.
#pragma once

#include "dyna_array.h"
#include "records.h"

namespace velmora {

// Object `o`, right after `before` in the list, continues its stroke.
bool ContinuesStroke(const DrawingObject &before, const DrawingObject &o);
// A line in white: what the eraser leaves.
bool IsWhiteLine(const DrawingObject &o);
// Object `o`, right after `before`, is drawn together with it: it continues its stroke, or
// both are white lines.
bool DrawnTogether(const DrawingObject &before, const DrawingObject &o);

// The first and last index of the objects drawn together with object i (i alone when none).
struct ObjectSpan {
    int First, Last;
};
ObjectSpan DrawnTogetherAround(const TDynaArray<DrawingObject> &objects, int i);

} // namespace velmora
