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
    DrawingObject *o = Objects.Append();
    if (o)
        Changes.Note({RecordChange::Inserted, false, true, Objects.Count - 1, {}});
    return o;
}

DrawingObject *DrawingState::InsertObject(int i)
{
    DrawingObject *o = Objects.Insert(i);
    if (o)
        Changes.Note({RecordChange::Inserted, false, i == Objects.Count - 1, i, {}});
    return o;
}

bool DrawingState::DeleteObject(int i)
{
    if (i < 0 || i >= Objects.Count)
        return false;
    const MmBox before = ObjectInkBox(Objects.At(i));
    if (!Objects.Delete(i))
        return false;
    Changes.Note({RecordChange::Removed, false, false, i, before});
    return true;
}

DrawingObject &DrawingState::ChangeObject(int i)
{
    Changes.Note({RecordChange::Changed, false, false, i, ObjectInkBox(Objects.At(i))});
    return *Objects.Select(i);
}

TextObject *DrawingState::AppendText()
{
    TextObject *t = Texts.Append();
    if (t)
        Changes.Note({RecordChange::Inserted, true, true, Texts.Count - 1, {}});
    return t;
}

TextObject *DrawingState::InsertText(int i)
{
    TextObject *t = Texts.Insert(i);
    if (t)
        Changes.Note({RecordChange::Inserted, true, i == Texts.Count - 1, i, {}});
    return t;
}

TextObject &DrawingState::ChangeText(int i)
{
    Changes.Note({RecordChange::Changed, true, false, i, TextBox(Texts.At(i))});
    return *Texts.Select(i);
}

bool DrawingState::DeleteText(int i)
{
    if (i < 0 || i >= Texts.Count)
        return false;
    TextObject saved = *Texts.Select(i);
    // The list shrinks first: should that fail, the text stays whole.
    if (!Texts.Delete(i))
        return false;
    Changes.Note({RecordChange::Removed, true, false, i, TextBox(saved)});
    ReleaseTextStrings(saved);
    return true;
}

void DrawingState::StoreTextExtent(int i, double right, double bottom)
{
    if (i < 0 || i >= Texts.Count)
        return;
    TextObject &text = Texts.At(i);
    text.Right = right;
    text.Bottom = bottom;
}

void DrawingState::ClearRecords()
{
    Texts.First();
    while (Texts.Next())
        ReleaseTextStrings(*CurrentText);
    Texts.Clear();
    Objects.Clear();
    Background.reset();
    TouchContent();
}

void DrawingState::TakeRecords(DrawingState &from)
{
    Objects.SwapStorage(from.Objects);
    Texts.SwapStorage(from.Texts);
    std::swap(Background, from.Background);
    TouchContent();
}

} // namespace velmora
