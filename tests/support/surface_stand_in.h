// The program around the tools with a real drawing surface, without a display: a repaint
// hands the kept pictures the change and asks to paint only the part of the surface it names,
// as the window does; the paint events that follow paint that part of a viewport image, the
// rest of which keeps what it showed, and the part the tools drew on, as the window updates it.
#pragma once

#include "stand_in_host.h"

#include "render/canvas/overlay_canvas.h"
#include "render/canvas/painter_canvas.h"
#include "render/surface/surface_renderer.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace velmora {

class SurfaceStandIn : public StandInHost {
public:
    // The viewport is the part of the surface shown, in surface pixels; ratio the screen's
    // device pixels per logical pixel.
    SurfaceStandIn(int sheets, int zoom, const QRect &viewport, qreal ratio)
        : viewport_(viewport), ratio_(ratio), shown_(ViewportImage())
    {
        PageCount = sheets;
        ZoomValue = zoom;
        ViewNow.Geometry = Geometry();
        shown_.fill(Qt::magenta);
    }

    SurfaceRenderer Renderer;
    OverlayCanvas Overlay;
    int Bounded = 0, Whole = 0; // repaints that named a part, and those that named everything

    ViewGeometry Geometry() const
    {
        return ComputeViewGeometry(PageCount, ZoomValue, 96, 96, Drawing().PageWidthInch, Drawing().PageHeightInch);
    }
    const QImage &Shown() const { return shown_; }
    const QRect &Viewport() const { return viewport_; }

    Canvas &Surface() override { return Overlay; }

    // The paint events that follow the repaints: the part of the viewport they named, with
    // the previews over it. As the widget's paint event: clipped to that part, which is filled
    // with the surface's background first. With oneRectangle, one paint of the rectangle
    // around it, as Qt merges the requests.
    void PaintPending(bool oneRectangle = false)
    {
        pending_ += Overlay.TakeDirtyRect(); // what the tools drew over the surface
        const QRegion area = pending_.intersected(QRegion(viewport_));
        pending_ = QRegion();
        if (area.isEmpty())
            return;
        const QRect exposed = area.boundingRect();
        QPainter painter(&shown_);
        painter.translate(-viewport_.topLeft());
        if (oneRectangle) {
            painter.setClipRect(exposed);
        } else {
            painter.setClipRegion(area);
            painter.fillRect(exposed, Qt::magenta);
        }
        Renderer.Paint(painter, exposed, Document(), ViewNow.Geometry, SheetView{});
        PainterCanvas canvas(painter, -viewport_.topLeft()); // the previews are in surface pixels
        Overlay.ReplayOn(canvas, exposed);
    }
    // The window moved to a screen of another device pixel ratio: all of it is painted anew.
    void MoveToScreen(qreal ratio)
    {
        ratio_ = ratio;
        shown_ = ViewportImage();
        shown_.fill(Qt::magenta);
        pending_ += QRegion(viewport_);
    }
    // A paint event of the whole viewport.
    void PaintAll()
    {
        pending_ = QRegion();
        QPainter painter(&shown_);
        painter.translate(-viewport_.topLeft());
        Renderer.Paint(painter, viewport_, Document(), ViewNow.Geometry, SheetView{});
        PainterCanvas canvas(painter, -viewport_.topLeft());
        Overlay.ReplayOn(canvas, viewport_);
    }
    // What a full rendering of the drawing as it is now shows in the viewport.
    QImage FullRender()
    {
        QImage image = ViewportImage();
        image.fill(Qt::magenta);
        SurfaceRenderer fresh;
        QPainter painter(&image);
        painter.translate(-viewport_.topLeft());
        fresh.Paint(painter, viewport_, Document(), ViewNow.Geometry, SheetView{});
        return image;
    }

protected:
    void Paint(PaintScope scope) override
    {
        ++Repaints;
        ViewNow.Geometry = Geometry();
        const std::optional<QRegion> changed =
            Renderer.AcceptDrawing(Document(), ViewNow.Geometry, SheetView{}, scope, ViewNow.ActivePage);
        const QRect overlay = Overlay.DrawnRect();
        Overlay.Clear();
        ++(changed ? Bounded : Whole);
        pending_ += changed ? *changed + overlay : QRegion(viewport_);
    }

private:
    QImage ViewportImage() const
    {
        QImage image(int(std::ceil(viewport_.width() * ratio_)), int(std::ceil(viewport_.height() * ratio_)),
                     QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio_);
        return image;
    }

    QRect viewport_;
    qreal ratio_;
    QImage shown_;
    QRegion pending_;
};

} // namespace velmora
