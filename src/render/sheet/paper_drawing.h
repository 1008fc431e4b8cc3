// The paper of a sheet: squared, ruled, dotted or graph paper, aligned to the sheet's top-left
// corner, drawn after the white sheet and before the drawing. Objects painted white (eraser
// strokes, white lines, the white inside of ellipses) show the paper again where they lie, so
// erasing takes away ink, never the paper. Everything is drawn as filled areas, so a printer,
// a PDF or an SVG shows the same as an image.
#pragma once

#include "view_geometry.h"

#include "document/paper.h"
#include "document/records.h"
#include "render/canvas/canvas.h"

#include <QRect>

namespace velmora {

struct SheetPaper {
    PaperKind Kind = PaperKind::Plain;
    double PixelsPerMm = 1;
    QRect Inside;  // the sheet inside its frame, in sheet pixels
    QPoint Origin; // where the sheet's pixel (0, 0) lies on the canvas
};

// Lines of paper closer than this many pixels are left out (the finer ones first).
inline constexpr double MinPaperSpacingPx = 3;

// Draws the paper's lines or dots that lie in part (sheet pixels), and those just beside it
// whose edges shade it.
void DrawPaper(Canvas &canvas, const SheetPaper &paper, const QRect &part);

// Draws the paper again where the object, just drawn on the sheet at offset off (mm), painted
// white: along a white object's stroke, and inside any ellipse.
void RevealPaper(Canvas &canvas, const SheetPaper &paper, const DrawingObject &o, double off);

// The same for an object drawn straight onto the drawing surface (a stroke of the eraser,
// until the next repaint), on every sheet of the view that it touches.
void RevealPaperOnSurface(Canvas &surface, PaperKind kind, const ViewGeometry &view, double pageHeightInch,
                          const DrawingObject &o);

} // namespace velmora
