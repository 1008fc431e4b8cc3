// The compass tool: set its span by pulling the lead, draw arcs by turning it around the
// needle point, and add a full circle. Moving the compass is the instruments' shared
// gesture (instrument_drag.h).
#pragma once

#include "gesture.h"
#include "tool_host.h"

#include <optional>

namespace velmora {

// The direction of (dx, dy) in degrees in [-90, 270): right 0, down 90, left 180, up -90.
std::optional<long double> CompassDirection(long double dx, long double dy);

class CompassTool {
public:
    explicit CompassTool(ToolHost &host) : host_(host) {}

    SpanDrag PressSpan(int x, int y);
    void DragSpan(int x, int y); // also the release of a span drag
    void HoverArc(int x, int y);
    ArcDraw PressArc(int x, int y);
    void DragArc(ArcDraw &arc, int x, int y);
    void ReleaseArc(const ArcDraw &arc);
    void AddCircle();

private:
    // Turns the lead toward pixel point (x, y); a point on the needle leaves the angle.
    void TurnToward(int x, int y);
    void SpanTo(int x, int y);
    // The full circle's bounding box in global mm, on the sheet of the last press, with the pen.
    void CircleBox(DrawingObject &object) const;

    ToolHost &host_;
};

} // namespace velmora
