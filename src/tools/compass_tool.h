// The compass tool: move the compass, set its span by pulling the lead, draw arcs by
// turning it around the needle point, and add a full circle.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

#include <optional>

namespace velmora {

// The direction of (dx, dy) in degrees in [-90, 270): right 0, down 90, left 180, up -90.
std::optional<long double> CompassDirection(long double dx, long double dy);

class CompassTool {
public:
    CompassTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    void PressMove(int x, int y);
    void DragMove(int x, int y); // also the release of a move
    void PressSpan(int x, int y);
    void DragSpan(int x, int y); // also the release of a span drag
    void HoverArc(int x, int y);
    void PressArc(int x, int y);
    void DragArc(int x, int y);
    void ReleaseArc();
    void AddCircle();

private:
    // Turns the lead toward pixel point (x, y); a point on the needle leaves the angle.
    void TurnToward(int x, int y);
    void SpanTo(int x, int y);
    // The full circle's bounding box in global mm, on the sheet of the last press.
    void CircleBox(DrawingObject &object) const;

    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
