// Small line drawings for the tool menu, painted at start so they need no image files.
#pragma once

#include <QIcon>

namespace velmora {

enum class ToolIconKind { Ruler, Protractor, Compass, SetSquare, Curves, Pencil, Eraser, Text, Objects, Hand, Zoom };

QIcon ToolIcon(ToolIconKind kind);

} // namespace velmora
