// How the kept pictures of the surface follow a change of the drawing: the part a change
// touched is drawn anew from the objects and texts there, objects appended on top are drawn
// over the picture, and the window learns which part of the surface to paint again.
#include "surface_renderer.h"

#include "change_areas.h"
#include "device_pixels.h"

#include "document/drawing_state.h"
#include "render/canvas/painter_canvas.h"
#include "render/canvas/reach_canvas.h"
#include "worksheet/page_images.h"

#include <algorithm>

namespace velmora {

namespace {

// More separate parts than this in one picture are drawn anew as their bounding rectangle.
constexpr size_t MaxParts = 16;

// The rectangles with those that overlap joined (a moved object's old and new place are
// often one), or their bounding rectangle when they are many.
std::vector<QRect> Merged(std::vector<QRect> rects)
{
    if (rects.size() > MaxParts) {
        QRect all;
        for (const QRect &r : rects)
            all = all.united(r);
        return {all};
    }
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t a = 0; a < rects.size() && !joined; ++a)
            for (size_t b = a + 1; b < rects.size() && !joined; ++b)
                if (rects[a].intersects(rects[b])) {
                    rects[a] = rects[a].united(rects[b]);
                    rects.erase(rects.begin() + std::ptrdiff_t(b));
                    joined = true;
                }
    }
    return rects;
}

std::vector<QRect> OnSheet(const std::vector<ChangedArea> &areas, double s, double off, const QRect &limit)
{
    std::vector<QRect> rects;
    for (const ChangedArea &area : areas) {
        const QRect r = AreaOnSheet(area, s, off, limit);
        if (!r.isEmpty())
            rects.push_back(r);
    }
    return Merged(std::move(rects));
}

} // namespace

std::optional<QRegion> SurfaceRenderer::AcceptDrawing(DrawingState &state, const ViewGeometry &view,
                                                      const SheetView &show, PaintScope scope, int activeSheet)
{
    UpdateTextBoxes(state, view, scope, activeSheet);
    const DrawingMark now = MarkOf(state);
    const InstrumentKey instruments = InstrumentsOf(state, show);
    // The ratio is the pictures' own until a paint tells another.
    const PictureView seen = PictureViewOf(state, view, view_.Ratio);
    const bool sameView = accepted_ && seen == view_ && view.PixelsPerMm > 0;
    if (!sameView) {
        KeepForZoom(seen, now);
        layers_.clear(); // pictures of another view show nothing of this one
    } else if (!(accepted_ && now == acceptedMark_)) {
        standIn_.clear(); // it shows the drawing as it was
    }
    QRegion changed;
    bool followed = accepted_ && now == acceptedMark_;
    if (!followed && sameView)
        followed = FollowChanges(state, view, show, now, changed);
    if (!followed)
        layers_.clear();
    if (followed && sameView)
        ShowArrivedPages(state, view, show, changed);
    const bool everything = !followed || !sameView || !(instruments == acceptedInstruments_);
    accepted_ = true;
    acceptedMark_ = now;
    view_ = seen;
    acceptedInstruments_ = instruments;
    if (everything)
        return std::nullopt;
    return changed;
}

bool SurfaceRenderer::FollowChanges(DrawingState &state, const ViewGeometry &view, const SheetView &show,
                                    const DrawingMark &now, QRegion &changed)
{
    const DrawingMark &was = acceptedMark_;
    if (now.State != was.State || now.Content != was.Content)
        return false;
    std::span<const RecordChange> notes;
    if (!state.Changes.Since(was.Journal, notes))
        return false;
    uint64_t objects = 0, texts = 0;
    for (const RecordChange &note : notes)
        if (note.What != RecordChange::Changed)
            ++(note.Text ? texts : objects);
    if (now.ObjectsVersion - was.ObjectsVersion != objects || now.TextsVersion - was.TextsVersion != texts)
        return false; // a list changed in a way the notes do not tell
    DrawingChanges changes;
    if (!CollectChanges(state, notes, changes))
        return false;
    index_.Refresh(state);

    // A picture rendered from the drawing between two repaints (an exposure during a stroke)
    // cannot follow; nor can the surface be painted in pieces then, as a piece drawn on its
    // own may differ from its neighbours in a pixel: all is drawn anew.
    if (layers_.empty() || std::any_of(layers_.begin(), layers_.end(),
                                       [&](const Layer &layer) { return !(layer.RenderedFrom == was); }))
        return false;
    const double s = view.PixelsPerMm;
    for (Layer &layer : layers_) {
        const double off = SheetOffsetMm(layer.Sheet, state.PageHeightInch);
        const QRect part = layer.Part;
        const bool grows = changes.GrownFrom >= 0 && layer.UnderFrom == changes.GrownFrom &&
                           layer.UnderCount == changes.Before && layer.Under.size() == layer.Drawing.size();
        if (!grows) {
            layer.Under = QImage();
            layer.UnderFrom = -1;
        }
        for (const QRect &r : OnSheet(changes.Redraw, s, off, part))
            grows ? GrowStroke(layer, r, state, view, show) : RedrawPart(layer, r, state, view, show);
        layer.UnderCount = state.Objects.Count;
        if (changes.OnTopFrom >= 0) {
            if (state.Objects.At(changes.OnTopFrom).Kind == KindLine) {
                // A line may begin a stroke: what lies under it is kept (shared until drawn on).
                layer.Under = layer.Drawing;
                layer.UnderFrom = changes.OnTopFrom;
            }
            const std::vector<QRect> over = OnSheet(changes.OnTop, s, off, part);
            if (!over.empty()) {
                // A device pixel at the part's edge may reach a little into the next logical pixel.
                const QRect drawn = IsWholeRatio(view_.Ratio) ? part : part.adjusted(-1, -1, 1, 1);
                OnLayerImage(layer.Drawing, layer, [&](PainterCanvas &canvas) {
                    DrawObjectsOnTop(canvas, state, view, layer.Sheet, changes.OnTopFrom, drawn);
                });
                for (const QRect &r : over)
                    Compose(layer, r, state, view, show);
            }
        }
        layer.RenderedFrom = now;
    }

    // The surface the window paints again: every sheet the changed areas meet.
    std::vector<QRect> onSurface;
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect placed = view.SheetOnSurface(sheet);
        if (placed.isEmpty())
            continue;
        const double off = SheetOffsetMm(sheet, state.PageHeightInch);
        const QRect whole(QPoint(0, 0), placed.size());
        for (const auto *areas : {&changes.Redraw, &changes.OnTop})
            for (const QRect &r : OnSheet(*areas, s, off, whole))
                onSurface.push_back(r.translated(placed.topLeft()));
    }
    onSurface = Merged(std::move(onSurface));
    for (const QRect &r : onSurface)
        changed += r;
    return true;
}

// Qt's rasterizer clips thin lines and outlines to the bounds of the image or the clip
// before it steps along them, so the same object drawn on a smaller image or under a smaller
// clip can differ in a pixel here and there. The part is therefore drawn on an image of the
// whole kept part, unclipped, with the same transform as the part's full rendering (the
// objects that can touch the part in their order, every one whole where the painter draws
// it; the fast paths, whose pixels do not depend on a clip, only within the part), and only
// the part is copied over: the same pixels as a full rendering.
QImage &SurfaceRenderer::Scratch(const Layer &layer)
{
    if (scratch_.size() != layer.Drawing.size() || scratch_.format() != layer.Drawing.format() ||
        scratch_.devicePixelRatio() != view_.Ratio)
        scratch_ = DeviceImage(layer.Drawing.size(), view_.Ratio);
    return scratch_;
}

// The device pixels of a kept layer's pictures that a part of its sheet (sheet pixels) touches.
static QRect InLayer(const QRect &onSheet, const QPoint &sheetOrigin, const QPoint &deviceOrigin, qreal ratio,
                     const QSize &size)
{
    return DeviceRectCovering(onSheet.translated(sheetOrigin), ratio)
        .translated(-deviceOrigin)
        .intersected(QRect(QPoint(0, 0), size));
}

void SurfaceRenderer::RedrawPart(Layer &layer, const QRect &onSheet, DrawingState &state, const ViewGeometry &view,
                                 const SheetView &show)
{
    NotePageAtHand(layer, state, view);
    const QRect local = InLayer(onSheet, layer.SheetOrigin, layer.DeviceOrigin, view_.Ratio, layer.Drawing.size());
    QImage &scratch = Scratch(layer);
    DrawRows({{&layer, &scratch, local, onSheet, TextReachPx, false}}, state, view);
    CopyDevicePixels(layer.Drawing, local.topLeft(), scratch, local);
    Compose(layer, onSheet, state, view, show);
}

void SurfaceRenderer::GrowStroke(Layer &layer, const QRect &onSheet, DrawingState &state, const ViewGeometry &view,
                                 const SheetView &show)
{
    NotePageAtHand(layer, state, view);
    const QRect local = InLayer(onSheet, layer.SheetOrigin, layer.DeviceOrigin, view_.Ratio, layer.Drawing.size());
    QImage &scratch = Scratch(layer);
    CopyDevicePixels(scratch, local.topLeft(), layer.Under, local);
    // A device pixel at the part's edge may reach a little into the next logical pixel.
    const QRect visible = IsWholeRatio(view_.Ratio) ? onSheet : onSheet.adjusted(-1, -1, 1, 1);
    OnLayerImage(scratch, layer, [&](PainterCanvas &canvas) {
        canvas.SetNeededPixels(local);
        DrawObjectsOnTop(canvas, state, view, layer.Sheet, layer.UnderFrom, visible);
    });
    CopyDevicePixels(layer.Drawing, local.topLeft(), scratch, local);
    Compose(layer, onSheet, state, view, show);
}

QRect SurfaceRenderer::InstrumentReach(const DrawingState &state, const ViewGeometry &view, const SheetView &show)
{
    const InstrumentKey key = InstrumentsOf(state, show);
    if (!reachKnown_ || !(reachFor_ == key) || !(reachView_ == view_)) {
        ReachCanvas reach;
        RenderSheetInstruments(reach, state, view, show);
        instrumentReach_ = reach.Reach();
        reachFor_ = key;
        reachView_ = view_;
        reachKnown_ = true;
    }
    return instrumentReach_;
}

void SurfaceRenderer::Compose(Layer &layer, const QRect &onSheet, const DrawingState &state, const ViewGeometry &view,
                              const SheetView &show)
{
    if (!layer.HasComposed)
        return;
    if (!(layer.Instruments == InstrumentsOf(state, show))) {
        layer.HasComposed = false; // the next paint composes it with the instruments where they are now
        return;
    }
    const QRect local = InLayer(onSheet, layer.SheetOrigin, layer.DeviceOrigin, view_.Ratio, layer.Drawing.size());
    // A part the instruments cannot reach shows the drawing alone.
    if (!InstrumentReach(state, view, show).intersects(onSheet.adjusted(-2, -2, 2, 2))) {
        CopyDevicePixels(layer.Composed, local.topLeft(), layer.Drawing, local);
        return;
    }
    QImage &scratch = Scratch(layer);
    CopyDevicePixels(scratch, local.topLeft(), layer.Drawing, local);
    OnLayerImage(scratch, layer, [&](PainterCanvas &canvas) { RenderSheetInstruments(canvas, state, view, show); });
    CopyDevicePixels(layer.Composed, local.topLeft(), scratch, local);
}

} // namespace velmora
