#include "protractor_tool.h"

#include "preview.h"
#include "ruler_tool.h"

#include "document/units.h"

#include <cmath>
#include <numbers>

namespace velmora {

namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

} // namespace

void ProtractorTool::PressMove(int x, int y)
{
    drag_.ProtractorMoving = true;
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    drag_.ProtractorXAtPress = host_.State().Placement.ProtractorX;
    drag_.ProtractorYAtPress = host_.State().Placement.ProtractorY;
}

void ProtractorTool::DragMove(int x, int y)
{
    DrawingState &s = host_.State();
    s.Placement.ProtractorX = (x - drag_.InstrumentPointerX) / s.PixelsPerMm + drag_.ProtractorXAtPress;
    s.Placement.ProtractorY = (y - drag_.InstrumentPointerY) / s.PixelsPerMm + drag_.ProtractorYAtPress;
    host_.Repaint();
    host_.UpdateEds();
}

void ProtractorTool::PressTurn(int x, int y)
{
    drag_.ProtractorRotating = true;
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    drag_.ProtractorAngleAtPress = host_.State().Placement.ProtractorAngle;
}

void ProtractorTool::DragTurn(int x, int y)
{
    InstrumentPlacement &p = host_.State().Placement;
    TurnAbout(host_.State(), p.ProtractorX, p.ProtractorY, drag_.InstrumentPointerX, drag_.InstrumentPointerY, x, y,
              drag_.ProtractorAngleAtPress, p.ProtractorAngle);
    host_.Repaint();
    host_.UpdateEds();
}

void ProtractorTool::HoverMark(int x, int y)
{
    host_.Repaint();
    const DrawingState &s = host_.State();
    const int gx = Round(s.Placement.ProtractorX * s.PixelsPerMm);
    const int gy = Round(s.Placement.ProtractorY * s.PixelsPerMm + s.ActivePageTopPx);
    Canvas &surface = host_.Surface();
    surface.SetPenColour(ColourRed);
    surface.SetPenWidth(1);
    surface.MoveTo(gx + PointerMarginPx, gy + PointerMarginPx);
    // 1000 times the pointer's distance: the ray crosses the scale and leaves the view.
    surface.LineTo(Round(1000.0L * (x - gx) + gx + PointerMarginPx), Round(1000.0L * (y - gy) + gy + PointerMarginPx));
}

long double ProtractorTool::AlongMark(int x, int y) const
{
    const DrawingState &s = host_.State();
    const long double cmx = s.Placement.ProtractorX;
    const long double cmy = s.Placement.ProtractorY + static_cast<long double>(s.ActivePageTopPx) / s.PixelsPerMm;
    const long double ux = std::cos(drag_.MarkAngle * Pi / 180), uy = std::sin(drag_.MarkAngle * Pi / 180);
    return (x / static_cast<long double>(s.PixelsPerMm) - cmx) * ux +
           (y / static_cast<long double>(s.PixelsPerMm) - cmy) * uy;
}

void ProtractorTool::SetPendingEnds()
{
    const DrawingState &s = host_.State();
    const long double cmx = s.Placement.ProtractorX;
    const long double cmy = s.Placement.ProtractorY + static_cast<long double>(s.ActivePageTopPx) / s.PixelsPerMm;
    const long double ux = std::cos(drag_.MarkAngle * Pi / 180), uy = std::sin(drag_.MarkAngle * Pi / 180);
    drag_.PendingLineX1 = Trunc3(double(cmx + ux * drag_.PendingLineMin));
    drag_.PendingLineY1 = Trunc3(double(cmy + uy * drag_.PendingLineMin));
    drag_.PendingLineX2 = Trunc3(double(cmx + ux * drag_.PendingLineMax));
    drag_.PendingLineY2 = Trunc3(double(cmy + uy * drag_.PendingLineMax));
    DrawPreviewLine(host_, drag_.PendingLineX1, drag_.PendingLineY1, drag_.PendingLineX2, drag_.PendingLineY2, 3);
}

void ProtractorTool::PressMark(int x, int y)
{
    drag_.ProtractorMarking = true;
    drag_.InstrumentPointerX = x;
    drag_.InstrumentPointerY = y;
    const DrawingState &s = host_.State();
    const long double dx = x - static_cast<long double>(s.Placement.ProtractorX) * s.PixelsPerMm;
    const long double dy =
        y - (static_cast<long double>(s.Placement.ProtractorY) * s.PixelsPerMm + s.ActivePageTopPx);
    const long double dist = std::sqrt(dx * dx + dy * dy);
    // A press exactly on the centre has no direction; the mark then runs horizontally.
    long double a = dist > 0 ? std::acos(std::clamp(dx / dist, -1.0L, 1.0L)) * 180 / Pi : 0;
    if (dy < 0 && dx != 0)
        a = -180 - a;
    drag_.MarkAngle = double(a);
    drag_.PendingLineMin = drag_.PendingLineMax = double(AlongMark(x, y));
    SetPendingEnds();
}

void ProtractorTool::DragMark(int x, int y)
{
    const double t = double(AlongMark(x, y));
    drag_.PendingLineMin = std::min(drag_.PendingLineMin, t);
    drag_.PendingLineMax = std::max(drag_.PendingLineMax, t);
    SetPendingEnds();
}

} // namespace velmora
