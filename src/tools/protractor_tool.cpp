#include "protractor_tool.h"

#include "guided_line.h"
#include "preview.h"

#include "document/units.h"

#include <algorithm>
#include <cmath>

namespace velmora {

void ProtractorTool::HoverMark(int x, int y)
{
    host_.WipePreviews();
    const InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    const int gx = Round(p.ProtractorX * view.PixelsPerMm());
    const int gy = Round(p.ProtractorY * view.PixelsPerMm() + view.ActivePageTopPx);
    Canvas &surface = host_.Surface();
    surface.SetPenColour(ColourRed);
    surface.SetPenWidth(1);
    surface.MoveTo(gx + PointerMarginPx, gy + PointerMarginPx);
    // 1000 times the pointer's distance: the ray crosses the scale and leaves the view.
    surface.LineTo(Round(1000.0L * (x - gx) + gx + PointerMarginPx), Round(1000.0L * (y - gy) + gy + PointerMarginPx));
}

ProtractorTool::Ray ProtractorTool::RayOf(const GuidedLine &mark) const
{
    const InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    return {p.ProtractorX, p.ProtractorY + static_cast<long double>(view.ActivePageTopPx) / view.PixelsPerMm(),
            std::cos(DegToRad(mark.MarkAngle)), std::sin(DegToRad(mark.MarkAngle))};
}

long double ProtractorTool::AlongMark(const GuidedLine &mark, int x, int y) const
{
    const Ray ray = RayOf(mark);
    const long double s = host_.View().PixelsPerMm();
    return (x / s - ray.Cx) * ray.Ux + (y / s - ray.Cy) * ray.Uy;
}

void ProtractorTool::SetEnds(GuidedLine &mark)
{
    const Ray ray = RayOf(mark);
    mark.X1 = Trunc3(double(ray.Cx + ray.Ux * mark.Min));
    mark.Y1 = Trunc3(double(ray.Cy + ray.Uy * mark.Min));
    mark.X2 = Trunc3(double(ray.Cx + ray.Ux * mark.Max));
    mark.Y2 = Trunc3(double(ray.Cy + ray.Uy * mark.Max));
    PreviewGuidedLine(host_, mark, 3);
}

GuidedLine ProtractorTool::PressMark(int x, int y)
{
    const InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    const long double dx = x - static_cast<long double>(p.ProtractorX) * view.PixelsPerMm();
    const long double dy = y - (static_cast<long double>(p.ProtractorY) * view.PixelsPerMm() + view.ActivePageTopPx);
    const long double dist = std::sqrt(dx * dx + dy * dy);
    // A press exactly on the centre has no direction; the mark then runs horizontally.
    long double a = dist > 0 ? RadToDeg(std::acos(std::clamp(dx / dist, -1.0L, 1.0L))) : 0;
    if (dy < 0 && dx != 0)
        a = -180 - a;
    GuidedLine mark{GuidedLine::Kind::Mark};
    mark.MarkAngle = double(a);
    mark.Min = mark.Max = double(AlongMark(mark, x, y));
    SetEnds(mark);
    return mark;
}

void ProtractorTool::DragMark(GuidedLine &mark, int x, int y)
{
    ReachPosition(mark, double(AlongMark(mark, x, y)), true);
    SetEnds(mark);
}

} // namespace velmora
