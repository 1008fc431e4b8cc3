// The window for the keyboard and assistive technology: the surface's keys, its description
// and the names of controls that show no text of their own.
#include "main_form.h"

#include "surface_description.h"

#include "tools/instrument_keys.h"

#include <QAccessible>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace velmora {

bool TMainForm::UseSurfaceKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (UseKeyPointerKey(key, modifiers))
        return true;
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

bool TMainForm::UseKeyPointerKey(int key, Qt::KeyboardModifiers modifiers)
{
    const std::optional<QPointF> step = KeyPointerStep(key, modifiers);
    const bool space = key == Qt::Key_Space && !(modifiers & ~Qt::KeypadModifier);
    if (!step && !space)
        return false;
    const SurfaceView &view = surface_->View;
    const double s = view.PixelsPerMm();
    if (touch_.Active() || !(s > 0) || (!keyPointer_.Held && dispatch_.Dragging()))
        return true; // fingers or another gesture hold the surface
    const int sheets = std::max(1, view.Geometry.PageCount);
    const double widthMm = view.PageWidthPx() / s, heightMm = double(view.PageHeightPx()) * sheets / s;
    const bool appears = !keyPointer_.Shown;
    if (appears) {
        // Shown anew at the current tool's instrument's zero point, or at the top-left of what
        // is seen of the sheet; the first key shows where it is, the next ones move it.
        if (const std::optional<Instrument> which = InstrumentOfTool(toolBand_->Selection().Current)) {
            InstrumentPlacement placement = session_.Drawing().Placement;
            const InstrumentPose pose = PoseOf(placement, *which);
            keyPointer_.X = pose.X;
            keyPointer_.Y = pose.Y + view.ActivePageTopPx / s;
        } else {
            const QRect sheet = view.Geometry.SheetOnSurface(view.ActivePage);
            const ScrollState scroll = surface_->Scroll();
            const QRect seen(scroll.H, scroll.V, surface_->viewport()->width(), surface_->viewport()->height());
            const QRect corner = sheet.intersected(seen).isEmpty() ? sheet : sheet.intersected(seen);
            keyPointer_.X = std::ceil((corner.left() - PointerMarginPx) / s);
            keyPointer_.Y = std::ceil((corner.top() - PointerMarginPx) / s);
        }
        MoveKeyPointer(keyPointer_, QPointF(), widthMm, heightMm);
        keyPointer_.Shown = true;
    } else if (step) {
        MoveKeyPointer(keyPointer_, *step, widthMm, heightMm);
    }
    const QPointF at = keyPointer_.OnSurface(s);
    dispatch_.SetTurnSnapping(false);
    if (step || appears)
        dispatch_.PointerMove(at); // as the mouse comes before it presses: the hover finds what lies there
    if (space) {
        keyPointer_.Held = !keyPointer_.Held;
        if (keyPointer_.Held)
            dispatch_.PointerDown(PointerButton::Left, at);
        else
            dispatch_.PointerUp(at);
    }
    ShowKeyPointer();
    DescribeSurface();
    return true;
}

void TMainForm::LeaveKeyPointer()
{
    if (!keyPointer_.Shown && !keyPointer_.Held)
        return;
    if (keyPointer_.Held) {
        keyPointer_.Held = false;
        dispatch_.PointerUp(keyPointer_.OnSurface(surface_->View.PixelsPerMm()));
        surface_->ShowToolDrawing();
    }
    keyPointer_.Shown = false;
    ShowKeyPointer();
    DescribeSurface();
}

bool TMainForm::WithdrawKeyPointerPress()
{
    if (!keyPointer_.Held)
        return false;
    keyPointer_.Held = false;
    if (!dispatch_.Cancel()) // a curve's rubber band goes; any other gesture is taken back
        dispatch_.Withdraw();
    surface_->ShowToolDrawing();
    ShowKeyPointer();
    DescribeSurface();
    return true;
}

void TMainForm::ShowKeyPointer()
{
    if (keyPointer_.Shown)
        surface_->ShowKeyPointer(keyPointer_.OnSurface(surface_->View.PixelsPerMm()), keyPointer_.Held);
    else
        surface_->ShowKeyPointer(std::nullopt, false);
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
    if (keyPointer_.Shown) {
        state.KeyPointer = QPointF(keyPointer_.X, keyPointer_.Y);
        state.KeyPointerHeld = keyPointer_.Held;
        const double s = surface_->View.PixelsPerMm();
        if (s > 0 && surface_->View.PageHeightPx() > 0) // on its own sheet, as the instruments are given
            state.KeyPointer->ry() = std::fmod(keyPointer_.Y, surface_->View.PageHeightPx() / s);
    }
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
