#include "curve_raster.h"

#include "outline_fill.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

namespace velmora {

namespace {

using namespace outline;

// The path's subpaths as closed contours in device pixels, curves cut as the painter cuts them.
void Flatten(const QPainterPath &path, const Target &target, Contours &out)
{
    out.Clear();
    const double tolerance = ChordTolerance / target.Scale;
    // The clip's rows in logical y, a pixel wider each way (points are rounded on the device).
    const Rows rows{(target.Clip.top() - 1 - target.Offset.y()) / target.Scale,
                    (target.Clip.bottom() + 2 - target.Offset.y()) / target.Scale};
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            out.Close();
            out.Points.push_back({e.x, e.y});
            break;
        case QPainterPath::LineToElement:
            out.Points.push_back({e.x, e.y});
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= count || out.Points.empty())
                return;
            const QPainterPath::Element &c2 = path.elementAt(i + 1), &end = path.elementAt(i + 2);
            AddCurve(out.Points, out.Points.back(), {e.x, e.y}, {c2.x, c2.y}, {end.x, end.y}, tolerance, rows);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    out.Close();
    ToDevice(out, target.Scale, target.Offset);
}

// True when the logical rectangle's device pixels miss the target's clip.
bool Misses(const Target &target, const QRectF &logical)
{
    const double s = target.Scale;
    const QRectF device(logical.left() * s + target.Offset.x(), logical.top() * s + target.Offset.y(),
                        logical.width() * s, logical.height() * s);
    const QRect &clip = target.Clip;
    return device.right() < clip.left() - 1 || device.left() > clip.right() + 2 || device.bottom() < clip.top() - 1 ||
           device.top() > clip.bottom() + 2;
}

void FillContours(const Target &target, const QPainterPath &path, QRgb colour)
{
    thread_local Contours contours;
    Flatten(path, target, contours);
    Fill(*target.Image, target.Clip, contours, colour);
}

} // namespace

bool DrawStrokedPath(QPainter &painter, const QPainterPath &path, double width, QRgb colour, const QRect &needed)
{
    Target target;
    if (!TargetOf(painter, colour, target, needed) || !(width * target.Scale > 1) || !(width * target.Scale < CoordinateLimit))
        return false;
    const QRectF reach = path.controlPointRect().adjusted(-width, -width, width, width);
    if (!WithinLimits(target, reach))
        return false;
    if (Misses(target, reach))
        return true; // nothing of it can be seen
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    // The stroker's own threshold, as the painter leaves it: the same offset curves at every scale.
    FillContours(target, stroker.createStroke(path), colour);
    return true;
}

bool DrawFilledPath(QPainter &painter, const QPainterPath &path, QRgb colour, const QRect &needed)
{
    Target target;
    if (!TargetOf(painter, colour, target, needed))
        return false;
    const QRectF reach = path.controlPointRect();
    if (!WithinLimits(target, reach))
        return false;
    if (!Misses(target, reach))
        FillContours(target, path, colour);
    return true;
}

} // namespace velmora
