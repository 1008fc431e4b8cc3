#include "add_object.h"

namespace velmora {

void AddObject(ToolHost &host, const QString &label, const std::function<void(DrawingObject &)> &fill)
{
    host.Edits().Begin(host.State(), label);
    DrawingObject *object = host.State().AppendObject();
    if (!object) {
        host.CommitEdit();
        return;
    }
    host.SetChanged();
    fill(*object);
    host.CommitEdit();
    host.Repaint();
}

} // namespace velmora
