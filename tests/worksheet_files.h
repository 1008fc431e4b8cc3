// Worksheet files made by the tests: a PDF with known marks (QPdfWriter), pictures with and
// without a resolution, and hand-made damaged PDFs.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QBuffer>
#include <QString>

namespace velmora::test {

// A black 10 x 10 mm square whose top-left corner lies (x, y) mm from the page's top-left.
struct Mark {
    double X, Y;
};

// A PDF of A4 pages (portrait, or across for the pages listed as landscape), each with a mark:
// page i at (40 + 10 i, 50 + 10 i) mm.
inline QByteArray MarkedPdf(int pages, QList<int> landscape = {})
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(254); // ten dots a millimetre
    auto layout = [&](int page) {
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         landscape.contains(page) ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
    };
    layout(0);
    QPainter painter(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            layout(i);
            writer.newPage();
        }
        painter.fillRect(QRectF((40 + 10 * i) * 10, (50 + 10 * i) * 10, 100, 100), Qt::black);
    }
    painter.end();
    return bytes;
}

inline Mark MarkOnPage(int i)
{
    return {40.0 + 10 * i, 50.0 + 10 * i};
}

// A picture of width x height pixels, white with a black 10 x 10 pixel square at (40, 50)
// pixels, as PNG or JPEG at the given resolution (0: none written beyond Qt's default 72 dpi).
inline QByteArray Picture(int width, int height, const char *format, double dpi = 0)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(40, 50, 10, 10, Qt::black);
    if (dpi > 0) {
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
    } else {
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A JPEG whose EXIF tag says it is to be turned a quarter clockwise to be upright.
inline QByteArray TurnedJpeg(int width, int height)
{
    QByteArray jpeg = Picture(width, height, "JPEG");
    const QByteArray exif("Exif\0\0"
                          "II*\0\x08\0\0\0"          // little-endian TIFF, first directory at 8
                          "\x01\0"                   // one entry
                          "\x12\x01\x03\0\x01\0\0\0" // orientation, SHORT, one value
                          "\x06\0\0\0"               // 6: turned a quarter clockwise
                          "\0\0\0\0",                // no further directory
                          6 + 8 + 2 + 12 + 4);
    QByteArray segment("\xFF\xE1");
    segment.append(char((exif.size() + 2) >> 8));
    segment.append(char((exif.size() + 2) & 0xFF));
    segment.append(exif);
    jpeg.insert(2, segment);
    return jpeg;
}

// A PDF of hand: one page of the given media box (points) whose content is `content`.
inline QByteArray HandPdf(const QByteArray &mediaBox, const QByteArray &content, bool withPage = true)
{
    QByteArray pdf = "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n";
    if (withPage) {
        pdf += "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n";
        pdf += "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [" + mediaBox + "] /Contents 4 0 R >> endobj\n";
        pdf += "4 0 obj << /Length " + QByteArray::number(content.size()) + " >> stream\n" + content +
               "\nendstream endobj\n";
    } else {
        pdf += "2 0 obj << /Type /Pages /Kids [] /Count 0 >> endobj\n";
    }
    pdf += "trailer << /Root 1 0 R >>\n%%EOF\n";
    return pdf;
}

} // namespace velmora::test
