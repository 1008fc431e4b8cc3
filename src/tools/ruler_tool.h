// The ruler tool: pencil lines along its scale edge or at right angles to it. Lines snap to
// the guide and are cut to 0.001 mm. Moving and turning the ruler are the instruments'
// shared gestures (instrument_drag.h).
#pragma once

#include "gesture.h"
#include "guided_line.h"
#include "tool_host.h"

#include <optional>

namespace velmora {

// A guide line through origin (ox, oy) in direction g (degrees), crossed at angle k.
struct Guide {
    double Ox, Oy, G, K;
    // Position along the guide of the line through (mx, my) in direction k; none when the
    // formula divides by zero (the guide is vertical).
    std::optional<long double> Position(double mx, double my) const;
    // The point at position t, each coordinate cut to 0.001 mm.
    void PointAt(long double t, double &x, double &y) const;
};

class RulerTool {
public:
    explicit RulerTool(ToolHost &host) : host_(host) {}

    GuidedLine PressAlong(int x, int y);
    void HoverAlong(int x, int y);
    void DragAlong(GuidedLine &line, int x, int y);
    GuidedLine PressAcross(int x, int y);
    void HoverAcross(int x, int y);
    void DragAcross(GuidedLine &line, int x, int y);

    Guide ScaleEdge() const;
    Guide Perpendicular(const GuidedLine &line) const;

private:
    // The foot of the perpendicular from the pointer onto the scale edge (the across mode).
    void FindFoot(GuidedLine &line, int x, int y) const;
    // Widens the line by t (or sets it when starting or hovering) and sets its end points.
    static void Reach(GuidedLine &line, const Guide &guide, std::optional<long double> t, double my, double fallbackX,
                      bool widen);
    // Along the scale edge: the line for the pointer at (x, y), widened or set.
    void ReachAlong(GuidedLine &line, int x, int y, bool widen) const;
    ToolHost &host_;
};

} // namespace velmora
