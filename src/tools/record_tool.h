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
    // What differs between the lists besides the virtual calls: the history's names of a
    // delete and a move, and whether the highlight stays usable after a drag began (texts).
    struct Traits {
        RecordList List;
        QString DeleteLabel, MoveLabel;
        bool KeepsHoverWhileDragged;
    };
    RecordTool(ToolHost &host, HoverState &hover, Traits traits) : host_(host), hover_(hover), traits_(traits) {}
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
    // Record i drawn over the surface shifted by (dx, dy) pixels: in red under the pointer,
    // as it is while dragged.
    virtual void DrawOver(int i, int dx, int dy, bool dragged) = 0;
    // Moves record i by (dx, dy) mm in the edit.
    virtual void MoveBy(EditTransaction &edit, int i, double dx, double dy) = 0;
    // Deletes record i in the edit (nothing changes when the list cannot shrink).
    virtual void Remove(EditTransaction &edit, int i) = 0;

    ToolHost &host_;
    HoverState &hover_;

private:
    Traits traits_;
};

} // namespace velmora
