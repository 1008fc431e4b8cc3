// The protractor tool: mark a degree with the pencil along the ray from its centre through
// the press point. Moving and turning the protractor are the instruments' shared gestures
// (instrument_drag.h).
#pragma once

#include "gesture.h"
#include "tool_host.h"

namespace velmora {

class ProtractorTool {
public:
    explicit ProtractorTool(ToolHost &host) : host_(host) {}

    void HoverMark(int x, int y);
    GuidedLine PressMark(int x, int y);
    void DragMark(GuidedLine &mark, int x, int y);

private:
    // The mark's ray on the sheet of the latest press: its origin (global mm) and unit direction.
    struct Ray {
        long double Cx, Cy, Ux, Uy;
    };
    Ray RayOf(const GuidedLine &mark) const;
    // The projection of pixel point (x, y) onto the mark's ray, in mm from the centre.
    long double AlongMark(const GuidedLine &mark, int x, int y) const;
    void SetEnds(GuidedLine &mark);

    ToolHost &host_;
};

} // namespace velmora
