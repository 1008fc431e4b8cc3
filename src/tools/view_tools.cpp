#include "view_tools.h"

#include "document/units.h"

#include <algorithm>

namespace velmora {

void HandPress(DragState &drag, int x, int y)
{
    drag.Panning = true;
    drag.AnchorX = x;
    drag.AnchorY = y;
}

void HandMove(ToolHost &host, const DragState &drag, int x, int y)
{
    DrawingState &state = host.State();
    state.PaintSuspended = true;
    const ScrollState scroll = host.Scroll();
    int h = scroll.H + drag.AnchorX - x;
    int v = scroll.V + drag.AnchorY - y;
    h = std::max(0, std::min(h, scroll.RangeH - 1));
    v = std::max(0, std::min(v, scroll.RangeV - 1));
    host.SetScroll(h, v);
    state.PaintSuspended = false; // the window repaints what the scrolling uncovered
}

void ZoomPress(ToolHost &host, PointerButton button, int x, int y)
{
    const double z0 = host.Zoom();
    const double px = x / z0, py = y / z0;
    if (button == PointerButton::Left)
        host.SetZoom(z0 * 1.5);
    else if (button == PointerButton::Right)
        host.SetZoom(z0 / 1.5);
    host.State().PaintSuspended = true;
    const double z1 = host.Zoom();
    const ScrollState scroll = host.Scroll();
    double h = z1 * px - scroll.ViewportW / 2.0;
    double v = z1 * py - scroll.ViewportH / 2.0;
    if (h < 0)
        h = 0;
    if (v < 0)
        v = 0;
    if (h > scroll.RangeH - 1)
        h = scroll.RangeH - 1;
    if (v > scroll.RangeV - 1)
        v = scroll.RangeV - 1;
    host.SetScroll(Round(h), Round(v));
    host.State().PaintSuspended = false;
    host.Repaint();
}

} // namespace velmora
