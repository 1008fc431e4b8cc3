#include "drawing_edit.h"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

template <class T> void RoomForOne(std::vector<T> &list)
{
    if (list.size() == list.capacity())
        list.reserve(std::max<size_t>(16, 2 * list.size()));
}

void Restore(TextObject &text, const TextSnapshot &snapshot)
{
    // The storage image, then the strings (the owned blocks are replaced, not leaked).
    char16_t *ownedText = text.Text;
    char *ownedFont = text.FontName;
    TextFromRecord(snapshot.Record.data(), text);
    text.Text = ownedText;
    text.FontName = ownedFont;
    SetTextString(text, snapshot.Text);
    SetFontName(text, snapshot.FontName.constData(), int(snapshot.FontName.size()));
}

} // namespace

bool DrawingEdit::PutObject(DrawingState &state, int index, const std::optional<DrawingObject> &from,
                            const std::optional<DrawingObject> &to)
{
    if (!from) { // to be inserted
        DrawingObject *slot = state.InsertObject(index);
        if (!slot)
            return false;
        *slot = *to;
        return true;
    }
    if (!to)
        return state.DeleteObject(index);
    if (index < 0 || index >= state.Objects.Count)
        return false;
    state.ChangeObject(index) = *to;
    return true;
}

bool DrawingEdit::PutText(DrawingState &state, int index, const std::optional<TextSnapshot> &from,
                          const std::optional<TextSnapshot> &to)
{
    if (!from) {
        TextObject *slot = state.InsertText(index);
        if (!slot)
            return false;
        *slot = TextObject{};
        Restore(*slot, *to);
        return true;
    }
    if (!to)
        return state.DeleteText(index);
    if (index < 0 || index >= state.Texts.Count)
        return false;
    Restore(state.ChangeText(index), *to);
    return true;
}

bool DrawingEdit::Revert(DrawingState &state) const
{
    bool ok = true;
    for (auto it = Texts.rbegin(); it != Texts.rend(); ++it)
        ok = PutText(state, it->Index, it->After, it->Before) && ok;
    for (auto it = Objects.rbegin(); it != Objects.rend(); ++it)
        ok = PutObject(state, it->Index, it->After, it->Before) && ok;
    if (Sheet) {
        state.PageWidthInch = Sheet->first.WidthInch;
        state.PageHeightInch = Sheet->first.HeightInch;
        state.Paper = Sheet->first.Paper;
        state.TouchContent(); // every sheet is drawn anew
    }
    return ok;
}

bool DrawingEdit::Apply(DrawingState &state) const
{
    bool ok = true;
    for (const ObjectChange &change : Objects)
        ok = PutObject(state, change.Index, change.Before, change.After) && ok;
    for (const TextChange &change : Texts)
        ok = PutText(state, change.Index, change.Before, change.After) && ok;
    if (Sheet) {
        state.PageWidthInch = Sheet->second.WidthInch;
        state.PageHeightInch = Sheet->second.HeightInch;
        state.Paper = Sheet->second.Paper;
        state.TouchContent(); // every sheet is drawn anew
    }
    return ok;
}

size_t DrawingEdit::Bytes() const
{
    size_t bytes = sizeof(*this) + Objects.size() * sizeof(ObjectChange);
    for (const TextChange &change : Texts) {
        bytes += sizeof(TextChange);
        for (const auto *side : {&change.Before, &change.After})
            if (*side)
                bytes += size_t((*side)->Text.size()) * 2 + size_t((*side)->FontName.size());
    }
    return bytes;
}

TextSnapshot EditRecorder::Snapshot(const TextObject &text)
{
    TextSnapshot snapshot;
    TextToRecord(text, snapshot.Record.data());
    snapshot.Text = TextString(text);
    snapshot.FontName = QByteArray(text.FontName, FontNameLength(text));
    return snapshot;
}

void EditRecorder::Begin(DrawingState &state, const QString &label)
{
    if (state_)
        return;
    state_ = &state;
    edit_ = DrawingEdit{};
    edit_.Label = label;
    pendingObjects_.clear();
    pendingTexts_.clear();
}

void EditRecorder::Settle()
{
    if (!state_)
        return;
    for (size_t k : pendingObjects_) {
        DrawingEdit::ObjectChange &change = edit_.Objects[k];
        if (change.Index < state_->Objects.Count)
            change.After = state_->Objects.At(change.Index);
    }
    for (size_t k : pendingTexts_) {
        DrawingEdit::TextChange &change = edit_.Texts[k];
        if (change.Index < state_->Texts.Count)
            change.After = Snapshot(state_->Texts.At(change.Index));
    }
    pendingObjects_.clear();
    pendingTexts_.clear();
}

void EditRecorder::MakeRoom()
{
    if (!state_)
        return;
    RoomForOne(edit_.Objects);
    RoomForOne(edit_.Texts);
    RoomForOne(pendingObjects_);
    RoomForOne(pendingTexts_);
}

void EditRecorder::InsertedObject(int index)
{
    if (!state_)
        return;
    edit_.Objects.push_back({index, std::nullopt, std::nullopt});
    pendingObjects_.push_back(edit_.Objects.size() - 1);
}

void EditRecorder::InsertedText(int index)
{
    if (!state_)
        return;
    edit_.Texts.push_back({index, std::nullopt, std::nullopt});
    pendingTexts_.push_back(edit_.Texts.size() - 1);
}

void EditRecorder::WillChangeObject(int index)
{
    if (!state_ || index < 0 || index >= state_->Objects.Count)
        return;
    // The same record changed again right after: still one change.
    if (!edit_.Objects.empty() && edit_.Objects.back().Index == index && edit_.Objects.back().Before &&
        edit_.Objects.back().After) {
        pendingObjects_.push_back(edit_.Objects.size() - 1);
        return;
    }
    edit_.Objects.push_back({index, state_->Objects.At(index), std::nullopt});
    pendingObjects_.push_back(edit_.Objects.size() - 1);
}

void EditRecorder::WillChangeText(int index)
{
    if (!state_ || index < 0 || index >= state_->Texts.Count)
        return;
    if (!edit_.Texts.empty() && edit_.Texts.back().Index == index && edit_.Texts.back().Before &&
        edit_.Texts.back().After) {
        pendingTexts_.push_back(edit_.Texts.size() - 1);
        return;
    }
    edit_.Texts.push_back({index, Snapshot(state_->Texts.At(index)), std::nullopt});
    pendingTexts_.push_back(edit_.Texts.size() - 1);
}

void EditRecorder::DeletedObject(int index, const DrawingObject &before)
{
    if (state_)
        edit_.Objects.push_back({index, before, std::nullopt});
}

void EditRecorder::DeletedText(int index, TextSnapshot before)
{
    if (state_)
        edit_.Texts.push_back({index, std::move(before), std::nullopt});
}

void EditRecorder::PageSetupChanged(double widthBefore, double heightBefore, PaperKind paperBefore)
{
    if (!state_)
        return;
    edit_.Sheet = {{widthBefore, heightBefore, paperBefore},
                   {state_->PageWidthInch, state_->PageHeightInch, state_->Paper}};
}

std::optional<DrawingEdit> EditRecorder::End()
{
    if (!state_)
        return std::nullopt;
    Settle();
    state_ = nullptr;
    // A change in place that changed nothing is no change.
    std::erase_if(edit_.Objects, [](const DrawingEdit::ObjectChange &c) {
        return c.Before && c.After && std::memcmp(&*c.Before, &*c.After, sizeof(DrawingObject)) == 0;
    });
    std::erase_if(edit_.Texts, [](const DrawingEdit::TextChange &c) {
        return c.Before && c.After && c.Before->Record == c.After->Record && c.Before->Text == c.After->Text &&
               c.Before->FontName == c.After->FontName;
    });
    if (edit_.IsEmpty())
        return std::nullopt;
    return std::move(edit_);
}

} // namespace velmora
