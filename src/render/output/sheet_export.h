// Sheets of the drawing on paper and in images: a sheet as a 24-bit BMP or a PNG at a chosen
// resolution, and every sheet on its own page of a printer or PDF at true scale. The
// instruments are not part of any of them.
#pragma once

#include "document/drawing_state.h"
#include "render/sheet/view_geometry.h"

#include <QIODevice>
#include <QImage>
#include <QPagedPaintDevice>

namespace velmora {


enum class ExportError {
    None,
    NoSuchSheet,  // the sheet number is beyond the drawing's sheets
    TooLarge,     // the image would be larger than the format or the memory allows
    WriteFailed,  // the file could not be written
    BadSheetSize, // a sheet too small (or, on pages, too large) to be put on paper or in an image
};

// Sheets whose sides lie outside this range cannot be exported (a damaged drawing may hold
// 1e-300 inches): not a tenth of a millimetre, or larger than a PDF page can be. The same
// bounds as a drawing's sheet.
inline constexpr double MinExportSideMm = MinSheetSideMm;
inline constexpr double MaxPageSideMm = MaxSheetSideMm; // 200 inches
bool ExportableSheetSize(const DrawingState &state, bool onPages);

// The pixel geometry of a sheet rendered at dpi pixels per inch (zoom 100 at that resolution).
ViewGeometry ExportGeometry(const DrawingState &state, int pageCount, double dpi);

// Writes sheet `sheet` (from 0) as a bottom-up 24-bit BMP, rendering it in bands so that
// even very high resolutions need little memory.
ExportError WriteSheetBmp(DrawingState &state, int pageCount, int sheet, double dpi, QIODevice &out);
ExportError WriteSheetPng(DrawingState &state, int pageCount, int sheet, double dpi, QIODevice &out);
// The image of the sheet at dpi, its resolution set so it shows at true size elsewhere.
ExportError SheetImage(DrawingState &state, int pageCount, int sheet, double dpi, QImage &image);

// Sheets copied to the clipboard are pictures at this resolution.
inline constexpr double SheetCopyDpi = 300;

// Each sheet from first to last on its own page of the device, one millimetre of the drawing
// on one millimetre of paper; the page size is set from the sheet size. Nothing is painted
// (BadSheetSize) when the sheet cannot be a page.
ExportError PaintSheetsOnPages(QPagedPaintDevice &device, DrawingState &state, int pageCount, int first, int last);

} // namespace velmora
