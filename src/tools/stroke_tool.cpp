#include "stroke_tool.h"

#include "document/units.h"

namespace velmora {

namespace {

// The tool is asked at every segment, as it always was; the pen's eraser end erases throughout.
bool Erasing(const ToolHost &host, const Stroke &stroke)
{
    return stroke.EraserEnd || host.Selection().Is(Tool::Eraser);
}

QString StrokeLabel(const ToolHost &host, const Stroke &stroke)
{
    return Erasing(host, stroke) ? QStringLiteral("Radierstrich") : QStringLiteral("Bleistiftstrich");
}

} // namespace

void StrokeTool::Move(Stroke &stroke, double x, double y)
{
    const bool erasing = Erasing(host_, stroke);
    // The stroke's first segment opens the edit that its release commits.
    DrawingObject *segment = host_.BeginEdit(StrokeLabel(host_, stroke)).AppendObject();
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
    stroke.Last = QPointF(x, y);
}

void StrokeTool::Release(const Stroke &stroke)
{
    host_.BeginEdit(StrokeLabel(host_, stroke)).CommitShown();
}

} // namespace velmora
