#include "preview.h"

#include "document/units.h"

namespace velmora {

void DrawPreviewLine(ToolHost &host, double x1, double y1, double x2, double y2, int width)
{
    const double s = host.State().PixelsPerMm;
    Canvas &surface = host.Surface();
    surface.SetPenColour(ColourRed);
    surface.SetPenWidth(width);
    surface.MoveTo(Round(x1 * s) + PointerMarginPx, Round(y1 * s) + PointerMarginPx);
    surface.LineTo(Round(x2 * s) + PointerMarginPx, Round(y2 * s) + PointerMarginPx);
    surface.SetPenWidth(1);
}

} // namespace velmora

namespace velmora {

void StorePendingLine(ToolHost &host, const DragState &drag, const QString &label)
{
    host.Edits().Begin(host.State(), label);
    DrawingObject *line = host.State().Objects.Append();
    if (!line) { // the list could not grow; it said so and nothing changed
        host.CommitEdit();
        return;
    }
    host.SetChanged();
    line->Colour = host.PenColour();
    line->PenWidth = host.PenWidth();
    line->Kind = KindLine;
    line->X1 = drag.PendingLineX1;
    line->Y1 = drag.PendingLineY1;
    line->X2 = drag.PendingLineX2;
    line->Y2 = drag.PendingLineY2;
    host.CommitEdit();
    host.Repaint();
}

} // namespace velmora
