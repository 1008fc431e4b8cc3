// The object tool: the line, arc or circle under the pointer is highlighted in red; a press
// deletes it or starts dragging it. Curves are never hit.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

namespace velmora {

class ObjectTool {
public:
    ObjectTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    void HoverScan(int x, int y);
    void PressDelete();
    void PressMove(int x, int y);
    void DragMove(int x, int y);
    void ReleaseMove(int x, int y);

    // Whether object n lies under pixel point (x, y) (global pixels, no margin).
    bool Hits(const DrawingObject &object, int x, int y) const;

private:
    bool HoverValid() const;
    // The object in red, twice its width (at least 2 pixels), shifted by (dx, dy) pixels.
    void DrawRed(const DrawingObject &object, int dx, int dy);

    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
