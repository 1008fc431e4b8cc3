#include "window_tool_host.h"

#include "main_form.h"

namespace velmora {

const DrawingState &WindowToolHost::Drawing() const
{
    return window_.Session().Drawing();
}

InstrumentPlacement &WindowToolHost::Instruments()
{
    return window_.Session().Document().Placement;
}

bool WindowToolHost::InstrumentShown(Instrument which) const
{
    const DrawingSettings &settings = window_.Session().Settings();
    switch (which) {
    case Instrument::Protractor: return settings.ProtractorShown;
    case Instrument::Compass: return settings.CompassShown;
    case Instrument::SetSquare: return settings.SetSquareShown;
    case Instrument::Ruler: break;
    }
    return settings.RulerShown;
}

EditTransaction &WindowToolHost::BeginEdit(const QString &label)
{
    return window_.Session().BeginEdit(label);
}

SurfaceView &WindowToolHost::View()
{
    return window_.Surface().View;
}

ToolSelection WindowToolHost::Selection() const
{
    return window_.Tools().Selection();
}

void WindowToolHost::DrawingChanged(PaintScope scope)
{
    window_.Surface().Repaint(scope);
}

void WindowToolHost::WipePreviews(PaintScope scope)
{
    window_.Surface().Repaint(scope); // the one paint operation takes them away
}

Canvas &WindowToolHost::Surface()
{
    return window_.Surface().Overlay; // the window shows what was drawn when the event is done
}

void WindowToolHost::ShowPlacement()
{
    window_.ShowPlacement();
}

void WindowToolHost::ShowStatus(const QString &text)
{
    window_.statusBar()->showMessage(text);
}

double WindowToolHost::PenWidth() const
{
    return window_.Session().Settings().PenWidth;
}

uint32_t WindowToolHost::PenColour() const
{
    return window_.Session().Settings().PenColour;
}

double WindowToolHost::EraserSize() const
{
    return window_.Session().Settings().EraserSize;
}

int WindowToolHost::Zoom() const
{
    return window_.Session().Settings().Zoom;
}

void WindowToolHost::SetZoom(double percent)
{
    window_.Session().SetZoom(percent);
}

ScrollState WindowToolHost::Scroll() const
{
    return window_.Surface().Scroll();
}

void WindowToolHost::SetScroll(int h, int v)
{
    window_.Surface().ScrollTo(h, v);
}

double WindowToolHost::ScreenDpiY() const
{
    return window_.Surface().ScreenDpiY();
}

TextFontChoice &WindowToolHost::NewTextFont()
{
    return window_.NewTextFont();
}

bool WindowToolHost::EditText(const QString *prefill, QString &text)
{
    return window_.TextDialog().Execute(prefill, text);
}

} // namespace velmora
