#include "sheet_svg.h"

#include "render/canvas/painter_canvas.h"
#include "render/sheet/object_index.h"
#include "render/sheet/sheet_renderer.h"

#include "document/drawing_state.h"
#include "document/units.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <memory>
#include <new>

namespace velmora {

namespace {

// A length with as many decimals as it needs, at most four (a tenth of a micrometre).
QByteArray Decimal(double value)
{
    QByteArray text = QByteArray::number(value, 'f', 4);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// The generator gives the picture's size from whole pixels (2480 steps of 1/300 inch are
// 209.973 mm): the root element gets the sheet's own size in millimetres, and the view box
// the same size in steps of 1/300 inch, so one step stays exactly 1/300 inch.
void WriteSheetSize(QByteArray &svg, double widthInch, double heightInch)
{
    static const QRegularExpression size(
        QStringLiteral(R"(<svg width="[^"]*" height="[^"]*"\s*viewBox="[^"]*")"));
    const qsizetype end = svg.indexOf('>', svg.indexOf("<svg"));
    const QRegularExpressionMatch found = size.match(QString::fromLatin1(svg.left(end)));
    if (!found.hasMatch())
        return;
    const QByteArray exact = "<svg width=\"" + Decimal(widthInch * MmPerInch) + "mm\" height=\"" +
                             Decimal(heightInch * MmPerInch) + "mm\"\n viewBox=\"0 0 " +
                             Decimal(widthInch * SvgDpi) + ' ' + Decimal(heightInch * SvgDpi) + '"';
    svg.replace(found.capturedStart(), found.capturedLength(), exact);
}

// The generator keeps the whole picture until its painter ends, and ending copies it once
// more: when memory runs out, the unfinished picture is dropped with its generator and the
// painter is never ended (ending it while the failure unwinds would abort the program).
class DroppableSvgGenerator : public QSvgGenerator {
public:
    ~DroppableSvgGenerator() override { painters = 0; } // its painter was given up on purpose
};

} // namespace

ExportError SheetSvg(DrawingState &state, int pageCount, int sheet, const QString &title, QByteArray &svg)
{
    svg.clear();
    if (!ExportableSheetSize(state, false))
        return ExportError::BadSheetSize;
    const ViewGeometry view = ExportGeometry(state, pageCount, SvgDpi);
    if (sheet < 0 || sheet >= view.PageCount || view.PageWidthPx <= 0 || view.PageHeightPx <= 0)
        return ExportError::NoSuchSheet;
    if (view.PageWidthPx >= MaxSurfaceSide || view.PageHeightPx >= MaxSurfaceSide)
        return ExportError::TooLarge;

    // Made in memory first: the generator does not report a failed write, a buffer cannot fail.
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    auto generator = std::make_unique<DroppableSvgGenerator>();
    generator->setOutputDevice(&buffer);
    generator->setResolution(int(SvgDpi));
    generator->setSize(QSize(view.PageWidthPx, view.PageHeightPx)); // written as millimetres at SvgDpi
    generator->setViewBox(QRect(0, 0, view.PageWidthPx, view.PageHeightPx));
    generator->setTitle(title);
    auto owned = std::make_unique<QPainter>();
    QPainter &painter = *owned;
    if (!painter.begin(generator.get()))
        return ExportError::WriteFailed;
    try {
        // The generator writes every element it is given, clipped or not: only what meets the
        // sheet goes into the file (a drawing of ten sheets would otherwise repeat all of them).
        const QRect wholeSheet(0, 0, view.PageWidthPx, view.PageHeightPx);
        painter.setClipRect(wholeSheet);
        ObjectIndex index;
        index.Refresh(state);
        MeasureTexts(state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY);
        const SheetCulling culling{wholeSheet, &index};
        PainterCanvas canvas(painter);
        RenderSheetDrawing(canvas, state, view, sheet, &culling);
        painter.end();
        WriteSheetSize(svg, state.PageWidthInch, state.PageHeightInch);
    } catch (const std::bad_alloc &) {
        generator.reset();
        (void)owned.release(); // a few hundred bytes, never used again
        svg.clear();
        throw;
    }
    return ExportError::None;
}

ExportError WriteSheetSvg(DrawingState &state, int pageCount, int sheet, const QString &title, QIODevice &out)
{
    QByteArray svg;
    const ExportError made = SheetSvg(state, pageCount, sheet, title, svg);
    if (made != ExportError::None)
        return made;
    return out.write(svg) == svg.size() ? ExportError::None : ExportError::WriteFailed;
}

} // namespace velmora
