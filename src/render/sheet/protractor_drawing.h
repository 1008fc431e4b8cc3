// The protractor as it lies on every sheet: a full circle with a degree scale around its rim,
// numbered every 10 degrees, an inner circle, a base line and a centre mark, all in grey.
#pragma once

#include "render/canvas/canvas.h"

namespace velmora {

struct ProtractorPlacement {
    double X = 50, Y = 50; // centre, mm, sheet-local
    double Angle = 0;      // degrees, clockwise on the screen
    double Diameter = 80;  // mm
};

// Sets the brush clear and leaves it so; the canvas comes with the grey 1-pixel pen.
void DrawProtractor(Canvas &canvas, const ProtractorPlacement &protractor, double s);

} // namespace velmora
