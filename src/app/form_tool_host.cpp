#include "form_tool_host.h"

#include "main_form.h"

#include "document/units.h"

#include <QScrollBar>

namespace velmora {

FormToolHost::FormToolHost(TMainForm &form) : form_(form), edit_(form.State, this) {}

const DrawingState &FormToolHost::Drawing() const
{
    return form_.State;
}

InstrumentPlacement &FormToolHost::Instruments()
{
    return form_.State.Placement;
}

EditTransaction &FormToolHost::BeginEdit(const QString &label)
{
    edit_.Open(label);
    return edit_;
}

void FormToolHost::EditTouched()
{
    form_.SetChanged();
}

void FormToolHost::EditCommitted(std::optional<DrawingEdit> step, bool shown)
{
    form_.PushStep(std::move(step));
    if (!shown)
        form_.PaintBox1Paint();
}

SurfaceView &FormToolHost::View()
{
    return form_.View;
}

ToolSelection FormToolHost::Selection() const
{
    return form_.Tools;
}

void FormToolHost::DrawingChanged(PaintScope scope)
{
    form_.PaintSheets(scope);
}

void FormToolHost::WipePreviews(PaintScope scope)
{
    form_.PaintSheets(scope); // the one paint operation clears them too
}

Canvas &FormToolHost::Surface()
{
    return form_.SurfaceOverlay; // the window shows what was drawn when the event is done
}

void FormToolHost::ShowPlacement()
{
    form_.UpdateEds();
}

void FormToolHost::ShowStatus(const QString &text)
{
    form_.StatusBar1->showMessage(text);
}

double FormToolHost::PenWidth() const
{
    return form_.StrichEd->value();
}

uint32_t FormToolHost::PenColour() const
{
    return form_.Shape1->Colour();
}

double FormToolHost::EraserSize() const
{
    return form_.RadierEd->value();
}

int FormToolHost::Zoom() const
{
    return form_.zoomed->value();
}

void FormToolHost::SetZoom(double percent)
{
    form_.zoomed->setValue(qBound(form_.zoomed->minimum(), Round(percent), form_.zoomed->maximum()));
}

ScrollState FormToolHost::Scroll() const
{
    const QScrollArea *box = form_.ScrollBox1;
    return {box->horizontalScrollBar()->value(), box->verticalScrollBar()->value(), form_.PaintBox1->width(),
            form_.PaintBox1->height(), box->viewport()->width(), box->viewport()->height()};
}

void FormToolHost::SetScroll(int h, int v)
{
    form_.ScrollTo(h, v);
}

double FormToolHost::ScreenDpiY() const
{
    return form_.ScreenDpiY();
}

TextFontChoice &FormToolHost::NewTextFont()
{
    return form_.FontDialog1;
}

bool FormToolHost::EditText(const QString *prefill, QString &text)
{
    return form_.AddTextForm->Execute(prefill, text);
}

} // namespace velmora
