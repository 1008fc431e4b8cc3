#include "stroke_tool.h"

#include "document/units.h"

namespace velmora {

namespace {

QString StrokeLabel(const ToolHost &host)
{
    return host.Selection().Is(Tool::Eraser) ? QStringLiteral("Radierstrich") : QStringLiteral("Bleistiftstrich");
}

} // namespace

void StrokeTool::Move(Stroke &stroke, int x, int y)
{
    const bool erasing = host_.Selection().Is(Tool::Eraser);
    // The stroke's first segment opens the edit that its release commits.
    DrawingObject *segment = host_.BeginEdit(StrokeLabel(host_)).AppendObject();
    if (!segment)
        return;
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
    host_.DrawingChanged(PaintScope::AllSheets);
    stroke.Last = QPoint(x, y);
}

void StrokeTool::Release()
{
    host_.BeginEdit(StrokeLabel(host_)).CommitShown();
}

} // namespace velmora
