#include "surface_renderer.h"

#include "device_pixels.h"
#include "painter_canvas.h"

#include "document/drawing_state.h"

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
    if (measured_ && key == measuredFor_ && BoxesAsMeasured(state))
        return;
    MeasureTexts(state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY);
    measuredEdges_.resize(size_t(state.Texts.Count) * 2);
    for (int i = 0; i < state.Texts.Count; ++i) {
        measuredEdges_[size_t(i) * 2] = state.Texts.At(i).Right;
        measuredEdges_[size_t(i) * 2 + 1] = state.Texts.At(i).Bottom;
    }
    measuredFor_ = key;
    measured_ = true;
}

void SurfaceRenderer::AcceptDrawing(const DrawingState &state)
{
    accepted_ = true;
    acceptedObjects_ = state.Objects.Version();
    acceptedTexts_ = state.Texts.Version();
    acceptedContent_ = state.ContentRevision();
}

SurfaceRenderer::LayerKey SurfaceRenderer::KeyFor(const DrawingState &state, const ViewGeometry &view, int sheet,
                                                  const QRect &part, qreal ratio) const
{
    return {sheet,
            part,
            ratio,
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
    // The pictures hold device pixels; the sheets, the parts and the keys stay logical.
    const qreal ratio = PaintRatio(painter);
    const QRect exposedDevice = DeviceRectCovering(exposed, ratio);
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect onSurface = view.SheetOnSurface(sheet);
        const QRect sheetDevice = DeviceRectOwned(onSurface, ratio);
        const QRect exposedOnSheet = sheetDevice.intersected(exposedDevice);
        if (exposedOnSheet.isEmpty())
            continue;
        const QRect part = LogicalRectCovering(exposedOnSheet, ratio).intersected(onSurface);
        const QRect partOnSheet = part.translated(-onSurface.topLeft());
        // The device pixels of a part on the surface: those it touches that belong to its sheet.
        auto devicePart = [&](const QRect &onSheet) {
            return DeviceRectCovering(onSheet.translated(onSurface.topLeft()), ratio).intersected(sheetDevice);
        };
        const QRect partDevice = devicePart(partOnSheet);
        const LayerKey key = KeyFor(state, view, sheet, partOnSheet, ratio);
        Layer *layer = Covering(key);
        const QPoint inLayer = layer ? -devicePart(layer->Key.Part).topLeft() : QPoint();
        if (layer && layer->HasComposed && layer->Instruments == instruments) {
            // Nothing changed here: the kept picture, or the piece of it that is exposed.
            DrawDevicePixels(painter, exposedOnSheet.topLeft(), layer->Composed, exposedOnSheet.translated(inLayer));
            continue;
        }
        // A kept part whose instruments moved is composed again in its own picture, which keeps
        // its memory: no new image and no copy at every move.
        Layer *own = layer && layer->Key.Part == partOnSheet ? layer : nullptr;
        if (own && (own->Composed.size() != partDevice.size() || own->Composed.devicePixelRatio() != ratio))
            own->Composed = DeviceImage(partDevice.size(), ratio);
        if (!own && (offscreen_.devicePixelRatio() != ratio || offscreen_.width() < partDevice.width() ||
                     offscreen_.height() < partDevice.height()))
            offscreen_ = DeviceImage(QSize(std::max(partDevice.width(), offscreen_.width()),
                                           std::max(partDevice.height(), offscreen_.height())),
                                     ratio);
        QImage &image = own ? own->Composed : offscreen_;
        const QRect partInImage(QPoint(0, 0), partDevice.size());
        if (layer)
            CopyDevicePixels(image, QPoint(0, 0), layer->Drawing, partDevice.translated(inLayer));
        else if (!IsWholeRatio(ratio))
            ClearDevicePixels(image, partInImage); // beside the sheet, the surface shows through
        {
            QPainter imagePainter(&image);
            imagePainter.setClipRect(QRectF(QPointF(0, 0), QSizeF(partInImage.size()) / ratio));
            // Logical surface pixels onto the image, which starts at the part's first device pixel.
            const QTransform toImage = QTransform::fromTranslate(-partDevice.left() / ratio, -partDevice.top() / ratio);
            PainterCanvas canvas(imagePainter, onSurface.topLeft(), toImage);
            if (!layer) {
                index_.Refresh(state);
                // A device pixel at the part's edge may reach a little into the next logical pixel.
                const QRect visible = IsWholeRatio(ratio) ? partOnSheet : partOnSheet.adjusted(-1, -1, 1, 1);
                const SheetCulling culling{visible, &index_};
                RenderSheetDrawing(canvas, state, view, sheet, &culling);
                layers_.push_back({key, image.copy(partInImage), QImage(), instruments, false});
                layer = &layers_.back();
            }
            RenderSheetInstruments(canvas, state, view, show);
        }
        if (own) {
            own->Instruments = instruments;
            own->HasComposed = true;
        } else if (layer->Key.Part == partOnSheet) {
            layer->Composed = image.copy(partInImage);
            layer->Instruments = instruments;
            layer->HasComposed = true;
        }
        // Only what was exposed: a device pixel shared with the workspace is drawn once per paint.
        DrawDevicePixels(painter, exposedOnSheet.topLeft(), image, exposedOnSheet.translated(-partDevice.topLeft()));
    }
    // Keep the pictures of the drawing as it was last accepted, the newest few.
    const LayerKey now = KeyFor(state, view, 0, QRect(), ratio);
    std::erase_if(layers_, [&](const Layer &layer) {
        return layer.Key.ObjectsVersion != now.ObjectsVersion || layer.Key.TextsVersion != now.TextsVersion ||
               layer.Key.Content != now.Content || layer.Key.PixelsPerMm != now.PixelsPerMm ||
               layer.Key.PageWidthPx != now.PageWidthPx || layer.Key.PageHeightPx != now.PageHeightPx ||
               layer.Key.DpiY != now.DpiY || layer.Key.Ratio != now.Ratio || layer.Key.PageHeightInch != now.PageHeightInch;
    });
    constexpr size_t MaxLayers = 12;
    if (layers_.size() > MaxLayers)
        layers_.erase(layers_.begin(), layers_.end() - MaxLayers);
}

} // namespace velmora
