// The paper of a sheet: a worksheet's page at true size from the sheet's top-left corner, then
// squared, ruled, dotted or graph paper aligned to that corner, drawn after the white sheet and
// before the drawing. Objects painted white (eraser strokes, white lines, the white inside of
// ellipses) show the page and the paper again where they lie, so erasing takes away ink, never
// the paper or the worksheet. Everything is drawn as filled areas, so a printer,
// a PDF or an SVG shows the same as an image.
#pragma once

#include "view_geometry.h"

#include "document/paper.h"
#include "document/records.h"
#include "render/canvas/canvas.h"

#include <QRect>

#include <span>

namespace velmora {

struct SheetPaper {
    PaperKind Kind = PaperKind::Plain;
    double PixelsPerMm = 1;
    QRect Inside;  // the sheet inside its frame, in sheet pixels
    QPoint Origin; // where the sheet's pixel (0, 0) lies on the canvas
    QImage Page;   // the worksheet's page on this sheet, or null
    QRectF PageRect; // where the page lies, in sheet pixel edges
    bool HasPage = false; // a page lies here (grey while its picture is not yet rendered)

    bool IsBlank() const { return Kind == PaperKind::Plain && !HasPage; }
};

// Lines of paper closer than this many pixels are left out (the finer ones first).
inline constexpr double MinPaperSpacingPx = 3;

// Draws the worksheet's page, then the paper's lines or dots that lie in part (sheet pixels),
// and those just beside it whose edges shade it.
void DrawPaper(Canvas &canvas, const SheetPaper &paper, const QRect &part);

// Draws the page and the paper again where the objects, just drawn on the sheet at offset off (mm), painted
// white: along a white object's stroke, and inside any ellipse; several objects are white
// lines one after another, whose paper is drawn once where they overlap. Only what lies in
// part (sheet pixels) is drawn, and the cost follows it.
void RevealPaper(Canvas &canvas, const SheetPaper &paper, std::span<const DrawingObject> objects, double off,
                 const QRect &part);

} // namespace velmora
