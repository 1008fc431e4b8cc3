// Wide round-capped lines and dots drawn on sheet images look as the painter's own stroke
// draws them: lines of every angle, width, zoom and device pixel ratio, at sub-pixel places,
// cut by the image's edges and by a clip rectangle, overlapping in several colours. Each
// case prints the largest and the mean difference per colour channel.
#include "support/drawing_builder.h"
#include "support/random_drawing.h"
#include "document/drawing_state.h"
#include "render/canvas/capsule_raster.h"
#include "render/canvas/curve_raster.h"
#include "render/canvas/outline_fill.h"
#include "render/canvas/painter_canvas.h"
#include "render/output/sheet_export.h"
#include "render/sheet/sheet_renderer.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <random>
#include <tuple>

using namespace velmora;

namespace {

using Paint = std::function<void(QPainter &)>;

// A background with texture, so a wrong blend or a stray write shows.
QImage Paper(QSize size, QImage::Format format, double ratio)
{
    QImage image(size, format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(200 + (x * 7 + y * 3) % 56, 230 + (x + y * 5) % 26, 255 - (x * y) % 40));
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage Painted(QImage image, const Paint &paint)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paint(painter);
    return image;
}

// How the painter's own stroke draws a round-capped line (a filled circle for a dot), as the
// canvas draws it: coordinates at pixel centres.
void QtLine(QPainter &painter, QPointF a, QPointF b, double width, QColor colour)
{
    if (a == b) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(a, width / 2, width / 2);
    } else {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(a, b);
    }
}

// The columns where row y of two images of the same size and format differ.
std::vector<int> ChangedPixels(const QImage &one, const QImage &other, int y)
{
    std::vector<int> columns;
    const auto *p = reinterpret_cast<const QRgb *>(one.constScanLine(y));
    const auto *q = reinterpret_cast<const QRgb *>(other.constScanLine(y));
    if (std::equal(p, p + one.width(), q))
        return columns;
    for (int x = 0; x < one.width(); ++x)
        if (p[x] != q[x])
            columns.push_back(x);
    return columns;
}

// How far our pixels are from the painter's: the largest difference of a colour channel, and
// the mean channel difference over the pixels that differ at all.
struct Difference {
    int Max = 0;
    double Sum = 0;
    qint64 Pixels = 0, Painted = 0;
    double Mean() const { return Pixels ? Sum / (3.0 * Pixels) : 0; }
    void Add(const QImage &paper, const QImage &ours, const QImage &theirs)
    {
        for (int y = 0; y < ours.height(); ++y) {
            Painted += qint64(ChangedPixels(paper, theirs, y).size());
            for (int x : ChangedPixels(ours, theirs, y)) {
                const QRgb p = ours.pixel(x, y), q = theirs.pixel(x, y);
                for (int shift : {0, 8, 16}) {
                    const int d = std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF));
                    Max = std::max(Max, d);
                    Sum += d;
                }
                ++Pixels;
            }
        }
    }
};

// Largest channel difference allowed: two steps of 8-bit coverage (the painter cuts its cells
// with integer divisions, so its coverage is now and then one step off the exact area).
constexpr int MaxDifference = 2;
constexpr double MaxMeanDifference = 1;

void Report(const char *what, const Difference &d)
{
    qInfo("%s: %lld of %lld painted pixels differ, by at most %d, by %.3f on average per channel", what,
          d.Pixels, d.Painted, d.Max, d.Mean());
    QVERIFY2(d.Max <= MaxDifference, what);
    QVERIFY2(d.Mean() <= MaxMeanDifference, what);
}

// Pixels the line cannot reach (centre farther than the radius plus a pixel) stay as they were.
void CheckUntouched(const QImage &before, const QImage &after, double scale, QPointF a, QPointF b, double width)
{
    const QPointF da = a * scale, db = b * scale;
    const double reach = width * scale / 2 + 1, length2 = QPointF::dotProduct(db - da, db - da);
    for (int y = 0; y < after.height(); ++y)
        for (int x : ChangedPixels(before, after, y)) {
            const QPointF p(x + 0.5, y + 0.5);
            const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - da, db - da) / length2, 0.0, 1.0) : 0;
            const QPointF near = da + (db - da) * t;
            if (std::hypot(p.x() - near.x(), p.y() - near.y()) > reach)
                QFAIL(qPrintable(QString("pixel (%1, %2) beyond the line's reach was painted").arg(x).arg(y)));
        }
}

QPointF Along(QPointF from, double degrees, double length)
{
    const double a = degrees * std::numbers::pi / 180;
    return from + QPointF(length * std::cos(a), -length * std::sin(a));
}

} // namespace

class TestWideLines : public QObject {
    Q_OBJECT

private slots:
    // The canvas's lines (integer ends at pixel centres) at every 7.5 degrees and widths of
    // 0.1 mm to 5 mm at 150 dpi and on screen at 100 % and 300 %, at device pixel ratios.
    void canvasLinesLookAsBefore_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("format");
        QTest::newRow("ratio 1, RGB32") << 1.0 << int(QImage::Format_RGB32);
        QTest::newRow("ratio 1, premultiplied") << 1.0 << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("ratio 1.25") << 1.25 << int(QImage::Format_RGB32);
        QTest::newRow("ratio 1.5") << 1.5 << int(QImage::Format_RGB32);
        QTest::newRow("ratio 2") << 2.0 << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("ratio 3") << 3.0 << int(QImage::Format_RGB32);
    }
    void canvasLinesLookAsBefore()
    {
        QFETCH(double, ratio);
        QFETCH(int, format);
        Difference d;
        const QSize size(int(std::ceil(160 * ratio)), int(std::ceil(160 * ratio)));
        const QImage paper = Paper(size, QImage::Format(format), ratio);
        for (int width : {1, 2, 3, 4, 6, 9, 15, 30, 57}) {
            for (double angle = 0; angle < 360; angle += 7.5) {
                const QPoint a(80, 80), b = Along(a, angle, 20 + width).toPoint();
                const QImage ours = Painted(paper, [&](QPainter &painter) {
                    PainterCanvas canvas(painter);
                    canvas.SetPenColour(0x2040C0);
                    canvas.SetPenWidth(width);
                    canvas.MoveTo(a.x(), a.y());
                    canvas.LineTo(b.x(), b.y());
                });
                const QImage theirs = Painted(paper, [&](QPainter &painter) {
                    painter.translate(0.5, 0.5);
                    QtLine(painter, a, b, width, QColor(0xC0, 0x40, 0x20));
                });
                d.Add(paper, ours, theirs);
                CheckUntouched(paper, ours, ratio, a + QPointF(0.5, 0.5), b + QPointF(0.5, 0.5), width);
            }
            // The dot of a line whose ends coincide.
            const QImage ours = Painted(paper, [&](QPainter &painter) {
                PainterCanvas canvas(painter);
                canvas.SetPenColour(0x000000);
                canvas.SetPenWidth(width);
                canvas.MoveTo(70, 75);
                canvas.LineTo(70, 75);
            });
            const QImage theirs = Painted(paper, [&](QPainter &painter) {
                if (width <= 1) {
                    painter.fillRect(QRect(70, 75, 1, 1), Qt::black);
                    return;
                }
                painter.translate(0.5, 0.5);
                QtLine(painter, QPointF(70, 75), QPointF(70, 75), width, Qt::black);
            });
            d.Add(paper, ours, theirs);
        }
        Report(QTest::currentDataTag(), d);
    }

    // Random ends anywhere between pixels, random widths and angles, also at ratio 1.25.
    void subPixelLinesLookAsBefore()
    {
        std::mt19937 random(16);
        std::uniform_real_distribution<double> place(-10, 130), width(1.05, 24), unit(0, 1);
        Difference d;
        for (double ratio : {1.0, 1.25}) {
            const QImage paper = Paper(QSize(int(120 * ratio), int(120 * ratio)), QImage::Format_RGB32, ratio);
            for (int i = 0; i < 300; ++i) {
                const QPointF a(place(random), place(random));
                const QPointF b = i % 10 == 0 ? a : Along(a, 360 * unit(random), 60 * unit(random));
                const double w = width(random);
                const QColor colour = QColor::fromRgb(random() & 0xFFFFFF);
                QImage ours = paper;
                {
                    QPainter painter(&ours);
                    painter.setRenderHint(QPainter::Antialiasing, true);
                    QVERIFY(DrawCapsule(painter, a, b, w, colour.rgb()));
                }
                const QImage theirs = Painted(paper, [&](QPainter &painter) { QtLine(painter, a, b, w, colour); });
                d.Add(paper, ours, theirs);
                CheckUntouched(paper, ours, ratio, a, b, w);
            }
        }
        Report("sub-pixel", d);
    }

    // Outline points land on the 1/64 pixel grid as std::round puts them: halves away from
    // zero, the sign of a zero kept, coordinates far beyond any sheet and odd values alike;
    // in the build for every processor and in the one for newer processors.
    void outlinePointsRoundAsBefore()
    {
        for (bool newer : {false, true})
            if (outline::UseNewerProcessorBuild(newer) == newer)
                PointsRoundAsBefore();
        outline::UseNewerProcessorBuild(true);
    }

    // The build of the fill for newer processors draws the very pixels of the one for every
    // processor: objects of every kind and colour, white ones on squared paper, at 96, 144 and
    // 300 dpi (a contraction of products and sums into fused ones would show here).
    void bothProcessorBuildsDrawTheSame()
    {
        if (!outline::UseNewerProcessorBuild(true))
            QSKIP("This processor has no AVX2, BMI and FMA: only the build for every processor runs.");
        DrawingState state;
        DrawingBuilder drawing(state);
        AddRandomObjects(drawing, 600, 210, 297, 5);
        state.Paper = PaperKind::Squared5;
        for (double dpi : {96.0, 144.0, 300.0}) {
            QImage newer, plain;
            QCOMPARE(SheetImage(state, 1, 0, dpi, newer), ExportError::None);
            outline::UseNewerProcessorBuild(false);
            QCOMPARE(SheetImage(state, 1, 0, dpi, plain), ExportError::None);
            outline::UseNewerProcessorBuild(true);
            QCOMPARE(plain, newer);
        }
    }

private:
    void PointsRoundAsBefore()
    {
        std::vector<double> values{0.5, -0.5, 1.5, -2.5, 3.5, std::nextafter(0.5, 0.0), std::nextafter(-0.5, 0.0),
                                   -0.0, 1e-300, 0x1p51 + 1.5, 0x1p52 + 3, -0x1p60, 1e300, qInf(), qQNaN()};
        std::mt19937 random(5);
        std::uniform_real_distribution<double> any(-1e4, 1e4);
        for (int i = 0; i < 20000; ++i)
            values.push_back(i % 2 ? any(random) : std::round(any(random) * 128) / 128);
        for (auto [scale, dx, dy] : {std::tuple{1.0, 0.0, 0.0}, {1.5, 0.25, -0.75}, {0.37, 1e3, -1e3}}) {
            outline::Contours contours;
            for (double v : values)
                contours.Points.push_back({v / 64, -v / 64});
            outline::ToDevice(contours, scale, QPointF(dx, dy));
            // Bit for bit (a NaN is a NaN, whatever its bits).
            auto same = [](double a, double b) { return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0; };
            for (size_t i = 0; i < values.size(); ++i)
                QVERIFY2(same(std::round((values[i] / 64 * scale + dx) * 64) / 64, contours.Points[i].X) &&
                             same(std::round((-values[i] / 64 * scale + dy) * 64) / 64, contours.Points[i].Y),
                         qPrintable(QString::number(values[i], 'g', 17)));
        }
    }

private slots:
    // Lines leaving the image and cut by a clip rectangle: nothing is written outside, and
    // inside the pixels are the painter's.
    void clippedLinesStayInside()
    {
        const QImage paper = Paper(QSize(100, 80), QImage::Format_RGB32, 1);
        const QRect clip(17, 11, 50, 41);
        Difference d;
        for (double angle = 0; angle < 360; angle += 15) {
            for (bool clipped : {false, true}) {
                const QPoint a(40, 35), b = Along(a, angle, 90).toPoint();
                auto draw = [&](QPainter &painter, bool ours) {
                    if (clipped)
                        painter.setClipRect(clip);
                    if (ours) {
                        PainterCanvas canvas(painter);
                        canvas.SetPenColour(0x105010);
                        canvas.SetPenWidth(11);
                        canvas.MoveTo(a.x(), a.y());
                        canvas.LineTo(b.x(), b.y());
                        canvas.MoveTo(-30, 40);
                        canvas.LineTo(-30, 40);
                        canvas.MoveTo(b.x(), b.y());
                        canvas.LineTo(b.x(), b.y());
                    } else {
                        painter.translate(0.5, 0.5);
                        QtLine(painter, a, b, 11, QColor(0x10, 0x50, 0x10));
                        QtLine(painter, QPointF(-30, 40), QPointF(-30, 40), 11, QColor(0x10, 0x50, 0x10));
                        QtLine(painter, b, b, 11, QColor(0x10, 0x50, 0x10));
                    }
                };
                const QImage ours = Painted(paper, [&](QPainter &p) { draw(p, true); });
                const QImage theirs = Painted(paper, [&](QPainter &p) { draw(p, false); });
                d.Add(paper, ours, theirs);
                if (clipped)
                    for (int y = 0; y < ours.height(); ++y)
                        for (int x : ChangedPixels(paper, ours, y))
                            if (!clip.contains(x, y))
                                QFAIL(qPrintable(QString("pixel (%1, %2) outside the clip was painted").arg(x).arg(y)));
            }
        }
        Report("clipped", d);
        // Ends far outside the image (a large zoom) cost nothing and draw what is visible.
        const QImage ours = Painted(paper, [&](QPainter &painter) {
            PainterCanvas canvas(painter);
            canvas.SetPenWidth(7);
            canvas.MoveTo(-2000000000, 30);
            canvas.LineTo(2000000000, 31);
        });
        QCOMPARE(ours.pixel(50, 30), qRgb(0, 0, 0));
        QCOMPARE(ours.pixel(50, 40), paper.pixel(50, 40));
        // Coordinates that are no numbers or lie beyond any sheet draw nothing.
        QImage image = paper;
        const double nan = std::nan(""), huge = 1e300;
        for (auto [a, b, width] : {std::tuple{QPointF(nan, 3), QPointF(40, 40), 5.0}, {QPointF(3, 3), QPointF(40, huge), 5.0},
                                   {QPointF(3, 3), QPointF(40, 40), nan}, {QPointF(3, 3), QPointF(40, 40), huge}})
            FillCapsule(image, image.rect(), {}, a, b, width, qRgb(0, 0, 0));
        QCOMPARE(image, paper);
    }

    // A line drawn into one copy of an image leaves every other copy as it was: one that
    // shared its pixels before, and one taken while a painter draws on it.
    void otherCopiesStayUnchanged()
    {
        const QImage paper = Paper(QSize(60, 60), QImage::Format_RGB32, 1);
        const QImage before = paper.copy();
        const QPointF a(10, 10), b(50, 40);
        QImage filled = paper;
        FillCapsule(filled, filled.rect(), {}, a, b, 6, qRgb(0, 0, 0));
        QCOMPARE(filled.pixel(30, 25), qRgb(0, 0, 0));
        QCOMPARE(paper, before);

        QImage painted = paper;
        QPainter painter(&painted);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QImage during = painted;
        QVERIFY(DrawCapsule(painter, a, b, 6, qRgb(0, 0, 0)));
        painter.end();
        QCOMPARE(painted.pixel(30, 25), qRgb(0, 0, 0));
        QCOMPARE(during, before);
        QCOMPARE(paper, before);
    }

    // Ellipses (with and without their white inside), arcs and curves of every size and width
    // look as the painter's own path draws them, at device pixel ratios, on textured paper
    // and on white; a clip cuts them the same; thin pens stay with the painter.
    void curvesLookAsThePaintersOwn_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<bool>("textured");
        for (double ratio : {1.0, 1.5, 2.0})
            for (bool textured : {false, true})
                QTest::newRow(qPrintable(QString("ratio %1, %2").arg(ratio).arg(textured ? "paper" : "plain")))
                    << ratio << textured;
    }
    void curvesLookAsThePaintersOwn()
    {
        QFETCH(double, ratio);
        QFETCH(bool, textured);
        const QSize size(int(std::ceil(140 * ratio)), int(std::ceil(140 * ratio)));
        QImage paper = Paper(size, QImage::Format_RGB32, ratio);
        if (!textured)
            paper.fill(Qt::white);
        std::mt19937 random(int(ratio * 10) + textured);
        std::uniform_int_distribution<int> place(-20, 160), reach(2, 90), width(1, 24);
        Difference d;
        for (int i = 0; i < 90; ++i) {
            const int x1 = place(random), y1 = place(random), x2 = x1 + reach(random), y2 = y1 + reach(random);
            const int x3 = place(random), y3 = place(random), x4 = place(random), y4 = place(random);
            const int w = width(random), what = i % 3;
            const bool filled = i % 2 == 0, clipped = i % 7 == 0;
            const uint32_t colour = random() & 0xFFFFFF;
            const QColor qt((colour & 0xFF), (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
            const QRectF box = QRectF(QPointF(x1, y1), QPointF(x2 - 1, y2 - 1));
            auto arcPath = [&] {
                auto angle = [&](double px, double py) {
                    return qRadiansToDegrees(std::atan2(-(py - box.center().y()) / (box.height() / 2),
                                                        (px - box.center().x()) / (box.width() / 2)));
                };
                const double start = angle(x3, y3);
                double sweep = angle(x4, y4) - start;
                while (sweep <= 0)
                    sweep += 360;
                QPainterPath path;
                path.arcMoveTo(box, start);
                path.arcTo(box, start, sweep);
                return path;
            };
            const QImage ours = Painted(paper, [&](QPainter &painter) {
                if (clipped)
                    painter.setClipRect(QRect(30, 25, 70, 80));
                PainterCanvas canvas(painter);
                canvas.SetPenColour(colour);
                canvas.SetPenWidth(w);
                if (filled)
                    canvas.SetBrushColour(0xFFFFFF);
                else
                    canvas.SetBrushStyle(BrushStyle::Clear);
                if (what == 0) {
                    canvas.Ellipse(x1, y1, x2, y2);
                } else if (what == 1) {
                    canvas.Arc(x1, y1, x2, y2, x3, y3, x4, y4);
                } else {
                    canvas.MoveTo(x1, y1);
                    canvas.BezierTo(x3, y3, x4, y4, x2, y2);
                }
            });
            const QImage theirs = Painted(paper, [&](QPainter &painter) {
                if (clipped)
                    painter.setClipRect(QRect(30, 25, 70, 80));
                painter.translate(0.5, 0.5);
                painter.setPen(QPen(qt, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter.setBrush(what == 0 && filled ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
                if (what == 0) {
                    painter.drawEllipse(box);
                } else if (what == 1) {
                    painter.drawPath(arcPath());
                } else {
                    QPainterPath path(QPointF(x1, y1));
                    path.cubicTo(x3, y3, x4, y4, x2, y2);
                    painter.drawPath(path);
                }
            });
            d.Add(paper, ours, theirs);
            if (w * ratio > 1) { // the fast path drew it
                QImage image = paper;
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing, true);
                QVERIFY(DrawStrokedPath(painter, arcPath(), w, qRgb(0, 0, 0)));
            }
        }
        Report(QTest::currentDataTag(), d);
    }

    // Many overlapping lines and dots of several colours blend over each other as before.
    void overlappingColoursBlendAsBefore()
    {
        std::mt19937 random(3);
        std::uniform_int_distribution<int> place(0, 90), width(2, 12);
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
            const QImage paper = Paper(QSize(90, 90), format, 1);
            struct Line {
                QPoint A, B;
                int Width;
                uint32_t Colour;
            };
            std::vector<Line> lines;
            for (int i = 0; i < 60; ++i) {
                const QPoint a(place(random), place(random));
                lines.push_back({a, i % 7 == 0 ? a : QPoint(place(random), place(random)), width(random),
                                 uint32_t(random() & 0xFFFFFF)});
            }
            const QImage ours = Painted(paper, [&](QPainter &painter) {
                PainterCanvas canvas(painter);
                for (const Line &l : lines) {
                    canvas.SetPenColour(l.Colour);
                    canvas.SetPenWidth(l.Width);
                    canvas.MoveTo(l.A.x(), l.A.y());
                    canvas.LineTo(l.B.x(), l.B.y());
                }
            });
            const QImage theirs = Painted(paper, [&](QPainter &painter) {
                painter.translate(0.5, 0.5);
                for (const Line &l : lines)
                    QtLine(painter, l.A, l.B, l.Width, ToQColor(l.Colour));
            });
            Difference d;
            d.Add(paper, ours, theirs);
            Report(format == QImage::Format_RGB32 ? "overlapping, RGB32" : "overlapping, premultiplied", d);
        }
    }

    // A sheet of random lines of 0.35 mm (two pixels) to 5 mm, exported as BMP at 150 dpi in bands: the same
    // pixels as the painter's own stroke draws on one image of the whole sheet.
    void exportedSheetLooksAsBefore()
    {
        DrawingState state;
        std::mt19937 random(7);
        std::uniform_real_distribution<double> x(-5, 215), y(-5, 300), len(0, 80), turn(0, 360), width(0.35, 5);
        for (int i = 0; i < 400; ++i) {
            DrawingObject *o = &DrawingBuilder(state).Blank();
            o->Kind = KindLine;
            o->PenWidth = width(random);
            o->Colour = uint32_t(random() & 0xFFFFFF);
            o->X1 = x(random);
            o->Y1 = y(random);
            const QPointF end = i % 13 == 0 ? QPointF(o->X1, o->Y1) : Along(QPointF(o->X1, o->Y1), turn(random), len(random));
            o->X2 = end.x();
            o->Y2 = end.y();
        }
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        QCOMPARE(WriteSheetBmp(state, 1, 0, 150, bmp), ExportError::None);
        const QImage ours = QImage::fromData(bmp.data(), "BMP").convertToFormat(QImage::Format_RGB32);
        const ViewGeometry view = ExportGeometry(state, 1, 150);
        QCOMPARE(ours.size(), QSize(view.PageWidthPx, view.PageHeightPx));
        // On a non-premultiplied image the painter draws every line itself.
        QImage theirs(ours.size(), QImage::Format_ARGB32);
        theirs.fill(Qt::white);
        {
            QPainter painter(&theirs);
            PainterCanvas canvas(painter);
            RenderSheetDrawing(canvas, state, view, 0);
        }
        theirs = theirs.convertToFormat(QImage::Format_RGB32);
        QImage paper(ours.size(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        Difference d;
        d.Add(paper, ours, theirs);
        QVERIFY(d.Painted > 100000);
        Report("exported sheet", d);
    }

    // Where the fast path does not apply, the painter draws the line itself: the pixels are
    // exactly the painter's (a stretched view, a round clip, other image formats, a recorded
    // picture, half opacity, another composition mode).
    void otherPaintersDrawAsBefore_data()
    {
        QTest::addColumn<int>("setting");
        QTest::newRow("stretched view") << 0;
        QTest::newRow("round clip") << 1;
        QTest::newRow("ARGB32 image") << 2;
        QTest::newRow("recorded picture") << 3;
        QTest::newRow("half opacity") << 4;
        QTest::newRow("multiply") << 5;
    }
    void otherPaintersDrawAsBefore()
    {
        QFETCH(int, setting);
        const QImage paper = Paper(QSize(80, 80), setting == 2 ? QImage::Format_ARGB32 : QImage::Format_RGB32, 1);
        auto draw = [&](bool ours) {
            QImage image = paper;
            QPicture picture;
            QPainter painter;
            if (setting == 3)
                painter.begin(&picture);
            else
                painter.begin(&image);
            painter.setRenderHint(QPainter::Antialiasing, true);
            if (setting == 0) {
                painter.setWindow(0, 0, 80, 80);
                painter.setViewport(0, 0, 80, 60);
            } else if (setting == 1) {
                QPainterPath round;
                round.addEllipse(10, 10, 60, 60);
                painter.setClipPath(round);
            } else if (setting == 4) {
                painter.setOpacity(0.5);
            } else if (setting == 5) {
                painter.setCompositionMode(QPainter::CompositionMode_Multiply);
            }
            if (ours) {
                PainterCanvas canvas(painter);
                canvas.SetPenColour(0x3060A0);
                canvas.SetPenWidth(9);
                canvas.MoveTo(5, 70);
                canvas.LineTo(75, 12);
                canvas.LineTo(75, 12);
            } else {
                painter.translate(0.5, 0.5);
                QtLine(painter, QPointF(5, 70), QPointF(75, 12), 9, QColor(0xA0, 0x60, 0x30));
                QtLine(painter, QPointF(75, 12), QPointF(75, 12), 9, QColor(0xA0, 0x60, 0x30));
            }
            painter.end();
            if (setting == 3) {
                QPainter player(&image);
                player.drawPicture(0, 0, picture);
            }
            return image;
        };
        QCOMPARE(draw(true), draw(false));
    }
};

QTEST_MAIN(TestWideLines)
#include "test_wide_lines.moc"
