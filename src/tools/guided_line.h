// What every pencil line drawn along an instrument shares: it starts at one guide position,
// only grows while the pointer moves, and shows as a red preview (a dot of width 5 while
// hovering, a line of width 3 while drawn); the release stores it (pointer_dispatch).
#pragma once

#include "gesture.h"
#include "tool_host.h"

namespace velmora {

// Trunc(v x 1000) / 1000: a millimetre value cut toward zero to a multiple of 0.001 mm.
double Trunc3(double v);

// Sets the line to position t (a press or a hover), or widens it to take t in (a drag).
void ReachPosition(GuidedLine &line, double t, bool widen);

void PreviewGuidedLine(ToolHost &host, const GuidedLine &line, int width);

// Degrees to a direction, exact where the angle is a whole multiple of 90 degrees (a typed
// 90 is straight down, not 6e-17 off it).
void DirectionOf(long double degrees, long double &x, long double &y);

} // namespace velmora
