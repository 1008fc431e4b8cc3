// The surface on high-density screens: the renderer paints device pixels at ratios 1.25 to 3
// (whole logical pixels stay whole device pixels, texts are as sharp as at a larger zoom,
// pieces painted one by one meet without gaps), and the real window under a scale factor
// (QT_SCALE_FACTOR, set by the test's registration) shows a sharp frame and puts a line
// drawn with the mouse where it was drawn, in logical pixels.
#include "support/drawing_builder.h"
#include "support/window_fixture.h"
#include "i18n/options_file.h"
#include "render/surface/surface_renderer.h"

#include <QtTest>

#include <cmath>

using namespace velmora;

namespace {

const QRgb Workspace = qRgb(128, 128, 128);

// Two sheets with lines of several angles and texts, some across the border between the
// sheets. (Lines of one device pixel are left out: Qt's rasteriser places such a line a
// little differently when it is clipped at another place.)
void FillSample(DrawingState &state)
{
    DrawingBuilder drawing(state);
    drawing.Line(20, 100, 150, 100, 1.2);
    drawing.Line(10, 20, 190, 280, 1.2);
    drawing.Line(30, 250, 60, 330, 2);
    drawing.Line(100, 290, 101, 300, 1.6);
    drawing.Text(30, 40, QStringLiteral("Dreieck ABC"), 20);
    drawing.Text(120, 293, QStringLiteral("Höhe h"), 14);
}

// The surface as a window of this ratio shows it: the workspace, then the exposed parts.
QImage NewSurface(const ViewGeometry &view, qreal ratio)
{
    const QSize size = view.SurfaceSize();
    QImage image(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Workspace);
    return image;
}

void PaintPart(SurfaceRenderer &renderer, QImage &surface, const QRect &exposed, DrawingState &state,
               const ViewGeometry &view, bool instruments = true)
{
    QPainter painter(&surface);
    renderer.Paint(painter, exposed, state, view, SheetView{instruments, instruments, instruments, false, instruments});
}

QImage PaintWhole(DrawingState &state, const ViewGeometry &view, qreal ratio, bool instruments = true)
{
    SurfaceRenderer renderer;
    QImage surface = NewSurface(view, ratio);
    PaintPart(renderer, surface, QRect(QPoint(0, 0), view.SurfaceSize()), state, view, instruments);
    return surface;
}

// Antialiased edges may differ by a level or two where the rasteriser starts elsewhere.
bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 4 && std::abs(qGreen(a) - qGreen(b)) <= 4 &&
           std::abs(qBlue(a) - qBlue(b)) <= 4;
}

QImage Grab(TMainForm &form)
{
    QCoreApplication::processEvents();
    return form.Surface().paintBox->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Of the pixels of an area that carry ink, the share that is neither paper nor full ink: the
// soft fringe of glyph edges. A sharp rendering at twice the resolution has half as much
// fringe for the same ink; a picture blown up to twice its size keeps its share.
double FringeShare(const QImage &image, const QRect &area)
{
    int ink = 0, fringe = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            ink += grey < 215;
            fringe += grey < 215 && grey > 40;
        }
    return ink ? double(fringe) / ink : 1;
}

struct Window : WindowFixture {
    Window() : WindowFixture(WindowOptions().Sized(QSize(1000, 800)))
    {
        if (!WaitExposed())
            qWarning("the window was not shown");
    }
};

} // namespace

class TestHighDensity : public QObject {
    Q_OBJECT
private slots:
    void piecesMeetWithoutGapsOrDoubledPixels_data()
    {
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0})
            QTest::addRow("%g", ratio) << ratio;
    }
    void piecesMeetWithoutGapsOrDoubledPixels()
    {
        // Exposed rectangles of odd sizes, across the border of the sheets and their edges, each
        // painted as the window paints an uncovered part: the workspace first, then the sheets.
        QFETCH(qreal, ratio);
        DrawingState state;
        FillSample(state);
        const ViewGeometry view = ComputeViewGeometry(2, 50, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const QImage whole = PaintWhole(state, view, ratio, false);
        const QSize size = view.SurfaceSize();
        const int border = view.SheetOnSurface(1).top();
        const std::vector<int> columns{0, 4, 5, 6, 37, 150, 211, 300, size.width() - 6, size.width()};
        const std::vector<int> rows{0, 3, 5, 90, 333, border - 1, border, border + 7, 800, size.height() - 5, size.height()};
        for (bool kept : {false, true}) {
            // Fresh pieces of a changed drawing, then pieces cut from what the whole paint kept.
            SurfaceRenderer renderer;
            if (kept) {
                QImage scratch = NewSurface(view, ratio);
                PaintPart(renderer, scratch, QRect(QPoint(0, 0), size), state, view, false);
            }
            QImage pieces = NewSurface(view, ratio);
            for (size_t r = 0; r + 1 < rows.size(); ++r)
                for (size_t c = 0; c + 1 < columns.size(); ++c) {
                    const QRect piece(QPoint(columns[c], rows[r]), QPoint(columns[c + 1] - 1, rows[r + 1] - 1));
                    // The workspace shows through wherever the piece's device pixels reach.
                    const QRect device(QPoint(int(std::floor(piece.left() * ratio)), int(std::floor(piece.top() * ratio))),
                                       QPoint(int(std::ceil((piece.right() + 1) * ratio)) - 1,
                                              int(std::ceil((piece.bottom() + 1) * ratio)) - 1));
                    for (int y = device.top(); y <= device.bottom(); ++y)
                        for (int x = device.left(); x <= device.right(); ++x)
                            pieces.setPixel(x, y, Workspace);
                    PaintPart(renderer, pieces, piece, state, view, false);
                }
            int different = 0;
            QRect where;
            for (int y = 0; y < whole.height(); ++y)
                for (int x = 0; x < whole.width(); ++x)
                    if (!Near(whole.pixel(x, y), pieces.pixel(x, y))) {
                        ++different;
                        where |= QRect(x, y, 1, 1);
                    }
            QVERIFY2(different == 0, qPrintable(QStringLiteral("%1 device pixels differ (kept pictures: %2) in %3, %4 to %5, %6")
                                                    .arg(different)
                                                    .arg(kept)
                                                    .arg(where.left())
                                                    .arg(where.top())
                                                    .arg(where.right())
                                                    .arg(where.bottom())));
        }
    }

    void logicalPixelIsWholeDevicePixels_data()
    {
        QTest::addColumn<int>("ratio");
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
    }
    void logicalPixelIsWholeDevicePixels()
    {
        // The sheet's one-pixel frame and a line of one pixel are `ratio` device pixels of pure
        // black, between paper and workspace; the sheet is still 794 logical pixels wide.
        QFETCH(int, ratio);
        DrawingState state;
        DrawingBuilder(state).Line(20, 100, 150, 100, 0.1);
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        QCOMPARE(view.PageWidthPx, 794);
        const QImage surface = PaintWhole(state, view, ratio, false);
        QCOMPARE(surface.width(), view.SurfaceSize().width() * ratio);
        const int row = 1000 * ratio;
        const int left = 5 * ratio, right = (5 + 794) * ratio; // the frame's first column, the one after it
        for (int i = 0; i < ratio; ++i) {
            QCOMPARE(surface.pixel(left + i, row), qRgb(0, 0, 0));
            QCOMPARE(surface.pixel(right - 1 - i, row), qRgb(0, 0, 0));
        }
        QCOMPARE(surface.pixel(left - 1, row), Workspace);
        QCOMPARE(surface.pixel(left + ratio, row), qRgb(255, 255, 255));
        QCOMPARE(surface.pixel(right - 1 - ratio, row), qRgb(255, 255, 255));
        QCOMPARE(surface.pixel(right, row), Workspace);

        const int lineRow = (5 + Round(100 * view.PixelsPerMm)) * ratio, column = (5 + 300) * ratio;
        for (int i = 0; i < ratio; ++i)
            QCOMPARE(surface.pixel(column, lineRow + i), qRgb(0, 0, 0));
        QCOMPARE(surface.pixel(column, lineRow - 1), qRgb(255, 255, 255));
        QCOMPARE(surface.pixel(column, lineRow + ratio), qRgb(255, 255, 255));
    }

    void textIsAsSharpAsAtTwiceTheZoom()
    {
        // A text at ratio 2 has edges as sharp as the same text at zoom 200 on an ordinary
        // screen, not the soft edges of the zoom-100 rendering blown up to twice its size.
        DrawingState state;
        DrawingBuilder(state).Text(30, 40, QStringLiteral("Dreieck ABC, Höhe h"), 20);
        const ViewGeometry normal = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const ViewGeometry twice = ComputeViewGeometry(1, 200, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const QImage zoomed = PaintWhole(state, twice, 1, false);
        const QImage dense = PaintWhole(state, normal, 2, false);
        const QImage plain = PaintWhole(state, normal, 1, false);
        const QImage blownUp = plain.scaled(plain.size() * 2); // each pixel a block of 2 x 2
        // The text's box in device pixels of the ratio-2 surface, with a margin.
        const TextObject &text = state.Texts.At(0);
        const double s = normal.PixelsPerMm;
        const QRect box(QPoint(2 * (5 + int(text.Left * s)) - 4, 2 * (5 + int(text.Top * s)) - 4),
                        QPoint(2 * (5 + int(text.Right * s)) + 4, 2 * (5 + int(text.Bottom * s)) + 4));
        QVERIFY(box.width() > 200 && box.height() > 40);
        const double sharp = FringeShare(dense, box), soft = FringeShare(blownUp, box);
        const double reference = FringeShare(zoomed, box.translated(-5, -5));
        QVERIFY2(sharp < 0.75 * soft && sharp < 1.25 * reference,
                 qPrintable(QStringLiteral("fringe: %1 at ratio 2, %2 at zoom 200, %3 blown up")
                                .arg(sharp)
                                .arg(reference)
                                .arg(soft)));
    }

    void windowShowsTheFrameInDevicePixels()
    {
        Window w;
        const qreal ratio = w->Surface().paintBox->devicePixelRatio();
        QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR set");
        QCOMPARE(w->Surface().View.PageWidthPx(), 794);
        const QImage surface = Grab(*w.form);
        QCOMPARE(surface.width(), int(std::ceil(w->Surface().paintBox->width() * ratio)));
        const int row = int(1000 * ratio);
        const int left = int(std::floor(5 * ratio));
        if (ratio == std::floor(ratio)) {
            for (int i = 0; i < int(ratio); ++i)
                QCOMPARE(surface.pixel(left + i, row), qRgb(0, 0, 0));
            QCOMPARE(surface.pixel(left + int(ratio), row), qRgb(255, 255, 255));
        } else {
            // The frame covers parts of two device pixels: together they hold one pixel of ink.
            const int ink = 2 * 255 - qGray(surface.pixel(left, row)) - qGray(surface.pixel(left + 1, row));
            QVERIFY2(ink > 255 * 0.6, qPrintable(QString::number(ink)));
            QCOMPARE(surface.pixel(left + 2, row), qRgb(255, 255, 255));
        }
    }

    // At zoom 300 the instruments stay over the pencil's and the eraser's live strokes in the
    // real window (a stroke begun on the protractor's edge, an eraser through a line under
    // it): after every pointer event the screen shows what a full rendering shows.
    void instrumentsStayOverLiveStrokesAtZoom300()
    {
        Window w;
        const qreal ratio = w->Surface().paintBox->devicePixelRatio();
        QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR set");
        DrawingState &state = w->Session().Document();
        state.Paper = PaperKind::Dotted5;
        state.Placement.ProtractorX = 50, state.Placement.ProtractorY = 45;
        state.Placement.RulerX = 35, state.Placement.RulerY = 36, state.Placement.RulerAngle = 15;
        DrawingBuilder(state).Line(20, 43, 80, 41, 0.8);
        w->SettingsBand().zoomEdit->setValue(300);
        QWidget *box = w->Surface().paintBox, *viewport = w->Surface().viewport();
        const double s = w->Surface().View.PixelsPerMm();
        auto at = [s](double x, double y) { return QPoint(Round(s * x) + PointerMarginPx, Round(s * y) + PointerMarginPx); };
        auto check = [&](const char *tool, const char *when) {
            QCoreApplication::processEvents();
            const QRect visible(box->mapFrom(viewport, QPoint(0, 0)), viewport->size());
            const QImage shown = box->grab(visible).toImage().convertToFormat(QImage::Format_RGB32);
            QImage full(shown.size(), QImage::Format_RGB32);
            full.setDevicePixelRatio(ratio);
            full.fill(box->palette().color(QPalette::Window));
            {
                QPainter painter(&full);
                painter.translate(-visible.topLeft());
                SurfaceRenderer().Paint(painter, visible, state, w->Surface().CurrentView(), w->Surface().CurrentSheetView());
            }
            int different = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    different += !Near(shown.pixel(x, y), full.pixel(x, y));
            QVERIFY2(different == 0, qPrintable(QStringLiteral("%1, %2: %3 device pixels differ").arg(tool, when).arg(different)));
        };
        const struct {
            const char *name;
            QAction *tool;
            std::vector<QPoint> path;
        } strokes[] = {
            {"pencil", w->Tools().pencilTool, {at(10, 45), at(14, 44), at(20, 40), at(31, 37), at(45, 30)}},
            {"eraser", w->Tools().eraserTool, {at(25, 48), at(30, 44), at(38, 42), at(47, 40), at(60, 38)}},
        };
        for (const auto &stroke : strokes) {
            stroke.tool->trigger();
            check(stroke.name, "chosen");
            QTest::mousePress(box, Qt::LeftButton, {}, stroke.path.front());
            for (const QPoint &p : stroke.path) {
                QMouseEvent move(QEvent::MouseMove, p, box->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
                QApplication::sendEvent(box, &move);
                check(stroke.name, "move");
            }
            QTest::mouseRelease(box, Qt::LeftButton, {}, stroke.path.back());
            check(stroke.name, "release");
        }
        QCOMPARE(state.Objects.Count, 1 + 5 + 5); // a segment for each move
    }

    void lineDrawnWithTheMouseEndsWhereTheMouseWas()
    {
        Window w;
        const qreal ratio = w->Surface().paintBox->devicePixelRatio();
        QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR set");
        w->Tools().pencilTool->trigger();
        const QPoint from(104, 406), to(306, 406);
        QTest::mousePress(w->Surface().paintBox, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, w->Surface().paintBox->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(w->Surface().paintBox, &move);
        QTest::mouseRelease(w->Surface().paintBox, Qt::LeftButton, {}, to);
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);
        const DrawingObject &line = w->Session().Drawing().Objects.At(0);
        const double s = w->Surface().View.PixelsPerMm();
        const MmPoint start = PointerToMm(from.x(), from.y(), s), end = PointerToMm(to.x(), to.y(), s);
        QCOMPARE(line.X1, start.x);
        QCOMPARE(line.Y1, start.y);
        QCOMPARE(line.X2, end.x);
        QCOMPARE(line.Y2, end.y);
        // On the screen it runs along the logical row it was drawn on, in device pixels.
        const QImage surface = Grab(*w.form);
        auto dark = [&](int x, int y) { return qGray(surface.pixel(int(x * ratio), int(std::round((y + 0.5) * ratio - 0.5)))) < 128; };
        QVERIFY(dark(from.x() + 1, from.y()));
        QVERIFY(dark(to.x() - 1, to.y()));
        QVERIFY(!dark(to.x() + 3, to.y()));
        QVERIFY(!dark(from.x() + 100, from.y() - 3));
        QVERIFY(!dark(from.x() + 100, from.y() + 3));
    }
};

QTEST_MAIN(TestHighDensity)
#include "test_high_density.moc"
