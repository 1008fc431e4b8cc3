#include "stroke_tool.h"

#include "document/units.h"

namespace velmora {

void StrokeTool::Press(int x, int y)
{
    drag_.StrokeActive = true;
    drag_.AnchorX = x;
    drag_.AnchorY = y;
}

void StrokeTool::Move(int x, int y)
{
    DrawingState &state = host_.State();
    const bool erasing = host_.Selection().Is(Tool::Eraser);
    // The stroke's first segment opens the step that its release closes.
    host_.Edits().Begin(state, erasing ? QStringLiteral("Radierstrich") : QStringLiteral("Bleistiftstrich"));
    DrawingObject *segment = state.Objects.Append();
    if (!segment)
        return;
    host_.SetChanged();
    const double s = state.PixelsPerMm;
    segment->Kind = KindLine;
    segment->Colour = erasing ? ColourWhite : host_.PenColour();
    segment->PenWidth = erasing ? host_.EraserSize() : host_.PenWidth();
    segment->X1 = drag_.AnchorX / s;
    segment->Y1 = drag_.AnchorY / s;
    segment->X2 = x / s;
    segment->Y2 = y / s;

    Canvas &surface = host_.Surface();
    const int width = Round(segment->PenWidth * s);
    surface.SetPenWidth(width == 0 ? 1 : width);
    surface.SetPenColour(segment->Colour);
    surface.MoveTo(Round(segment->X1 * s) + PointerMarginPx, Round(segment->Y1 * s) + PointerMarginPx);
    surface.LineTo(Round(segment->X2 * s) + PointerMarginPx, Round(segment->Y2 * s) + PointerMarginPx);
    drag_.AnchorX = x;
    drag_.AnchorY = y;
}

} // namespace velmora
