#include "protractor_drawing.h"

#include "document/records.h"
#include "document/units.h"

#include <cmath>
#include <optional>
#include <numbers>

namespace velmora {

void DrawProtractor(Canvas &canvas, const ProtractorPlacement &p, double s)
{
    using Real = long double;
    const Real pi = std::numbers::pi_v<long double>;
    auto cosd = [pi](Real a) { return std::cos(a * pi / 180); };
    auto sind = [pi](Real a) { return std::sin(a * pi / 180); };
    auto px = [s](Real mm) { return Round(mm * s); };
    const Real cx = p.X, cy = p.Y, a = p.Angle;
    const Real ro = Real(p.Diameter) / 2, ri = (Real(p.Diameter) - 20) / 2;

    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.Ellipse(px(cx - ro), px(cy - ro), px(cx + ro), px(cy + ro));
    canvas.Ellipse(px(cx - ri), px(cy - ri), px(cx + ri), px(cy + ri));
    canvas.MoveTo(px(cx - cosd(a) * ri), px(cy - sind(a) * ri));
    canvas.LineTo(px(cx + cosd(a) * ri), px(cy + sind(a) * ri));
    canvas.MoveTo(px(cx - cosd(a + 90) * 2.5L), px(cy - sind(a + 90) * 2.5L));
    canvas.LineTo(px(cx + cosd(a + 90) * 2.5L), px(cy + sind(a + 90) * 2.5L));

    // A part of the sheet drawn anew (a pencil stroke under the protractor) draws only the
    // numbers that can reach into it: the glyphs lie within their width and twice their
    // height of where they are written, whichever way they turn.
    const std::optional<QRect> area = canvas.PaintedArea();
    for (int n = 0; n < 360; ++n) {
        const Real theta = n + a;
        const Real t = n % 10 == 5 ? 3 : n % 10 == 0 ? 4 : 2;
        canvas.MoveTo(px(cx - cosd(theta) * ro), px(cy - sind(theta) * ro));
        canvas.LineTo(px(cx - cosd(theta) * (ro - t)), px(cy - sind(theta) * (ro - t)));
        if (n % 10 != 0)
            continue;
        FontSpec font;
        font.Face = QStringLiteral("Arial");
        font.PixelHeight = Trunc(2.8L * s);
        font.Escapement = Trunc(-theta * 10);
        font.Colour = ColourGrey;
        canvas.SetFont(font);
        const QString number = QString::number(n);
        const QPoint at(px(cx - cosd(theta + 3) * (ro - 4)), px(cy - sind(theta + 3) * (ro - 4)));
        if (area) {
            const int reach = canvas.TextWidth(number) + 2 * font.PixelHeight + 4;
            if (!area->adjusted(-reach, -reach, reach, reach).contains(at))
                continue;
        }
        canvas.SetBackgroundTransparent(true);
        canvas.TextOut(at.x(), at.y(), number);
    }
}

} // namespace velmora
