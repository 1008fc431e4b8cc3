#include "pointer_dispatch.h"

#include "add_object.h"
#include "instrument_drag.h"

#include "document/units.h"

#include <QLocale>

namespace velmora {

namespace {

template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};

} // namespace

QString PositionText(int x, int y, double pixelsPerMm)
{
    const QLocale locale;
    return locale.toString(x / pixelsPerMm, 'f', 2) + QStringLiteral(" mm, ") +
           locale.toString(y / pixelsPerMm, 'f', 2) + QStringLiteral(" mm");
}

RecordTool &PointerDispatch::ToolFor(RecordList list)
{
    if (list == RecordList::Texts)
        return texts_;
    return objects_;
}

void PointerDispatch::AddTextAt(Instrument which)
{
    const double s = host_.View().PixelsPerMm();
    if (gesture_ || !(s > 0))
        return;
    const InstrumentPose pose = PoseOf(host_.Instruments(), which);
    texts_.AddAt(pose.X, pose.Y + host_.View().ActivePageTopPx / s);
}

void PointerDispatch::PointerDown(PointerButton button, QPointF surface, bool eraserEnd)
{
    if (Dragging())
        return; // one gesture at a time: another button pressed during a drag changes nothing
    const int surfaceY = qRound(surface.y());
    const int x = qRound(surface.x()) - PointerMarginPx, y = surfaceY - PointerMarginPx;
    host_.View().PressAt(surfaceY);
    placementAtPress_ = host_.Instruments();
    if (eraserEnd) {
        Cancel(); // a curve under construction
        gesture_ = Stroke{surface - QPointF(PointerMarginPx, PointerMarginPx), true};
        return;
    }
    if (Curve *curve = gesture_ ? std::get_if<Curve>(&*gesture_) : nullptr) {
        // After its first point every press feeds the curve, whatever tool is chosen by then.
        if (!curve_.Press(*curve, x, y))
            gesture_.reset();
        return;
    }
    gesture_ = Press(button, x, y);
    if (Stroke *stroke = gesture_ ? std::get_if<Stroke>(&*gesture_) : nullptr)
        stroke->Last = surface - QPointF(PointerMarginPx, PointerMarginPx);
}

// The one place that decides which gesture a press starts: the tools in this order.
std::optional<Gesture> PointerDispatch::Press(PointerButton button, int x, int y)
{
    const ToolSelection tool = host_.Selection();
    std::optional<Gesture> started;
    if (tool.Is(Tool::Curves))
        started = curve_.Start(x, y);
    else if (tool.Is(TextMode::Move))
        started = texts_.PressMove(x, y);
    else if (tool.Is(TextMode::Delete))
        texts_.PressDelete();
    else if (tool.Is(TextMode::Add))
        texts_.PressAdd(x, y);
    else if (tool.Is(Tool::Pencil) || tool.Is(Tool::Eraser))
        started = Stroke{QPointF(x, y)};
    else if (tool.Is(TextMode::Change))
        texts_.PressChange();
    else if (tool.Is(ObjectMode::Move))
        started = objects_.PressMove(x, y);
    else if (tool.Is(ObjectMode::Delete))
        objects_.PressDelete();
    else if (tool.Is(Tool::Hand))
        started = Pan{QPoint(x, y)};
    else if (tool.Is(Tool::Zoom))
        ZoomPress(host_, button, x, y);
    else if (tool.Is(CompassMode::Arc))
        started = compass_.PressArc(x, y);
    else if (tool.Is(CompassMode::Span))
        started = compass_.PressSpan(x, y);
    else if (tool.Is(CompassMode::Move))
        started = StartMove(host_, Instrument::Compass, x, y);
    else if (tool.Is(RulerMode::Move))
        started = StartMove(host_, Instrument::Ruler, x, y);
    else if (tool.Is(RulerMode::Turn))
        started = StartTurn(host_, Instrument::Ruler, x, y, true);
    else if (tool.Is(ProtractorMode::Mark))
        started = protractor_.PressMark(x, y);
    else if (tool.Is(RulerMode::Across))
        started = ruler_.PressAcross(x, y);
    else if (tool.Is(RulerMode::Along))
        started = ruler_.PressAlong(x, y);
    else if (tool.Is(ProtractorMode::Move))
        started = StartMove(host_, Instrument::Protractor, x, y);
    else if (tool.Is(ProtractorMode::Turn))
        started = StartTurn(host_, Instrument::Protractor, x, y, false); // the last move has placed it
    else if (tool.Is(SetSquareMode::Move))
        started = StartMove(host_, Instrument::SetSquare, x, y);
    else if (tool.Is(SetSquareMode::Turn))
        started = StartTurn(host_, Instrument::SetSquare, x, y, true);
    else if (tool.Is(SetSquareMode::LongSide) || tool.Is(SetSquareMode::ShortSide))
        started = setSquare_.Press(tool.Is(SetSquareMode::LongSide), x, y);
    return started;
}

void PointerDispatch::PointerMove(QPointF surface)
{
    const QPointF exact = surface - QPointF(PointerMarginPx, PointerMarginPx);
    const int x = qRound(surface.x()) - PointerMarginPx, y = qRound(surface.y()) - PointerMarginPx;
    const double s = host_.View().PixelsPerMm();
    if (s != 0)
        host_.ShowStatus(PositionText(x, y, s));
    const ToolSelection tool = host_.Selection();
    const RecordDrag *drag = gesture_ ? std::get_if<RecordDrag>(&*gesture_) : nullptr;
    const bool draggingText = drag && drag->List == RecordList::Texts;
    // The text tool's hover search comes first, as it always has, even over a curve under way.
    if (tool.Is(TextMode::Change) || tool.Is(TextMode::Delete) || (tool.Is(TextMode::Move) && !draggingText)) {
        texts_.HoverScan(x, y);
        return;
    }
    if (!gesture_) {
        Hover(x, y);
        return;
    }
    std::visit(Overloaded{
                   [&](InstrumentMove &g) { FollowMove(host_, g, x, y); },
                   [&](InstrumentTurn &g) { FollowTurn(host_, g, x, y, snapTurns_); },
                   [&](GuidedLine &g) {
                       if (g.Of == GuidedLine::Kind::Along)
                           ruler_.DragAlong(g, x, y);
                       else if (g.Of == GuidedLine::Kind::Across)
                           ruler_.DragAcross(g, x, y);
                       else if (g.Of == GuidedLine::Kind::Edge)
                           setSquare_.Drag(g, x, y);
                       else
                           protractor_.DragMark(g, x, y);
                   },
                   [&](ArcDraw &g) { compass_.DragArc(g, x, y); },
                   [&](SpanDrag &) { compass_.DragSpan(x, y); },
                   [&](Stroke &g) { stroke_.Move(g, exact.x(), exact.y()); },
                   [&](RecordDrag &g) { ToolFor(g.List).DragMove(g, x, y); },
                   [&](Pan &g) { HandMove(host_, g, x, y); },
                   [&](Curve &g) { curve_.Preview(g, x, y); },
               },
               *gesture_);
}

// A move with no gesture under way: the hover of the tools that show one.
void PointerDispatch::Hover(int x, int y)
{
    const ToolSelection tool = host_.Selection();
    if (tool.Is(ObjectMode::Delete) || tool.Is(ObjectMode::Move))
        objects_.HoverScan(x, y);
    else if (tool.Is(RulerMode::Across))
        ruler_.HoverAcross(x, y);
    else if (tool.Is(CompassMode::Arc))
        compass_.HoverArc(x, y);
    else if (tool.Is(ProtractorMode::Mark))
        protractor_.HoverMark(x, y);
    else if (tool.Is(RulerMode::Along))
        ruler_.HoverAlong(x, y);
    else if (tool.Is(SetSquareMode::LongSide) || tool.Is(SetSquareMode::ShortSide))
        setSquare_.Hover(tool.Is(SetSquareMode::LongSide), x, y);
}

void PointerDispatch::PointerUp(QPointF surface)
{
    if (!Dragging())
        return; // no press began a drag, or a curve waits for its next press
    const Gesture ended = *gesture_;
    gesture_.reset();
    const int x = qRound(surface.x()) - PointerMarginPx, y = qRound(surface.y()) - PointerMarginPx;
    std::visit(Overloaded{
                   [&](const InstrumentMove &g) { FollowMove(host_, g, x, y); },
                   [&](const InstrumentTurn &g) {
                       if (g.PlaceOnRelease)
                           FollowTurn(host_, g, x, y, snapTurns_);
                       if (snapTurns_)
                           host_.WipePreviews(); // the angle's readout
                   },
                   [&](const GuidedLine &g) {
                       const bool mark = g.Of == GuidedLine::Kind::Mark;
                       AddObject(host_, mark ? QStringLiteral("Gradmarkierung") : QStringLiteral("Linie"),
                                 [&](DrawingObject &line) {
                                     line.Colour = host_.PenColour();
                                     line.PenWidth = host_.PenWidth();
                                     line.Kind = KindLine;
                                     line.X1 = g.X1;
                                     line.Y1 = g.Y1;
                                     line.X2 = g.X2;
                                     line.Y2 = g.Y2;
                                 });
                   },
                   [&](const ArcDraw &g) { compass_.ReleaseArc(g); },
                   [&](const SpanDrag &) { compass_.DragSpan(x, y); },
                   [&](const Stroke &g) { stroke_.Release(g); },
                   [&](const RecordDrag &g) { ToolFor(g.List).ReleaseMove(g, x, y); },
                   [&](const Pan &) {},
                   [&](const Curve &) {},
               },
               ended);
}

void PointerDispatch::Withdraw()
{
    if (!gesture_)
        return;
    const bool stroke = std::holds_alternative<Stroke>(*gesture_);
    gesture_.reset();
    if (stroke) // the one gesture whose edit stays open from move to move
        host_.BeginEdit(QStringLiteral("Bleistiftstrich")).Cancel();
    host_.Instruments() = placementAtPress_;
    host_.DrawingChanged();
    host_.ShowPlacement();
}

bool PointerDispatch::Cancel()
{
    if (!gesture_ || !std::holds_alternative<Curve>(*gesture_))
        return false;
    gesture_.reset();
    host_.WipePreviews(); // the rubber band
    return true;
}

void PointerDispatch::Abandon()
{
    gesture_.reset();
    hover_.Active = false;
    host_.WipePreviews();
}

} // namespace velmora
