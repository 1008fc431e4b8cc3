// A window for the tools without a display: the drawing, its view, the chosen tool, the
// controls' values, a recorded surface, and counters of what the tools asked for.
#pragma once

#include "document/units.h"
#include "support/recording_canvas.h"
#include "render/sheet/sheet_renderer.h"
#include "render/sheet/view_geometry.h"
#include "tools/pointer_dispatch.h"
#include "tools/tool_host.h"

#include <optional>

namespace velmora {

class FakeHost : public ToolHost {
public:
    FakeHost() { Repaint(); }

    DrawingState Drawing;
    SurfaceView ViewNow;
    ToolSelection Tools;
    RecordingCanvas SurfaceOps; // emptied by every repaint, as the real surface is
    int Repaints = 0, Changes = 0, EdsUpdates = 0, ActiveOnlyRepaints = 0;
    int RepaintsAtLastScroll = -1;
    QString Status;
    double Pen = 0.1;
    uint32_t Colour = 0x00123456;
    double Eraser = 2;
    int ZoomValue = 100;
    int PageCount = 1;
    ScrollState ScrollNow{0, 0, 0, 0, 700, 400};

    using ToolHost::Repaint;
    DrawingState &State() override { return Drawing; }
    SurfaceView &View() override { return ViewNow; }
    ToolSelection Selection() const override { return Tools; }
    void Repaint(PaintScope scope) override
    {
        ++Repaints;
        const ViewGeometry view =
            ComputeViewGeometry(PageCount, ZoomValue, 96, 96, Drawing.PageWidthInch, Drawing.PageHeightInch);
        ViewNow.Geometry = view;
        ScrollNow.RangeH = view.SurfaceSize().width();
        ScrollNow.RangeV = view.SurfaceSize().height();
        SurfaceOps.Ops.clear();
        const bool activeOnly = scope == PaintScope::ActiveSheet;
        ActiveOnlyRepaints += activeOnly ? 1 : 0;
        MeasureTexts(Drawing, activeOnly ? ViewNow.ActivePage : PageCount - 1, view.PixelsPerMm, ZoomValue, 96);
    }
    Canvas &Surface() override { return SurfaceOps; }
    void SetChanged() override
    {
        ++Changes;
        Drawing.Modified = true;
    }
    void UpdateEds() override { ++EdsUpdates; }
    void ShowStatus(const QString &text) override { Status = text; }
    double PenWidth() const override { return Pen; }
    uint32_t PenColour() const override { return Colour; }
    double EraserSize() const override { return Eraser; }
    int Zoom() const override { return ZoomValue; }
    void SetZoom(double percent) override
    {
        ZoomValue = std::clamp(Round(percent), 1, 300);
        Repaint();
    }
    ScrollState Scroll() const override { return ScrollNow; }
    double ScreenDpiY() const override { return 96; }
    TextFontChoice &NewTextFont() override { return Font; }
    // The text dialog, answered by the test: Answers holds what the user types (an empty
    // optional cancels); Prefills records what each use was opened with.
    bool EditText(const QString *prefill, QString &text) override
    {
        Prefills << (prefill ? *prefill : QStringLiteral("<kept>"));
        if (Answers.isEmpty() || !Answers.first()) {
            if (!Answers.isEmpty())
                Answers.removeFirst();
            return false;
        }
        text = *Answers.takeFirst();
        return true;
    }
    EditRecorder &Edits() override { return Recorder; }
    void CommitEdit() override
    {
        if (auto edit = Recorder.End())
            Steps.push_back(std::move(*edit));
    }
    EditRecorder Recorder;
    std::vector<DrawingEdit> Steps;

    TextFontChoice Font;
    QList<std::optional<QString>> Answers;
    QStringList Prefills;

    void SetScroll(int h, int v) override
    {
        ScrollNow.H = std::clamp(h, 0, std::max(0, ScrollNow.RangeH - ScrollNow.ViewportW));
        ScrollNow.V = std::clamp(v, 0, std::max(0, ScrollNow.RangeV - ScrollNow.ViewportH));
        RepaintsAtLastScroll = Repaints;
    }
};

// Pointer events as a user gives them, at pixel positions on the sheets: the surface's
// 5-pixel margin is added here, once for every tool test.
struct ToolPointer {
    FakeHost host;
    PointerDispatch dispatch{host};

    void Press(double x, double y, PointerButton b = PointerButton::Left)
    {
        dispatch.MouseDown(b, int(x) + PointerMarginPx, int(y) + PointerMarginPx);
    }
    void Move(double x, double y) { dispatch.MouseMove(int(x) + PointerMarginPx, int(y) + PointerMarginPx); }
    void Release(double x, double y) { dispatch.MouseUp(int(x) + PointerMarginPx, int(y) + PointerMarginPx); }
    void Use(Tool tool) { host.Tools.Current = tool; }
    void Use(RulerMode mode) { Use(Tool::Ruler, &ToolSelection::Ruler, mode); }
    void Use(ProtractorMode mode) { Use(Tool::Protractor, &ToolSelection::Protractor, mode); }
    void Use(CompassMode mode) { Use(Tool::Compass, &ToolSelection::Compass, mode); }
    void Use(TextMode mode) { Use(Tool::Text, &ToolSelection::Text, mode); }
    void Use(ObjectMode mode) { Use(Tool::Objects, &ToolSelection::Objects, mode); }
    template <class Mode> void Use(Tool tool, Mode ToolSelection::*field, Mode mode)
    {
        host.Tools.Current = tool;
        host.Tools.*field = mode;
    }
    // The gesture under way when it is of kind G, else null.
    template <class G> const G *Active() const
    {
        const Gesture *g = dispatch.Active();
        return g ? std::get_if<G>(g) : nullptr;
    }
};

} // namespace velmora
