// The window for the keyboard and assistive technology: the surface's keys, its description
// and the names of controls that show no text of their own.
#include "main_form.h"

#include "surface_description.h"

#include "tools/instrument_keys.h"

#include <QAccessible>
#include <QToolButton>

#include <algorithm>

namespace velmora {

bool TMainForm::UseSurfaceKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (dispatch_.Dragging() || touch_.Active())
        return false; // a gesture under way keeps its instrument
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && toolBand_->Selection().Is(TextMode::Add)) {
        dispatch_.AddTextAt(activeInstrument_);
        return true;
    }
    if (!StepByKey(host_, key, modifiers))
        return false;
    DescribeSurface();
    return true;
}

void TMainForm::FollowToolChoice()
{
    if (const std::optional<Instrument> which = InstrumentOfTool(toolBand_->Selection().Current))
        activeInstrument_ = *which;
    DescribeSurface();
    if (surface_->paintBox->hasFocus())
        ShowKeysHint();
}

void TMainForm::ShowKeysHint()
{
    const ToolSelection tool = toolBand_->Selection();
    const QString hint = SurfaceKeysHint(InstrumentOfTool(tool.Current).has_value(), tool.Is(TextMode::Add),
                                         [this](const QString &german) { return Shown(german); });
    if (!hint.isEmpty())
        statusBar_->showMessage(hint);
}

void TMainForm::DescribeSurface()
{
    if (!firstShowDone_)
        return; // the window's texts are translated at the first showing, this one after them
    const DrawingSettings settings = session_.Settings();
    SurfaceState state;
    state.Tool = toolBand_->ChosenText();
    state.Sheets = settings.SheetCount;
    state.Sheet = std::clamp(surface_->View.ActivePage + 1, 1, std::max(1, state.Sheets)); // sheets may have gone
    state.Active = activeInstrument_;
    state.ActiveShown = host_.InstrumentShown(activeInstrument_);
    state.Placement = session_.Drawing().Placement;
    const QString description = SurfaceDescription(state, [this](const QString &german) { return Shown(german); });
    PaintBox *box = surface_->paintBox;
    if (box->accessibleDescription() == description)
        return;
    box->setAccessibleDescription(description);
    QAccessibleEvent changed(box, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void TMainForm::NameControls()
{
    // The band's button for what does not fit its width.
    for (QToolButton *more : findChildren<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(Shown(QStringLiteral("Weitere Schaltflächen")));
    toolBand_->NameButtons();
    DescribeSurface();
}

} // namespace velmora
