#include "record_tool.h"

namespace velmora {

void RecordTool::HoverScan(int x, int y)
{
    for (int n = Count() - 1; n >= 0; --n) {
        if (!HitsRecord(n, x, y))
            continue;
        host_.WipePreviews();
        DrawOver(n, 0, 0, false);
        hover_ = {true, n, traits_.List};
        return;
    }
    if (hover_.Active) {
        hover_.Active = false;
        host_.WipePreviews();
    }
}

bool RecordTool::HoverValid() const
{
    return hover_.Active && hover_.In == traits_.List && hover_.Index >= 0 && hover_.Index < Count();
}

void RecordTool::PressDelete()
{
    if (!HoverValid())
        return;
    hover_.Active = false;
    EditTransaction &edit = host_.BeginEdit(traits_.DeleteLabel);
    Remove(edit, hover_.Index);
    edit.Commit(); // a delete that failed changed nothing: no step, no repaint
}

std::optional<RecordDrag> RecordTool::PressMove(int x, int y)
{
    if (!HoverValid())
        return std::nullopt;
    if (!traits_.KeepsHoverWhileDragged)
        hover_.Active = false;
    return RecordDrag{traits_.List, hover_.Index, QPoint(x, y)};
}

void RecordTool::DragMove(const RecordDrag &drag, int x, int y)
{
    host_.WipePreviews();
    if (drag.Index < Count())
        DrawOver(drag.Index, x - drag.Anchor.x(), y - drag.Anchor.y(), true);
}

void RecordTool::ReleaseMove(const RecordDrag &drag, int x, int y)
{
    if (drag.Index >= Count()) {
        host_.WipePreviews();
        return;
    }
    const double s = host_.View().PixelsPerMm();
    EditTransaction &edit = host_.BeginEdit(traits_.MoveLabel);
    MoveBy(edit, drag.Index, (x - drag.Anchor.x()) / s, (y - drag.Anchor.y()) / s);
    edit.Commit();
}

} // namespace velmora
