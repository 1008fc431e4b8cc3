#include "view_tools.h"

#include "document/units.h"

#include <algorithm>

namespace velmora {

void HandMove(ToolHost &host, const Pan &pan, int x, int y)
{
    const ScrollState scroll = host.Scroll();
    int h = scroll.H + pan.Anchor.x() - x;
    int v = scroll.V + pan.Anchor.y() - y;
    h = std::max(0, std::min(h, scroll.RangeH - 1));
    v = std::max(0, std::min(v, scroll.RangeV - 1));
    host.SetScroll(h, v);
}

void ZoomPress(ToolHost &host, PointerButton button, int x, int y)
{
    const double z0 = host.Zoom();
    const double px = x / z0, py = y / z0;
    if (button == PointerButton::Left)
        host.SetZoom(z0 * 1.5);
    else if (button == PointerButton::Right)
        host.SetZoom(z0 / 1.5);
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
    host.DrawingChanged();
}

} // namespace velmora
