// Previews the tools draw straight onto the surface: red lines and dots over the sheets.
#pragma once

#include "tool_host.h"

namespace velmora {

// A red line between two points in global millimetres with the given pen width; the pen
// width goes back to 1 afterwards. Equal ends show as a round dot of the pen's width.
void DrawPreviewLine(ToolHost &host, double x1, double y1, double x2, double y2, int width);

} // namespace velmora
