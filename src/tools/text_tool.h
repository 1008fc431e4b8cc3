// The text tool: add a text through the text dialog, and change, delete or move the text
// under the pointer, which is highlighted in red.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

#include "render/canvas.h"

namespace velmora {

class TextTool {
public:
    TextTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    void HoverScan(int x, int y);
    void PressAdd(int x, int y);
    void PressChange();
    void PressDelete();
    void PressMove(int x, int y);
    void DragMove(int x, int y);
    void ReleaseMove(int x, int y);

private:
    bool HoverValid() const;
    // The text drawn on the surface in the given colour, shifted by (dx, dy) pixels.
    void DrawText(const TextObject &text, uint32_t colour, int dx, int dy);

    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
