// The program around the tools, without a display: a real document session for the drawing
// and its history, the view, the chosen tool, the pen's values, a recorded surface, and
// counts of what the tools asked for.
#pragma once

#include "answering_prompts.h"

#include "document/units.h"
#include "i18n/translate_table.h"
#include "i18n/translator.h"
#include "support/recording_canvas.h"
#include "render/sheet/sheet_renderer.h"
#include "render/sheet/view_geometry.h"
#include "session/document_session.h"
#include "tools/pointer_dispatch.h"
#include "tools/tool_host.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <vector>

namespace velmora {

class StandInHost : public ToolHost {
public:
    StandInHost()
    {
        // A change the tools commit shows as the window's repaint shows it.
        QObject::connect(&Session, &DocumentSession::DrawingChanged, [this] { Paint(PaintScope::AllSheets); });
        Paint(PaintScope::AllSheets);
    }

private:
    TranslateTable table_; // none opened: every text stays German
    Translator translation_{table_};
    AnsweringPrompts prompts_; // nothing is answered with a yes

public:
    DocumentSession Session{translation_, prompts_, QDir::temp().filePath(QStringLiteral("velmora-stand-in"))};

    // The drawing, to set its sheet and paper; its records change through BeginEdit.
    DrawingState &Document() { return Session.Document(); }
    bool IsModified() const { return Session.IsModified(); }
    // The steps of the history done, and those undone that could be done again.
    int Steps() { return Session.History().index(); }
    int Undone() { return Session.History().count() - Session.History().index(); }
    void Undo() { Session.Undo(); }
    void Redo() { Session.Redo(); }

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

    const DrawingState &Drawing() const override { return Session.Drawing(); }
    InstrumentPlacement &Instruments() override { return Document().Placement; }
    EditTransaction &BeginEdit(const QString &label) override { return Session.BeginEdit(label); }
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
            ComputeViewGeometry(PageCount, ZoomValue, 96, 96, Drawing().PageWidthInch, Drawing().PageHeightInch);
        ViewNow.Geometry = view;
        ScrollNow.RangeH = view.SurfaceSize().width();
        ScrollNow.RangeV = view.SurfaceSize().height();
        SurfaceOps.Ops.clear();
        const bool activeOnly = scope == PaintScope::ActiveSheet;
        ActiveOnlyRepaints += activeOnly ? 1 : 0;
        MeasureTexts(Document(), activeOnly ? ViewNow.ActivePage : PageCount - 1, view.PixelsPerMm, ZoomValue, 96);
    }

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
