#include "stroke_tool.h"

#include "document/units.h"

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

    // The segment shows at once as part of the drawing, joined to the stroke's others and under
    // the instruments: the repaint draws anew only the place it touched.
    host_.Repaint();
    stroke.Last = QPoint(x, y);
}

} // namespace velmora
