// The ruler as it lies on every sheet: a grey strip 10 mm wide whose scale edge starts at
// the reference point, with a tick every millimetre (or tenth of an inch) and a number every
// centimetre (or inch), turned with the ruler.
#pragma once

#include "render/canvas/canvas.h"

namespace velmora {

struct RulerPlacement {
    double X = 10;     // mm, sheet-local
    double Y = 90;     // mm
    double Angle = 0;  // degrees, clockwise on the screen
};

// Draws onto a sheet image of sheetWidthPx x sheetHeightPx at s pixels per millimetre. The
// canvas comes with the grey 1-pixel pen set.
void DrawRuler(Canvas &canvas, const RulerPlacement &ruler, double s, int sheetWidthPx, int sheetHeightPx,
               bool inchScale);

} // namespace velmora
