// The text tool: add a text through the text dialog, and change, delete or move the text
// under the pointer, which is highlighted in red.
#pragma once

#include "record_tool.h"

namespace velmora {

class TextTool : public RecordTool {
public:
    TextTool(ToolHost &host, HoverState &hover) : RecordTool(host, hover, RecordList::Texts) {}

    void PressAdd(int x, int y);
    void PressChange();

private:
    int Count() const override;
    bool HitsRecord(int i, int x, int y) override;
    void DrawHovered(int i) override;
    void DrawDragged(int i, int dx, int dy) override;
    void Shift(int i, double dxMm, double dyMm) override;
    void WillChange(int i) override;
    bool Remove(int i) override;
    QString DeleteLabel() const override { return QStringLiteral("Text löschen"); }
    QString MoveLabel() const override { return QStringLiteral("Text verschieben"); }
    // The highlight stays, so a press right after a drag takes the same text again.
    bool KeepsHoverWhileDragged() const override { return true; }

    // The text drawn on the surface in the given colour, shifted by (dx, dy) pixels.
    void DrawText(const TextObject &text, uint32_t colour, int dx, int dy);
};

} // namespace velmora
