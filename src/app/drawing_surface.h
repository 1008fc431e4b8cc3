// The drawing surface in its scroll box: shows the session's drawing at its zoom, with what
// the tools draw over it, and scrolls. Its paint box hands the pointer events on.
#pragma once

#include "paint_box.h"

#include "render/canvas/overlay_canvas.h"
#include "render/surface/surface_renderer.h"
#include "render/surface/surface_view.h"
#include "tools/tool_host.h"

#include <QScrollArea>

namespace velmora {

class DocumentSession;

class DrawingSurface : public QScrollArea {
    Q_OBJECT
public:
    DrawingSurface(DocumentSession &session, QWidget *parent);

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

protected:
    // The mouse wheel scrolls the drawing by 20 pixels a step.
    bool viewportEvent(QEvent *event) override;

private:
    void Paint(QPainter &painter, const QRect &exposed);

    DocumentSession &session_;
    SurfaceRenderer renderer_;
    bool paintSuspended_ = false; // set while the tools scroll the view
    bool sharpPending_ = false;   // a zoom's scaled stand-in is shown, its sharp picture follows
};

} // namespace velmora
