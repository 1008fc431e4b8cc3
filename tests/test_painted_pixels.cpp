// What the painter really makes of the canvas calls: dots for lines whose ends coincide,
// on a sheet and in an exported BMP, and the font height of texts at every exact half of
// the zoomed point size.
#include "support/drawing_builder.h"
#include "document/drawing_state.h"
#include "render/canvas/painter_canvas.h"
#include "render/canvas/text_metrics.h"
#include "render/output/sheet_export.h"
#include "render/sheet/sheet_renderer.h"

#include <QBuffer>
#include <QPainterPathStroker>
#include <QtEndian>
#include <QtTest>

using namespace velmora;

namespace {

// How much of a pixel the red pen covers, 0 to 1, on white paper.
double RedCover(QRgb p)
{
    return (255 - qGreen(p)) / 255.0;
}

// Ink of a dot on white: its area, its centre, and its width along the row through (cx, cy).
struct Ink {
    double Area = 0, CentreX = 0, CentreY = 0, RowWidth = 0, ColumnWidth = 0;
};

template <typename Pixel>
Ink Measure(int width, int height, Pixel pixel, int cx, int cy)
{
    Ink ink;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double c = RedCover(pixel(x, y));
            ink.Area += c;
            ink.CentreX += c * x;
            ink.CentreY += c * y;
            if (y == cy)
                ink.RowWidth += c;
            if (x == cx)
                ink.ColumnWidth += c;
        }
    if (ink.Area > 0) {
        ink.CentreX /= ink.Area;
        ink.CentreY /= ink.Area;
    }
    return ink;
}

Ink Measure(const QImage &image, int cx, int cy)
{
    return Measure(image.width(), image.height(), [&](int x, int y) { return image.pixel(x, y); }, cx, cy);
}

DrawingObject &AddLine(DrawingState &state, double width, double x1, double y1, double x2, double y2)
{
    DrawingObject *o = &DrawingBuilder(state).Blank();
    o->Kind = KindLine;
    o->PenWidth = width;
    o->X1 = x1;
    o->Y1 = y1;
    o->X2 = x2;
    o->Y2 = y2;
    o->Colour = ColourRed;
    return *o;
}

} // namespace

class TestPaintedPixels : public QObject {
    Q_OBJECT
private slots:
    void zeroLengthLineIsRoundDot_data()
    {
        QTest::addColumn<int>("width");
        for (int w : {2, 3, 4, 5, 6, 9, 12})
            QTest::newRow(qPrintable(QStringLiteral("width %1").arg(w))) << w;
    }
    void zeroLengthLineIsRoundDot()
    {
        QFETCH(int, width);
        QImage image(41, 41, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter, QPoint(3, -2)); // the origin moves the dot with everything else
            canvas.SetPenColour(ColourRed);
            canvas.SetPenWidth(width);
            canvas.MoveTo(17, 22);
            canvas.LineTo(17, 22);
        }
        const Ink ink = Measure(image, 20, 20);
        const double r = width / 2.0;
        QVERIFY2(std::abs(ink.Area - M_PI * r * r) < 0.25 * M_PI * r * r, qPrintable(QString::number(ink.Area)));
        QVERIFY2(std::abs(ink.RowWidth - width) <= 1, qPrintable(QString::number(ink.RowWidth)));
        QVERIFY2(std::abs(ink.ColumnWidth - width) <= 1, qPrintable(QString::number(ink.ColumnWidth)));
        QVERIFY(std::abs(ink.CentreX - 20) < 0.05 && std::abs(ink.CentreY - 20) < 0.05);
        // Round, not square: the corners of its bounding square stay white.
        const int k = width / 2;
        QVERIFY(RedCover(image.pixel(20 - k, 20 - k)) < 0.5 && RedCover(image.pixel(20 + k, 20 + k)) < 0.5);
        QCOMPARE(RedCover(image.pixel(20, 20)), 1.0);
    }

    void onePixelPenStaysOnePixel()
    {
        QImage image(9, 9, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter);
            canvas.SetPenColour(ColourRed);
            canvas.SetPenWidth(1);
            canvas.MoveTo(4, 4);
            canvas.LineTo(4, 4);
            canvas.SetPenWidth(7);
            canvas.SetPenStyle(PenStyle::Clear); // an invisible pen draws no dot
            canvas.LineTo(4, 4);
        }
        QCOMPARE(image.pixel(4, 4), qRgb(255, 0, 0));
        QCOMPARE(Measure(image, 4, 4).Area, 1.0);
    }

    void clickWithThePencilShowsOnTheSheet()
    {
        // A stored line of length 0 and 1 mm width at zoom 100: a dot Round(1 x s) = 4 pixels wide.
        DrawingState state;
        AddLine(state, 1, 50, 40, 50, 40);
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        QImage image(view.PageWidthPx, view.PageHeightPx, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter);
            RenderSheet(canvas, state, view, 0, SheetView{false, false, false, false, false});
        }
        const int cx = Round(50 * view.PixelsPerMm), cy = Round(40 * view.PixelsPerMm);
        const Ink ink = Measure(image.copy(cx - 10, cy - 10, 21, 21), 10, 10);
        QVERIFY2(std::abs(ink.RowWidth - 4) <= 1, qPrintable(QString::number(ink.RowWidth)));
        QVERIFY(std::abs(ink.Area - M_PI * 4) < M_PI);
        QVERIFY(std::abs(ink.CentreX - 10) < 0.05 && std::abs(ink.CentreY - 10) < 0.05);
    }

    // A pencil stroke is stored as one short line per pointer move. Drawn as one line its
    // joints show no beads: along a straight stroke every column shows the same cross-section
    // (the half-covered edge pixels were 66 instead of 127 at each joint), on the sheet and in
    // the exported BMP; a zigzag is the painter's own stroke of the whole line.
    void strokeJointsShowNoBeads_data()
    {
        QTest::addColumn<int>("width");
        for (int w : {1, 2, 3, 5})
            QTest::newRow(qPrintable(QStringLiteral("%1 pixels").arg(w))) << w;
    }
    void strokeJointsShowNoBeads()
    {
        QFETCH(int, width);
        DrawingState state;
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const double s = view.PixelsPerMm, pen = width / s;
        for (int k = 0; k < 9; ++k) // straight, along row 40, joints every 10 pixels
            AddLine(state, pen, (20 + 10 * k) / s, 40 / s, (30 + 10 * k) / s, 40 / s);
        const QPoint zigzag[] = {{20, 80}, {30, 90}, {40, 80}, {50, 90}, {60, 80}, {70, 95}, {75, 80}};
        for (size_t k = 1; k < std::size(zigzag); ++k)
            AddLine(state, pen, zigzag[k - 1].x() / s, zigzag[k - 1].y() / s, zigzag[k].x() / s, zigzag[k].y() / s);
        QImage sheet(view.PageWidthPx, view.PageHeightPx, QImage::Format_RGB32);
        {
            QPainter painter(&sheet);
            PainterCanvas canvas(painter);
            RenderSheet(canvas, state, view, 0, SheetView{false, false, false, false, false});
        }
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        QCOMPARE(WriteSheetBmp(state, 1, 0, 96, bmp), ExportError::None);
        const QImage exported = QImage::fromData(bmp.data(), "BMP").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(exported.size(), sheet.size());
        for (const QImage *image : std::initializer_list<const QImage *>{&sheet, &exported}) {
            auto column = [&](int x) {
                QList<QRgb> c;
                for (int y = 30; y <= 50; ++y)
                    c << image->pixel(x, y);
                return c;
            };
            for (int x = 24; x <= 106; ++x)
                QVERIFY2(column(x) == column(24), qPrintable(QStringLiteral("column %1").arg(x)));
            QVERIFY(RedCover(image->pixel(60, 40)) == 1.0);
        }
        // The zigzag as the outline of the whole line (round ends and joints), filled once.
        QImage reference(sheet.size(), QImage::Format_RGB32);
        reference.fill(Qt::white);
        {
            QPainter painter(&reference);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(0.5, 0.5);
            QPainterPath path(zigzag[0]);
            for (size_t k = 1; k < std::size(zigzag); ++k)
                path.lineTo(zigzag[k]);
            QPainterPathStroker outline;
            outline.setWidth(width);
            outline.setCapStyle(Qt::RoundCap);
            outline.setJoinStyle(Qt::RoundJoin);
            painter.fillPath(outline.createStroke(path), Qt::red);
        }
        for (int y = 70; y < 110; ++y)
            for (int x = 10; x < 90; ++x)
                QVERIFY2(std::abs(qGreen(sheet.pixel(x, y)) - qGreen(reference.pixel(x, y))) <= 2,
                         qPrintable(QStringLiteral("%1,%2: %3, not %4")
                                        .arg(x)
                                        .arg(y)
                                        .arg(qGreen(sheet.pixel(x, y)))
                                        .arg(qGreen(reference.pixel(x, y)))));
    }

    void exportedBmpShowsTheDot()
    {
        // At 77 DPI: s = 3.0315 pixels per mm, a 2 mm line of length 0 is a dot 6 pixels wide.
        DrawingState state;
        AddLine(state, 2, 100, 150, 100, 150);
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        QCOMPARE(WriteSheetBmp(state, 1, 0, 77, file), ExportError::None);
        const QByteArray bmp = file.data();
        const int width = qFromLittleEndian<qint32>(bmp.constData() + 18);
        const int height = qFromLittleEndian<qint32>(bmp.constData() + 22);
        const int rowBytes = (width * 3 + 3) / 4 * 4;
        // Pixels per metre with the program's millimetres per inch: 77000 / 25.39995 = 3031.502.
        QCOMPARE(qFromLittleEndian<qint32>(bmp.constData() + 38), 3032);
        QCOMPARE(qFromLittleEndian<qint32>(bmp.constData() + 42), 3032);
        const double s = 77 / MmPerInch;
        const int cx = Round(100 * s), cy = Round(150 * s);
        auto pixel = [&](int x, int y) { // around the dot, y from the top of the sheet
            const char *p = bmp.constData() + 54 + qsizetype(height - 1 - (cy - 10 + y)) * rowBytes + 3 * (cx - 10 + x);
            return qRgb(uchar(p[2]), uchar(p[1]), uchar(p[0]));
        };
        const Ink ink = Measure(21, 21, pixel, 10, 10);
        QVERIFY2(std::abs(ink.RowWidth - 6) <= 1, qPrintable(QString::number(ink.RowWidth)));
        QVERIFY2(std::abs(ink.ColumnWidth - 6) <= 1, qPrintable(QString::number(ink.ColumnWidth)));
        QVERIFY(std::abs(ink.CentreX - 10) < 0.05 && std::abs(ink.CentreY - 10) < 0.05);
    }

    void textSizeAtEveryExactHalf()
    {
        // Round(size x Z / 100) with halves to even, against the exact rational value, read
        // from the font the painter is given: size 10 at zoom 45 is 4 points, 15 at 110 is 16.
        DrawingState state;
        TextObject *text = &DrawingBuilder(state).Text(0, 0, QStringLiteral("x"));
        QImage image(32, 32, QImage::Format_RGB32);
        int halves = 0;
        QStringList wrong;
        for (int size = 6; size <= 72; ++size)
            for (int zoom = 1; zoom <= 300; ++zoom) {
                if (size * zoom % 100 != 50)
                    continue;
                ++halves;
                const int below = size * zoom / 100; // the exact value is below + 1/2
                const int points = std::max(1, below % 2 == 0 ? below : below + 1); // 0 is drawn as 1
                const int pixels = (4 * points + 1) / 3; // points x 96 / 72, to the nearest pixel
                text->Size = size;
                QPainter painter(&image);
                PainterCanvas canvas(painter);
                DrawObjects(canvas, state, 0, PixelsPerMmFor(zoom, 96), zoom, 96);
                if (painter.font().pixelSize() != pixels)
                    wrong << QStringLiteral("%1 at %2: %3 px, not %4").arg(size).arg(zoom).arg(painter.font().pixelSize()).arg(pixels);
            }
        QCOMPARE(halves, 549);
        QCOMPARE(wrong.join("; "), QString());
    }

    // Texts are drawn from layouts kept from their first drawing: the pixels are those the
    // painter gives the text itself, for every kind of text and font, at every ratio, the first
    // time and again; what the kept layouts cannot draw so (a mnemonic, underline) the painter does.
    void keptTextLayoutsDrawAsThePainter()
    {
        const QStringList texts{QStringLiteral("Dreieck ABC 17\nHöhe h"), QStringLiteral("a\r\nb\rc\n\nd"),
                                QStringLiteral("\tTab  and spaces  "), QString(), QStringLiteral("\n"),
                                QStringLiteral("שלום world 12"), QStringLiteral("fi ffl Æ g̈ 😀 ∠α"),
                                QStringLiteral("R&D && x"), QStringLiteral("Winkel\x9cW")};
        QStringList wrong;
        for (const QString &face : {QStringLiteral("DejaVu Serif"), QStringLiteral("Arial"), QStringLiteral("Courier New")})
            for (int height : {7, 16, 104})
                for (int style = 0; style < 6; ++style)
                    for (qreal ratio : {1.0, 1.5, 2.0}) {
                        FontSpec font{face, height, style & 1 ? 700 : 400};
                        font.Italic = style & 2;
                        font.Underline = style == 4;
                        font.StrikeOut = style == 5;
                        font.Pitch = face.startsWith('C') ? 2 : 0;
                        font.Colour = ColourRGB(20, 90, 200);
                        for (const QString &text : texts) {
                            // As the surface draws a part: a transform that starts between two pixels.
                            QImage kept(int(480 * ratio), int(height * 3 * ratio), QImage::Format_RGB32);
                            kept.setDevicePixelRatio(ratio);
                            QImage painted = kept;
                            const QTransform base = QTransform::fromTranslate(-1 / 3.0, 0);
                            for (int round = 0; round < 2; ++round) {
                                kept.fill(Qt::white);
                                QPainter painter(&kept);
                                PainterCanvas canvas(painter, QPoint(3, 2), base);
                                canvas.SetFont(font);
                                canvas.SetBackgroundTransparent(true);
                                canvas.DrawText(QRect(7, 5, 1, 1), text);
                            }
                            painted.fill(Qt::white);
                            QPainter painter(&painted);
                            painter.setRenderHint(QPainter::Antialiasing);
                            painter.setRenderHint(QPainter::TextAntialiasing);
                            painter.setTransform(QTransform::fromTranslate(3, 2) * base);
                            painter.setFont(MakeFont(font));
                            painter.setPen(ToQColor(font.Colour));
                            painter.drawText(QRect(7, 5, 1, 1), Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip,
                                             NormaliseLineBreaks(text));
                            painter.end();
                            if (kept != painted)
                                wrong << QStringLiteral("%1 %2 px, style %3, ratio %4: %5")
                                             .arg(face).arg(height).arg(style).arg(ratio).arg(text);
                        }
                    }
        QCOMPARE(wrong.join("; "), QString());
    }

    void zoomedPointSizes()
    {
        QCOMPARE(ZoomedPointSize(10, 45), 4);
        QCOMPARE(ZoomedPointSize(15, 110), 16);
        QCOMPARE(ZoomedPointSize(5, 10), 0);   // half of 1 goes to 0
        QCOMPARE(ZoomedPointSize(15, 10), 2);  // 1.5 to 2
        QCOMPARE(ZoomedPointSize(-15, 10), -2);
        QCOMPARE(ZoomedPointSize(-5, 10), 0);
        QCOMPARE(ZoomedPointSize(12, 101), 12);
        QCOMPARE(ZoomedPointSize(INT_MAX, 300), INT_MAX); // damaged sizes saturate
        QCOMPARE(ZoomedPointSize(INT_MIN, 300), INT_MIN);
    }
};

QTEST_MAIN(TestPaintedPixels)
#include "test_painted_pixels.moc"
