// Sheets of the drawing on paper and in files: a sheet as a 24-bit BMP or a PNG at a chosen
// resolution, and every sheet on its own page of a printer or PDF at true scale. The
// instruments are not part of any of them.
#pragma once

#include "view_geometry.h"

#include <QIODevice>
#include <QPagedPaintDevice>
#include <QString>

#include <optional>

namespace velmora {

class DrawingState;

enum class ExportError {
    None,
    NoSuchSheet,  // the sheet number is beyond the drawing's sheets
    TooLarge,     // the image would be larger than the format or the memory allows
    WriteFailed,  // the file could not be written
};

// The pixel geometry of a sheet rendered at dpi pixels per inch (zoom 100 at that resolution).
ViewGeometry ExportGeometry(const DrawingState &state, int pageCount, double dpi);

// Writes sheet `sheet` (from 0) as a bottom-up 24-bit BMP, rendering it in bands so that
// even very high resolutions need little memory.
ExportError WriteSheetBmp(DrawingState &state, int pageCount, int sheet, double dpi, QIODevice &out);
ExportError WriteSheetPng(DrawingState &state, int pageCount, int sheet, double dpi, QIODevice &out);

// Each sheet from first to last on its own page of the device, one millimetre of the drawing
// on one millimetre of paper; the page size is set from the sheet size.
void PaintSheetsOnPages(QPagedPaintDevice &device, DrawingState &state, int pageCount, int first, int last);

enum class SheetFormat { Bmp, Png, Pdf };

// The format a file name's extension chooses (any case); none for another extension.
std::optional<SheetFormat> SheetFormatOf(const QString &path);

// Writes sheets of the drawing in the format: a PDF holds sheets first to last, a page each,
// at true scale and with the creator named; an image holds sheet `first` at dpi.
ExportError WriteSheets(QIODevice &out, SheetFormat format, DrawingState &state, int pageCount, int first, int last,
                        double dpi, const QString &creator);

} // namespace velmora
