#include "object_tool.h"

#include "hit_tests.h"

#include "document/units.h"

#include <algorithm>
#include <cmath>

namespace velmora {

bool ObjectTool::Hits(const DrawingObject &o, int x, int y) const
{
    const double s = host_.View().PixelsPerMm();
    // A quick look at the box first: a point more than 4 pixels outside it cannot be within the
    // 3-pixel tolerance (NaN boxes never pass this look and get the full test).
    auto outside = [x, y](double left, double right, double top, double bottom) {
        return x < left - 4 || x > right + 4 || y < top - 4 || y > bottom + 4;
    };
    switch (o.Kind) {
    case KindLine:
        if (outside(s * std::min(o.X1, o.X2), s * std::max(o.X1, o.X2), s * std::min(o.Y1, o.Y2),
                    s * std::max(o.Y1, o.Y2)))
            return false;
        return PointNearSegment(x, y, Round(s * o.X1), Round(s * o.Y1), Round(s * o.X2), Round(s * o.Y2));
    case KindArc:
    case KindEllipse: {
        const double cx = s * (o.X1 + (o.X2 - o.X1) / 2), cy = s * (o.Y1 + (o.Y2 - o.Y1) / 2);
        const double r = std::fabs(s * (o.X2 - o.X1) / 2);
        if (outside(cx - r, cx + r, cy - r, cy + r))
            return false;
        return PointNearCircle(x, y, s * o.X1, s * o.Y1, s * o.X2, s * o.Y2);
    }
    default:
        return false; // curves and unknown kinds are never hit
    }
}

void ObjectTool::DrawRed(const DrawingObject &o, int dx, int dy)
{
    const double s = host_.View().PixelsPerMm();
    auto px = [s, dx](double mm) { return Round(s * mm) + PointerMarginPx + dx; };
    auto py = [s, dy](double mm) { return Round(s * mm) + PointerMarginPx + dy; };
    Canvas &surface = host_.Surface();
    surface.SetPenColour(ColourRed);
    surface.SetPenWidth(std::max(2, Round(2 * o.PenWidth * s)));
    surface.SetBrushStyle(BrushStyle::Clear);
    if (o.Kind == KindLine) {
        surface.MoveTo(px(o.X1), py(o.Y1));
        surface.LineTo(px(o.X2), py(o.Y2));
    } else if (o.Kind == KindArc) {
        surface.Arc(px(o.X1), py(o.Y1), px(o.X2), py(o.Y2), px(o.X3), py(o.Y3), px(o.X4), py(o.Y4));
    } else if (o.Kind == KindEllipse) {
        surface.Ellipse(px(o.X1), py(o.Y1), px(o.X2), py(o.Y2));
    }
}

void ObjectTool::DrawOver(int i, int dx, int dy, bool)
{
    DrawRed(host_.Drawing().Objects.At(i), dx, dy);
}

void ObjectTool::MoveBy(EditTransaction &edit, int i, double dx, double dy)
{
    DrawingObject &o = edit.ChangeObject(i);
    for (double *x : {&o.X1, &o.X2, &o.X3, &o.X4}) // all four points, used or not
        *x += dx;
    for (double *y : {&o.Y1, &o.Y2, &o.Y3, &o.Y4})
        *y += dy;
}

void ObjectTool::Remove(EditTransaction &edit, int i)
{
    edit.DeleteObject(i);
}

} // namespace velmora
