#include "compass_tool.h"

#include "add_object.h"

#include "document/units.h"

#include <cmath>

namespace velmora {

std::optional<long double> CompassDirection(long double dx, long double dy)
{
    const long double dist = std::sqrt(dx * dx + dy * dy);
    if (dist == 0)
        return std::nullopt;
    long double a = RadToDeg(std::acos(std::clamp(dx / dist, -1.0L, 1.0L)));
    if (dy < 0)
        a = dx < 0 ? 360 - a : -a;
    return a;
}

void CompassTool::TurnToward(int x, int y)
{
    InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    const long double dx = x - static_cast<long double>(p.CompassX) * view.PixelsPerMm();
    const long double dy = y - (static_cast<long double>(p.CompassY) * view.PixelsPerMm() + view.ActivePageTopPx);
    if (const auto a = CompassDirection(dx, dy))
        p.CompassAngle = double(*a);
}

void CompassTool::SpanTo(int x, int y)
{
    InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    const long double dx = x / static_cast<long double>(view.PixelsPerMm()) - p.CompassX;
    const long double dy = y / static_cast<long double>(view.PixelsPerMm()) -
                           (view.ActivePageTopPx / static_cast<long double>(view.PixelsPerMm()) + p.CompassY);
    p.CompassSpan = double(std::sqrt(dx * dx + dy * dy));
}

SpanDrag CompassTool::PressSpan(int x, int y)
{
    DragSpan(x, y);
    return {};
}

void CompassTool::DragSpan(int x, int y)
{
    TurnToward(x, y);
    SpanTo(x, y);
    host_.DrawingChanged();
    host_.ShowPlacement();
}

void CompassTool::HoverArc(int x, int y)
{
    TurnToward(x, y);
    host_.DrawingChanged();
}

ArcDraw CompassTool::PressArc(int x, int y)
{
    const double s = host_.View().PixelsPerMm();
    ArcDraw arc;
    arc.StartX = x / s;
    arc.StartY = y / s;
    TurnToward(x, y);
    arc.StartAngle = host_.Instruments().CompassAngle;
    host_.DrawingChanged();
    return arc;
}

void CompassTool::DragArc(ArcDraw &arc, int x, int y)
{
    const SurfaceView &view = host_.View();
    const double s = view.PixelsPerMm();
    TurnToward(x, y);
    arc.EndX = x / s;
    arc.EndY = y / s;
    const InstrumentPlacement &p = host_.Instruments();
    if (!arc.TurnKnown && p.CompassAngle != arc.StartAngle) {
        // The turning sense is decided once, by the first move that changes the angle.
        arc.Clockwise = p.CompassAngle > arc.StartAngle;
        arc.TurnKnown = true;
    }
    host_.DrawingChanged();
    if (!arc.TurnKnown)
        return;
    const double r = p.CompassSpan;
    const int top = view.ActivePageTopPx + PointerMarginPx;
    const double sx = arc.Clockwise ? arc.EndX : arc.StartX, sy = arc.Clockwise ? arc.EndY : arc.StartY;
    const double ex = arc.Clockwise ? arc.StartX : arc.EndX, ey = arc.Clockwise ? arc.StartY : arc.EndY;
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
    const InstrumentPlacement &p = host_.Instruments();
    const SurfaceView &view = host_.View();
    const double r = p.CompassSpan, top = view.ActivePageTopPx / view.PixelsPerMm();
    o.X1 = p.CompassX - r;
    o.Y1 = p.CompassY - r + top;
    o.X2 = p.CompassX + r;
    o.Y2 = p.CompassY + r + top;
    o.Colour = host_.PenColour();
    o.PenWidth = host_.PenWidth();
}

void CompassTool::ReleaseArc(const ArcDraw &arc)
{
    if (!arc.TurnKnown)
        return; // the angle never changed: no arc
    AddObject(host_, QStringLiteral("Kreisbogen"), [&](DrawingObject &o) {
        o.Kind = KindArc;
        CircleBox(o);
        o.X3 = arc.Clockwise ? arc.EndX : arc.StartX;
        o.Y3 = arc.Clockwise ? arc.EndY : arc.StartY;
        o.X4 = arc.Clockwise ? arc.StartX : arc.EndX;
        o.Y4 = arc.Clockwise ? arc.StartY : arc.EndY;
    });
}

void CompassTool::AddCircle()
{
    AddObject(host_, QStringLiteral("Kreis"), [&](DrawingObject &o) {
        o.Kind = KindEllipse;
        CircleBox(o);
    });
}

} // namespace velmora
