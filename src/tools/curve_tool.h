// The curve tool: one cubic Bezier curve from four presses (start, end, first control,
// second control), with a rubber band between the presses. The points stay in pixels until
// the fourth press stores the curve; the dispatch can drop a curve under construction.
#pragma once

#include "gesture.h"
#include "tool_host.h"

namespace velmora {

class CurveTool {
public:
    explicit CurveTool(ToolHost &host) : host_(host) {}

    Curve Start(int x, int y);
    // Places the next point; false when this was the fourth press and the curve is done.
    bool Press(Curve &curve, int x, int y);
    void Preview(const Curve &curve, int x, int y);

private:
    ToolHost &host_;
};

} // namespace velmora
