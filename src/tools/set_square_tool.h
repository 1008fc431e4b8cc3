// The set square tool: pencil lines along its long side or along the short side nearer the
// pointer (the perpendicular from 0 divides them). A line stays exactly on the side, within
// its ends; its positions are cut to 0.001 mm from the 0 point (long side) or from the right
// angle (short sides). Moving and turning the set square about its 0 point are the
// instruments' shared gestures (instrument_drag.h); hover, press, drag and the stored line
// those of every guided line (guided_line.h).
#pragma once

#include "gesture.h"
#include "tool_host.h"

namespace velmora {

class SetSquareTool {
public:
    explicit SetSquareTool(ToolHost &host) : host_(host) {}

    // The side the mode draws along, as the set square lies on the sheet of the latest press;
    // a short side is the one on the pointer's side of the perpendicular.
    StraightEdge LongSide() const;
    StraightEdge ShortSide(int x, int y) const;

    void Hover(bool longSide, int x, int y);
    GuidedLine Press(bool longSide, int x, int y);
    void Drag(GuidedLine &line, int x, int y);

private:
    StraightEdge SideFor(bool longSide, int x, int y) const;
    // The line for the pointer at (x, y) on its edge, widened or set.
    void Reach(GuidedLine &line, int x, int y, bool widen) const;

    ToolHost &host_;
};

} // namespace velmora
