// The text tool: add a text through the text dialog, and change, delete or move the text
// under the pointer, which is highlighted in red.
#pragma once

#include "record_tool.h"

namespace velmora {

class TextTool : public RecordTool {
public:
    // The highlight stays after a drag began, so a press right after the drag takes the same text.
    TextTool(ToolHost &host, HoverState &hover)
        : RecordTool(host, hover, {RecordList::Texts, QStringLiteral("Text löschen"), QStringLiteral("Text verschieben"),
                                   true})
    {
    }

    void PressAdd(int x, int y);
    // Adds a text through the dialog with its top-left corner at (leftMm, topMm) of the drawing.
    void AddAt(double leftMm, double topMm);
    void PressChange();

private:
    int Count() const override { return host_.Drawing().Texts.Count; }
    bool HitsRecord(int i, int x, int y) override;
    // Red under the pointer; in its own colour while dragged.
    void DrawOver(int i, int dx, int dy, bool dragged) override;
    void MoveBy(EditTransaction &edit, int i, double dx, double dy) override;
    void Remove(EditTransaction &edit, int i) override;

    // The text drawn on the surface in the given colour, shifted by (dx, dy) pixels.
    void DrawText(const TextObject &text, uint32_t colour, int dx, int dy);
};

} // namespace velmora
