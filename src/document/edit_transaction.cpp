#include "edit_transaction.h"

#include <QtGlobal>

#include <utility>

namespace velmora {

void EditTransaction::Open(const QString &label)
{
    if (IsOpen())
        return;
    recorder_.Begin(state_, label);
    touched_ = false;
}

void EditTransaction::Touch()
{
    if (touched_)
        return;
    touched_ = true;
    if (owner_)
        owner_->EditTouched();
}

DrawingObject *EditTransaction::AppendObject()
{
    Q_ASSERT(IsOpen());
    recorder_.Settle();
    recorder_.MakeRoom();
    DrawingObject *object = state_.AppendObject();
    if (!object)
        return nullptr;
    recorder_.InsertedObject(state_.Objects.Count - 1);
    Touch();
    return object;
}

DrawingObject &EditTransaction::ChangeObject(int i)
{
    Q_ASSERT(IsOpen() && i >= 0 && i < state_.Objects.Count);
    recorder_.Settle();
    recorder_.MakeRoom();
    recorder_.WillChangeObject(i);
    Touch();
    return state_.ChangeObject(i);
}

bool EditTransaction::DeleteObject(int i)
{
    Q_ASSERT(IsOpen());
    if (i < 0 || i >= state_.Objects.Count)
        return false;
    recorder_.Settle();
    recorder_.MakeRoom();
    const DrawingObject before = state_.Objects.At(i);
    if (!state_.DeleteObject(i))
        return false;
    recorder_.DeletedObject(i, before);
    Touch();
    return true;
}

TextObject *EditTransaction::AppendText()
{
    Q_ASSERT(IsOpen());
    recorder_.Settle();
    recorder_.MakeRoom();
    TextObject *text = state_.AppendText();
    if (!text)
        return nullptr;
    *text = TextObject{};
    recorder_.InsertedText(state_.Texts.Count - 1);
    Touch();
    return text;
}

TextObject &EditTransaction::ChangeText(int i)
{
    Q_ASSERT(IsOpen() && i >= 0 && i < state_.Texts.Count);
    recorder_.Settle();
    recorder_.MakeRoom();
    recorder_.WillChangeText(i);
    Touch();
    return state_.ChangeText(i);
}

bool EditTransaction::DeleteText(int i)
{
    Q_ASSERT(IsOpen());
    if (i < 0 || i >= state_.Texts.Count)
        return false;
    recorder_.Settle();
    recorder_.MakeRoom();
    TextSnapshot before = EditRecorder::Snapshot(state_.Texts.At(i));
    if (!state_.DeleteText(i))
        return false;
    recorder_.DeletedText(i, std::move(before));
    Touch();
    return true;
}

void EditTransaction::ChangePageSetup(double widthInch, double heightInch, PaperKind paper)
{
    Q_ASSERT(IsOpen());
    const double widthBefore = state_.PageWidthInch, heightBefore = state_.PageHeightInch;
    const PaperKind paperBefore = state_.Paper;
    recorder_.MakeRoom();
    state_.PageWidthInch = widthInch;
    state_.PageHeightInch = heightInch;
    state_.Paper = paper;
    state_.TouchContent();
    recorder_.PageSetupChanged(widthBefore, heightBefore, paperBefore);
    Touch();
}

void EditTransaction::End(bool shown)
{
    std::optional<DrawingEdit> step = recorder_.End();
    const bool touched = std::exchange(touched_, false);
    if (owner_ && touched) // untouched: nothing was done, nothing to keep or show
        owner_->EditCommitted(std::move(step), shown);
}

void EditTransaction::Commit()
{
    End(false);
}

void EditTransaction::CommitShown()
{
    End(true);
}

void EditTransaction::Cancel()
{
    if (const std::optional<DrawingEdit> done = recorder_.End())
        done->Revert(state_);
    const bool touched = std::exchange(touched_, false);
    if (owner_ && touched)
        owner_->EditCancelled();
}

std::optional<DrawingEdit> EditTransaction::Finish()
{
    touched_ = false;
    return recorder_.End();
}

} // namespace velmora
