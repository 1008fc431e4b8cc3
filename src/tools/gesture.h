// A gesture is what one press starts and its release ends: exactly one exists at a time,
// and it holds only what that gesture needs. The curve is the one gesture that outlives a
// release: its four presses build it, and it can be cancelled. Pixel positions are surface
// pixels less the 5-pixel margin; "mm" values are millimetres.
#pragma once

#include "instrument_pose.h"

#include <QPoint>
#include <QPointF>

#include <variant>

namespace velmora {

// Moving an instrument: it follows the pointer's displacement since the press.
struct InstrumentMove {
    Instrument Which;
    QPoint Press;
    double XAtPress, YAtPress; // sheet-local mm
};

// Turning an instrument about its pivot by the angle the pointer sweeps around it.
struct InstrumentTurn {
    Instrument Which;
    QPoint Press;
    double AngleAtPress; // degrees
    bool PlaceOnRelease; // the release turns it once more to the release position
};

// A straight edge of an instrument as it lies on the sheet of the latest press, in global mm:
// the points Origin + t Direction for t from Low to High. A pencil drawn along it stays on
// it exactly: the pointer's place on the edge is the foot of its perpendicular, kept within
// the edge and cut to 0.001 mm from the origin.
struct StraightEdge {
    long double OriginX = 0, OriginY = 0;
    long double DirectionX = 1, DirectionY = 0; // a unit vector
    double Low = 0, High = 0;
    double Position(double mx, double my) const;
    void PointAt(double t, double &x, double &y) const;
};

// A pencil line kept on a guide: along the ruler's scale edge, across it, a degree mark on
// the ray from the protractor's centre, or along a side of the set square. It only grows
// while the pointer moves.
struct GuidedLine {
    enum class Kind { Along, Across, Mark, Edge } Of;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0; // the line's ends, global mm
    double Min = 0, Max = 0;               // the smallest and largest guide position reached
    double FootX = 0, FootY = 0;           // across: the foot on the scale edge, global mm
    double MarkAngle = 0;                  // mark: the ray's direction, degrees
    StraightEdge Edge{};                   // edge: the instrument's side it follows
};

// Drawing an arc by turning the compass about its needle.
struct ArcDraw {
    double StartAngle = 0;
    double StartX = 0, StartY = 0, EndX = 0, EndY = 0; // global mm
    bool TurnKnown = false; // the turning sense is decided by the first move that turns it
    bool Clockwise = false;
};

// Setting the compass's span by pulling its lead.
struct SpanDrag {};

// A pencil or eraser stroke: one segment per move from the previous point, at the pointer's
// own precision (a pen's position has fractions of a pixel).
struct Stroke {
    QPointF Last;
    bool EraserEnd = false; // the pen's eraser end: erases whatever the tool
};

// Dragging an object or a text to another place.
enum class RecordList { None, Objects, Texts };
struct RecordDrag {
    RecordList List;
    int Index;
    QPoint Anchor;
};

// Panning the view with the hand.
struct Pan {
    QPoint Anchor;
};

// A Bezier curve under construction: start, end, first control point, in the order placed.
struct Curve {
    enum class Stage { Start, End, Control1 } Placed = Stage::Start; // the last point placed
    QPoint Start, End, Control1;
};

using Gesture = std::variant<InstrumentMove, InstrumentTurn, GuidedLine, ArcDraw, SpanDrag, Stroke, RecordDrag, Pan, Curve>;

// What the hover search of the text or object tool found under the pointer.
struct HoverState {
    bool Active = false;
    int Index = 0;
    RecordList In = RecordList::None; // which list Index points into
};

} // namespace velmora
