#include "sheet_formats.h"

#include "sheet_svg.h"

#include <QFileInfo>
#include <QPdfWriter>

namespace velmora {

std::optional<SheetFormat> SheetFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return SheetFormat::Bmp;
    if (suffix == QLatin1String("png"))
        return SheetFormat::Png;
    if (suffix == QLatin1String("pdf"))
        return SheetFormat::Pdf;
    if (suffix == QLatin1String("svg"))
        return SheetFormat::Svg;
    return std::nullopt;
}

ExportError WriteSheets(QIODevice &out, SheetFormat format, DrawingState &state, int pageCount, int first, int last,
                        double dpi, const QString &creator, const QString &title)
{
    switch (format) {
    case SheetFormat::Pdf: {
        QPdfWriter pdf(&out);
        pdf.setResolution(1200);
        pdf.setCreator(creator);
        pdf.setTitle(title);
        return PaintSheetsOnPages(pdf, state, pageCount, first, last);
    }
    case SheetFormat::Png:
        return WriteSheetPng(state, pageCount, first, dpi, out);
    case SheetFormat::Svg:
        return WriteSheetSvg(state, pageCount, first, title, out);
    case SheetFormat::Bmp:
        break;
    }
    return WriteSheetBmp(state, pageCount, first, dpi, out);
}

} // namespace velmora
