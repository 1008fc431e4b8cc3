#include "preview.h"

#include "document/units.h"

namespace velmora {

void DrawPreviewLine(ToolHost &host, double x1, double y1, double x2, double y2, int width)
{
    const double s = host.View().PixelsPerMm();
    Canvas &surface = host.Surface();
    surface.SetPenColour(ColourRed);
    surface.SetPenWidth(width);
    surface.MoveTo(Round(x1 * s) + PointerMarginPx, Round(y1 * s) + PointerMarginPx);
    surface.LineTo(Round(x2 * s) + PointerMarginPx, Round(y2 * s) + PointerMarginPx);
    surface.SetPenWidth(1);
}

} // namespace velmora
