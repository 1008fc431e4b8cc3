#include "curve_tool.h"

#include "add_object.h"

#include "document/units.h"

namespace velmora {

Curve CurveTool::Start(int x, int y)
{
    return {Curve::Stage::Start, QPoint(x, y), QPoint(), QPoint()};
}

bool CurveTool::Press(Curve &curve, int x, int y)
{
    switch (curve.Placed) {
    case Curve::Stage::Start:
        curve.End = QPoint(x, y);
        curve.Placed = Curve::Stage::End;
        return true;
    case Curve::Stage::End:
        curve.Control1 = QPoint(x, y);
        curve.Placed = Curve::Stage::Control1;
        return true;
    case Curve::Stage::Control1:
        break;
    }
    AddObject(host_, QStringLiteral("Kurve"), [&](DrawingObject &o) {
        const double s = host_.View().PixelsPerMm();
        o.Kind = KindBezier;
        o.PenWidth = host_.PenWidth();
        o.Colour = host_.PenColour();
        o.X1 = curve.Start.x() / s;
        o.Y1 = curve.Start.y() / s;
        o.X2 = curve.Control1.x() / s;
        o.Y2 = curve.Control1.y() / s;
        o.X3 = x / s;
        o.Y3 = y / s;
        o.X4 = curve.End.x() / s;
        o.Y4 = curve.End.y() / s;
    });
    return false;
}

void CurveTool::Preview(const Curve &curve, int x, int y)
{
    // Only the sheet of the last press is rendered afresh; the rubber band lies on it alone.
    host_.WipePreviews(PaintScope::ActiveSheet);

    const SurfaceView &view = host_.View();
    const int width = Round(host_.PenWidth() * view.PixelsPerMm());
    // Sheet pixels of the active sheet shown on the surface: the pointer's own pixels plus the margin.
    auto sx = [](int px) { return px + PointerMarginPx; };
    auto sy = [](int py) { return py + PointerMarginPx; };
    Canvas &surface = host_.Surface();
    surface.SetClipRect(QRect(PointerMarginPx, view.ActivePageTopPx + PointerMarginPx, view.PageWidthPx(),
                              view.PageHeightPx()));
    surface.SetPenColour(host_.PenColour());
    surface.SetPenWidth(width == 0 ? 1 : width);
    surface.MoveTo(sx(curve.Start.x()), sy(curve.Start.y()));
    if (curve.Placed == Curve::Stage::Start)
        surface.LineTo(sx(x), sy(y));
    else if (curve.Placed == Curve::Stage::End)
        surface.BezierTo(sx(x), sy(y), sx(x), sy(y), sx(curve.End.x()), sy(curve.End.y()));
    else
        surface.BezierTo(sx(curve.Control1.x()), sy(curve.Control1.y()), sx(x), sy(y), sx(curve.End.x()),
                         sy(curve.End.y()));
    surface.ResetClip();
}

} // namespace velmora
