#include "history_steps.h"

#include "document_session.h"

namespace velmora {

DrawingStep::DrawingStep(DocumentSession &session, DrawingEdit &&edit) : session_(session), edit_(std::move(edit))
{
    setText(edit_.Label);
}

void DrawingStep::undo()
{
    edit_.Revert(session_.drawing_);
    session_.AfterHistoryStep();
}

void DrawingStep::redo()
{
    if (std::exchange(pushed_, false))
        return; // pushing: the action has already done it
    edit_.Apply(session_.drawing_);
    session_.AfterHistoryStep();
}

SheetCountStep::SheetCountStep(DocumentSession &session, int before, int after)
    : session_(session), before_(before), after_(after)
{
    setText(QStringLiteral("Seitenanzahl"));
}

bool SheetCountStep::mergeWith(const QUndoCommand *other)
{
    after_ = static_cast<const SheetCountStep *>(other)->after_;
    setObsolete(after_ == before_); // back where it started: no step at all
    return true;
}

void SheetCountStep::undo()
{
    session_.ApplySheetCount(before_);
}

void SheetCountStep::redo()
{
    if (std::exchange(pushed_, false))
        return;
    session_.ApplySheetCount(after_);
}

} // namespace velmora
