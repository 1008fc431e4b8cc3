// Moving and turning an instrument with the pointer, the same for the ruler, the protractor
// and the compass: a move follows the pointer's displacement since the press, a turn the
// angle the pointer sweeps around the instrument's pivot on the sheet of the latest press.
#pragma once

#include "gesture.h"
#include "tool_host.h"

#include <optional>

namespace velmora {

// The direction value of pixel point (px, py) seen from pivot (qx, qy); none on the pivot.
std::optional<long double> DirectionValue(long double px, long double py, long double qx, long double qy);

// An instrument turned about its pivot (sheet-local mm, on the sheet of the last press) by the
// angle the pointer swept from the press to (x, y): angleAtPress + value(press) - value(now).
// The angle stays as it is when either point lies on the pivot.
void TurnAbout(const SurfaceView &view, double pivotX, double pivotY, QPoint press, int x, int y, double angleAtPress,
               double &angle);

InstrumentMove StartMove(ToolHost &host, Instrument which, int x, int y);
// Places the instrument for the pointer at (x, y), repaints and updates the entry bar.
void FollowMove(ToolHost &host, const InstrumentMove &move, int x, int y);

InstrumentTurn StartTurn(ToolHost &host, Instrument which, int x, int y, bool placeOnRelease);
// snap: the angle clicks into whole degrees and 15-degree steps, and its readout shows.
void FollowTurn(ToolHost &host, const InstrumentTurn &turn, int x, int y, bool snap = false);

// A turned angle that clicks into place: to the multiple of 15 degrees within 1.5 degrees,
// else to the nearest whole degree.
double SnappedAngle(double degrees);
// The instrument's angle beside its reference point, over the surface, in the user's number
// format (0 to 360 degrees); the next wipe of the previews takes it away.
void ShowAngleReadout(ToolHost &host, Instrument which);

} // namespace velmora
