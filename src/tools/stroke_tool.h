// Free-hand strokes: the pencil and the eraser. Every pointer move with the button held
// appends one short line and draws it at once on the surface, without a repaint.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

namespace velmora {

class StrokeTool {
public:
    StrokeTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    void Press(int x, int y);
    // One segment from the previous stroke point to (x, y): white in the eraser's width
    // when the eraser is the tool, else in the pen's colour and width.
    void Move(int x, int y);

private:
    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
