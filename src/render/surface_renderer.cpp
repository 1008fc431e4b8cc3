#include "surface_renderer.h"

#include "painter_canvas.h"

#include "document/drawing_state.h"

namespace velmora {

int SurfaceRenderer::LastRenderedSheet(const DrawingState &state, const ViewGeometry &view)
{
    return state.RenderActivePageOnly ? state.ActivePage : view.PageCount - 1;
}

void SurfaceRenderer::UpdateTextBoxes(DrawingState &state, const ViewGeometry &view)
{
    if (view.PageCount > 0 && view.PixelsPerMm > 0)
        MeasureTexts(state, LastRenderedSheet(state, view), view.PixelsPerMm, view.FontFactor(), view.DpiY);
}

void SurfaceRenderer::AcceptDrawing(const DrawingState &state)
{
    accepted_ = true;
    acceptedObjects_ = state.Objects.Version();
    acceptedTexts_ = state.Texts.Version();
    acceptedContent_ = state.ContentRevision();
}

SurfaceRenderer::LayerKey SurfaceRenderer::KeyFor(const DrawingState &state, const ViewGeometry &view, int sheet,
                                                  const QRect &part) const
{
    return {sheet,
            part,
            view.PixelsPerMm,
            view.Zoom,
            view.DpiY,
            state.PageHeightInch,
            view.PageWidthPx,
            view.PageHeightPx,
            accepted_ ? acceptedObjects_ : state.Objects.Version(),
            accepted_ ? acceptedTexts_ : state.Texts.Version(),
            accepted_ ? acceptedContent_ : state.ContentRevision()};
}

void SurfaceRenderer::Paint(QPainter &painter, const QRect &exposed, DrawingState &state, const ViewGeometry &view,
                            const SheetView &show)
{
    if (view.PixelsPerMm <= 0) {
        UpdateTextBoxes(state, view);
        return;
    }
    const int last = LastRenderedSheet(state, view);
    bool lastMeasured = false;
    std::vector<Layer> kept;
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        if (state.RenderActivePageOnly && sheet != state.ActivePage)
            continue;
        const QRect onSurface = view.SheetOnSurface(sheet);
        const QRect part = onSurface.intersected(exposed);
        if (part.isEmpty())
            continue;
        if (offscreen_.width() < part.width() || offscreen_.height() < part.height())
            offscreen_ = QImage(std::max(part.width(), offscreen_.width()), std::max(part.height(), offscreen_.height()),
                                QImage::Format_RGB32);
        const QRect partOnSheet = part.translated(-onSurface.topLeft());
        const QRect partInImage(QPoint(0, 0), part.size());
        const LayerKey key = KeyFor(state, view, sheet, partOnSheet);
        {
            QPainter imagePainter(&offscreen_);
            imagePainter.setClipRect(partInImage);
            PainterCanvas canvas(imagePainter, -partOnSheet.topLeft());
            auto cached = std::find_if(layers_.begin(), layers_.end(), [&](const Layer &l) { return l.Key == key; });
            if (cached != layers_.end()) {
                imagePainter.drawImage(QPoint(0, 0), cached->Image);
                kept.push_back(std::move(*cached));
            } else {
                index_.Refresh(state);
                const SheetCulling culling{partOnSheet, &index_};
                RenderSheetDrawing(canvas, state, view, sheet, &culling);
                kept.push_back({key, offscreen_.copy(partInImage)});
                lastMeasured = sheet == last;
            }
            RenderSheetInstruments(canvas, state, view, show);
        }
        painter.drawImage(part.topLeft(), offscreen_, partInImage);
    }
    layers_ = std::move(kept);
    if (!lastMeasured)
        UpdateTextBoxes(state, view);
}

} // namespace velmora
