#include "compass_tool.h"

#include "document/units.h"

#include <cmath>
#include <numbers>

namespace velmora {

namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

} // namespace

std::optional<long double> CompassDirection(long double dx, long double dy)
{
    const long double dist = std::sqrt(dx * dx + dy * dy);
    if (dist == 0)
        return std::nullopt;
    long double a = std::acos(std::clamp(dx / dist, -1.0L, 1.0L)) * 180 / Pi;
    if (dy < 0)
        a = dx < 0 ? 360 - a : -a;
    return a;
}

void CompassTool::TurnToward(int x, int y)
{
    DrawingState &s = host_.State();
    const long double dx = x - static_cast<long double>(s.Placement.CompassX) * s.PixelsPerMm;
    const long double dy = y - (static_cast<long double>(s.Placement.CompassY) * s.PixelsPerMm + s.ActivePageTopPx);
    if (const auto a = CompassDirection(dx, dy))
        s.Placement.CompassAngle = double(*a);
}

void CompassTool::SpanTo(int x, int y)
{
    DrawingState &s = host_.State();
    const long double dx = x / static_cast<long double>(s.PixelsPerMm) - s.Placement.CompassX;
    const long double dy = y / static_cast<long double>(s.PixelsPerMm) -
                           (s.ActivePageTopPx / static_cast<long double>(s.PixelsPerMm) + s.Placement.CompassY);
    s.Placement.CompassSpan = double(std::sqrt(dx * dx + dy * dy));
}

void CompassTool::PressMove(int x, int y)
{
    drag_.CompassMoving = true;
    drag_.CompassPressX = x;
    drag_.CompassPressY = y;
    drag_.CompassXAtPress = host_.State().Placement.CompassX;
    drag_.CompassYAtPress = host_.State().Placement.CompassY;
}

void CompassTool::DragMove(int x, int y)
{
    DrawingState &s = host_.State();
    s.Placement.CompassX = (x - drag_.CompassPressX) / s.PixelsPerMm + drag_.CompassXAtPress;
    s.Placement.CompassY = (y - drag_.CompassPressY) / s.PixelsPerMm + drag_.CompassYAtPress;
    host_.Repaint();
    host_.UpdateEds();
}

void CompassTool::PressSpan(int x, int y)
{
    drag_.SpanSetting = true;
    DragSpan(x, y);
}

void CompassTool::DragSpan(int x, int y)
{
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    TurnToward(x, y);
    SpanTo(x, y);
    host_.Repaint();
    host_.UpdateEds();
}

void CompassTool::HoverArc(int x, int y)
{
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    TurnToward(x, y);
    host_.Repaint();
}

void CompassTool::PressArc(int x, int y)
{
    const double s = host_.State().PixelsPerMm;
    drag_.ArcDrawing = true;
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    drag_.ArcStartX = x / s;
    drag_.ArcStartY = y / s;
    TurnToward(x, y);
    drag_.ArcStartAngle = host_.State().Placement.CompassAngle;
    drag_.ArcTurnKnown = false;
    host_.Repaint();
}

void CompassTool::DragArc(int x, int y)
{
    DrawingState &state = host_.State();
    const double s = state.PixelsPerMm;
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    TurnToward(x, y);
    drag_.ArcEndX = x / s;
    drag_.ArcEndY = y / s;
    const double angle = state.Placement.CompassAngle;
    if (!drag_.ArcTurnKnown && angle != drag_.ArcStartAngle) {
        // The turning sense is decided once, by the first move that changes the angle.
        drag_.ArcClockwise = angle > drag_.ArcStartAngle ? 1 : 0;
        drag_.ArcTurnKnown = true;
    }
    host_.Repaint();
    if (!drag_.ArcTurnKnown)
        return;
    const InstrumentPlacement &p = state.Placement;
    const double r = p.CompassSpan;
    const int top = state.ActivePageTopPx + PointerMarginPx;
    const bool clockwise = drag_.ArcClockwise == 1;
    const double sx = clockwise ? drag_.ArcEndX : drag_.ArcStartX, sy = clockwise ? drag_.ArcEndY : drag_.ArcStartY;
    const double ex = clockwise ? drag_.ArcStartX : drag_.ArcEndX, ey = clockwise ? drag_.ArcStartY : drag_.ArcEndY;
    auto px = [s](double mm) { return Round(mm * s) + PointerMarginPx; };
    Canvas &surface = host_.Surface();
    surface.SetPenColour(ColourRed);
    surface.SetPenWidth(1);
    surface.Arc(Round((p.CompassX - r) * s) + PointerMarginPx, Round((p.CompassY - r) * s) + top,
                Round((p.CompassX + r) * s) + PointerMarginPx, Round((p.CompassY + r) * s) + top, px(sx), px(sy),
                px(ex), px(ey));
}

void CompassTool::CircleBox(DrawingObject &o) const
{
    const DrawingState &s = host_.State();
    const double r = s.Placement.CompassSpan, top = s.ActivePageTopPx / s.PixelsPerMm;
    o.X1 = s.Placement.CompassX - r;
    o.Y1 = s.Placement.CompassY - r + top;
    o.X2 = s.Placement.CompassX + r;
    o.Y2 = s.Placement.CompassY + r + top;
    o.Colour = host_.PenColour();
    o.PenWidth = host_.PenWidth();
}

void CompassTool::ReleaseArc()
{
    drag_.ArcDrawing = false;
    if (!drag_.ArcTurnKnown)
        return; // the angle never changed: no arc
    host_.Edits().Begin(host_.State(), QStringLiteral("Kreisbogen"));
    DrawingObject *arc = host_.State().Objects.Append();
    if (!arc) {
        host_.CommitEdit();
        return;
    }
    host_.SetChanged();
    arc->Kind = KindArc;
    CircleBox(*arc);
    const bool clockwise = drag_.ArcClockwise == 1;
    arc->X3 = clockwise ? drag_.ArcEndX : drag_.ArcStartX;
    arc->Y3 = clockwise ? drag_.ArcEndY : drag_.ArcStartY;
    arc->X4 = clockwise ? drag_.ArcStartX : drag_.ArcEndX;
    arc->Y4 = clockwise ? drag_.ArcStartY : drag_.ArcEndY;
    host_.CommitEdit();
    host_.Repaint();
}

void CompassTool::AddCircle()
{
    host_.Edits().Begin(host_.State(), QStringLiteral("Kreis"));
    DrawingObject *circle = host_.State().Objects.Append();
    if (!circle) {
        host_.CommitEdit();
        return;
    }
    host_.SetChanged();
    circle->Kind = KindEllipse;
    CircleBox(*circle);
    host_.CommitEdit();
    host_.Repaint();
}

} // namespace velmora
