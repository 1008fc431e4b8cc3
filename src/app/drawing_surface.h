// The drawing surface in its scroll box: shows the session's drawing at its zoom, with what
// the tools draw over it, and scrolls. Its paint box hands the pointer events on.
#pragma once

#include "paint_box.h"

#include "render/canvas/overlay_canvas.h"
#include "render/surface/surface_renderer.h"
#include "render/surface/surface_view.h"
#include "tools/tool_host.h"

#include <QScrollArea>

#include <atomic>
#include <memory>
#include <optional>

namespace velmora {

class DocumentSession;
class PageReadyListener;

class DrawingSurface : public QScrollArea {
    Q_OBJECT
public:
    DrawingSurface(DocumentSession &session, QWidget *parent);
    ~DrawingSurface() override;

    PaintBox *paintBox = nullptr;
    // The surface's transform of the last paint and the sheet of the latest press.
    SurfaceView View;
    // What the tools draw over the surface until the next repaint.
    OverlayCanvas Overlay;

    // The one paint operation: sizes the surface to the stack of sheets and paints again what
    // the drawing's change touched and what the tools drew (only the sheet of the latest press
    // is measured anew for ActiveSheet).
    void Repaint(PaintScope scope = PaintScope::AllSheets);
    // Paints only the part the tools drew on since (a pencil segment, a preview).
    void ShowToolDrawing();
    // Paints again the sheets whose worksheet page got its sharp picture since they were
    // drawn, and nothing else; the previews stay.
    void ShowArrivedPages();

    // The view of the drawing as the settings give it now.
    ViewGeometry CurrentView() const;
    SheetView CurrentSheetView() const;
    double ScreenDpiX() const;
    double ScreenDpiY() const;

    const SurfaceRenderer &Renderer() const { return renderer_; }

    ScrollState Scroll() const;
    // Scrolls the drawing without repainting it; the surface paints what scrolling uncovers.
    void ScrollTo(int h, int v);
    void ScrollToTopLeft();

    // The frame around the visible part of the drawing that says the surface has the
    // keyboard; it lies outside the drawing, which keeps its pixels.
    void ShowFocusFrame(bool shown);
    bool FocusFrameShown() const { return focusFrame_; }
    // The keyboard pointer's crosshair at a surface point, over the drawing and never in it
    // (held: the left button is pressed there); none hides it.
    void ShowKeyPointer(std::optional<QPointF> at, bool held);
    // Where the crosshair is painted, empty without one.
    QRect KeyPointerRect() const;
    static constexpr int FocusFrameWidth = 2;

protected:
    // The mouse wheel scrolls the drawing by 20 pixels a step.
    bool viewportEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    // Tab leaves the surface without scrolling it to its top-left corner.
    bool focusNextPrevChild(bool next) override;

private:
    void Paint(QPainter &painter, const QRect &exposed);

    DocumentSession &session_;
    SurfaceRenderer renderer_;
    bool paintSuspended_ = false; // set while the tools scroll the view
    bool focusFrame_ = false;
    std::optional<QPointF> keyPointer_;
    bool keyPointerHeld_ = false;
    bool sharpPending_ = false;   // a zoom's scaled stand-in is shown, its sharp picture follows
    // A sharp page made on the rendering thread queues one ShowArrivedPages at a time.
    std::atomic<bool> pagesQueued_ = false;
    std::unique_ptr<PageReadyListener> pagesReady_;
};

} // namespace velmora
