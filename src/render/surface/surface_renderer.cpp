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

QImage *SurfaceRenderer::BandImageLike(const QImage &picture, std::vector<char> &taken)
{
    const qreal ratio = view_.Ratio;
    auto fits = [&](const QImage &image) {
        return image.size() == picture.size() && image.format() == picture.format() && image.devicePixelRatio() == ratio;
    };
    taken.resize(bandImages_.size(), 0);
    size_t pick = bandImages_.size();
    for (size_t i = 0; i < bandImages_.size() && pick == bandImages_.size(); ++i)
        if (!taken[i] && fits(bandImages_[i]))
            pick = i;
    for (size_t i = 0; i < bandImages_.size() && pick == bandImages_.size(); ++i)
        if (!taken[i])
            pick = i; // one of another size is made anew
    qint64 used = picture.sizeInBytes();
    for (size_t i = 0; i < bandImages_.size(); ++i)
        if (taken[i])
            used += bandImages_[i].sizeInBytes();
    if (used > MaxBandImageBytes)
        return nullptr;
    if (pick == bandImages_.size()) {
        if (bandImages_.size() == bandImages_.capacity())
            return nullptr; // the images taken before must stay where they are
        bandImages_.emplace_back();
        taken.push_back(0);
    }
    QImage &image = bandImages_[pick];
    if (!fits(image))
        image = DeviceImage(picture.size(), ratio);
    if (image.isNull())
        return nullptr;
    taken[pick] = 1;
    return &image;
}

std::vector<int> SurfaceRenderer::BandCuts(const std::vector<RowsToDraw> &jobs, int total, int bands,
                                           const DrawingState &state, const ViewGeometry &view) const
{
    // A band's work follows what is drawn near its rows more than the count of its rows (the
    // drawing gathers where the pupil drew, the margins and the gap between sheets are empty):
    // each row weighs one, more the objects of the index band it lies in and two for each text
    // across it (a text's row costs about twice an object's), and each band gets an equal share.
    constexpr double TextWeight = 2;
    // Each job's rows among all rows, and where global millimetres fall on them.
    struct Span {
        double Scale, Shift; // row = mm * Scale + Shift
        int First, Last;
    };
    std::vector<Span> spans;
    double lowest = HUGE_VAL, highest = -HUGE_VAL; // the millimetres of all rows
    for (int first = 0; const RowsToDraw &job : jobs) {
        const Layer &layer = *job.Of;
        const double off = SheetOffsetMm(layer.Sheet, state.PageHeightInch);
        const double scale = view.PixelsPerMm * view_.Ratio;
        const double shift =
            (layer.SheetOrigin.y() - off * view.PixelsPerMm) * view_.Ratio - layer.DeviceOrigin.y() - job.Local.top() + first;
        const Span span{scale, shift, first, first + job.Local.height() - 1};
        spans.push_back(span);
        lowest = std::min(lowest, (span.First - 1 - shift) / scale);
        highest = std::max(highest, (span.Last + 1 - shift) / scale);
        first += job.Local.height();
    }
    // The texts, as steps up and down along the rows; most lie far from the rows drawn.
    std::vector<double> steps(size_t(total) + 1, 0.0);
    for (int i = 0; i < state.Texts.Count; ++i) {
        const TextObject &text = state.Texts.At(i);
        const double top = std::min(text.Top, text.Bottom), bottom = std::max(text.Top, text.Bottom);
        if (!(bottom >= lowest && top <= highest)) // also a box that is no number
            continue;
        for (const Span &span : spans) {
            const double from = std::max(top * span.Scale + span.Shift, double(span.First));
            const double to = std::min(bottom * span.Scale + span.Shift, double(span.Last));
            if (from <= to) {
                steps[size_t(from)] += TextWeight;
                steps[size_t(to) + 1] -= TextWeight;
            }
        }
    }
    std::vector<double> upTo(size_t(total) + 1, 0.0);
    double texts = 0;
    for (const Span &span : spans)
        for (int row = span.First; row <= span.Last; ++row) {
            texts += steps[size_t(row)];
            const double objects = double(index_.ObjectsNear((row + 0.5 - span.Shift) / span.Scale));
            upTo[size_t(row) + 1] = upTo[size_t(row)] + 1.0 + texts + objects;
        }
    std::vector<int> cuts(size_t(bands) + 1, total);
    cuts[0] = 0;
    for (int b = 1; b < bands; ++b) {
        const double share = upTo[size_t(total)] * b / bands;
        const int at = int(std::lower_bound(upTo.begin(), upTo.end(), share) - upTo.begin());
        // Every band keeps a row at least, and leaves one to each after it.
        cuts[size_t(b)] = std::clamp(at, cuts[size_t(b) - 1] + 1, total - (bands - b));
    }
    return cuts;
}

void SurfaceRenderer::DrawRows(const std::vector<RowsToDraw> &jobs, DrawingState &state, const ViewGeometry &view)
{
    const qreal ratio = view_.Ratio;
    // A device pixel at the part's edge may reach a little into the next logical pixel.
    auto visible = [&](const QRect &part) { return IsWholeRatio(ratio) ? part : part.adjusted(-1, -1, 1, 1); };
    int total = 0;
    for (const RowsToDraw &job : jobs)
        total += job.Local.height();
    const int bands = PicturesInBands ? std::clamp(total / MinBandRows, 1, RenderThreads()) : 1;
    // The rows of all pictures, one after the other, cut into bands of equal work: a band may
    // hold the end of one picture and the start of the next. Each piece of a band is drawn as
    // a part drawn anew is (what can touch it, on an image of its picture's size), so its
    // pixels are those of the whole picture drawn at once: the first piece of a picture on the
    // picture itself, the others on images of their own whose rows are copied over after all
    // bands.
    struct Piece {
        size_t Job;
        QRect Rows;
        QImage *Image;
    };
    std::vector<std::vector<Piece>> pieces(static_cast<size_t>(bands));
    std::vector<char> taken;
    bandImages_.reserve(bandImages_.size() + size_t(bands) + jobs.size());
    bool cut = bands > 1;
    const std::vector<int> cuts = cut ? BandCuts(jobs, total, bands, state, view) : std::vector<int>();
    for (int b = 0, start = 0; cut && b < bands; ++b, start = 0) {
        const int from = cuts[size_t(b)], to = cuts[size_t(b) + 1];
        for (size_t j = 0; j < jobs.size() && cut; start += jobs[j].Local.height(), ++j) {
            const QRect &local = jobs[j].Local;
            const int top = std::max(from, start), bottom = std::min(to, start + local.height());
            if (top >= bottom)
                continue;
            const QRect rows(local.left(), local.top() + top - start, local.width(), bottom - top);
            QImage *image = rows.top() == local.top() ? jobs[j].Picture : BandImageLike(*jobs[j].Picture, taken);
            cut = image != nullptr; // no memory for it: one thread draws all
            pieces[size_t(b)].push_back({j, rows, image});
        }
    }
    if (!cut) {
        for (const RowsToDraw &job : jobs) {
            if (!IsWholeRatio(ratio))
                ClearDevicePixels(*job.Picture, job.Local); // beside the sheet, the surface shows
            OnLayerImage(*job.Picture, *job.Of, [&](PainterCanvas &canvas) {
                if (job.Local != job.Picture->rect())
                    canvas.SetNeededPixels(job.Local);
                const SheetCulling culling{visible(job.OnSheet), &index_, job.TextReach, SheetPass::Everything, true};
                RenderSheetDrawing(canvas, state, view, job.Of->Sheet, &culling);
            });
        }
        return;
    }
    const bool textsInBands = LargestTextPixelHeight(state, view.Zoom, view.DpiY) * ratio < GlyphImageBelowPx;
    // A fresh picture and its picture with the instruments (filled after the bands) get the
    // memory of their rows on the bands' threads, not in the copies after them.
    struct Fresh {
        uchar *Bits = nullptr;
        qsizetype BytesPerLine = 0;
        void Prepare(const QRect &rows) const { PrepareRows(Bits, BytesPerLine, rows.top(), rows.height()); }
    };
    std::vector<Fresh> freshPicture(jobs.size()), freshComposed(jobs.size());
    for (size_t j = 0; j < jobs.size(); ++j) {
        Layer &layer = *jobs[j].Of;
        if (!jobs[j].Fresh)
            continue;
        freshPicture[j] = {jobs[j].Picture->bits(), jobs[j].Picture->bytesPerLine()};
        if (layer.Composed.size() == layer.Drawing.size() && !layer.HasComposed)
            freshComposed[j] = {layer.Composed.bits(), layer.Composed.bytesPerLine()};
    }
    RunBands(bands, [&](int b) {
        for (const Piece &piece : pieces[size_t(b)]) {
            const RowsToDraw &job = jobs[piece.Job];
            const Layer &layer = *job.Of;
            if (!IsWholeRatio(ratio))
                ClearDevicePixels(*piece.Image, piece.Rows); // beside the sheet, the surface shows
            const QRect part = LogicalRectCovering(piece.Rows.translated(layer.DeviceOrigin), ratio)
                                   .translated(-layer.SheetOrigin)
                                   .intersected(job.OnSheet);
            OnLayerImage(*piece.Image, layer, [&](PainterCanvas &canvas) {
                canvas.SetNeededPixels(piece.Rows);
                const SheetCulling culling{visible(part), &index_, TextReachPx,
                                           textsInBands ? SheetPass::Everything : SheetPass::UnderTexts, true};
                RenderSheetDrawing(canvas, state, view, layer.Sheet, &culling);
            });
            if (piece.Image != job.Picture)
                freshPicture[piece.Job].Prepare(piece.Rows);
            freshComposed[piece.Job].Prepare(piece.Rows);
        }
    });
    for (const std::vector<Piece> &band : pieces)
        for (const Piece &piece : band)
            if (piece.Image != jobs[piece.Job].Picture)
                CopyDevicePixels(*jobs[piece.Job].Picture, piece.Rows.topLeft(), *piece.Image, piece.Rows);
    if (textsInBands)
        return;
    // The texts over all bands, on this thread, as one thread drawing the part draws them.
    for (const RowsToDraw &job : jobs)
        OnLayerImage(*job.Picture, *job.Of, [&](PainterCanvas &canvas) {
            if (job.Local != job.Picture->rect())
                canvas.SetNeededPixels(job.Local);
            const SheetCulling culling{visible(job.OnSheet), &index_, job.TextReach, SheetPass::TextsOnly};
            RenderSheetDrawing(canvas, state, view, job.Of->Sheet, &culling);
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
    // The kept layer that shows each exposed sheet, made where there is none; the fresh ones
    // are drawn together, their rows cut into bands across them.
    struct Shown {
        size_t Layer;
        QRect ExposedOnSheet;
    };
    std::vector<Shown> shown;
    std::vector<size_t> fresh;
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect onSurface = view.SheetOnSurface(sheet);
        const QRect sheetDevice = DeviceRectOwned(onSurface, ratio);
        const QRect exposedOnSheet = sheetDevice.intersected(exposedDevice);
        if (exposedOnSheet.isEmpty())
            continue;
        const QRect part = LogicalRectCovering(exposedOnSheet, ratio).intersected(onSurface);
        const QRect partOnSheet = part.translated(-onSurface.topLeft());
        if (Layer *layer = Covering(sheet, partOnSheet)) {
            shown.push_back({size_t(layer - layers_.data()), exposedOnSheet});
            continue;
        }
        // Images of exactly the kept part's size: Qt's rasterizer clips lines to the image's
        // bounds before it steps along them, so a piece of the part drawn anew later (on an
        // image of this size) has the same pixels only when the whole part was drawn so too.
        // The device pixels of the part: those it touches that belong to its sheet.
        const QRect partDevice =
            DeviceRectCovering(partOnSheet.translated(onSurface.topLeft()), ratio).intersected(sheetDevice);
        Layer layer{sheet,         partOnSheet,         DeviceImage(partDevice.size(), ratio),
                    QImage(),      instruments,         false,
                    MarkOf(state), onSurface.topLeft(), partDevice.topLeft(), QImage(), -1,
                    0,             false};
        if (!IsWholeRatio(ratio))
            ClearDevicePixels(layer.Drawing, layer.Drawing.rect()); // beside the sheet, the surface shows
        // Made now, so the bands' threads give its memory too (it is filled after them).
        layer.Composed = DeviceImage(layer.Drawing.size(), ratio);
        NotePageAtHand(layer, state, view);
        layers_.push_back(std::move(layer));
        fresh.push_back(layers_.size() - 1);
        shown.push_back({layers_.size() - 1, exposedOnSheet});
    }
    if (!fresh.empty()) {
        index_.Refresh(state);
        std::vector<RowsToDraw> jobs;
        for (size_t i : fresh)
            jobs.push_back({&layers_[i], &layers_[i].Drawing, layers_[i].Drawing.rect(), layers_[i].Part, 0, true});
        DrawRows(jobs, state, view);
    }
    for (const Shown &s : shown) {
        Layer *layer = &layers_[s.Layer];
        const QRect &exposedOnSheet = s.ExposedOnSheet;
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
