#include "drawing_state.h"

namespace velmora {

DrawingState::DrawingState() = default;

DrawingState::~DrawingState()
{
    ClearRecords();
}

bool DrawingState::DeleteText(int i)
{
    if (i < 0 || i >= Texts.Count)
        return false;
    TextObject saved = *Texts.Select(i);
    // The list shrinks first: should that fail, the text stays whole.
    if (!Texts.Delete(i))
        return false;
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
    TouchContent();
}

void DrawingState::TakeRecords(DrawingState &from)
{
    Objects.SwapStorage(from.Objects);
    Texts.SwapStorage(from.Texts);
    TouchContent();
}

} // namespace velmora
