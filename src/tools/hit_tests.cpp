#include "hit_tests.h"

#include <algorithm>
#include <cmath>

namespace velmora {

bool PointInBox(int x, int y, int x1, int y1, int x2, int y2)
{
    return x >= std::min(x1, x2) && x <= std::max(x1, x2) && y >= std::min(y1, y2) && y <= std::max(y1, y2);
}

std::optional<double> DistanceToLine(double x, double y, double x1, double y1, double x2, double y2)
{
    const double length = std::sqrt((x2 - x1) * (x2 - x1) + (y1 - y2) * (y1 - y2));
    if (length == 0)
        return std::nullopt;
    return ((x - x1) * (y1 - y2) + (y - y1) * (x2 - x1)) / length;
}

bool PointNearSegment(double x, double y, double x1, double y1, double x2, double y2)
{
    const auto d = DistanceToLine(x, y, x1, y1, x2, y2);
    if (!d || std::fabs(*d) >= 3)
        return false;
    const double length = std::hypot(x2 - x1, y1 - y2);
    if (std::hypot(x - x1, y - y1) > length)
        return false;
    return std::hypot(x - x2, y - y2) <= length;
}

bool PointNearCircle(double x, double y, double x1, double y1, double x2, double y2)
{
    const double cx = x1 + (x2 - x1) / 2, cy = y1 + (y2 - y1) / 2, r = (x2 - x1) / 2;
    return std::fabs(std::sqrt((cx - x) * (cx - x) + (cy - y) * (cy - y)) - r) < 3;
}

} // namespace velmora
