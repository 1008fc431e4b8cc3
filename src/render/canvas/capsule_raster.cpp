#include "capsule_raster.h"

#include "outline_fill.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora {

namespace {

using namespace outline;

// The outline of the line from a to b with round caps of radius r, in logical coordinates:
// the two sides and each cap as two quarter circles (a full circle when a == b).
void BuildOutline(Contours &out, Point a, Point b, double r, double tolerance)
{
    Point d{1, 0};
    const double length = std::hypot(b.X - a.X, b.Y - a.Y);
    if (length > 0)
        d = (b - a) * (1 / length);
    const Point n{d.Y, -d.X};
    const Point nr = n * r, dr = d * r, nk = n * (Kappa * r), dk = d * (Kappa * r);
    out.Clear();
    std::vector<Point> &p = out.Points;
    p.push_back(a + nr);
    p.push_back(b + nr);
    AddCurve(p, b + nr, b + nr + dk, b + dr + nk, b + dr, tolerance);
    AddCurve(p, b + dr, b + dr - nk, b - nr + dk, b - nr, tolerance);
    p.push_back(a - nr);
    AddCurve(p, a - nr, a - nr - dk, a - dr - nk, a - dr, tolerance);
    AddCurve(p, a - dr, a - dr + nk, a + nr - dk, a + nr, tolerance);
    out.Close();
}

} // namespace

void FillCapsule(QImage &image, const QRect &clip, const CapsulePlacement &placement, QPointF a, QPointF b,
                 double width, QRgb colour)
{
    const QRect area = clip & image.rect();
    const double reach = width / 2 * placement.Scale + 2;
    const QPointF da = a * placement.Scale + placement.Offset, db = b * placement.Scale + placement.Offset;
    // Nothing sensible to draw for an empty clip, no width or coordinates beyond any sheet.
    auto sane = [](double v) { return std::abs(v) < CoordinateLimit; };
    if (area.isEmpty() || !(width > 0) || !(placement.Scale > 0) || !sane(reach) || !sane(da.x()) ||
        !sane(da.y()) || !sane(db.x()) || !sane(db.y()))
        return;
    // Lines that cannot reach the clip (most lines of a band of a sheet) cost nothing more.
    if (std::max(da.x(), db.x()) + reach < area.left() || std::min(da.x(), db.x()) - reach > area.right() + 1 ||
        std::max(da.y(), db.y()) + reach < area.top() || std::min(da.y(), db.y()) - reach > area.bottom() + 1)
        return;
    thread_local Contours contours;
    BuildOutline(contours, {a.x(), a.y()}, {b.x(), b.y()}, width / 2, ChordTolerance / placement.Scale);
    ToDevice(contours, placement.Scale, placement.Offset);
    Fill(image, area, contours, colour);
}

bool DrawCapsule(QPainter &painter, QPointF a, QPointF b, double width, QRgb colour, const QRect &needed)
{
    Target target;
    if (!TargetOf(painter, colour, target, needed))
        return false;
    const double scale = target.Scale;
    if (!(width * scale > 1))
        return false;
    // Far beyond what a sheet can hold the painter's own clipping of huge outlines takes over.
    if (!WithinLimits(target, QRectF(a, b)) || !(width * scale < CoordinateLimit))
        return false;
    FillCapsule(*target.Image, target.Clip, {scale, target.Offset}, a, b, width, colour);
    return true;
}

} // namespace velmora
