#include "compass_drawing.h"

#include "document/units.h"

#include <climits>
#include <cmath>
#include <numbers>

namespace velmora {

namespace {

// a + b, saturating like Round: a compass far away lies at the ends of the 32-bit range.
int AddSaturated(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

} // namespace

void DrawCompass(Canvas &canvas, const CompassPlacement &c, double s)
{
    using Real = long double;
    const Real pi = std::numbers::pi_v<long double>;
    const Real a = c.Angle * pi / 180, across = (Real(c.Angle) + 90) * pi / 180;
    auto px = [s](Real mm) { return Round(mm * s); };
    const int d = Round(3.0L * s);

    const int nx = px(c.X), ny = px(c.Y);
    canvas.MoveTo(AddSaturated(nx, -d), ny);
    canvas.LineTo(AddSaturated(nx, d), ny);
    canvas.MoveTo(nx, AddSaturated(ny, -d));
    canvas.LineTo(nx, AddSaturated(ny, d));

    const Real lx = c.X + std::cos(a) * c.Span, ly = c.Y + std::sin(a) * c.Span;
    canvas.MoveTo(nx, ny);
    canvas.LineTo(px(lx), px(ly));

    const Real hx = c.X + std::cos(a) * c.Span / 2, hy = c.Y + std::sin(a) * c.Span / 2;
    canvas.Ellipse(AddSaturated(px(hx), -d), AddSaturated(px(hy), -d), AddSaturated(px(hx), d),
                   AddSaturated(px(hy), d));

    const Real s1x = hx + 3 * std::cos(across), s1y = hy + 3 * std::sin(across);
    const Real s2x = hx - 3 * std::cos(across), s2y = hy - 3 * std::sin(across);
    const int points[5][4] = {{nx, ny, px(s1x), px(s1y)},
                              {nx, ny, px(s2x), px(s2y)},
                              {px(lx), px(ly), px(s1x), px(s1y)},
                              {px(lx), px(ly), px(s2x), px(s2y)},
                              {px(s1x), px(s1y), px(s2x), px(s2y)}};
    for (const auto &line : points) {
        canvas.MoveTo(line[0], line[1]);
        canvas.LineTo(line[2], line[3]);
    }
}

} // namespace velmora
