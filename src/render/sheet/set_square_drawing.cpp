#include "set_square_drawing.h"

#include "document/records.h"
#include "document/set_square.h"
#include "document/units.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace velmora {

namespace {

using Real = long double;
using namespace set_square;

// Millimetres of the layout, seen from the 0 point: a along the long side, b into the body.
constexpr Real MmTick = 2, HalfCmTick = 3, CmTick = 4; // the long side's ticks
constexpr Real MmNumbersAt = 4.5;                      // top of the centimetre numbers
constexpr Real CentreLineFrom = 8.5;                   // the perpendicular resumes below the "0"
constexpr Real DegreeTick = 1.5, FiveDegreeTick = 2.25, TenDegreeTick = 3; // from the short sides
constexpr Real OuterRow = 5, InnerRow = 8.5; // the degree numbers' middles, from the short sides
constexpr Real CornerNumberAt = 1.3;         // the corners' 0 and 180, off the long side
constexpr Real CornerNumberHeight = 1.8;
// Their middles from the 0 point: clear of the first degree ticks and of the scale's last tick.
constexpr Real OuterCornerNumber = 75, OuterCornerNumber180 = 73.6;
constexpr Real InnerCornerNumber = 71, InnerCornerNumber180 = 72.2;
constexpr Real NumberClear = 2;              // half a degree number's height and a little room
constexpr Real ParallelsClear = 16.5;        // the parallels end this far from the short sides
constexpr Real FirstParallel = 10;           // the first one lies below the scale's numbers

// The instrument's frame in sheet pixels.
struct Frame {
    Real x0, y0, ux, uy, nx, ny, s;
    Real X(Real a, Real b) const { return x0 + (ux * a + nx * b) * s; }
    Real Y(Real a, Real b) const { return y0 + (uy * a + ny * b) * s; }
};

void Line(Canvas &canvas, const Frame &f, Real a1, Real b1, Real a2, Real b2)
{
    canvas.MoveTo(Round(f.X(a1, b1)), Round(f.Y(a1, b1)));
    canvas.LineTo(Round(f.X(a2, b2)), Round(f.Y(a2, b2)));
}

FontSpec NumberFont(Real heightMm, double s, Real angle)
{
    FontSpec font;
    font.Face = QStringLiteral("Arial");
    font.PixelHeight = Trunc(heightMm * Real(s));
    font.Weight = 400;
    font.Escapement = Trunc(-angle * 10);
    font.Colour = ColourGrey;
    return font;
}

class Numbers {
public:
    Numbers(Canvas &canvas, const Frame &frame, const FontSpec &font)
        : canvas_(canvas), f_(frame), font_(font), area_(canvas.PaintedArea())
    {
        canvas_.SetFont(font_);
        height_ = canvas_.MeasureText(QRect(), QStringLiteral("0")).height();
    }
    // The number with its middle at (a, b), upright when the long side lies above the body.
    void Centred(Real a, Real b, const QString &text) { At(a, b, text, Real(0.5)); }
    // The number centred along the long side with its top at b.
    void TopAt(Real a, Real b, const QString &text) { At(a, b, text, 0); }

private:
    void At(Real a, Real b, const QString &text, Real down)
    {
        canvas_.SetFont(font_);
        const Real w = canvas_.TextWidth(text);
        const Real x = f_.X(a, b) - f_.ux * w / 2 - f_.nx * height_ * down;
        const Real y = f_.Y(a, b) - f_.uy * w / 2 - f_.ny * height_ * down;
        const QPoint at(Round(x), Round(y));
        if (area_) { // a part of the sheet drawn anew: only the numbers that can reach into it
            const int reach = int(w) + 2 * height_ + 4;
            if (!area_->adjusted(-reach, -reach, reach, reach).contains(at))
                return;
        }
        canvas_.SetBackgroundTransparent(true);
        canvas_.TextOut(at.x(), at.y(), text);
    }

    Canvas &canvas_;
    const Frame &f_;
    FontSpec font_;
    std::optional<QRect> area_;
    int height_ = 0;
};

} // namespace

void DrawSetSquare(Canvas &canvas, const SetSquarePlacement &p, double s)
{
    const Real pi = std::numbers::pi_v<long double>;
    const Real angle = p.Angle;
    const Frame f{p.X * Real(s),
                  p.Y * Real(s),
                  std::cos(angle * pi / 180),
                  std::sin(angle * pi / 180),
                  std::cos((angle + 90) * pi / 180),
                  std::sin((angle + 90) * pi / 180),
                  Real(s)};

    // Outline: the long side, then the short sides to the right angle.
    Line(canvas, f, -HalfLong, 0, HalfLong, 0);
    Line(canvas, f, -HalfLong, 0, 0, Height);
    Line(canvas, f, HalfLong, 0, 0, Height);

    // The perpendicular from 0 to the right angle, open where the "0" and the two "90" are written.
    const Real sqrt2 = std::numbers::sqrt2_v<long double>;
    Line(canvas, f, 0, CentreLineFrom, 0, Height - InnerRow * sqrt2 - NumberClear);
    Line(canvas, f, 0, Height - OuterRow * sqrt2 + NumberClear, 0, Height);
    // Lines parallel to the long side, between the degree scales.
    for (int b = int(FirstParallel); b < Height; b += ParallelStep) {
        const Real half = HalfLong - b - ParallelsClear;
        if (half > 0)
            Line(canvas, f, -half, b, half, b);
    }

    // The millimetre scale on the long side.
    for (int i = -ScaleEnd; i <= ScaleEnd; ++i) {
        const int units = std::abs(i) % 10;
        Line(canvas, f, i, 0, i, units == 0 ? CmTick : units == 5 ? HalfCmTick : MmTick);
    }
    Numbers cm(canvas, f, NumberFont(2.8L, s, angle));
    for (int i = -ScaleEnd; i <= ScaleEnd; i += 10)
        cm.TopAt(i, MmNumbersAt, QString::number(std::abs(i) / 10));

    // Degree k is the ray from 0 at k degrees from the long side's left half, through the body
    // to its right half; its mark stands where the ray leaves the instrument by a short side.
    Numbers degrees(canvas, f, NumberFont(2.4L, s, angle));
    for (int k = 1; k < 180; ++k) {
        const Real ra = -std::cos(k * pi / 180), rb = std::sin(k * pi / 180);
        const Real c = (std::fabs(ra) + rb) / sqrt2; // the ray against the side's normal
        const Real edge = Height / (std::fabs(ra) + rb);
        const Real tick = k % 10 == 0 ? TenDegreeTick : k % 5 == 0 ? FiveDegreeTick : DegreeTick;
        Line(canvas, f, ra * edge, rb * edge, ra * (edge - tick / c), rb * (edge - tick / c));
        if (k % 10 != 0)
            continue;
        // Two rows: the outer counts from the left end of the long side, the inner from the right.
        degrees.Centred(ra * (edge - OuterRow / c), rb * (edge - OuterRow / c), QString::number(k));
        degrees.Centred(ra * (edge - InnerRow / c), rb * (edge - InnerRow / c), QString::number(180 - k));
    }
    // Each row begins with 0 and ends with 180 on the long side, in the acute corners: the
    // outer row's number nearer the corner's tip, the inner row's further in, smaller for room.
    Numbers corners(canvas, f, NumberFont(CornerNumberHeight, s, angle));
    corners.Centred(-OuterCornerNumber, CornerNumberAt, QStringLiteral("0"));
    corners.Centred(-InnerCornerNumber180, CornerNumberAt, QStringLiteral("180"));
    corners.Centred(OuterCornerNumber180, CornerNumberAt, QStringLiteral("180"));
    corners.Centred(InnerCornerNumber, CornerNumberAt, QStringLiteral("0"));
}

} // namespace velmora
