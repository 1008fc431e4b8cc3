#include "stroke_tool.h"

#include "document/units.h"
#include "render/sheet/sheet_renderer.h"

namespace velmora {

void StrokeTool::Move(Stroke &stroke, int x, int y)
{
    DrawingState &state = host_.State();
    const bool erasing = host_.Selection().Is(Tool::Eraser);
    // The stroke's first segment opens the step that its release closes.
    host_.Edits().Begin(state, erasing ? QStringLiteral("Radierstrich") : QStringLiteral("Bleistiftstrich"));
    DrawingObject *segment = state.AppendObject();
    if (!segment)
        return;
    host_.SetChanged();
    const double s = host_.View().PixelsPerMm();
    segment->Kind = KindLine;
    segment->Colour = erasing ? ColourWhite : host_.PenColour();
    segment->PenWidth = erasing ? host_.EraserSize() : host_.PenWidth();
    segment->X1 = stroke.Last.x() / s;
    segment->Y1 = stroke.Last.y() / s;
    segment->X2 = x / s;
    segment->Y2 = y / s;

    Canvas &surface = host_.Surface();
    const int width = Round(segment->PenWidth * s);
    surface.SetPenWidth(width == 0 ? 1 : width);
    surface.SetPenColour(segment->Colour);
    surface.MoveTo(Round(segment->X1 * s) + PointerMarginPx, Round(segment->Y1 * s) + PointerMarginPx);
    surface.LineTo(Round(segment->X2 * s) + PointerMarginPx, Round(segment->Y2 * s) + PointerMarginPx);
    // The eraser takes the ink away, not the paper or the worksheet.
    RevealSheetsOnSurface(surface, state, host_.View().Geometry, *segment);
    stroke.Last = QPoint(x, y);
}

} // namespace velmora
