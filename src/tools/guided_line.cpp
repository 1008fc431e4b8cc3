#include "guided_line.h"

#include "preview.h"

#include "document/units.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora {

double Trunc3(double v)
{
    const long double scaled = static_cast<long double>(v) * 1000;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18L)
        return v; // beyond a 64-bit integer there is nothing to cut
    return double(static_cast<long double>(static_cast<int64_t>(scaled)) / 1000);
}

void ReachPosition(GuidedLine &line, double t, bool widen)
{
    if (!widen) {
        line.Min = line.Max = t;
        return;
    }
    line.Min = std::min(line.Min, t);
    line.Max = std::max(line.Max, t);
}

void PreviewGuidedLine(ToolHost &host, const GuidedLine &line, int width)
{
    DrawPreviewLine(host, line.X1, line.Y1, line.X2, line.Y2, width);
}

void DirectionOf(long double degrees, long double &x, long double &y)
{
    long double turn = std::fmod(degrees, 360.0L);
    if (turn < 0)
        turn += 360;
    const long double quarters = turn / 90;
    if (quarters == std::floor(quarters)) {
        static constexpr long double Exact[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        const int q = int(quarters) % 4;
        x = Exact[q][0];
        y = Exact[q][1];
        return;
    }
    x = std::cos(DegToRad(turn));
    y = std::sin(DegToRad(turn));
}

double StraightEdge::Position(double mx, double my) const
{
    const long double t = (mx - OriginX) * DirectionX + (my - OriginY) * DirectionY;
    if (!(t >= Low)) // NaN too
        return Trunc3(Low);
    return Trunc3(double(std::min<long double>(t, High)));
}

void StraightEdge::PointAt(double t, double &x, double &y) const
{
    x = double(OriginX + DirectionX * t);
    y = double(OriginY + DirectionY * t);
}

} // namespace velmora
