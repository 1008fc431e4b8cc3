#include "surface_renderer.h"

#include "change_areas.h"
#include "painter_canvas.h"

#include "document/drawing_state.h"

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

SurfaceRenderer::LayerKey SurfaceRenderer::KeyFor(const DrawingState &state, const ViewGeometry &view, int sheet,
                                                  const QRect &part) const
{
    return {sheet,          part,          view.PixelsPerMm, view.Zoom, view.DpiY, state.PageHeightInch,
            view.PageWidthPx, view.PageHeightPx, generation_};
}

SurfaceRenderer::InstrumentKey SurfaceRenderer::InstrumentsOf(const DrawingState &state, const SheetView &show)
{
    const InstrumentPlacement &p = state.Placement;
    return {p.RulerX,   p.RulerY,   p.RulerAngle,  p.ProtractorX, p.ProtractorY, p.ProtractorAngle, p.ProtractorDiameter,
            p.CompassX, p.CompassY, p.CompassSpan, p.CompassAngle, show.Ruler,  show.Protractor,   show.Compass,
            show.InchLabels};
}

SurfaceRenderer::Layer *SurfaceRenderer::Covering(const LayerKey &key)
{
    for (Layer &layer : layers_) {
        LayerKey same = layer.Key;
        same.Part = key.Part;
        if (same == key && layer.Key.Part.contains(key.Part))
            return &layer;
    }
    return nullptr;
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
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect onSurface = view.SheetOnSurface(sheet);
        const QRect part = onSurface.intersected(exposed);
        if (part.isEmpty())
            continue;
        const QRect partOnSheet = part.translated(-onSurface.topLeft());
        const LayerKey key = KeyFor(state, view, sheet, partOnSheet);
        Layer *layer = Covering(key);
        if (layer && layer->HasComposed && layer->Instruments == instruments) {
            // Nothing changed here: the kept picture, or the piece of it that is exposed.
            painter.drawImage(part.topLeft(), layer->Composed, partOnSheet.translated(-layer->Key.Part.topLeft()));
            continue;
        }
        // Images of exactly the kept part's size: Qt's rasterizer clips lines to the image's
        // bounds before it steps along them, so a piece of the part drawn anew later (on an
        // image of this size) has the same pixels only when the whole part was drawn so too.
        if (!layer) {
            if (offscreen_.size() != part.size())
                offscreen_ = QImage(part.size(), QImage::Format_RGB32);
            {
                QPainter imagePainter(&offscreen_);
                imagePainter.setClipRect(offscreen_.rect());
                PainterCanvas canvas(imagePainter, -partOnSheet.topLeft());
                index_.Refresh(state);
                const SheetCulling culling{partOnSheet, &index_};
                RenderSheetDrawing(canvas, state, view, sheet, &culling);
            }
            layers_.push_back({key, offscreen_.copy(), QImage(), instruments, false, MarkOf(state)});
            layer = &layers_.back();
        }
        // The instruments over the whole kept part, kept too; the exposed piece is shown.
        if (layer->Composed.size() != layer->Drawing.size())
            layer->Composed = QImage(layer->Drawing.size(), QImage::Format_RGB32);
        {
            QPainter imagePainter(&layer->Composed);
            imagePainter.setClipRect(layer->Composed.rect());
            imagePainter.drawImage(QPoint(0, 0), layer->Drawing);
            PainterCanvas canvas(imagePainter, -layer->Key.Part.topLeft());
            RenderSheetInstruments(canvas, state, view, show);
        }
        layer->Instruments = instruments;
        layer->HasComposed = true;
        painter.drawImage(part.topLeft(), layer->Composed, partOnSheet.translated(-layer->Key.Part.topLeft()));
    }
    // Keep the pictures of the drawing as it was last accepted, the newest few.
    const LayerKey now = KeyFor(state, view, 0, QRect());
    std::erase_if(layers_, [&](const Layer &layer) {
        return layer.Key.Generation != now.Generation || layer.Key.PixelsPerMm != now.PixelsPerMm ||
               layer.Key.PageWidthPx != now.PageWidthPx || layer.Key.PageHeightPx != now.PageHeightPx ||
               layer.Key.DpiY != now.DpiY || layer.Key.PageHeightInch != now.PageHeightInch;
    });
    constexpr size_t MaxLayers = 12;
    if (layers_.size() > MaxLayers)
        layers_.erase(layers_.begin(), layers_.end() - MaxLayers);
}

} // namespace velmora
