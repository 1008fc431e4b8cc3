// A sheet of the drawing as an SVG picture: the same rendering as the images, drawn as
// vector paths and text elements on a grid fine enough for the drawing's tenths of a
// millimetre, with the sheet's size in millimetres so it is placed at true scale.
#pragma once

#include "sheet_export.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace velmora {

class DrawingState;

// The grid the sheet is drawn on: 1/300 inch (0.085 mm), finer than the tenth of a millimetre
// the drawing is exact to, and the thinnest pen (one pixel) stays visible on paper.
inline constexpr double SvgDpi = 300;

// Sheet `sheet` (from 0) as SVG: width and height in mm, a viewBox in pixels at SvgDpi,
// lines as paths and texts as text elements.
ExportError SheetSvg(DrawingState &state, int pageCount, int sheet, const QString &title, QByteArray &svg);
// The same written to out; a write that falls short is WriteFailed.
ExportError WriteSheetSvg(DrawingState &state, int pageCount, int sheet, const QString &title, QIODevice &out);

} // namespace velmora
