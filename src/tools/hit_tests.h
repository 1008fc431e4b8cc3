// Pointer hit tests in pixels at the current zoom, with a tolerance of 3 pixels.
#pragma once

#include <optional>

namespace velmora {

// Inside the box, edges included, whichever corner of each pair is the larger.
bool PointInBox(int x, int y, int x1, int y1, int x2, int y2);
// The signed perpendicular distance from the line through (x1, y1) and (x2, y2); none for a
// line of length 0.
std::optional<double> DistanceToLine(double x, double y, double x1, double y1, double x2, double y2);
// Within 3 pixels of the segment's line and no farther from either end than the segment is long.
bool PointNearSegment(double x, double y, double x1, double y1, double x2, double y2);
// Within 3 pixels of the circle in the box, whose radius is the box's horizontal half-width.
bool PointNearCircle(double x, double y, double x1, double y1, double x2, double y2);

} // namespace velmora
