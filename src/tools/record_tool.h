// What the object tool and the text tool share: the record under the pointer is found by a
// hover scan from the last record to the first and highlighted in red; a press deletes it or
// starts dragging it, and the release moves it by the pointer's displacement as one step.
#pragma once

#include "gesture.h"
#include "tool_host.h"

#include <optional>

namespace velmora {

class RecordTool {
public:
    RecordTool(ToolHost &host, HoverState &hover, RecordList list) : host_(host), hover_(hover), list_(list) {}
    virtual ~RecordTool() = default;

    void HoverScan(int x, int y);
    void PressDelete();
    // A drag of the highlighted record; none when nothing of this list is highlighted.
    std::optional<RecordDrag> PressMove(int x, int y);
    void DragMove(const RecordDrag &drag, int x, int y);
    void ReleaseMove(const RecordDrag &drag, int x, int y);

protected:
    // The highlighted record of this list, still in it.
    bool HoverValid() const;

    virtual int Count() const = 0;
    virtual bool HitsRecord(int i, int x, int y) = 0;
    virtual void DrawHovered(int i) = 0;
    virtual void DrawDragged(int i, int dx, int dy) = 0;
    virtual void Shift(int i, double dxMm, double dyMm) = 0;
    virtual void WillChange(int i) = 0;
    // Deletes record i, named to the history first; false when nothing was deleted.
    virtual bool Remove(int i) = 0;
    virtual QString DeleteLabel() const = 0;
    virtual QString MoveLabel() const = 0;
    // Whether the highlight stays usable for the next press after a drag began (texts).
    virtual bool KeepsHoverWhileDragged() const = 0;

    ToolHost &host_;
    HoverState &hover_;

private:
    RecordList list_;
};

} // namespace velmora
