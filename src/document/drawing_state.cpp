#include "drawing_state.h"

namespace velmora {

bool SheetSideWithinLimits(double inches)
{
    const double mm = inches * MmPerInch;
    return mm >= MinSheetSideMm && mm <= MaxSheetSideMm;
}

DrawingState::DrawingState() = default;

DrawingState::~DrawingState()
{
    ClearRecords();
}

DrawingObject *DrawingState::AppendObject()
{
    changes_.MakeRoom();
    DrawingObject *o = objects_.Append();
    if (o)
        changes_.Note({RecordChange::Inserted, false, true, objects_.Count - 1, {}});
    return o;
}

DrawingObject *DrawingState::InsertObject(int i)
{
    changes_.MakeRoom();
    DrawingObject *o = objects_.Insert(i);
    if (o)
        changes_.Note({RecordChange::Inserted, false, i == objects_.Count - 1, i, {}});
    return o;
}

bool DrawingState::DeleteObject(int i)
{
    if (i < 0 || i >= objects_.Count)
        return false;
    changes_.MakeRoom();
    const MmBox before = ObjectInkBox(objects_.At(i));
    if (!objects_.Delete(i))
        return false;
    changes_.Note({RecordChange::Removed, false, false, i, before});
    return true;
}

DrawingObject &DrawingState::ChangeObject(int i)
{
    changes_.MakeRoom();
    changes_.Note({RecordChange::Changed, false, false, i, ObjectInkBox(objects_.At(i))});
    return *objects_.Select(i);
}

TextObject *DrawingState::AppendText()
{
    changes_.MakeRoom();
    TextObject *t = texts_.Append();
    if (t)
        changes_.Note({RecordChange::Inserted, true, true, texts_.Count - 1, {}});
    return t;
}

TextObject *DrawingState::InsertText(int i)
{
    changes_.MakeRoom();
    TextObject *t = texts_.Insert(i);
    if (t)
        changes_.Note({RecordChange::Inserted, true, i == texts_.Count - 1, i, {}});
    return t;
}

TextObject &DrawingState::ChangeText(int i)
{
    changes_.MakeRoom();
    changes_.Note({RecordChange::Changed, true, false, i, TextBox(texts_.At(i))});
    return *texts_.Select(i);
}

bool DrawingState::DeleteText(int i)
{
    if (i < 0 || i >= texts_.Count)
        return false;
    changes_.MakeRoom();
    TextObject saved = *texts_.Select(i);
    // The list shrinks first: should that fail, the text stays whole.
    if (!texts_.Delete(i))
        return false;
    changes_.Note({RecordChange::Removed, true, false, i, TextBox(saved)});
    ReleaseTextStrings(saved);
    return true;
}

void DrawingState::StoreTextExtent(int i, double right, double bottom)
{
    if (i < 0 || i >= texts_.Count)
        return;
    TextObject &text = *texts_.Select(i);
    text.Right = right;
    text.Bottom = bottom;
}

void DrawingState::ClearRecords()
{
    texts_.First();
    while (texts_.Next())
        ReleaseTextStrings(*CurrentText);
    texts_.Clear();
    objects_.Clear();
    Background.reset();
    TouchContent();
}

void DrawingState::TakeRecords(DrawingState &from)
{
    objects_.SwapStorage(from.objects_);
    texts_.SwapStorage(from.texts_);
    std::swap(Background, from.Background);
    TouchContent();
}

} // namespace velmora
