// The compass as it lies on every sheet: the needle cross, the centre line to the lead, a
// ring at the hinge and the two legs, in grey.
#pragma once

#include "render/canvas/canvas.h"

namespace velmora {

struct CompassPlacement {
    double X = 150, Y = 50; // needle point, mm, sheet-local
    double Span = 40;       // mm
    double Angle = 45;      // degrees, from the needle to the lead, clockwise on the screen
};

// Uses the canvas's pen and brush as they are: the ring is filled when the brush is solid.
void DrawCompass(Canvas &canvas, const CompassPlacement &compass, double s);

} // namespace velmora
