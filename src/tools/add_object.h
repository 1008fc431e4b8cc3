// Adding one drawing object as one step that can be taken back.
#pragma once

#include "tool_host.h"

#include <functional>

namespace velmora {

// Opens a step, appends an object, marks the drawing changed, lets fill write the record,
// closes the step and repaints. When the list cannot grow (it has said so) only the step
// is closed and nothing changes.
void AddObject(ToolHost &host, const QString &label, const std::function<void(DrawingObject &)> &fill);

} // namespace velmora
