#include "pointer_dispatch.h"

#include "preview.h"

#include "document/units.h"

#include <QLocale>

namespace velmora {

QString PositionText(int x, int y, double pixelsPerMm)
{
    const QLocale locale;
    return locale.toString(x / pixelsPerMm, 'f', 2) + QStringLiteral(" mm, ") +
           locale.toString(y / pixelsPerMm, 'f', 2) + QStringLiteral(" mm");
}

void PointerDispatch::MouseDown(PointerButton button, int surfaceX, int surfaceY)
{
    const int x = surfaceX - PointerMarginPx, y = surfaceY - PointerMarginPx;
    DrawingState &state = host_.State();
    state.ActivePage = ActivePageFor(surfaceY, state.PageHeightPx);
    state.ActivePageTopPx = state.ActivePage * state.PageHeightPx;
    const ToolSelection tool = host_.Selection();

    if (curve_.InProgress() || tool.Is(Tool::Curves))
        curve_.Press(x, y);
    else if (tool.Is(TextMode::Move))
        texts_.PressMove(x, y);
    else if (tool.Is(TextMode::Delete))
        texts_.PressDelete();
    else if (tool.Is(TextMode::Add))
        texts_.PressAdd(x, y);
    else if (tool.Is(Tool::Pencil) || tool.Is(Tool::Eraser))
        stroke_.Press(x, y);
    else if (tool.Is(TextMode::Change))
        texts_.PressChange();
    else if (tool.Is(ObjectMode::Move))
        objects_.PressMove(x, y);
    else if (tool.Is(ObjectMode::Delete))
        objects_.PressDelete();
    else if (tool.Is(Tool::Hand))
        HandPress(drag_, x, y);
    else if (tool.Is(Tool::Zoom))
        ZoomPress(host_, button, x, y);
    else if (tool.Is(CompassMode::Arc))
        compass_.PressArc(x, y);
    else if (tool.Is(CompassMode::Span))
        compass_.PressSpan(x, y);
    else if (tool.Is(CompassMode::Move))
        compass_.PressMove(x, y);
    else if (tool.Is(RulerMode::Move))
        ruler_.PressMove(x, y);
    else if (tool.Is(RulerMode::Turn))
        ruler_.PressTurn(x, y);
    else if (tool.Is(ProtractorMode::Mark))
        protractor_.PressMark(x, y);
    else if (tool.Is(RulerMode::Across))
        ruler_.PressAcross(x, y);
    else if (tool.Is(RulerMode::Along))
        ruler_.PressAlong(x, y);
    else if (tool.Is(ProtractorMode::Move))
        protractor_.PressMove(x, y);
    else if (tool.Is(ProtractorMode::Turn))
        protractor_.PressTurn(x, y);
}

void PointerDispatch::MouseMove(int surfaceX, int surfaceY)
{
    const int x = surfaceX - PointerMarginPx, y = surfaceY - PointerMarginPx;
    const double s = host_.State().PixelsPerMm;
    if (s != 0)
        host_.ShowStatus(PositionText(x, y, s));
    const ToolSelection tool = host_.Selection();

    if (tool.Is(Tool::Text) && (tool.Text == TextMode::Change || tool.Text == TextMode::Delete ||
                                (tool.Text == TextMode::Move && !drag_.TextDragging)))
        texts_.HoverScan(x, y);
    else if (curve_.InProgress())
        curve_.Preview(x, y);
    else if (drag_.StrokeActive)
        stroke_.Move(x, y);
    else if (drag_.TextDragging)
        texts_.DragMove(x, y);
    else if (drag_.ObjectDragging)
        objects_.DragMove(x, y);
    else if (tool.Is(ObjectMode::Delete) || tool.Is(ObjectMode::Move))
        objects_.HoverScan(x, y);
    else if (drag_.Panning)
        HandMove(host_, drag_, x, y);
    else if (!drag_.RulerAcrossDrawing && tool.Is(RulerMode::Across))
        ruler_.HoverAcross(x, y);
    else if (drag_.RulerAcrossDrawing)
        ruler_.DragAcross(x, y);
    else if (drag_.ArcDrawing)
        compass_.DragArc(x, y);
    else if (tool.Is(CompassMode::Arc))
        compass_.HoverArc(x, y);
    else if (drag_.SpanSetting)
        compass_.DragSpan(x, y);
    else if (drag_.ProtractorMarking)
        protractor_.DragMark(x, y);
    else if (tool.Is(ProtractorMode::Mark))
        protractor_.HoverMark(x, y);
    else if (tool.Is(RulerMode::Along) || drag_.RulerAlongDrawing)
        ruler_.MoveAlong(x, y);
    else if (drag_.CompassMoving)
        compass_.DragMove(x, y);
    else if (drag_.RulerMoving)
        ruler_.DragMove(x, y);
    else if (drag_.ProtractorMoving)
        protractor_.DragMove(x, y);
    else if (drag_.RulerRotating)
        ruler_.DragTurn(x, y);
    else if (drag_.ProtractorRotating)
        protractor_.DragTurn(x, y);
}

void PointerDispatch::MouseUp(int surfaceX, int surfaceY)
{
    if (drag_.StrokeActive) {
        drag_.StrokeActive = false;
        host_.CommitEdit(); // the whole stroke is one step
        return;
    }
    const int x = surfaceX - PointerMarginPx, y = surfaceY - PointerMarginPx;
    if (drag_.ObjectDragging) {
        objects_.ReleaseMove(x, y);
    } else if (drag_.TextDragging) {
        texts_.ReleaseMove(x, y);
    } else if (drag_.Panning) {
        drag_.Panning = false;
    } else if (drag_.ArcDrawing) {
        compass_.ReleaseArc();
    } else if (drag_.SpanSetting) {
        drag_.SpanSetting = false;
        compass_.DragSpan(x, y);
    } else if (drag_.ProtractorMarking || drag_.RulerAlongDrawing || drag_.RulerAcrossDrawing) {
        const bool mark = drag_.ProtractorMarking;
        bool &flag = drag_.ProtractorMarking ? drag_.ProtractorMarking
                     : drag_.RulerAlongDrawing ? drag_.RulerAlongDrawing
                                               : drag_.RulerAcrossDrawing;
        flag = false;
        StorePendingLine(host_, drag_, mark ? QStringLiteral("Gradmarkierung") : QStringLiteral("Linie"));
    } else if (drag_.CompassMoving) {
        drag_.CompassMoving = false;
        compass_.DragMove(x, y);
    } else if (drag_.RulerMoving) {
        drag_.RulerMoving = false;
        ruler_.DragMove(x, y);
    } else if (drag_.ProtractorMoving) {
        drag_.ProtractorMoving = false;
        protractor_.DragMove(x, y);
    } else if (drag_.RulerRotating) {
        drag_.RulerRotating = false;
        ruler_.DragTurn(x, y);
    } else if (drag_.ProtractorRotating) {
        drag_.ProtractorRotating = false; // the last move has placed it
    }
}

} // namespace velmora
