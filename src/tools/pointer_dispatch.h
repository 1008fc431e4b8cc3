// The three pointer handlers of the drawing surface: each reduces the pointer by the 5-pixel
// margin and hands the event to exactly one tool, testing the tools and drags in a fixed order.
#pragma once

#include "compass_tool.h"
#include "curve_tool.h"
#include "drag_state.h"
#include "object_tool.h"
#include "protractor_tool.h"
#include "ruler_tool.h"
#include "stroke_tool.h"
#include "text_tool.h"
#include "tool_host.h"
#include "view_tools.h"

namespace velmora {

class PointerDispatch {
public:
    PointerDispatch(ToolHost &host, DragState &drag)
        : host_(host), drag_(drag), ruler_(host, drag), protractor_(host, drag), compass_(host, drag),
          curve_(host, drag), stroke_(host, drag), objects_(host, drag), texts_(host, drag)
    {
    }

    // Arguments are surface pixels, as the events deliver them.
    void MouseDown(PointerButton button, int surfaceX, int surfaceY);
    void MouseMove(int surfaceX, int surfaceY);
    void MouseUp(int surfaceX, int surfaceY);

    // "Kreis zeichnen": a full circle around the compass's needle on the sheet of the last press.
    void AddCircle() { compass_.AddCircle(); }
    // Escape: the curve under construction is dropped; false when there was none.
    bool CancelCurve() { return curve_.Cancel(); }

private:
    ToolHost &host_;
    DragState &drag_;
    RulerTool ruler_;
    ProtractorTool protractor_;
    CompassTool compass_;
    CurveTool curve_;
    StrokeTool stroke_;
    ObjectTool objects_;
    TextTool texts_;
};

// The status text for a pointer at (x, y) less the margin: "x mm, y mm" in global millimetres.
QString PositionText(int x, int y, double pixelsPerMm);

} // namespace velmora
