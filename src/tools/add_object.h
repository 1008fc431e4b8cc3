// Adding one drawing object as one step that can be taken back.
#pragma once

#include "tool_host.h"

#include <functional>

namespace velmora {

// Appends an object in an edit of its own, lets fill write the record and commits the edit.
// When the list cannot grow (it has said so) nothing changes.
void AddObject(ToolHost &host, const QString &label, const std::function<void(DrawingObject &)> &fill);

} // namespace velmora
