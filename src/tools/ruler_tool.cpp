#include "ruler_tool.h"

#include "preview.h"

#include "document/units.h"

#include <cmath>
#include <numbers>

namespace velmora {

namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

} // namespace

double Trunc3(double v)
{
    const long double scaled = static_cast<long double>(v) * 1000;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18L)
        return v; // beyond a 64-bit integer there is nothing to cut
    return double(static_cast<long double>(static_cast<int64_t>(scaled)) / 1000);
}

std::optional<long double> Guide::Position(double mx, double my) const
{
    const double gx = std::cos(G * Pi / 180), gy = std::sin(G * Pi / 180);
    const double kx = std::cos(K * Pi / 180), ky = std::sin(K * Pi / 180);
    if (ky == 0)
        return std::nullopt;
    const long double w = gx - static_cast<long double>(kx) * gy / ky;
    return mx / w + (static_cast<long double>(kx) * Oy / ky) / w - (static_cast<long double>(kx) * my / ky) / w -
           Ox / w;
}

void Guide::PointAt(long double t, double &x, double &y) const
{
    const double gx = std::cos(G * Pi / 180), gy = std::sin(G * Pi / 180);
    x = Trunc3(double(gx * t + Ox));
    y = Trunc3(double(gy * t + Oy));
}

std::optional<long double> DirectionValue(long double px, long double py, long double qx, long double qy)
{
    const long double dx = px - qx, dy = py - qy;
    const long double r = std::sqrt(dx * dx + dy * dy);
    if (r == 0)
        return std::nullopt;
    const long double v = dy / r;
    long double phi = std::atan2(v, std::sqrt(std::max(0.0L, 1 - v * v))) * 180 / Pi;
    if (dx > 0)
        phi = -90 - (phi + 90);
    return phi;
}

void TurnAbout(const DrawingState &state, double pivotX, double pivotY, int pressX, int pressY, int x, int y,
               double angleAtPress, double &angle)
{
    const long double qx = static_cast<long double>(pivotX) * state.PixelsPerMm;
    const long double qy = static_cast<long double>(pivotY) * state.PixelsPerMm + state.ActivePageTopPx;
    const auto atPress = DirectionValue(pressX, pressY, qx, qy);
    const auto now = DirectionValue(x, y, qx, qy);
    if (atPress && now)
        angle = double(angleAtPress + *atPress - *now);
}

Guide RulerTool::ScaleEdge() const
{
    const DrawingState &s = host_.State();
    const double angle = s.Placement.RulerAngle;
    return {s.Placement.RulerX, s.Placement.RulerY + s.ActivePageTopPx / s.PixelsPerMm, angle, angle + 90};
}

Guide RulerTool::Perpendicular() const
{
    const double angle = host_.State().Placement.RulerAngle;
    return {drag_.GuideFootX, drag_.GuideFootY, angle + 90, angle};
}

void RulerTool::PressMove(int x, int y)
{
    drag_.RulerMoving = true;
    drag_.RulerPressX = x;
    drag_.RulerPressY = y;
    drag_.RulerXAtPress = host_.State().Placement.RulerX;
    drag_.RulerYAtPress = host_.State().Placement.RulerY;
}

void RulerTool::DragMove(int x, int y)
{
    DrawingState &s = host_.State();
    s.Placement.RulerX = (x - drag_.RulerPressX) / s.PixelsPerMm + drag_.RulerXAtPress;
    s.Placement.RulerY = (y - drag_.RulerPressY) / s.PixelsPerMm + drag_.RulerYAtPress;
    host_.Repaint();
    host_.UpdateEds();
}

void RulerTool::PressTurn(int x, int y)
{
    drag_.RulerRotating = true;
    drag_.RulerPressX = x;
    drag_.RulerPressY = y;
    drag_.RulerAngleAtPress = host_.State().Placement.RulerAngle;
}

void RulerTool::DragTurn(int x, int y)
{
    InstrumentPlacement &p = host_.State().Placement;
    TurnAbout(host_.State(), p.RulerX, p.RulerY, drag_.RulerPressX, drag_.RulerPressY, x, y, drag_.RulerAngleAtPress,
              p.RulerAngle);
    host_.Repaint();
    host_.UpdateEds();
}

void RulerTool::Reach(const Guide &guide, std::optional<long double> t, double my, double fallbackX, bool widen)
{
    const long double position = t ? *t : my;
    if (widen) {
        if (position < drag_.PendingLineMin)
            drag_.PendingLineMin = double(position);
        if (position > drag_.PendingLineMax)
            drag_.PendingLineMax = double(position);
    } else {
        drag_.PendingLineMin = drag_.PendingLineMax = double(position);
    }
    if (t) {
        guide.PointAt(drag_.PendingLineMin, drag_.PendingLineX1, drag_.PendingLineY1);
        guide.PointAt(drag_.PendingLineMax, drag_.PendingLineX2, drag_.PendingLineY2);
    } else { // a vertical guide: the pointer's own y, not cut
        drag_.PendingLineX1 = drag_.PendingLineX2 = fallbackX;
        drag_.PendingLineY1 = drag_.PendingLineMin;
        drag_.PendingLineY2 = drag_.PendingLineMax;
    }
}

void RulerTool::PressAlong(int x, int y)
{
    const double s = host_.State().PixelsPerMm;
    drag_.RulerAlongDrawing = true;
    const Guide edge = ScaleEdge();
    Reach(edge, edge.Position(x / s, y / s), y / s, host_.State().Placement.RulerX, false);
    DrawPreviewLine(host_, drag_.PendingLineX1, drag_.PendingLineY1, drag_.PendingLineX2, drag_.PendingLineY2, 3);
}

void RulerTool::MoveAlong(int x, int y)
{
    const double s = host_.State().PixelsPerMm;
    const Guide edge = ScaleEdge();
    Reach(edge, edge.Position(x / s, y / s), y / s, host_.State().Placement.RulerX, drag_.RulerAlongDrawing);
    host_.Repaint();
    DrawPreviewLine(host_, drag_.PendingLineX1, drag_.PendingLineY1, drag_.PendingLineX2, drag_.PendingLineY2,
                    drag_.RulerAlongDrawing ? 3 : 5);
}

void RulerTool::PressAcross(int x, int y)
{
    const double s = host_.State().PixelsPerMm;
    drag_.RulerAcrossDrawing = true;
    HoverAcrossFoot(x, y);
    const Guide across = Perpendicular();
    Reach(across, across.Position(x / s, y / s), y / s, drag_.GuideFootX, false);
    DrawPreviewLine(host_, drag_.PendingLineX1, drag_.PendingLineY1, drag_.PendingLineX2, drag_.PendingLineY2, 3);
}

void RulerTool::HoverAcrossFoot(int x, int y)
{
    const double s = host_.State().PixelsPerMm;
    const Guide edge = ScaleEdge();
    const auto t = edge.Position(x / s, y / s);
    if (t) {
        drag_.PendingLineMin = drag_.PendingLineMax = double(*t);
        edge.PointAt(*t, drag_.GuideFootX, drag_.GuideFootY);
    } else {
        drag_.PendingLineMin = drag_.PendingLineMax = y / s;
        drag_.GuideFootX = host_.State().Placement.RulerX;
        drag_.GuideFootY = y / s;
    }
}

void RulerTool::HoverAcross(int x, int y)
{
    HoverAcrossFoot(x, y);
    host_.Repaint();
    DrawPreviewLine(host_, drag_.GuideFootX, drag_.GuideFootY, drag_.GuideFootX, drag_.GuideFootY, 5);
}

void RulerTool::DragAcross(int x, int y)
{
    const double s = host_.State().PixelsPerMm;
    const Guide across = Perpendicular();
    Reach(across, across.Position(x / s, y / s), y / s, drag_.GuideFootX, true);
    DrawPreviewLine(host_, drag_.PendingLineX1, drag_.PendingLineY1, drag_.PendingLineX2, drag_.PendingLineY2, 3);
}

void RulerTool::StoreLine()
{
    StorePendingLine(host_, drag_, QStringLiteral("Linie"));
}

} // namespace velmora
