// Sheet rendering: recorded canvas operations for each object kind and for texts,
// pixels where drawing order matters, and the viewport paint against a full render.
#include "support/drawing_builder.h"
#include "document/drawing_state.h"
#include "render/canvas/painter_canvas.h"
#include "support/recording_canvas.h"
#include "render/sheet/sheet_renderer.h"
#include "render/surface/surface_renderer.h"
#include "render/sheet/object_index.h"
#include "render/canvas/text_metrics.h"
#include "render/output/sheet_export.h"

#include <QtTest>

using namespace velmora;

namespace {

const double S = PixelsPerMmFor(100, 96); // 3.779535

DrawingObject &AddObject(DrawingState &state, uint32_t kind, double width, std::initializer_list<double> points,
                         uint32_t colour = 0)
{
    return DrawingBuilder(state).Object(kind, width, points, colour);
}

// Its right and bottom edges stale until the first paint.
TextObject &AddText(DrawingState &state, double left, double top, int size, const QString &content)
{
    TextObject *t = &DrawingBuilder(state).Text(left, top, content, size);
    t->Colour = int32_t(ColourRGB(0, 0, 255));
    return *t;
}

QImage RenderWhole(DrawingState &state, const ViewGeometry &view, int sheet)
{
    QImage image(view.PageWidthPx, view.PageHeightPx, QImage::Format_RGB32);
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    RenderSheet(canvas, state, view, sheet, SheetView{false, false, false, false, false});
    return image;
}

// Antialiased edges may differ by a level or two where the rasteriser starts elsewhere.
bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 4 && std::abs(qGreen(a) - qGreen(b)) <= 4 && std::abs(qBlue(a) - qBlue(b)) <= 4;
}

bool IsWhite(QRgb p)
{
    return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240;
}

} // namespace

class TestRendering : public QObject {
    Q_OBJECT
private slots:
    void eachKindMapsItsPoints()
    {
        DrawingState state;
        AddObject(state, KindLine, 0.5, {10, 20, 30, 40}, ColourRed);
        AddObject(state, KindArc, 0.1, {0, 0, 20, 20, 20, 10, 10, 0});
        AddObject(state, KindEllipse, 1, {50, 50, 60, 70});
        AddObject(state, KindBezier, 0.3, {1, 2, 3, 4, 5, 6, 7, 8});
        AddObject(state, 7, 1, {1, 1, 2, 2}); // unknown kinds draw nothing
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 0, S, 100, 96);
        const QStringList expected = {
            "MoveTo 38,76 pen 2 0000FF",  "LineTo 113,151 pen 2 0000FF",
            "Arc 0,0,76,76,76,38,38,0 pen 1 000000",
            "Ellipse 189,189,227,265 pen 4 000000 brush unset",
            "MoveTo 4,8 pen 1 000000", "BezierTo 11,15,19,23,26,30 pen 1 000000",
        };
        QCOMPARE(canvas.Drawn(), expected);
    }

    void penWidthRounding_data()
    {
        // At 4 pixels per millimetre the products are exact, so the halves really are halves.
        QTest::addColumn<double>("widthMm");
        QTest::addColumn<int>("pixels");
        QTest::newRow("below half a pixel") << 0.1 << 1;
        QTest::newRow("half a pixel rounds to 0, drawn 1 wide") << 0.125 << 1;
        QTest::newRow("2.5 pixels to even") << 0.625 << 2;
        QTest::newRow("3.5 pixels to even") << 0.875 << 4;
        QTest::newRow("1 mm") << 1.0 << 4;
    }
    void penWidthRounding()
    {
        QFETCH(double, widthMm);
        QFETCH(int, pixels);
        DrawingState state;
        AddObject(state, KindLine, widthMm, {0, 0, 1, 1});
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 0, 4.0, 100, 96);
        QVERIFY(canvas.Drawn().last().startsWith(QStringLiteral("LineTo 4,4 pen %1 ").arg(pixels)));
    }

    void objectsOnLaterSheetsAreShifted()
    {
        DrawingState state;
        AddObject(state, KindLine, 0.1, {10, 300, 20, 300});
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 1, S, 100, 96);
        QCOMPARE(canvas.Shapes(), (QStringList{"MoveTo 38,11", "LineTo 76,11"}));
    }

    void sheetFrameComesFirst()
    {
        DrawingState state;
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        RecordingCanvas canvas;
        RenderSheet(canvas, state, view, 0, SheetView{false, false, false, false, false});
        // An empty sheet is one white rectangle in a black frame.
        QCOMPARE(canvas.Drawn(), QStringList{"Rectangle 0,0,794,1123 pen 1 000000 brush FFFFFF"});
    }

    void filledEllipseHidesEarlierLineButArcDoesNot()
    {
        DrawingState state;
        AddObject(state, KindLine, 0.5, {0, 50, 100, 50});            // through both figures
        AddObject(state, KindEllipse, 0.1, {10, 40, 30, 60});          // circle at x 10..30
        AddObject(state, KindArc, 0.1, {60, 40, 80, 60, 80, 50, 80, 50}); // full-circle arc at x 60..80
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const QImage image = RenderWhole(state, view, 0);
        const int y = Round(S * 50);
        QVERIFY(!IsWhite(image.pixel(Round(S * 5), y)));  // the line left of the circle
        QVERIFY(IsWhite(image.pixel(Round(S * 20), y)));  // hidden inside the circle
        QVERIFY(!IsWhite(image.pixel(Round(S * 70), y))); // visible inside the arc
        QVERIFY(!IsWhite(image.pixel(0, 500)));           // the black frame
        QVERIFY(!IsWhite(image.pixel(view.PageWidthPx - 1, 500)));
        QVERIFY(IsWhite(image.pixel(2, 500)));
    }

    void textsAreMeasuredAndDrawnInTheirBox()
    {
        DrawingState state;
        TextObject &t = AddText(state, 10, 300, 12, QStringLiteral("A&B\r\nzweite Zeile"));
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 1, S, 100, 96);
        // 3 mm below the second sheet's top; size 12 at zoom 100 and 96 dpi is 16 pixels.
        QVERIFY(canvas.Ops.contains(QStringLiteral("Font \"Arial\" 16 w400 e0  FF0000")));
        QVERIFY(canvas.Ops.contains(QStringLiteral("Transparent 1")));
        const QRegularExpression measured("MeasureText 38,11 .*", QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(canvas.Ops.indexOf(measured) >= 0);
        QCOMPARE(canvas.Shapes().size(), 1);
        QVERIFY(canvas.Shapes().first().startsWith("DrawText 38,11,"));
        QVERIFY(t.Bottom > t.Top);
        QVERIFY(t.Right > t.Left);
        const QSize size = TextMetrics::Shared().Measure(canvas.Font, TextString(t));
        QVERIFY(size.height() >= 2 * 16); // two lines
        QCOMPARE(t.Right, (38 + size.width()) / S);
        QCOMPARE(t.Bottom, (11 + size.height()) / S + SheetOffsetMm(1, state.PageHeightInch));
    }

    void tinyTextsGetSizeOne()
    {
        DrawingState state;
        AddText(state, 0, 0, 2, QStringLiteral("x")).Style = StyleBold | StyleItalic | StyleUnderline;
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 0, S / 10, 10, 96); // Round(0.2) = 0 points becomes 1: 1.33 pixels
        QVERIFY(canvas.Ops.contains(QStringLiteral("Font \"Arial\" 1 w700 e0 iu FF0000")));
    }

    // Texts are shown at most as large as the font dialog offers (512 points), whatever the
    // file stores; a BMP, made in bands that draw only the texts meeting them, shows exactly
    // what the whole image shows, also where large italic glyphs lean across the bands.
    void largeTextsAreCappedAndBandsShowThemWhole()
    {
        DrawingState state;
        const int sizes[] = {511, 512, 513, 2000, 2000000000};
        for (int size : sizes)
            AddText(state, 10, 10, size, QStringLiteral("x"));
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 0, S, 100, 96);
        const QStringList fonts = canvas.Ops.filter(QStringLiteral("Font "));
        QCOMPARE(fonts.size(), 5);
        QCOMPARE(fonts[0], QStringLiteral("Font \"Arial\" 681 w400 e0  FF0000"));
        for (int i = 1; i < 5; ++i)
            QCOMPARE(fonts[i], QStringLiteral("Font \"Arial\" 683 w400 e0  FF0000"));
        QCOMPARE(state.Texts.At(3).Size, 2000); // stored as it was
        QCOMPARE(state.Texts.At(3).Bottom, state.Texts.At(1).Bottom);

        DrawingState big;
        big.PageWidthInch = 120 / MmPerInch;
        big.PageHeightInch = 160 / MmPerInch;
        for (int i = 0; i < 12; ++i)
            AddText(big, (i % 3) * 35 - 10, (i / 3) * 40 - 20, 150 + 400 * (i % 3), QStringLiteral("fjW\nÄg")).Style =
                StyleItalic;
        QImage whole;
        QCOMPARE(SheetImage(big, 1, 0, 200, whole), ExportError::None);
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        QCOMPARE(WriteSheetBmp(big, 1, 0, 200, bmp), ExportError::None);
        const QImage banded = QImage::fromData(bmp.data(), "BMP").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(banded.size(), whole.size());
        QVERIFY(banded.height() > 2 * 512); // more than two bands
        // (Glyph edges cut by a band's edge may differ by a level or two, as before.)
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                if (!Near(banded.pixel(x, y), whole.pixel(x, y)))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
    }

    void viewportPaintMatchesWholeSheets()
    {
        DrawingState state;
        for (int i = 0; i < 400; ++i) {
            const double x = (i * 37) % 200, y = (i * 53) % 580;
            AddObject(state, uint32_t(i % 4), 0.1 + (i % 7) * 0.3, {x, y, x + 15, y + 12, x + 3, y - 9, x + 20, y + 4},
                      ColourRGB(uint8_t(i), 0, uint8_t(255 - i)));
        }
        AddObject(state, KindEllipse, 0.2, {-500, -500, 1e7, 1e7}); // huge: never culled
        AddText(state, 50, 290, 20, QStringLiteral("über die Grenze"));
        const ViewGeometry view = ComputeViewGeometry(2, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const QImage first = RenderWhole(state, view, 0);
        const QImage second = RenderWhole(state, view, 1);

        QImage surface(view.SurfaceSize(), QImage::Format_RGB32);
        surface.fill(Qt::darkGray);
        SurfaceRenderer renderer;
        const QRect exposed(100, 900, 500, 600); // across the border of the two sheets
        QPainter painter(&surface);
        renderer.Paint(painter, exposed, state, view, SheetView{false, false, false, false, false});
        painter.end();
        int differing = 0;
        for (int y = exposed.top(); y <= exposed.bottom(); ++y)
            for (int x = exposed.left(); x <= exposed.right(); ++x) {
                const int sy = y - 5;
                const QImage &sheet = sy < view.PageHeightPx ? first : second;
                if (!Near(surface.pixel(x, y), sheet.pixel(x - 5, sy % view.PageHeightPx)))
                    ++differing;
            }
        QCOMPARE(differing, 0);
    }

    void hiddenSheetsStillMeasureTexts()
    {
        DrawingState state;
        TextObject &t = AddText(state, 10, 620, 12, QStringLiteral("on the third sheet"));
        const ViewGeometry view = ComputeViewGeometry(3, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        QImage surface(800, 600, QImage::Format_RGB32);
        QPainter painter(&surface);
        SurfaceRenderer renderer;
        renderer.Paint(painter, QRect(0, 0, 800, 600), state, view, SheetView{}); // only sheet 0 visible
        painter.end();
        const double bottom = t.Bottom, right = t.Right;
        QVERIFY(bottom > t.Top);
        // The same edges a full render of every sheet leaves behind (the last sheet writes last).
        t.Right = t.Left;
        t.Bottom = t.Top;
        for (int sheet = 0; sheet < 3; ++sheet) {
            RecordingCanvas canvas;
            DrawObjects(canvas, state, sheet, view.PixelsPerMm, 100, 96);
        }
        QCOMPARE(t.Bottom, bottom);
        QCOMPARE(t.Right, right);
    }

    void keptTextBoxesFollowEveryChange()
    {
        // The renderer measures texts only when something changed; each kind of change
        // must still give the box a fresh measuring would.
        DrawingState state;
        TextObject *t = &AddText(state, 10, 20, 12, QStringLiteral("kurz"));
        const ViewGeometry view = ComputeViewGeometry(2, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        SurfaceRenderer renderer;
        auto expected = [&](const ViewGeometry &v) {
            DrawingState copy;
            TextObject &c = AddText(copy, t->Left, t->Top, t->Size, TextString(*t));
            MeasureTexts(copy, v.PageCount - 1, v.PixelsPerMm, v.Zoom, v.DpiY);
            return std::pair(c.Right, c.Bottom);
        };
        renderer.UpdateTextBoxes(state, view);
        QCOMPARE(std::pair(t->Right, t->Bottom), expected(view));

        SetTextString(DrawingBuilder(state).ChangeText(0), QStringLiteral("ein viel längerer Text"));
        renderer.UpdateTextBoxes(state, view);
        QCOMPARE(std::pair(t->Right, t->Bottom), expected(view));

        t->Right = t->Bottom = 0; // a box written behind the renderer's back
        renderer.UpdateTextBoxes(state, view);
        QCOMPARE(std::pair(t->Right, t->Bottom), expected(view));

        const ViewGeometry zoomed = ComputeViewGeometry(2, 250, 96, 96, state.PageWidthInch, state.PageHeightInch);
        renderer.UpdateTextBoxes(state, zoomed);
        QCOMPARE(std::pair(t->Right, t->Bottom), expected(zoomed));

        t = &AddText(state, 30, 40, 30, QStringLiteral("neu")); // appended: the list's version moves
        renderer.UpdateTextBoxes(state, zoomed);
        QCOMPARE(std::pair(t->Right, t->Bottom), expected(zoomed));
    }

    void manyTextsInAViewportAsOnWholeSheets()
    {
        // Texts near the edges of the painted part, on both sides of a sheet border, at a
        // zoom where sheet offsets round differently: the part shows what whole sheets show.
        DrawingState state;
        for (int i = 0; i < 300; ++i)
            AddText(state, (i * 13) % 190, 250 + (i * 7) % 90, 8 + i % 9, QStringLiteral("T%1 g").arg(i));
        const ViewGeometry view = ComputeViewGeometry(2, 137, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const QImage first = RenderWhole(state, view, 0);
        const QImage second = RenderWhole(state, view, 1);
        QImage surface(view.SurfaceSize(), QImage::Format_RGB32);
        SurfaceRenderer renderer;
        const QRect exposed(203, 1389, 311, 277);
        QPainter painter(&surface);
        renderer.Paint(painter, exposed, state, view, SheetView{false, false, false, false, false});
        painter.end();
        int differing = 0;
        for (int y = exposed.top(); y <= exposed.bottom(); ++y)
            for (int x = exposed.left(); x <= exposed.right(); ++x) {
                const int sy = y - 5;
                const QImage &sheet = sy < view.PageHeightPx ? first : second;
                if (!Near(surface.pixel(x, y), sheet.pixel(x - 5, sy % view.PageHeightPx)))
                    ++differing;
            }
        QCOMPARE(differing, 0);
    }

    void damagedValuesDrawWithoutHarm()
    {
        // Values a damaged file may hold: nothing may crash, hang or spoil the rest.
        DrawingState state;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        AddObject(state, KindLine, 1e9, {10, 10, 20, 20});
        AddObject(state, KindLine, nan, {nan, 10, 1e300, -1e300});
        AddObject(state, KindArc, 0.1, {-inf, 0, inf, 1e12, 0, 0, 0, 0});
        AddObject(state, KindEllipse, -5, {1e15, 1e15, -1e15, -1e15});
        AddObject(state, KindBezier, 0.5, {0, 0, 1e10, -1e10, nan, 5, 30, 30});
        AddText(state, nan, 1e300, 1000000, QStringLiteral("groß")).Size = INT_MIN;
        AddText(state, 10, 10, 2000000000, QStringLiteral("riesig"));
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        QImage surface(view.SurfaceSize(), QImage::Format_RGB32);
        QPainter painter(&surface);
        SurfaceRenderer renderer;
        renderer.Paint(painter, QRect(QPoint(0, 0), view.SurfaceSize()), state, view, SheetView{});
        painter.end();
        QCOMPARE(state.Objects.Count, 5);
    }

    void indexFollowsChanges()
    {
        DrawingState state;
        AddObject(state, KindLine, 1, {10, 10, 20, 10});
        ObjectIndex index;
        std::vector<int> hits;
        index.Refresh(state);
        index.Query(0, 0, 30, 30, hits);
        QCOMPARE(hits, std::vector<int>{0});
        // A moved object is found at its new place once the drawing says it changed.
        {
            DrawingBuilder edit(state);
            edit.Change(0).Y1 = edit.Change(0).Y2 = 500;
        }
        index.Refresh(state);
        index.Query(0, 0, 30, 30, hits);
        QVERIFY(hits.empty());
        index.Query(0, 495, 30, 505, hits);
        QCOMPARE(hits, std::vector<int>{0});
        AddObject(state, KindBezier, 0.1, {0, 495, 100, 100, 0, 0, 5, 495});
        index.Refresh(state);
        index.Query(0, 90, 200, 110, hits); // found by its control points' hull
        QCOMPARE(hits, std::vector<int>{1});
    }
};

QTEST_MAIN(TestRendering)
#include "test_rendering.moc"
