#include "stroke_tool.h"

#include "document/units.h"
#include "render/sheet/paper_drawing.h"

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

    Canvas &surface = host_.Surface();
    const int width = Round(segment->PenWidth * s);
    surface.SetPenWidth(width == 0 ? 1 : width);
    surface.SetPenColour(segment->Colour);
    surface.MoveTo(Round(segment->X1 * s) + PointerMarginPx, Round(segment->Y1 * s) + PointerMarginPx);
    surface.LineTo(Round(segment->X2 * s) + PointerMarginPx, Round(segment->Y2 * s) + PointerMarginPx);
    // The eraser takes the ink away, not the paper.
    const DrawingState &drawing = host_.Drawing();
    RevealPaperOnSurface(surface, drawing.Paper, host_.View().Geometry, drawing.PageHeightInch, *segment);
    stroke.Last = QPoint(x, y);
}

void StrokeTool::Release()
{
    host_.BeginEdit(StrokeLabel(host_)).CommitShown();
}

} // namespace velmora
