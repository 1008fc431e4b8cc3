#include "curve_tool.h"

#include "document/units.h"

namespace velmora {

void CurveTool::Press(int x, int y)
{
    if (drag_.CurveHasControl1) {
        drag_.CurveHasControl1 = false;
        host_.Edits().Begin(host_.State(), QStringLiteral("Kurve"));
        DrawingObject *curve = host_.State().Objects.Append();
        if (!curve) {
            host_.CommitEdit();
            return;
        }
        host_.SetChanged();
        const double s = host_.State().PixelsPerMm;
        curve->Kind = KindBezier;
        curve->PenWidth = host_.PenWidth();
        curve->Colour = host_.PenColour();
        curve->X1 = drag_.AnchorX / s;
        curve->Y1 = drag_.AnchorY / s;
        curve->X2 = drag_.CurveControl1X / s;
        curve->Y2 = drag_.CurveControl1Y / s;
        curve->X3 = x / s;
        curve->Y3 = y / s;
        curve->X4 = drag_.CurveEndX / s;
        curve->Y4 = drag_.CurveEndY / s;
        host_.CommitEdit();
        host_.Repaint();
    } else if (drag_.CurveHasEnd) {
        drag_.CurveHasEnd = false;
        drag_.CurveControl1X = x;
        drag_.CurveControl1Y = y;
        drag_.CurveHasControl1 = true;
    } else if (drag_.CurveHasStart) {
        drag_.CurveHasEnd = true;
        drag_.CurveHasStart = false;
        drag_.CurveEndX = x;
        drag_.CurveEndY = y;
    } else {
        drag_.CurveHasStart = true;
        drag_.CurveHasEnd = false;
        drag_.AnchorX = x;
        drag_.AnchorY = y;
    }
}

void CurveTool::Preview(int x, int y)
{
    DrawingState &state = host_.State();
    // Only the sheet of the last press is rendered afresh; the rubber band lies on it alone.
    state.RenderActivePageOnly = true;
    host_.Repaint();
    state.RenderActivePageOnly = false;

    const double s = state.PixelsPerMm;
    const int width = Round(host_.PenWidth() * s);
    // Sheet pixels of the active sheet shown on the surface: the pointer's own pixels plus the margin.
    auto sx = [](int px) { return px + PointerMarginPx; };
    auto sy = [](int py) { return py + PointerMarginPx; };
    Canvas &surface = host_.Surface();
    surface.SetClipRect(QRect(PointerMarginPx, state.ActivePageTopPx + PointerMarginPx, state.PageWidthPx,
                              state.PageHeightPx));
    surface.SetPenColour(host_.PenColour());
    surface.SetPenWidth(width == 0 ? 1 : width);
    surface.MoveTo(sx(drag_.AnchorX), sy(drag_.AnchorY));
    if (drag_.CurveHasStart)
        surface.LineTo(sx(x), sy(y));
    else if (drag_.CurveHasEnd)
        surface.BezierTo(sx(x), sy(y), sx(x), sy(y), sx(drag_.CurveEndX), sy(drag_.CurveEndY));
    else
        surface.BezierTo(sx(drag_.CurveControl1X), sy(drag_.CurveControl1Y), sx(x), sy(y), sx(drag_.CurveEndX),
                         sy(drag_.CurveEndY));
    surface.ResetClip();
}

bool CurveTool::Cancel()
{
    if (!InProgress())
        return false;
    drag_.CurveHasStart = drag_.CurveHasEnd = drag_.CurveHasControl1 = false;
    host_.Repaint();
    return true;
}

} // namespace velmora
