// The program around the tools, without a display: the drawing and its history, the view,
// the chosen tool, the pen's values, a recorded surface, and counts of what the tools asked for.
#pragma once

#include "document/units.h"
#include "render/recording_canvas.h"
#include "render/sheet_renderer.h"
#include "render/view_geometry.h"
#include "tools/pointer_dispatch.h"
#include "tools/tool_host.h"

#include <QStringList>

#include <algorithm>
#include <optional>
#include <vector>

namespace velmora {

class StandInHost : public ToolHost, private EditTransaction::Owner {
public:
    StandInHost() { Paint(PaintScope::AllSheets); }

    // The drawing, to set its sheet and paper; its records change through BeginEdit.
    DrawingState &Document() { return drawing_; }
    bool IsModified() const { return modified_; }
    // The steps of the history, oldest first, and undo and redo as the window's history does them.
    const std::vector<DrawingEdit> &Steps() const { return done_; }
    size_t Undone() const { return undone_.size(); }
    void Undo()
    {
        if (done_.empty())
            return;
        done_.back().Revert(drawing_);
        undone_.push_back(std::move(done_.back()));
        done_.pop_back();
        DrawingChanged();
    }
    void Redo()
    {
        if (undone_.empty())
            return;
        undone_.back().Apply(drawing_);
        done_.push_back(std::move(undone_.back()));
        undone_.pop_back();
        DrawingChanged();
    }

    SurfaceView ViewNow;
    ToolSelection Tools;
    RecordingCanvas SurfaceOps; // emptied by every paint, as the real surface is
    int Repaints = 0, PlacementShown = 0, ActiveOnlyRepaints = 0;
    int RepaintsAtLastScroll = -1;
    QString Status;
    double Pen = 0.1;
    uint32_t Colour = 0x00123456;
    double Eraser = 2;
    int ZoomValue = 100;
    int PageCount = 1;
    ScrollState ScrollNow{0, 0, 0, 0, 700, 400};
    TextFontChoice Font;
    // The text dialog, answered by the test: what the user types (an empty optional cancels);
    // Prefills records what each use was opened with.
    QList<std::optional<QString>> Answers;
    QStringList Prefills;

    const DrawingState &Drawing() const override { return drawing_; }
    InstrumentPlacement &Instruments() override { return drawing_.Placement; }
    EditTransaction &BeginEdit(const QString &label) override
    {
        edit_.Open(label);
        return edit_;
    }
    SurfaceView &View() override { return ViewNow; }
    ToolSelection Selection() const override { return Tools; }
    using ToolHost::DrawingChanged;
    using ToolHost::WipePreviews;
    void DrawingChanged(PaintScope scope) override { Paint(scope); }
    void WipePreviews(PaintScope scope) override { Paint(scope); }
    Canvas &Surface() override { return SurfaceOps; }
    void ShowPlacement() override { ++PlacementShown; }
    void ShowStatus(const QString &text) override { Status = text; }
    double PenWidth() const override { return Pen; }
    uint32_t PenColour() const override { return Colour; }
    double EraserSize() const override { return Eraser; }
    int Zoom() const override { return ZoomValue; }
    void SetZoom(double percent) override
    {
        ZoomValue = std::clamp(Round(percent), 1, 300);
        DrawingChanged();
    }
    ScrollState Scroll() const override { return ScrollNow; }
    void SetScroll(int h, int v) override
    {
        ScrollNow.H = std::clamp(h, 0, std::max(0, ScrollNow.RangeH - ScrollNow.ViewportW));
        ScrollNow.V = std::clamp(v, 0, std::max(0, ScrollNow.RangeV - ScrollNow.ViewportH));
        RepaintsAtLastScroll = Repaints;
    }
    double ScreenDpiY() const override { return 96; }
    TextFontChoice &NewTextFont() override { return Font; }
    bool EditText(const QString *prefill, QString &text) override
    {
        Prefills << (prefill ? *prefill : QStringLiteral("<kept>"));
        const std::optional<QString> answer = Answers.isEmpty() ? std::nullopt : Answers.takeFirst();
        if (answer)
            text = *answer;
        return answer.has_value();
    }

protected:
    // What a repaint of the window does for the tools: the transform follows the view, the
    // previews go and the texts get their measured boxes.
    virtual void Paint(PaintScope scope)
    {
        ++Repaints;
        const ViewGeometry view =
            ComputeViewGeometry(PageCount, ZoomValue, 96, 96, drawing_.PageWidthInch, drawing_.PageHeightInch);
        ViewNow.Geometry = view;
        ScrollNow.RangeH = view.SurfaceSize().width();
        ScrollNow.RangeV = view.SurfaceSize().height();
        SurfaceOps.Ops.clear();
        const bool activeOnly = scope == PaintScope::ActiveSheet;
        ActiveOnlyRepaints += activeOnly ? 1 : 0;
        MeasureTexts(drawing_, activeOnly ? ViewNow.ActivePage : PageCount - 1, view.PixelsPerMm, ZoomValue, 96);
    }

private:
    void EditTouched() override { modified_ = true; }
    void EditCommitted(std::optional<DrawingEdit> step, bool shown) override
    {
        if (step) {
            done_.push_back(std::move(*step));
            undone_.clear();
        }
        if (!shown)
            DrawingChanged();
    }

    DrawingState drawing_;
    EditTransaction edit_{drawing_, this};
    std::vector<DrawingEdit> done_, undone_;
    bool modified_ = false;
};

// Pointer events as a user gives them, at pixel positions on the sheets: the surface's
// 5-pixel margin is added here, once for every tool test.
struct ToolPointer {
    StandInHost host;
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
