// The three pointer handlers of the drawing surface. A press starts at most one gesture,
// testing the tools in a fixed order; moves and the release go to that gesture, and moves
// without one to the current tool's hover. Each reduces the pointer by the 5-pixel margin.
#pragma once

#include "compass_tool.h"
#include "curve_tool.h"
#include "gesture.h"
#include "object_tool.h"
#include "protractor_tool.h"
#include "ruler_tool.h"
#include "set_square_tool.h"
#include "stroke_tool.h"
#include "text_tool.h"
#include "tool_host.h"
#include "view_tools.h"

#include <optional>

namespace velmora {

class PointerDispatch {
public:
    explicit PointerDispatch(ToolHost &host)
        : host_(host), ruler_(host), protractor_(host), compass_(host), setSquare_(host), curve_(host), stroke_(host),
          objects_(host, hover_), texts_(host, hover_)
    {
    }

    // Arguments are surface pixels, as the events deliver them.
    void MouseDown(PointerButton button, int surfaceX, int surfaceY) { PointerDown(button, QPointF(surfaceX, surfaceY)); }
    void MouseMove(int surfaceX, int surfaceY) { PointerMove(QPointF(surfaceX, surfaceY)); }
    void MouseUp(int surfaceX, int surfaceY) { PointerUp(QPointF(surfaceX, surfaceY)); }
    // The same for a pen or a finger: a stroke keeps the fractions of a pixel, the other tools
    // take the nearest pixel. eraserEnd: the pen's eraser end erases whatever tool is chosen.
    void PointerDown(PointerButton button, QPointF surface, bool eraserEnd = false);
    void PointerMove(QPointF surface);
    void PointerUp(QPointF surface);
    // Turning an instrument clicks into whole degrees and 15-degree steps (Shift held).
    void SetTurnSnapping(bool snap) { snapTurns_ = snap; }
    // Drops a curve under construction and wipes its rubber band; true when there was one.
    // A drag with the button held ends only with its release.
    bool Cancel();
    // Drops whatever gesture is under way, a drag too, and wipes what it drew over the surface
    // (a pointer event that could not be finished). Its open edit is the caller's to cancel.
    void Abandon();
    // Takes back the gesture under way as if it had never begun: a stroke's segments go with
    // no step of the history, the instruments lie where the press found them, a curve is dropped.
    void Withdraw();

    // "Kreis zeichnen": a full circle around the compass's needle on the sheet of the last press.
    void AddCircle() { compass_.AddCircle(); }
    // A text added through the dialog at the instrument's zero point on the sheet of the last
    // press: the keyboard's way to place a text. Nothing while a gesture is under way.
    void AddTextAt(Instrument which);

    // The gesture under way, if any.
    const Gesture *Active() const { return gesture_ ? &*gesture_ : nullptr; }
    // A gesture that holds the pointer from press to release: every gesture but the curve.
    bool Dragging() const { return gesture_ && !std::holds_alternative<Curve>(*gesture_); }
    // What the hover search of the text or object tool found last.
    HoverState &Hover() { return hover_; }

private:
    std::optional<Gesture> Press(PointerButton button, int x, int y);
    void Hover(int x, int y);
    RecordTool &ToolFor(RecordList list);

    ToolHost &host_;
    std::optional<Gesture> gesture_;
    InstrumentPlacement placementAtPress_; // for a withdrawn gesture
    bool snapTurns_ = false;
    HoverState hover_;
    RulerTool ruler_;
    ProtractorTool protractor_;
    CompassTool compass_;
    SetSquareTool setSquare_;
    CurveTool curve_;
    StrokeTool stroke_;
    ObjectTool objects_;
    TextTool texts_;
};

// The status text for a pointer at (x, y) less the margin: "x mm, y mm" in global millimetres.
QString PositionText(int x, int y, double pixelsPerMm);

} // namespace velmora
