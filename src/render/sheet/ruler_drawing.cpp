#include "ruler_drawing.h"

#include "document/records.h"
#include "document/units.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora {

namespace {

using Real = long double;

FontSpec NumberFont(double s, Real angle)
{
    FontSpec font;
    font.Face = QStringLiteral("Arial");
    font.PixelHeight = Trunc(2.8L * Real(s));
    font.Weight = 400;
    font.Escapement = Trunc(-angle * 10);
    font.Colour = ColourGrey;
    return font;
}

// The stretch [low, high] of the ray (x0, y0) + t (ux, uy) that lies in the rectangle; false
// when it misses it.
bool RayInside(Real x0, Real y0, Real ux, Real uy, Real left, Real top, Real right, Real bottom, Real &low,
               Real &high)
{
    const auto clip = [&](Real start, Real step, Real from, Real to) {
        if (step == 0)
            return start >= from && start <= to;
        Real a = (from - start) / step, b = (to - start) / step;
        if (a > b)
            std::swap(a, b);
        low = std::max(low, a);
        high = std::min(high, b);
        return low <= high;
    };
    return clip(x0, ux, left, right) && clip(y0, uy, top, bottom);
}

} // namespace

void DrawRuler(Canvas &canvas, const RulerPlacement &ruler, double s, int sheetWidthPx, int sheetHeightPx,
               bool inchScale)
{
    const Real pi = std::numbers::pi_v<long double>;
    const Real a = ruler.Angle;
    const Real x0 = ruler.X * Real(s), y0 = ruler.Y * Real(s);
    const Real ux = std::cos(a * pi / 180), uy = std::sin(a * pi / 180);
    const Real nx = std::cos((a + 90) * pi / 180), ny = std::sin((a + 90) * pi / 180);

    // Outline: the scale edge, the back edge and the two ends.
    const Real w = 10 * Real(s);
    const Real length = Real(int64_t(sheetWidthPx) + sheetHeightPx);
    const int p0x = Round(x0), p0y = Round(y0);
    const int p1x = Round(ux * length + x0), p1y = Round(uy * length + y0);
    const int p2x = Round(nx * w + x0), p2y = Round(ny * w + y0);
    const int p3x = Round(nx * w + (ux * length + x0)), p3y = Round(ny * w + (uy * length + y0));
    canvas.MoveTo(p0x, p0y);
    canvas.LineTo(p1x, p1y);
    canvas.MoveTo(p2x, p2y);
    canvas.LineTo(p3x, p3y);
    canvas.MoveTo(p0x, p0y);
    canvas.LineTo(p2x, p2y);
    canvas.MoveTo(p1x, p1y);
    canvas.LineTo(p3x, p3y);

    const double d = inchScale ? s * MmPerInch / 10 : s;
    if (!(d > 0))
        return;
    const int ticks = Trunc(length / d);
    int firstTick = 1, lastTick = ticks;
    if (const std::optional<QRect> area = canvas.PaintedArea()) {
        // Only the ticks whose marks or numbers can meet the painted area: a huge sheet would
        // otherwise draw a tick for each of its millimetres. A number lies 6 mm off the edge
        // and reaches no further than its width twice and its height from its tick.
        canvas.SetFont(NumberFont(s, a));
        const QRect label = canvas.MeasureText(QRect(), QString::number(ticks / 10));
        const Real reach = 6 * Real(s) + 2 * Real(label.width()) + Real(label.height()) + 4;
        Real low = 0, high = Real(ticks + 1) * Real(d);
        if (!RayInside(x0, y0, ux, uy, area->left() - reach, area->top() - reach, area->right() + 1 + reach,
                       area->bottom() + 1 + reach, low, high))
            return;
        firstTick = int(std::max<Real>(1, std::ceil(low / Real(d))));
        lastTick = int(std::min<Real>(ticks, std::floor(high / Real(d))));
    }
    for (int i = firstTick; i <= lastTick; ++i) {
        const Real bx = ux * (i * Real(d)) + x0, by = uy * (i * Real(d)) + y0;
        canvas.MoveTo(Round(bx), Round(by));
        const Real t = (i % 10 == 5 ? 4.5L : i % 10 == 0 ? 6.0L : 3.0L) * Real(s);
        canvas.LineTo(Round(nx * t + bx), Round(ny * t + by));
        if (i % 10 != 0)
            continue;
        canvas.SetFont(NumberFont(s, a));
        canvas.SetBackgroundTransparent(true);
        const QString number = QString::number(i / 10);
        const int h = canvas.TextWidth(number) / 2;
        const Real along = i * Real(d) - h;
        canvas.TextOut(Round(nx * 6 * Real(s) + (ux * along + x0)), Round(ny * 6 * Real(s) + (uy * along + y0)),
                       number);
    }
}

} // namespace velmora
