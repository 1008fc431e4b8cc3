// The main window as the tools see it.
#pragma once

#include "tools/tool_host.h"

namespace velmora {

class TMainForm;

class FormToolHost : public ToolHost {
public:
    explicit FormToolHost(TMainForm &form) : form_(form) {}

    DrawingState &State() override;
    SurfaceView &View() override;
    ToolSelection Selection() const override;
    void Repaint(PaintScope scope) override;
    Canvas &Surface() override;
    void SetChanged() override;
    void UpdateEds() override;
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
    EditRecorder &Edits() override;
    void CommitEdit() override;

private:
    TMainForm &form_;
};

} // namespace velmora
