// The object tool: the line, arc or circle under the pointer is highlighted in red; a press
// deletes it or starts dragging it. Curves are never hit.
#pragma once

#include "record_tool.h"

namespace velmora {

class ObjectTool : public RecordTool {
public:
    ObjectTool(ToolHost &host, HoverState &hover)
        : RecordTool(host, hover, {RecordList::Objects, QStringLiteral("Objekt löschen"),
                                   QStringLiteral("Objekt verschieben"), false})
    {
    }

    // Whether the object lies under pixel point (x, y) (global pixels, no margin).
    bool Hits(const DrawingObject &object, int x, int y) const;

private:
    int Count() const override { return host_.Drawing().Objects.Count; }
    bool HitsRecord(int i, int x, int y) override { return Hits(host_.Drawing().Objects.At(i), x, y); }
    void DrawOver(int i, int dx, int dy, bool dragged) override;
    void MoveBy(EditTransaction &edit, int i, double dx, double dy) override;
    void Remove(EditTransaction &edit, int i) override;

    // The object in red, twice its width (at least 2 pixels), shifted by (dx, dy) pixels.
    void DrawRed(const DrawingObject &object, int dx, int dy);
};

} // namespace velmora
