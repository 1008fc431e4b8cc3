#include "ruler_tool.h"

#include "preview.h"

#include "document/units.h"

#include <cmath>

namespace velmora {

std::optional<long double> Guide::Position(double mx, double my) const
{
    const double gx = std::cos(DegToRad(G)), gy = std::sin(DegToRad(G));
    const double kx = std::cos(DegToRad(K)), ky = std::sin(DegToRad(K));
    if (ky == 0)
        return std::nullopt;
    const long double w = gx - static_cast<long double>(kx) * gy / ky;
    return mx / w + (static_cast<long double>(kx) * Oy / ky) / w - (static_cast<long double>(kx) * my / ky) / w -
           Ox / w;
}

void Guide::PointAt(long double t, double &x, double &y) const
{
    const double gx = std::cos(DegToRad(G)), gy = std::sin(DegToRad(G));
    x = Trunc3(double(gx * t + Ox));
    y = Trunc3(double(gy * t + Oy));
}

Guide RulerTool::ScaleEdge() const
{
    const InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    return {p.RulerX, p.RulerY + view.ActivePageTopPx / view.PixelsPerMm(), p.RulerAngle, p.RulerAngle + 90};
}

Guide RulerTool::Perpendicular(const GuidedLine &line) const
{
    const double angle = host_.Instruments().RulerAngle;
    return {line.FootX, line.FootY, angle + 90, angle};
}

void RulerTool::Reach(GuidedLine &line, const Guide &guide, std::optional<long double> t, double my, double fallbackX,
                      bool widen)
{
    ReachPosition(line, double(t ? *t : my), widen);
    if (t) {
        guide.PointAt(line.Min, line.X1, line.Y1);
        guide.PointAt(line.Max, line.X2, line.Y2);
    } else { // a vertical guide: the pointer's own y, not cut
        line.X1 = line.X2 = fallbackX;
        line.Y1 = line.Min;
        line.Y2 = line.Max;
    }
}

void RulerTool::ReachAlong(GuidedLine &line, int x, int y, bool widen) const
{
    const double s = host_.View().PixelsPerMm();
    const Guide edge = ScaleEdge();
    Reach(line, edge, edge.Position(x / s, y / s), y / s, host_.Instruments().RulerX, widen);
}

GuidedLine RulerTool::PressAlong(int x, int y)
{
    GuidedLine line{GuidedLine::Kind::Along};
    ReachAlong(line, x, y, false);
    PreviewGuidedLine(host_, line, 3);
    return line;
}

void RulerTool::HoverAlong(int x, int y)
{
    GuidedLine dot{GuidedLine::Kind::Along};
    ReachAlong(dot, x, y, false);
    host_.WipePreviews();
    PreviewGuidedLine(host_, dot, 5);
}

void RulerTool::DragAlong(GuidedLine &line, int x, int y)
{
    ReachAlong(line, x, y, true);
    host_.WipePreviews();
    PreviewGuidedLine(host_, line, 3);
}

void RulerTool::FindFoot(GuidedLine &line, int x, int y) const
{
    const double s = host_.View().PixelsPerMm();
    const Guide edge = ScaleEdge();
    const auto t = edge.Position(x / s, y / s);
    if (t) {
        line.Min = line.Max = double(*t);
        edge.PointAt(*t, line.FootX, line.FootY);
    } else {
        line.Min = line.Max = y / s;
        line.FootX = host_.Instruments().RulerX;
        line.FootY = y / s;
    }
}

GuidedLine RulerTool::PressAcross(int x, int y)
{
    const double s = host_.View().PixelsPerMm();
    GuidedLine line{GuidedLine::Kind::Across};
    FindFoot(line, x, y);
    const Guide across = Perpendicular(line);
    Reach(line, across, across.Position(x / s, y / s), y / s, line.FootX, false);
    PreviewGuidedLine(host_, line, 3);
    return line;
}

void RulerTool::HoverAcross(int x, int y)
{
    GuidedLine foot{GuidedLine::Kind::Across};
    FindFoot(foot, x, y);
    host_.WipePreviews();
    DrawPreviewLine(host_, foot.FootX, foot.FootY, foot.FootX, foot.FootY, 5);
}

void RulerTool::DragAcross(GuidedLine &line, int x, int y)
{
    const double s = host_.View().PixelsPerMm();
    const Guide across = Perpendicular(line);
    Reach(line, across, across.Position(x / s, y / s), y / s, line.FootX, true);
    PreviewGuidedLine(host_, line, 3);
}

} // namespace velmora
