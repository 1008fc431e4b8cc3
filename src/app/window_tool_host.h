// The main window as the tools see it: the session's drawing and settings, the window's
// surface, tool band, entry bar and text dialog.
#pragma once

#include "tools/tool_host.h"

namespace velmora {

class TMainForm;

class WindowToolHost : public ToolHost {
public:
    explicit WindowToolHost(TMainForm &window) : window_(window) {}

    const DrawingState &Drawing() const override;
    InstrumentPlacement &Instruments() override;
    bool InstrumentShown(Instrument which) const override;
    EditTransaction &BeginEdit(const QString &label) override;
    SurfaceView &View() override;
    ToolSelection Selection() const override;
    using ToolHost::DrawingChanged;
    using ToolHost::WipePreviews;
    void DrawingChanged(PaintScope scope) override;
    void WipePreviews(PaintScope scope) override;
    Canvas &Surface() override;
    void ShowPlacement() override;
    void ShowStatus(const QString &text) override;
    double PenWidth() const override;
    uint32_t PenColour() const override;
    double EraserSize() const override;
    int Zoom() const override;
    void SetZoom(double percent) override;
    ScrollState Scroll() const override;
    void SetScroll(int h, int v) override;
    double ScreenDpiY() const override;
    TextFontChoice &NewTextFont() override;
    bool EditText(const QString *prefill, QString &text) override;

private:
    TMainForm &window_;
};

} // namespace velmora
