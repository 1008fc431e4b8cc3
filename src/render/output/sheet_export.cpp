#include "sheet_export.h"

#include "render/canvas/band_work.h"
#include "render/canvas/image_memory.h"
#include "render/canvas/painter_canvas.h"
#include "render/sheet/object_index.h"
#include "render/sheet/sheet_renderer.h"

#include "document/drawing_state.h"
#include "document/units.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace velmora {

namespace {

constexpr int BandRows = 512;
constexpr int64_t MaxBmpBytes = int64_t(0xFFFFFFFF);
constexpr int64_t MaxPngPixels = int64_t(400) * 1000 * 1000;

// Renders rows [top, top + rows) of the sheet's image into band (at least rows high). With
// an index (and the texts measured for the view), only what meets the band is drawn.
void RenderBand(DrawingState &state, const ViewGeometry &view, int sheet, int top, int rows, QImage &band,
                const ObjectIndex *index = nullptr)
{
    band.fill(Qt::white);
    QPainter painter(&band);
    painter.setClipRect(QRect(0, 0, view.PageWidthPx, rows));
    PainterCanvas canvas(painter, QPoint(0, -top));
    const SheetCulling culling{QRect(0, top, view.PageWidthPx, rows), index};
    RenderSheetDrawing(canvas, state, view, sheet, index ? &culling : nullptr);
}

// Bands drawn at the same time are at least this many rows high.
constexpr int MinParallelRows = 64;
// The images of the bands after the first take at most this much memory together.
constexpr qint64 MaxBandImageBytes = qint64(512) << 20;
// A text near a band may lean into it from a little further away.
constexpr int TextReachPx = 16;

// Renders the whole sheet into image (the sheet's size), in bands on the rendering threads.
// Each band is drawn as the whole sheet is (on an image of its size, the same clip), with the
// objects and texts that can touch it, so its pixels are those of the sheet drawn at once.
void RenderSheetImage(DrawingState &state, const ViewGeometry &view, int sheet, QImage &image)
{
    const int rows = image.height();
    int bands = std::clamp(rows / MinParallelRows, 1, RenderThreads());
    bands = int(std::min<qint64>(bands, 1 + MaxBandImageBytes / std::max<qint64>(1, image.sizeInBytes())));
    std::vector<QImage> others;
    for (int b = 1; b < bands; ++b) {
        others.push_back(LargePageImage(image.size(), image.format()));
        if (others.back().isNull()) { // no memory for it: fewer bands
            others.pop_back();
            break;
        }
    }
    bands = int(others.size()) + 1;
    if (bands == 1) {
        RenderBand(state, view, sheet, 0, rows, image);
        return;
    }
    // The texts' boxes as drawing the whole sheet writes them; the bands then only read.
    MeasureTexts(state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY);
    ObjectIndex index;
    index.Refresh(state);
    auto rowsOf = [&](int b) {
        const int top = rows * b / bands, bottom = rows * (b + 1) / bands;
        return QRect(0, top, image.width(), bottom - top);
    };
    const qsizetype bytesPerLine = image.bytesPerLine();
    uchar *const bits = image.bits();
    RunBands(bands, [&](int b) {
        QImage &target = b == 0 ? image : others[size_t(b - 1)];
        {
            QPainter painter(&target);
            painter.setClipRect(QRect(0, 0, view.PageWidthPx, rows));
            PainterCanvas canvas(painter);
            canvas.SetNeededPixels(rowsOf(b));
            const SheetCulling culling{rowsOf(b), &index, TextReachPx, SheetPass::UnderTexts};
            RenderSheetDrawing(canvas, state, view, sheet, &culling);
        }
        // The band's rows are copied into the picture after all bands: their memory is made
        // ready now, while the other bands are still drawn, not then on one thread.
        if (b > 0)
            PrepareRows(bits, bytesPerLine, rowsOf(b).top(), rowsOf(b).height());
    });
    for (int b = 1; b < bands; ++b) {
        const QRect band = rowsOf(b);
        std::memcpy(bits + band.top() * bytesPerLine, others[size_t(b - 1)].constBits() + band.top() * bytesPerLine,
                    size_t(band.height()) * size_t(bytesPerLine));
    }
    // The texts over all bands, on this thread, as one thread drawing the sheet draws them.
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, view.PageWidthPx, rows));
    PainterCanvas canvas(painter);
    const SheetCulling culling{image.rect(), &index, 0, SheetPass::TextsOnly};
    RenderSheetDrawing(canvas, state, view, sheet, &culling);
}

// The resolution in the file's own unit, converted with the program's millimetres per inch.
int PixelsPerMetre(double dpi)
{
    return Round(dpi * 1000.0L / MmPerInch);
}

bool ValidSheet(const ViewGeometry &view, int sheet)
{
    return sheet >= 0 && sheet < view.PageCount && view.PageWidthPx > 0 && view.PageHeightPx > 0;
}

} // namespace

bool ExportableSheetSize(const DrawingState &state, bool onPages)
{
    const double width = state.PageWidthInch * MmPerInch, height = state.PageHeightInch * MmPerInch;
    const double largest = onPages ? MaxPageSideMm : std::numeric_limits<double>::max();
    return width >= MinExportSideMm && height >= MinExportSideMm && width <= largest && height <= largest;
}

ViewGeometry ExportGeometry(const DrawingState &state, int pageCount, double dpi)
{
    return ComputeViewGeometry(pageCount, 100, dpi, dpi, state.PageWidthInch, state.PageHeightInch);
}

ExportError WriteSheetBmp(DrawingState &state, int pageCount, int sheet, double dpi, QIODevice &out)
{
    if (!ExportableSheetSize(state, false))
        return ExportError::BadSheetSize;
    const ViewGeometry view = ExportGeometry(state, pageCount, dpi);
    if (!ValidSheet(view, sheet))
        return ExportError::NoSuchSheet;
    const int width = view.PageWidthPx, height = view.PageHeightPx;
    const int64_t rowBytes = (int64_t(width) * 3 + 3) / 4 * 4;
    const int64_t fileBytes = 54 + rowBytes * height;
    if (fileBytes > MaxBmpBytes || width > 65535 * 4 || int64_t(width) * BandRows > int64_t(1) << 31)
        return ExportError::TooLarge;

    char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    qToLittleEndian<quint32>(quint32(fileBytes), header + 2);
    qToLittleEndian<quint32>(54, header + 10);
    qToLittleEndian<quint32>(40, header + 14);
    qToLittleEndian<qint32>(width, header + 18);
    qToLittleEndian<qint32>(height, header + 22); // positive: rows from the bottom up
    qToLittleEndian<quint16>(1, header + 26);
    qToLittleEndian<quint16>(24, header + 28);
    qToLittleEndian<quint32>(quint32(rowBytes * height), header + 34);
    const qint32 pixelsPerMetre = PixelsPerMetre(dpi);
    qToLittleEndian<qint32>(pixelsPerMetre, header + 38);
    qToLittleEndian<qint32>(pixelsPerMetre, header + 42);
    if (out.write(header, 54) != 54)
        return ExportError::WriteFailed;

    QImage band(width, std::min(BandRows, height), QImage::Format_RGB32);
    QByteArray row(rowBytes, '\0');
    ObjectIndex index;
    index.Refresh(state);
    MeasureTexts(state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY);
    // Bands from the bottom of the sheet up, each written from its last row to its first.
    for (int bottom = height; bottom > 0; bottom -= BandRows) {
        const int top = std::max(0, bottom - BandRows);
        RenderBand(state, view, sheet, top, bottom - top, band, &index);
        for (int y = bottom - top - 1; y >= 0; --y) {
            const auto *pixels = reinterpret_cast<const QRgb *>(band.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                row[3 * x] = char(qBlue(pixels[x]));
                row[3 * x + 1] = char(qGreen(pixels[x]));
                row[3 * x + 2] = char(qRed(pixels[x]));
            }
            if (out.write(row) != row.size())
                return ExportError::WriteFailed;
        }
    }
    return ExportError::None;
}

ExportError SheetImage(DrawingState &state, int pageCount, int sheet, double dpi, QImage &image)
{
    image = QImage();
    if (!ExportableSheetSize(state, false))
        return ExportError::BadSheetSize;
    const ViewGeometry view = ExportGeometry(state, pageCount, dpi);
    if (!ValidSheet(view, sheet))
        return ExportError::NoSuchSheet;
    if (int64_t(view.PageWidthPx) * view.PageHeightPx > MaxPngPixels)
        return ExportError::TooLarge;
    image = LargePageImage(QSize(view.PageWidthPx, view.PageHeightPx), QImage::Format_RGB32);
    if (image.isNull())
        return ExportError::TooLarge;
    RenderSheetImage(state, view, sheet, image);
    const int pixelsPerMetre = PixelsPerMetre(dpi);
    image.setDotsPerMeterX(pixelsPerMetre);
    image.setDotsPerMeterY(pixelsPerMetre);
    return ExportError::None;
}

ExportError WriteSheetPng(DrawingState &state, int pageCount, int sheet, double dpi, QIODevice &out)
{
    QImage image;
    const ExportError made = SheetImage(state, pageCount, sheet, dpi, image);
    if (made != ExportError::None)
        return made;
    QImageWriter writer(&out, "png");
    return writer.write(image) ? ExportError::None : ExportError::WriteFailed;
}

ExportError PaintSheetsOnPages(QPagedPaintDevice &device, DrawingState &state, int pageCount, int first, int last)
{
    if (!ExportableSheetSize(state, true))
        return ExportError::BadSheetSize;
    const QSizeF sheetMm(state.PageWidthInch * MmPerInch, state.PageHeightInch * MmPerInch);
    device.setPageLayout(QPageLayout(QPageSize(sheetMm, QPageSize::Millimeter), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    const double dpi = device.logicalDpiX() > 0 ? device.logicalDpiX() : 1200;
    const ViewGeometry view = ExportGeometry(state, pageCount, dpi);
    // The paper may be a little smaller than the sheet (a PDF page is whole points, a printer
    // keeps margins): the frame then runs along the paper's edge, so all four sides show.
    // The drawing itself stays at true scale.
    const QRect paperPt = device.pageLayout().paintRectPoints();
    ViewGeometry framed = view;
    framed.PageWidthPx = std::min({view.PageWidthPx, device.width(), int(std::floor(paperPt.width() * dpi / 72))});
    framed.PageHeightPx =
        std::min({view.PageHeightPx, device.height(), int(std::floor(paperPt.height() * dpi / 72))});
    QPainter painter(&device);
    for (int sheet = first; sheet <= last; ++sheet) {
        if (sheet > first)
            static_cast<QPagedPaintDevice &>(device).newPage();
        PainterCanvas canvas(painter);
        RenderSheetDrawing(canvas, state, framed, sheet);
    }
    return ExportError::None;
}

} // namespace velmora
