#include "surface_renderer.h"

#include "change_areas.h"
#include "device_pixels.h"

#include "document/drawing_state.h"
#include "render/canvas/band_work.h"
#include "render/canvas/image_memory.h"
#include "render/canvas/painter_canvas.h"
#include "worksheet/page_images.h"

#include <algorithm>
#include <cstring>

namespace velmora {

bool SurfaceRenderer::BoxesAsMeasured(const DrawingState &state) const
{
    if (measuredEdges_.size() != size_t(state.Texts.Count) * 2)
        return false;
    for (int i = 0; i < state.Texts.Count; ++i) {
        const TextObject &text = state.Texts.At(i);
        const double edges[2] = {text.Right, text.Bottom};
        if (std::memcmp(edges, &measuredEdges_[size_t(i) * 2], sizeof edges) != 0)
            return false;
    }
    return true;
}

void SurfaceRenderer::UpdateTextBoxes(DrawingState &state, const ViewGeometry &view, PaintScope scope, int activeSheet)
{
    if (view.PageCount <= 0 || view.PixelsPerMm <= 0)
        return;
    const int sheet = scope == PaintScope::ActiveSheet ? activeSheet : view.PageCount - 1;
    const TextBoxKey key{&state,         state.Texts.Version(), state.ContentRevision(), view.PixelsPerMm, view.Zoom,
                         view.DpiY,      state.PageHeightInch,  sheet};
    if (measured_ && key == measuredFor_ && BoxesAsMeasured(state) && TextsUnchangedSince(state)) {
        measuredJournal_ = state.Changes.End();
        return;
    }
    MeasureTexts(state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY);
    measuredEdges_.resize(size_t(state.Texts.Count) * 2);
    for (int i = 0; i < state.Texts.Count; ++i) {
        measuredEdges_[size_t(i) * 2] = state.Texts.At(i).Right;
        measuredEdges_[size_t(i) * 2 + 1] = state.Texts.At(i).Bottom;
    }
    measuredFor_ = key;
    measured_ = true;
    measuredJournal_ = state.Changes.End();
}

bool SurfaceRenderer::TextsUnchangedSince(const DrawingState &state) const
{
    std::span<const RecordChange> notes;
    if (!state.Changes.Since(measuredJournal_, notes))
        return false;
    return std::none_of(notes.begin(), notes.end(), [](const RecordChange &n) { return n.Text; });
}

SurfaceRenderer::DrawingMark SurfaceRenderer::MarkOf(const DrawingState &state)
{
    return {&state, state.Changes.End(), state.Objects.Version(), state.Texts.Version(), state.ContentRevision()};
}

void SurfaceRenderer::NotePageAtHand(Layer &layer, const DrawingState &state, const ViewGeometry &view) const
{
    if (state.Background && !PageImagesOf(state.Background).HasSharp(layer.Sheet, view.PixelsPerMm * view_.Ratio))
        layer.PageWaiting = true;
}

void SurfaceRenderer::ShowArrivedPages(DrawingState &state, const ViewGeometry &view, const SheetView &show,
                                       QRegion &changed)
{
    if (!state.Background)
        return;
    PageImages &pages = PageImagesOf(state.Background);
    for (Layer &layer : layers_) {
        if (!layer.PageWaiting || !pages.HasSharp(layer.Sheet, view.PixelsPerMm * view_.Ratio))
            continue;
        layer.PageWaiting = false;
        layer.Under = QImage(); // it shows the waiting page: a growing stroke draws its part anew
        layer.UnderFrom = -1;
        RedrawPart(layer, layer.Part, state, view, show);
        changed += layer.Part.translated(layer.SheetOrigin);
    }
}

SurfaceRenderer::InstrumentKey SurfaceRenderer::InstrumentsOf(const DrawingState &state, const SheetView &show)
{
    const InstrumentPlacement &p = state.Placement;
    return {p.RulerX,     p.RulerY,     p.RulerAngle,     p.ProtractorX, p.ProtractorY,    p.ProtractorAngle,
            p.ProtractorDiameter,       p.CompassX,       p.CompassY,    p.CompassSpan,    p.CompassAngle,
            p.SetSquareX, p.SetSquareY, p.SetSquareAngle, show.Ruler,    show.Protractor,  show.Compass,
            show.InchLabels,            show.SetSquare};
}

SurfaceRenderer::Layer *SurfaceRenderer::Covering(int sheet, const QRect &part)
{
    for (Layer &layer : layers_)
        if (layer.Sheet == sheet && layer.Part.contains(part))
            return &layer;
    return nullptr;
}

void SurfaceRenderer::OnLayerImage(QImage &image, const Layer &layer,
                                   const std::function<void(PainterCanvas &)> &draw) const
{
    const qreal ratio = view_.Ratio;
    QPainter painter(&image);
    painter.setClipRect(QRectF(QPointF(0, 0), QSizeF(image.size()) / ratio));
    // Logical surface pixels onto the image, which starts at the layer's first device pixel.
    const QTransform toImage =
        QTransform::fromTranslate(-layer.DeviceOrigin.x() / ratio, -layer.DeviceOrigin.y() / ratio);
    PainterCanvas canvas(painter, layer.SheetOrigin, toImage);
    draw(canvas);
}

void SurfaceRenderer::DrawInBands(Layer &layer, DrawingState &state, const ViewGeometry &view)
{
    NotePageAtHand(layer, state, view);
    // A fresh picture with the instruments, to be filled after the bands (null when kept).
    const bool composedFresh = layer.Composed.size() == layer.Drawing.size() && !layer.HasComposed;
    uchar *const composedBits = composedFresh ? layer.Composed.bits() : nullptr;
    const qsizetype composedBytesPerLine = layer.Composed.bytesPerLine();
    uchar *const pictureBits = layer.Drawing.bits();
    const qsizetype pictureBytesPerLine = layer.Drawing.bytesPerLine();
    DrawRows(layer, layer.Drawing, layer.Drawing.rect(), layer.Part, 0, state, view, [&](int band, const QRect &rows) {
        // Its rows of fresh pictures get their memory here, not in the copies after the bands.
        if (band > 0)
            PrepareRows(pictureBits, pictureBytesPerLine, rows.top(), rows.height());
        PrepareRows(composedBits, composedBytesPerLine, rows.top(), rows.height());
    });
}

void SurfaceRenderer::DrawRows(Layer &layer, QImage &picture, const QRect &local, const QRect &onSheet, int textReach,
                               DrawingState &state, const ViewGeometry &view,
                               const std::function<void(int, const QRect &)> &bandDone)
{
    const qreal ratio = view_.Ratio;
    int bands = PicturesInBands ? std::clamp(local.height() / MinBandRows, 1, RenderThreads()) : 1;
    bands = int(std::min<qint64>(bands, 1 + MaxBandImageBytes / std::max<qint64>(1, picture.sizeInBytes())));
    // A device pixel at the part's edge may reach a little into the next logical pixel.
    auto visible = [&](const QRect &part) { return IsWholeRatio(ratio) ? part : part.adjusted(-1, -1, 1, 1); };
    const bool whole = local == picture.rect();
    if (bands == 1) {
        if (!IsWholeRatio(ratio))
            ClearDevicePixels(picture, local); // beside the sheet, the surface shows
        OnLayerImage(picture, layer, [&](PainterCanvas &canvas) {
            if (!whole)
                canvas.SetNeededPixels(local);
            const SheetCulling culling{visible(onSheet), &index_, textReach, SheetPass::Everything, true};
            RenderSheetDrawing(canvas, state, view, layer.Sheet, &culling);
        });
        return;
    }
    // Each band is drawn as a part drawn anew is (the objects and texts that can touch it, on
    // an image of the whole part), so its pixels are those of the whole part drawn at once.
    // The first band is drawn on the picture itself, the others on images of their own whose
    // rows are copied over when all are done.
    if (bandImages_.size() < size_t(bands - 1))
        bandImages_.resize(size_t(bands - 1));
    for (int b = 1; b < bands; ++b) {
        QImage &image = bandImages_[size_t(b - 1)];
        if (image.size() != picture.size() || image.format() != picture.format() || image.devicePixelRatio() != ratio)
            image = DeviceImage(picture.size(), ratio);
        if (image.isNull()) { // no memory for it: fewer bands
            bandImages_.resize(size_t(b - 1));
            bands = b;
            break;
        }
    }
    const bool textsInBands = LargestTextPixelHeight(state, view.Zoom, view.DpiY) * ratio < GlyphImageBelowPx;
    auto rowsOf = [&](int b) {
        const int top = local.top() + local.height() * b / bands, bottom = local.top() + local.height() * (b + 1) / bands;
        return QRect(local.left(), top, local.width(), bottom - top);
    };
    RunBands(bands, [&](int b) {
        QImage &image = b == 0 ? picture : bandImages_[size_t(b - 1)];
        const QRect rows = rowsOf(b);
        if (!IsWholeRatio(ratio))
            ClearDevicePixels(image, rows); // beside the sheet, the surface shows
        const QRect part = LogicalRectCovering(rows.translated(layer.DeviceOrigin), ratio)
                               .translated(-layer.SheetOrigin)
                               .intersected(onSheet);
        OnLayerImage(image, layer, [&](PainterCanvas &canvas) {
            canvas.SetNeededPixels(rows);
            const SheetCulling culling{visible(part), &index_, TextReachPx,
                                       textsInBands ? SheetPass::Everything : SheetPass::UnderTexts, true};
            RenderSheetDrawing(canvas, state, view, layer.Sheet, &culling);
        });
        if (bandDone)
            bandDone(b, rows);
    });
    for (int b = 1; b < bands; ++b)
        CopyDevicePixels(picture, rowsOf(b).topLeft(), bandImages_[size_t(b - 1)], rowsOf(b));
    if (textsInBands)
        return;
    // The texts over all bands, on this thread, as one thread drawing the part draws them.
    OnLayerImage(picture, layer, [&](PainterCanvas &canvas) {
        if (!whole)
            canvas.SetNeededPixels(local);
        const SheetCulling culling{visible(onSheet), &index_, textReach, SheetPass::TextsOnly};
        RenderSheetDrawing(canvas, state, view, layer.Sheet, &culling);
    });
}

void SurfaceRenderer::KeepForZoom(const PictureView &next, const DrawingMark &drawing)
{
    if (std::any_of(layers_.begin(), layers_.end(), [&](const Layer &l) { return !(l.RenderedFrom == drawing); }) ||
        std::any_of(standIn_.begin(), standIn_.end(), [&](const Layer &l) { return !(l.RenderedFrom == drawing); })) {
        standIn_.clear();
        return;
    }
    const ViewGeometry &was = view_.Geometry, &now = next.Geometry;
    const bool zoomOnly = next.Ratio == view_.Ratio && next.Paper == view_.Paper &&
                          next.PageWidthInch == view_.PageWidthInch && next.PageHeightInch == view_.PageHeightInch &&
                          now.PageCount == was.PageCount && now.PixelsPerMm != was.PixelsPerMm &&
                          was.PixelsPerMm > 0 && now.PixelsPerMm > 0;
    if (!zoomOnly) {
        standIn_.clear(); // it shows another drawing or other sheets
        return;
    }
    if (layers_.empty())
        return; // zoomed again before the sharp picture: the stand-in of the zoom before stays
    standIn_ = std::move(layers_);
    standInView_ = view_;
}

bool SurfaceRenderer::PaintStandIn(QPainter &painter, const QRect &exposed, const ViewGeometry &view) const
{
    if (standIn_.empty() || view.PixelsPerMm <= 0 || view.PageCount != standInView_.Geometry.PageCount ||
        PaintRatio(painter) != standInView_.Ratio)
        return false;
    const qreal scale = view.PixelsPerMm / standInView_.Geometry.PixelsPerMm;
    painter.save();
    painter.setClipRect(exposed);
    for (int sheet = 0; sheet < view.PageCount; ++sheet)
        if (view.SheetOnSurface(sheet).intersects(exposed))
            painter.fillRect(view.SheetOnSurface(sheet), Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const Layer &layer : standIn_) {
        const QPointF at = QPointF(view.SheetOnSurface(layer.Sheet).topLeft()) + QPointF(layer.Part.topLeft()) * scale;
        const QRectF target(at, QSizeF(layer.Part.size()) * scale);
        if (!target.intersects(exposed))
            continue;
        const QImage &picture = layer.HasComposed ? layer.Composed : layer.Drawing;
        // The picture's device pixels that show the part (a fractional ratio may add one at an edge).
        const QRectF source(QPointF(layer.SheetOrigin + layer.Part.topLeft()) * standInView_.Ratio - QPointF(layer.DeviceOrigin),
                            QSizeF(layer.Part.size()) * standInView_.Ratio);
        painter.drawImage(target, picture, source);
    }
    painter.restore();
    return true;
}

void SurfaceRenderer::Paint(QPainter &painter, const QRect &exposed, DrawingState &state, const ViewGeometry &view,
                            const SheetView &show)
{
    if (view.PixelsPerMm <= 0) {
        UpdateTextBoxes(state, view);
        return;
    }
    // Every text's box first: the rendering below finds the texts of a part by them.
    UpdateTextBoxes(state, view);
    const InstrumentKey instruments = InstrumentsOf(state, show);
    // The pictures hold device pixels; the sheets and the parts stay logical.
    const qreal ratio = PaintRatio(painter);
    const PictureView now = PictureViewOf(state, view, ratio);
    if (!(now == view_)) {
        KeepForZoom(now, MarkOf(state));
        layers_.clear(); // pictures of another view show nothing of this one
        view_ = now;
    }
    const QRect exposedDevice = DeviceRectCovering(exposed, ratio);
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect onSurface = view.SheetOnSurface(sheet);
        const QRect sheetDevice = DeviceRectOwned(onSurface, ratio);
        const QRect exposedOnSheet = sheetDevice.intersected(exposedDevice);
        if (exposedOnSheet.isEmpty())
            continue;
        const QRect part = LogicalRectCovering(exposedOnSheet, ratio).intersected(onSurface);
        const QRect partOnSheet = part.translated(-onSurface.topLeft());
        Layer *layer = Covering(sheet, partOnSheet);
        // Images of exactly the kept part's size: Qt's rasterizer clips lines to the image's
        // bounds before it steps along them, so a piece of the part drawn anew later (on an
        // image of this size) has the same pixels only when the whole part was drawn so too.
        if (!layer) {
            // The device pixels of the part: those it touches that belong to its sheet.
            const QRect partDevice =
                DeviceRectCovering(partOnSheet.translated(onSurface.topLeft()), ratio).intersected(sheetDevice);
            Layer fresh{sheet,         partOnSheet,         DeviceImage(partDevice.size(), ratio),
                        QImage(),      instruments,         false,
                        MarkOf(state), onSurface.topLeft(), partDevice.topLeft(), QImage(), -1,
                        0,             false};
            if (!IsWholeRatio(ratio))
                ClearDevicePixels(fresh.Drawing, fresh.Drawing.rect()); // beside the sheet, the surface shows
            // Made now, so the bands' threads give its memory too (it is filled after them).
            fresh.Composed = DeviceImage(fresh.Drawing.size(), ratio);
            index_.Refresh(state);
            DrawInBands(fresh, state, view);
            layers_.push_back(std::move(fresh));
            layer = &layers_.back();
        }
        if (!layer->HasComposed || !(layer->Instruments == instruments)) {
            // The instruments over the whole kept part, kept too, in the picture's own memory.
            if (layer->Composed.size() != layer->Drawing.size() || layer->Composed.format() != layer->Drawing.format())
                layer->Composed = DeviceImage(layer->Drawing.size(), ratio);
            CopyDevicePixels(layer->Composed, QPoint(0, 0), layer->Drawing, layer->Drawing.rect());
            OnLayerImage(layer->Composed, *layer,
                         [&](PainterCanvas &canvas) { RenderSheetInstruments(canvas, state, view, show); });
            layer->Instruments = instruments;
            layer->HasComposed = true;
        }
        // Only what was exposed: a device pixel shared with the workspace is drawn once per paint.
        DrawDevicePixels(painter, exposedOnSheet.topLeft(), layer->Composed,
                         exposedOnSheet.translated(-layer->DeviceOrigin));
    }
    // Keep the newest few pictures.
    constexpr size_t MaxLayers = 12;
    if (layers_.size() > MaxLayers)
        layers_.erase(layers_.begin(), layers_.end() - MaxLayers);
}

} // namespace velmora
