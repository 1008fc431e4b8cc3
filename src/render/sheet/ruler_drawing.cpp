#include "ruler_drawing.h"

#include "document/records.h"
#include "document/units.h"

#include <cmath>
#include <numbers>

namespace velmora {

void DrawRuler(Canvas &canvas, const RulerPlacement &ruler, double s, int sheetWidthPx, int sheetHeightPx,
               bool inchScale)
{
    using Real = long double;
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
    for (int i = 1; i <= ticks; ++i) {
        const Real bx = ux * (i * Real(d)) + x0, by = uy * (i * Real(d)) + y0;
        canvas.MoveTo(Round(bx), Round(by));
        const Real t = (i % 10 == 5 ? 4.5L : i % 10 == 0 ? 6.0L : 3.0L) * Real(s);
        canvas.LineTo(Round(nx * t + bx), Round(ny * t + by));
        if (i % 10 != 0)
            continue;
        FontSpec font;
        font.Face = QStringLiteral("Arial");
        font.PixelHeight = Trunc(2.8L * Real(s));
        font.Weight = 400;
        font.Escapement = Trunc(-a * 10);
        font.Colour = ColourGrey;
        canvas.SetFont(font);
        canvas.SetBackgroundTransparent(true);
        const QString number = QString::number(i / 10);
        const int h = canvas.TextWidth(number) / 2;
        const Real along = i * Real(d) - h;
        canvas.TextOut(Round(nx * 6 * Real(s) + (ux * along + x0)), Round(ny * 6 * Real(s) + (uy * along + y0)),
                       number);
    }
}

} // namespace velmora
