// The ruler tool: move and turn the ruler, and draw pencil lines along its scale edge or at
// right angles to it. Lines snap to the guide and are cut to 0.001 mm.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

#include <optional>

namespace velmora {

// Trunc(v x 1000) / 1000: a millimetre value cut toward zero to a multiple of 0.001 mm.
double Trunc3(double v);

// A guide line through origin (ox, oy) in direction g (degrees), crossed at angle k.
struct Guide {
    double Ox, Oy, G, K;
    // Position along the guide of the line through (mx, my) in direction k; none when the
    // formula divides by zero (the guide is vertical).
    std::optional<long double> Position(double mx, double my) const;
    // The point at position t, each coordinate cut to 0.001 mm.
    void PointAt(long double t, double &x, double &y) const;
};

// The direction value of pixel point (px, py) seen from pivot (qx, qy); none on the pivot.
std::optional<long double> DirectionValue(long double px, long double py, long double qx, long double qy);

// An instrument turned about its pivot (sheet-local mm, on the sheet of the last press) by the
// angle the pointer swept from the press to (x, y): angleAtPress + value(press) - value(now).
// The angle stays as it is when either point lies on the pivot.
void TurnAbout(const DrawingState &state, double pivotX, double pivotY, int pressX, int pressY, int x, int y,
               double angleAtPress, double &angle);

class RulerTool {
public:
    RulerTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    void PressMove(int x, int y);
    void PressTurn(int x, int y);
    void PressAlong(int x, int y);
    void PressAcross(int x, int y);
    void MoveAlong(int x, int y);      // hovering in the along mode, or dragging along
    void HoverAcross(int x, int y);
    void DragAcross(int x, int y);
    void DragMove(int x, int y);       // a move drag, also its release
    void DragTurn(int x, int y);       // a turn drag, also its release
    void StoreLine();                  // the release of a drawing drag

    Guide ScaleEdge() const;
    Guide Perpendicular() const;

private:
    // The foot of the perpendicular from the pointer onto the scale edge (the across mode).
    void HoverAcrossFoot(int x, int y);
    // Widens the pending line by t (or sets it when hovering) and sets its end points.
    void Reach(const Guide &guide, std::optional<long double> t, double my, double fallbackX, bool widen);

    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
