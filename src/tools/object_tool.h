// The object tool: the line, arc or circle under the pointer is highlighted in red; a press
// deletes it or starts dragging it. Curves are never hit.
#pragma once

#include "record_tool.h"

namespace velmora {

class ObjectTool : public RecordTool {
public:
    ObjectTool(ToolHost &host, HoverState &hover) : RecordTool(host, hover, RecordList::Objects) {}

    // Whether the object lies under pixel point (x, y) (global pixels, no margin).
    bool Hits(const DrawingObject &object, int x, int y) const;

private:
    int Count() const override;
    bool HitsRecord(int i, int x, int y) override;
    void DrawHovered(int i) override;
    void DrawDragged(int i, int dx, int dy) override;
    void Shift(int i, double dxMm, double dyMm) override;
    void WillChange(int i) override;
    bool Remove(int i) override;
    QString DeleteLabel() const override { return QStringLiteral("Objekt löschen"); }
    QString MoveLabel() const override { return QStringLiteral("Objekt verschieben"); }
    bool KeepsHoverWhileDragged() const override { return false; }

    // The object in red, twice its width (at least 2 pixels), shifted by (dx, dy) pixels.
    void DrawRed(const DrawingObject &object, int dx, int dy);
};

} // namespace velmora
