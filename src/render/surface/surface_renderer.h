// Paints the drawing surface: every sheet that meets the exposed part is rendered into
// an off-screen image the size of that part and copied in one piece, so the cost of a
// paint follows the viewport, not the size of the drawing. The drawing of each visible
// part is kept until the drawing or the view changes, so moving an instrument repaints
// only the instruments over it; a change of a few objects or texts draws only the part it
// touched anew, or draws objects appended on top over the kept picture.
#pragma once

#include "picture_view.h"
#include "surface_view.h"

#include "render/sheet/object_index.h"
#include "render/sheet/sheet_renderer.h"
#include "render/sheet/view_geometry.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velmora {

class DrawingState;
class PainterCanvas;

class SurfaceRenderer {
public:
    // Whether full pictures are drawn in bands on every core (off: one thread draws them).
    static inline bool PicturesInBands = true;
    // Paints the exposed rectangle (surface coordinates) of the surface and brings every
    // text's measured box up to date, as rendering all sheets in order would.
    void Paint(QPainter &painter, const QRect &exposed, DrawingState &state, const ViewGeometry &view,
               const SheetView &show);

    // The text boxes a paint of the given scope would leave, without drawing anything: a paint
    // of every sheet measures them on the last sheet, one of the active sheet on that sheet.
    // Texts are measured again only when the texts, the drawing or the view changed since the
    // last measuring (or a box was written by someone else), not at every paint.
    void UpdateTextBoxes(DrawingState &state, const ViewGeometry &view, PaintScope scope = PaintScope::AllSheets,
                         int activeSheet = 0);

    // Forget the kept drawings (for measurements of uncached paints).
    void DropCache()
    {
        layers_.clear();
        standIn_.clear();
    }

    // After a zoom, until the sharp picture is painted, the pictures of the zoom before can
    // stand in for it, scaled: a zoom shows at once, however long its picture takes.
    bool HasStandIn() const { return !standIn_.empty(); }
    // Paints the exposed rectangle with the sheets white and the pictures of the zoom before
    // scaled over them (nothing else is drawn); false when there is none for this view.
    bool PaintStandIn(QPainter &painter, const QRect &exposed, const ViewGeometry &view) const;
    // The sharp picture follows: the stand-in is no longer wanted.
    void DropStandIn() { standIn_.clear(); }

    // Called by every repaint of the drawing: the kept drawings are brought to the drawing
    // as it is now, and the text boxes measured for the scope. Paints in between (an
    // uncovered strip, a pencil segment drawn over the surface) reuse what is kept, as a
    // surface that is not repainted keeps its picture. Returns the part of the surface
    // (surface pixels) whose picture changed, or nothing when all of it may have: the view
    // or an instrument changed, or a change of the drawing that the journal cannot bound.
    std::optional<QRegion> AcceptDrawing(DrawingState &state, const ViewGeometry &view, const SheetView &show,
                                         PaintScope scope = PaintScope::AllSheets, int activeSheet = 0);

private:
    // A text drawn anew near a part may lean into it from a little further away.
    static constexpr int TextReachPx = 16;
    // Texts smaller than this many device pixels are drawn from glyph images, the same on
    // every thread, and so in the bands; the font engine outlines larger glyphs a shade
    // differently on each thread, so those texts are drawn over all bands by the calling one.
    static constexpr int GlyphImageBelowPx = 60;
    // Bands are at least this many device rows high: thinner ones cost more than they save.
    static constexpr int MinBandRows = 64;
    // The images kept for the bands after the first take at most this much memory together.
    static constexpr qint64 MaxBandImageBytes = qint64(128) << 20;

    // The drawing a picture shows: its records as the journal and the versions tell.
    struct DrawingMark {
        const void *State = nullptr;
        uint64_t Journal = 0, ObjectsVersion = 0, TextsVersion = 0, Content = 0;
        bool operator==(const DrawingMark &) const = default;
    };
    static DrawingMark MarkOf(const DrawingState &state);
    // What lies on top of the drawing: the instruments' placement and the view switches.
    struct InstrumentKey {
        double RulerX, RulerY, RulerAngle, ProtractorX, ProtractorY, ProtractorAngle, ProtractorDiameter;
        double CompassX, CompassY, CompassSpan, CompassAngle;
        double SetSquareX, SetSquareY, SetSquareAngle;
        bool Ruler, Protractor, Compass, InchLabels, SetSquare;
        bool operator==(const InstrumentKey &) const = default;
    };
    // The drawing of one sheet part, and the same with the instruments over it, in view_.
    struct Layer {
        int Sheet;
        QRect Part; // on the sheet, in sheet pixels
        QImage Drawing;
        QImage Composed;
        InstrumentKey Instruments;
        bool HasComposed = false;
        DrawingMark RenderedFrom; // the drawing it was rendered from
        QPoint SheetOrigin;  // the sheet's top-left corner on the surface (logical pixels)
        QPoint DeviceOrigin; // the pictures' first device pixel on the surface
        // The drawing as it was before the stroke that begins at object UnderFrom (-1: none),
        // while the drawing holds UnderCount objects: a stroke's new lines are drawn over it
        // where they lie, with the lines they join, instead of all that lies there.
        QImage Under;
        int UnderFrom = -1, UnderCount = 0;
        // The worksheet's page on this sheet was drawn before its sharp picture was at hand.
        bool PageWaiting = false;
    };
    static InstrumentKey InstrumentsOf(const DrawingState &state, const SheetView &show);
    // Notes, before the layer is drawn, whether its sheet's page is still waiting for its sharp picture.
    void NotePageAtHand(Layer &layer, const DrawingState &state, const ViewGeometry &view) const;
    // Draws anew the layers whose sheet's sharp page arrived since; adds their parts to `changed`.
    void ShowArrivedPages(DrawingState &state, const ViewGeometry &view, const SheetView &show, QRegion &changed);
    // A kept layer of the sheet whose part contains the given one.
    Layer *Covering(int sheet, const QRect &part);
    // Brings the kept layers from the accepted drawing to the present one; false when the
    // change cannot be bounded (the layers are then dropped). Adds what changed to `changed`.
    bool FollowChanges(DrawingState &state, const ViewGeometry &view, const SheetView &show, const DrawingMark &now,
                       QRegion &changed);
    // Draws a part of a kept layer anew: its drawing from the objects and texts there, and the
    // instruments over it.
    void RedrawPart(Layer &layer, const QRect &onSheet, DrawingState &state, const ViewGeometry &view,
                    const SheetView &show);
    // Draws a part of a kept layer anew where a stroke grew: what lay under the stroke, the
    // stroke's lines there over it, and the instruments over them.
    void GrowStroke(Layer &layer, const QRect &onSheet, DrawingState &state, const ViewGeometry &view,
                    const SheetView &show);
    // The instruments over a part of a kept layer's drawing, into its composed picture.
    void Compose(Layer &layer, const QRect &onSheet, const DrawingState &state, const ViewGeometry &view,
                 const SheetView &show);
    QImage &Scratch(const Layer &layer);
    // The part of every sheet (sheet pixels) the instruments can touch, kept while they and
    // the view stay where they are.
    QRect InstrumentReach(const DrawingState &state, const ViewGeometry &view, const SheetView &show);
    // Rows of a kept layer's picture to draw: the device pixels Local of Picture (an image of
    // the layer's size), which show the sheet part OnSheet. Texts are drawn with TextReach where
    // one thread draws them; a fresh picture gets the memory of its rows on the bands' threads.
    struct RowsToDraw {
        Layer *Of;
        QImage *Picture;
        QRect Local, OnSheet;
        int TextReach;
        bool Fresh;
    };
    // Draws the drawing on all the given rows, in bands on the rendering threads when they are
    // tall enough: the rows of all the pictures together are cut into one band per thread.
    void DrawRows(const std::vector<RowsToDraw> &jobs, DrawingState &state, const ViewGeometry &view);
    // Where the rows of all the jobs, one after the other, are cut into the given bands: the
    // first row of each band and, last, the count of all rows.
    std::vector<int> BandCuts(const std::vector<RowsToDraw> &jobs, int total, int bands, const DrawingState &state,
                              const ViewGeometry &view) const;
    // A kept image the size and format of the picture for a band, not yet taken in this
    // drawing (made anew where none fits); null when there is no memory for one.
    QImage *BandImageLike(const QImage &picture, std::vector<char> &taken);
    // Paints on an image that holds a kept layer's device pixels, with the clip and the
    // transform every rendering of that layer uses, so pixels drawn now and later agree.
    void OnLayerImage(QImage &image, const Layer &layer, const std::function<void(PainterCanvas &)> &draw) const;

    // What the text boxes were last measured for, and the edges then written.
    struct TextBoxKey {
        const void *State;
        uint64_t TextsVersion, Content;
        double PixelsPerMm;
        int Zoom;
        double DpiY, PageHeightInch;
        int Sheet;
        bool operator==(const TextBoxKey &) const = default;
    };
    bool BoxesAsMeasured(const DrawingState &state) const;
    // No text was noted as changed since the last measuring.
    bool TextsUnchangedSince(const DrawingState &state) const;

    ObjectIndex index_;
    TextBoxKey measuredFor_{};
    bool measured_ = false;
    std::vector<double> measuredEdges_; // right, bottom of every text
    uint64_t measuredJournal_ = 0;
    QImage scratch_;   // a kept part's size, for drawing parts of it anew
    std::vector<QImage> bandImages_; // for the pieces of bands not drawn on their picture itself
    QRect instrumentReach_;
    InstrumentKey reachFor_{};
    PictureView reachView_{};
    bool reachKnown_ = false;
    std::vector<Layer> layers_;
    // The pictures of the view before a zoom, and that view, until the sharp picture is painted.
    std::vector<Layer> standIn_;
    PictureView standInView_{};
    // Keeps the present pictures as the stand-in when the view changes only in its zoom and
    // they show the drawing as it is.
    void KeepForZoom(const PictureView &next, const DrawingMark &drawing);
    // The view of every kept layer and of the last accepted repaint; its ratio is the one of
    // the latest paint, as the painter alone tells it.
    PictureView view_{};
    bool accepted_ = false;
    DrawingMark acceptedMark_;
    InstrumentKey acceptedInstruments_{};
};

} // namespace velmora
