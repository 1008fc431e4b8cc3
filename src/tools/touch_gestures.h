// Fingers on the drawing surface. One finger is the left mouse button with the chosen tool
// (through the pointer dispatch). A second finger turns it into a gesture of two hands:
//   - both fingers on one instrument: it moves and turns as one rigid piece with them, its
//     angle clicking into whole degrees and 15-degree steps, whatever tool is chosen;
//   - one finger on the compass's needle, the other on its lead: the lead turns about the
//     held needle and draws an arc;
//   - elsewhere: the view pans and zooms with the fingers (the sheet point under their
//     midpoint stays under it), and what the first finger began is taken back.
// While a pen is near, single fingers do nothing (the hand rests on the screen), but two may
// still hold an instrument. Lifting a finger ends a two-finger gesture; the fingers left do
// nothing until all have lifted.
#pragma once

#include "compass_tool.h"
#include "gesture.h"
#include "pointer_dispatch.h"
#include "tool_host.h"

#include <QPointF>

#include <map>
#include <vector>

namespace velmora {

struct Finger {
    enum class Phase { Pressed, Moved, Held, Released }; // Held: still, while others move
    int Id = 0;
    QPointF Surface; // surface pixels, as the events deliver them
    Phase State = Phase::Moved;
};

class TouchGestures {
public:
    TouchGestures(ToolHost &host, PointerDispatch &dispatch) : host_(host), dispatch_(dispatch), compass_(host) {}

    // One touch event: the fingers on the surface and what each did. begin: the first event of
    // a touch sequence; penNear: a pen is near the surface.
    void Update(const std::vector<Finger> &fingers, bool begin, bool penNear);
    // The system took the touch away: whatever the fingers began is taken back.
    void Cancel();
    // The pen came near: a single finger's drawing is the resting hand's and is taken back.
    void PenCameNear();
    // Fingers are down and a gesture is in hand.
    bool Active() const { return mode_ != Mode::Idle; }

    // The finger tolerance around an instrument, in surface pixels.
    static constexpr double ReachPx = 15;

private:
    enum class Mode { Idle, One, Resting, Rigid, Arc, View, Spent };

    void StartTwo(int first, int second, bool penNear);
    void FollowRigid();
    void FollowView();
    void EndTwo();
    QPointF At(int id) const; // surface pixels less the margin
    bool Reaches(Instrument which, QPointF at) const;

    ToolHost &host_;
    PointerDispatch &dispatch_;
    CompassTool compass_;
    Mode mode_ = Mode::Idle;
    std::map<int, QPointF> down_; // the fingers down, by id, in surface pixels
    int first_ = -1, second_ = -1;
    bool penRest_ = false; // the fingers rest beside a pen

    // What a two-finger gesture started from, to follow and to take back.
    InstrumentPlacement placementAtStart_;
    Instrument which_ = Instrument::Ruler;
    QPointF firstAtStart_, secondAtStart_;
    ArcDraw arc_;
    int zoomAtStart_ = 100;
    double pixelsPerMmAtStart_ = 1;
    QPointF midpointMm_; // the sheet point under the fingers' midpoint, global mm
    ScrollState scrollAtStart_;
};

} // namespace velmora
