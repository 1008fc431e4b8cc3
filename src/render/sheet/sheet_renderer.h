// Rendering of one sheet: the white sheet with its frame and its paper, the drawing objects
// and texts in list order, then the grey pen for the instruments. Also the measuring pass that
// gives every text its right and bottom edge.
#pragma once

#include "view_geometry.h"

#include "render/canvas/canvas.h"

#include <QRect>

namespace velmora {

class DrawingState;
class ObjectIndex;
struct TextObject;

// What a sheet shows besides the drawing: the view menu's switches.
struct SheetView {
    bool Ruler = true;
    bool Protractor = true;
    bool Compass = true;
    bool InchLabels = false;
    bool SetSquare = true;
};

// What a paint of a sheet's drawing draws: all of it, or the texts apart from what lies
// under them. The font engine outlines a large glyph a shade differently on each thread, so
// bands drawn on several threads leave the texts to the thread that draws all others.
enum class SheetPass { Everything, UnderTexts, TextsOnly };

// Where a paint may leave things out: the part of the sheet (in sheet pixels) that will
// be seen, and the index that finds the objects there. Without it everything is drawn.
// With it, the texts' stored boxes must be up to date (MeasureTexts for this view): only
// the texts near the part are measured and drawn, and no box is written.
struct SheetCulling {
    QRect VisiblePx;
    const ObjectIndex *Index = nullptr;
    // Texts this many pixels outside the part are drawn too (their glyphs may lean into it).
    int TextReachPx = 0;
    SheetPass Pass = SheetPass::Everything;
    // A worksheet's page as it is at hand (the screen, which never waits for it); otherwise
    // it is rendered at the canvas's resolution first.
    bool PageAsAtHand = false;
};

// Character height in pixels of a text of `size` points at zoom percent z, dpiY pixels per inch.
int TextPixelHeight(int32_t size, int zoomPercent, double dpiY);

// The character height in pixels of the largest text of the drawing at zoom percent z (0: none).
int LargestTextPixelHeight(const DrawingState &state, int zoomPercent, double dpiY);

// Font of a text at zoom percent z on a screen of dpiY pixels per inch.
FontSpec TextFont(const TextObject &text, int zoomPercent, double dpiY);

// Draws every object, then every text, onto sheet i's canvas at scale s and zoom percent z
// (texts take the zoom as the fraction z / 100), and writes each text's measured right and
// bottom edges back.
void DrawObjects(Canvas &canvas, DrawingState &state, int sheet, double s, int zoomPercent, double dpiY,
                 const SheetCulling *culling = nullptr);

// Draws objects from `first` to the end of the list over a drawing of sheet i that was
// rendered without them, as they would be drawn last of all the objects (on paper, white ink
// shows the paper, within part: sheet pixels). Object `first` must not continue the stroke of
// the one before it.
void DrawObjectsOnTop(Canvas &canvas, const DrawingState &state, const ViewGeometry &view, int sheet, int first,
                      const QRect &part);

// The drawing of a sheet: white rectangle with a one-pixel black frame, the worksheet's page and
// the drawing's paper inside the frame, objects and texts (white ink shows both beneath).
void RenderSheetDrawing(Canvas &canvas, DrawingState &state, const ViewGeometry &view, int sheet,
                        const SheetCulling *culling = nullptr);

// What lies on top of the drawing of every sheet: the instruments in grey.
void RenderSheetInstruments(Canvas &canvas, const DrawingState &state, const ViewGeometry &view, const SheetView &show);

// The whole sheet: its drawing, then the instruments.
void RenderSheet(Canvas &canvas, DrawingState &state, const ViewGeometry &view, int sheet, const SheetView &show,
                 const SheetCulling *culling = nullptr);

// Writes every text's right and bottom edge as drawing it on sheet i would, without drawing.
void MeasureTexts(DrawingState &state, int sheet, double s, int zoomPercent, double dpiY);

} // namespace velmora
