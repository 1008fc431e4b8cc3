// Previews the tools draw straight onto the surface: red lines and dots over the sheets.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

namespace velmora {

// A red line between two points in global millimetres with the given pen width; the pen
// width goes back to 1 afterwards. Equal ends show as a round dot of the pen's width.
void DrawPreviewLine(ToolHost &host, double x1, double y1, double x2, double y2, int width);

// Appends the pending line of a ruler or protractor drag as a line object with the current
// pen, marks the drawing changed and repaints.
void StorePendingLine(ToolHost &host, const DragState &drag, const QString &label);

} // namespace velmora
