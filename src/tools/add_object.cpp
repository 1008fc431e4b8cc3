#include "add_object.h"

namespace velmora {

void AddObject(ToolHost &host, const QString &label, const std::function<void(DrawingObject &)> &fill)
{
    EditTransaction &edit = host.BeginEdit(label);
    if (DrawingObject *object = edit.AppendObject())
        fill(*object);
    edit.Commit();
}

} // namespace velmora
