// Paints the drawing surface: every sheet that meets the exposed part is rendered into
// an off-screen image the size of that part and copied in one piece, so the cost of a
// paint follows the viewport, not the size of the drawing. The drawing of each visible
// part is kept until the drawing or the view changes, so moving an instrument repaints
// only the instruments over it.
#pragma once

#include "object_index.h"
#include "sheet_renderer.h"
#include "surface_view.h"
#include "view_geometry.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <vector>

namespace velmora {

class DrawingState;

class SurfaceRenderer {
public:
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
    void DropCache() { layers_.clear(); }

    // Called by every repaint of the drawing: the kept drawings are valid for the drawing as
    // it is now. Paints in between (an uncovered strip, a pencil segment drawn over the
    // surface) reuse what is kept, as a surface that is not repainted keeps its picture.
    void AcceptDrawing(const DrawingState &state);

private:
    struct LayerKey {
        int Sheet;
        QRect Part; // on the sheet, in sheet pixels
        qreal Ratio; // device pixels per logical pixel of the kept pictures
        double PixelsPerMm;
        int Zoom;
        double DpiY, PageHeightInch;
        int PageWidthPx, PageHeightPx;
        uint64_t ObjectsVersion, TextsVersion, Content;
        bool operator==(const LayerKey &) const = default;
    };
    // What lies on top of the drawing: the instruments' placement and the view switches.
    struct InstrumentKey {
        double RulerX, RulerY, RulerAngle, ProtractorX, ProtractorY, ProtractorAngle, ProtractorDiameter;
        double CompassX, CompassY, CompassSpan, CompassAngle;
        bool Ruler, Protractor, Compass, InchLabels;
        bool operator==(const InstrumentKey &) const = default;
    };
    // The drawing of one sheet part, and the same with the instruments over it.
    struct Layer {
        LayerKey Key;
        QImage Drawing;
        QImage Composed;
        InstrumentKey Instruments;
        bool HasComposed = false;
    };
    LayerKey KeyFor(const DrawingState &state, const ViewGeometry &view, int sheet, const QRect &part,
                    qreal ratio) const;
    static InstrumentKey InstrumentsOf(const DrawingState &state, const SheetView &show);
    // A kept layer of the same drawing and view whose part contains the given one.
    Layer *Covering(const LayerKey &key);

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

    ObjectIndex index_;
    TextBoxKey measuredFor_{};
    bool measured_ = false;
    std::vector<double> measuredEdges_; // right, bottom of every text
    QImage offscreen_; // reused between paints; grows to the largest exposed part (device pixels)
    std::vector<Layer> layers_;
    bool accepted_ = false;
    uint64_t acceptedObjects_ = 0, acceptedTexts_ = 0, acceptedContent_ = 0;
};

} // namespace velmora
