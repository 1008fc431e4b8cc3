// The hand (panning) and zoom tools.
#pragma once

#include "gesture.h"
#include "tool_host.h"

namespace velmora {

enum class PointerButton { Left, Right, Middle, Other };

// The view follows the pointer, so the point grabbed at the press stays under it; the scroll
// positions stop at their ranges. The window paints what the scrolling uncovers.
void HandMove(ToolHost &host, const Pan &pan, int x, int y);
// The zoom step of a press: left magnifies 1.5 times, right shrinks, others leave the zoom;
// the clicked point moves to the centre of the visible area.
void ZoomPress(ToolHost &host, PointerButton button, int x, int y);

} // namespace velmora
