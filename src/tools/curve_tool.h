// The curve tool: one cubic Bezier curve from four presses (start, end, first control,
// second control), with a rubber band between the presses. The points stay in pixels until
// the fourth press. Only Escape cancels a curve under construction; another tool, New or
// Open leave it pending.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

namespace velmora {

class CurveTool {
public:
    CurveTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    bool InProgress() const { return drag_.CurveHasStart || drag_.CurveHasEnd || drag_.CurveHasControl1; }
    void Press(int x, int y); // advances one stage; the fourth press stores the curve
    void Preview(int x, int y);
    // Forgets the points placed so far and wipes the rubber band; false when no curve was under way.
    bool Cancel();

private:
    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
