// Free-hand strokes: the pencil and the eraser. Every pointer move with the button held
// appends one short line and shows it at once in the drawing, under the instruments (the
// repaint draws anew only where it lies); the whole stroke is one step of the history,
// closed by the release.
#pragma once

#include "gesture.h"
#include "tool_host.h"

namespace velmora {

class StrokeTool {
public:
    explicit StrokeTool(ToolHost &host) : host_(host) {}

    // One segment from the previous stroke point to (x, y): white in the eraser's width
    // when the eraser is the tool or the pen erases, else in the pen's colour and width.
    void Move(Stroke &stroke, double x, double y);
    // The end of the stroke: its segments, drawn already, become one step.
    void Release(const Stroke &stroke);

private:
    ToolHost &host_;
};

} // namespace velmora
