// The hand (panning) and zoom tools.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

namespace velmora {

enum class PointerButton { Left, Right, Middle, Other };

void HandPress(DragState &drag, int x, int y);
void HandMove(ToolHost &host, const DragState &drag, int x, int y);
// The zoom step of a press: left magnifies 1.5 times, right shrinks, others leave the zoom;
// the clicked point moves to the centre of the visible area.
void ZoomPress(ToolHost &host, PointerButton button, int x, int y);

} // namespace velmora
