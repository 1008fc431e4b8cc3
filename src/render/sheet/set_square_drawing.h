// The set square ("Geodreieck") as it lies on every sheet, in grey 1-pixel lines like the
// other instruments and, like them, not filled: the long side with its millimetre scale
// (-70 to 70 mm, the centimetres numbered 0 to 7 both ways), the degree marks along the two
// short sides as seen from the 0 point (numbered every 10 degrees in two rows that count from
// either end of the long side), lines parallel to the long side every 5 mm and the
// perpendicular from 0 to the right angle.
#pragma once

#include "render/canvas/canvas.h"

namespace velmora {

struct SetSquarePlacement {
    double X = 105, Y = 150; // the 0 point, mm, sheet-local
    double Angle = 0;        // the long side's direction, degrees, clockwise on the screen
};

// Draws at s pixels per millimetre; the canvas comes with the grey 1-pixel pen set. The brush
// is left as it was.
void DrawSetSquare(Canvas &canvas, const SetSquarePlacement &setSquare, double s);

} // namespace velmora
