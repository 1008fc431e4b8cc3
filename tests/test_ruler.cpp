// The ruler drawn on a sheet and used through the pointer handlers, with the worked values.
#include "support/drawing_builder.h"
#include "support/stand_in_host.h"

#include "render/canvas/painter_canvas.h"
#include "support/recording_canvas.h"
#include "render/sheet/ruler_drawing.h"
#include "render/sheet/sheet_renderer.h"
#include "tools/instrument_drag.h"
#include "tools/pointer_dispatch.h"
#include "tools/ruler_tool.h"

#include <QtTest>

using namespace velmora;

namespace {

const double S = PixelsPerMmFor(100, 96);

struct RulerOps {
    QStringList outline, ticks, numbers, fonts;
};

RulerOps Draw(const RulerPlacement &ruler, int zoom = 100, bool inch = false)
{
    const ViewGeometry view = ComputeViewGeometry(1, zoom, 96, 96, 210 / MmPerInch, 297 / MmPerInch);
    RecordingCanvas canvas;
    DrawRuler(canvas, ruler, view.PixelsPerMm, view.PageWidthPx, view.PageHeightPx, inch);
    RulerOps ops;
    const QStringList shapes = canvas.Shapes();
    ops.outline = shapes.mid(0, 8);
    for (int i = 8; i < shapes.size(); ++i) {
        if (shapes[i].startsWith("LineTo"))
            ops.ticks << shapes[i];
        else if (shapes[i].startsWith("TextOut"))
            ops.numbers << shapes[i].section('"', 1, 1);
    }
    for (const QString &op : canvas.Ops)
        if (op.startsWith("Font"))
            ops.fonts << op;
    return ops;
}

QStringList Numbers(int last)
{
    QStringList numbers;
    for (int i = 1; i <= last; ++i)
        numbers << QString::number(i);
    return numbers;
}

bool Near(double a, double b, double tolerance = 5e-4)
{
    return std::fabs(a - b) <= tolerance;
}

// The pointer handlers over the stand-in of the window, in pixels less the surface's 5-pixel
// margin: the worked value "a press at surface (105, 205)" is a press at (100, 200) here.
struct Pointer : ToolPointer {
    const GuidedLine &Line() { return *Active<GuidedLine>(); }
    const DrawingObject &LastObject() { return host.Drawing().Objects.At(host.Drawing().Objects.Count - 1); }
};

} // namespace

class TestRuler : public QObject {
    Q_OBJECT
private slots:
    void outlineTicksAndNumbers()
    {
        const RulerOps ops = Draw({10, 90, 0});
        QCOMPARE(ops.outline, (QStringList{"MoveTo 38,340", "LineTo 1955,340", "MoveTo 38,378", "LineTo 1955,378",
                                           "MoveTo 38,340", "LineTo 38,378", "MoveTo 1955,340", "LineTo 1955,378"}));
        QCOMPARE(ops.ticks.size(), 507);
        QCOMPARE(ops.numbers, Numbers(50));
        QVERIFY(ops.fonts[0].startsWith("Font \"Arial\" 10 w400 e0 "));
        QVERIFY(ops.fonts[0].endsWith("808080"));
        // Tick lengths 3, 4.5 and 6 mm into the body, from the scale edge.
        QCOMPARE(ops.ticks[0], QStringLiteral("LineTo 42,351")); // tick 1 at x 41.57, 3 mm long
        QCOMPARE(ops.ticks[4], QStringLiteral("LineTo 57,357")); // tick 5: 4.5 mm
        QCOMPARE(ops.ticks[9], QStringLiteral("LineTo 76,363")); // tick 10: 6 mm
    }

    void inchScale()
    {
        const RulerOps ops = Draw({10, 90, 0}, 100, true);
        QCOMPARE(ops.ticks.size(), 199);
        QCOMPARE(ops.numbers, Numbers(19));
        QCOMPARE(ops.outline[2], QStringLiteral("MoveTo 38,378")); // still 10 mm wide
    }

    void tickCountFollowsTheSheetImage_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("ticks");
        QTest::newRow("100") << 100 << 507;
        QTest::newRow("50") << 50 << 506;
        QTest::newRow("200") << 200 << 506;
        QTest::newRow("10") << 10 << 505;
    }
    void tickCountFollowsTheSheetImage()
    {
        QFETCH(int, zoom);
        QFETCH(int, ticks);
        QCOMPARE(Draw({150, 10, 33}, zoom).ticks.size(), ticks);
    }

    void turnedRulers()
    {
        const RulerOps down = Draw({10, 90, 90});
        QCOMPARE(down.outline[0], QStringLiteral("MoveTo 38,340"));
        QCOMPARE(down.outline[1], QStringLiteral("LineTo 38,2257")); // straight down
        QCOMPARE(down.outline[2], QStringLiteral("MoveTo 0,340"));   // the body to the left
        QVERIFY(down.fonts[0].contains(" e-900 "));
        QVERIFY(Draw({10, 90, -90}).outline[1] == QStringLiteral("LineTo 38,-1577"));
        QCOMPARE(Draw({10, 90, 180}).outline[2], QStringLiteral("MoveTo 38,302")); // body above
        const RulerOps ten = Draw({10, 90, 10}), more = Draw({10, 90, 370});
        QCOMPARE(more.outline, ten.outline);
        QCOMPARE(more.ticks, ten.ticks);
        QVERIFY(more.fonts[0].contains(" e-3700 "));
        QVERIFY(Draw({10, 90, 0}, 9).fonts[0].startsWith("Font \"Arial\" 0 ")); // the platform's default size
    }

    void drawnOnEverySheetAfterTheObjects()
    {
        DrawingState state;
        DrawingBuilder(state).Blank();
        const ViewGeometry view = ComputeViewGeometry(2, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        for (int sheet = 0; sheet < 2; ++sheet) {
            RecordingCanvas canvas;
            RenderSheet(canvas, state, view, sheet, SheetView{true, false, false, false, false});
            const int line = canvas.Ops.indexOf(QRegularExpression("LineTo .*"));
            const int ruler = canvas.Ops.indexOf("LineTo 1955,340");
            QVERIFY(line > 0 && ruler > line);
            QVERIFY(canvas.Drawn().contains("LineTo 1955,340 pen 1 808080")); // in the instruments' grey
        }
        RecordingCanvas hidden;
        RenderSheet(hidden, state, view, 0, SheetView{false, true, true, false, false});
        QVERIFY(!hidden.Ops.contains("LineTo 1955,340"));
    }

    void drawingAlongTheScaleEdge()
    {
        Pointer p;
        p.Use(RulerMode::Along);
        p.Press(100, 200);
        QVERIFY(p.Active<GuidedLine>());
        QCOMPARE(p.Line().X1, 26.458);
        QCOMPARE(p.Line().Y1, 90.0);
        QCOMPARE(p.host.SurfaceOps.Drawn(), (QStringList{"MoveTo 105,345 pen 3 0000FF", "LineTo 105,345 pen 3 0000FF"}));
        p.Move(300, 500);
        QCOMPARE(p.Line().X2, 79.374); // 79.37484 cut to 0.001 mm
        p.Move(50, 395);
        QCOMPARE(p.Line().X1, 13.229);
        QCOMPARE(p.Line().X2, 79.374); // moving back never shortens the line
        p.Move(195, 95);
        p.Release(994, 994); // the release position plays no part
        QCOMPARE(p.host.Drawing().Objects.Count, 1);
        const DrawingObject &line = p.LastObject();
        QCOMPARE(line.Kind, uint32_t(KindLine));
        QCOMPARE(line.X1, 13.229);
        QCOMPARE(line.Y1, 90.0);
        QCOMPARE(line.X2, 79.374);
        QCOMPARE(line.PenWidth, 0.1);
        QCOMPARE(line.Colour, 0x00123456u);
        QCOMPARE(p.host.Steps(), 1);
        QVERIFY(!p.Active<GuidedLine>());
    }

    void hoveringShowsTheFootDot()
    {
        Pointer p;
        p.Use(RulerMode::Along);
        const int before = p.host.Repaints;
        p.Move(100, 200);
        QCOMPARE(p.host.Repaints, before + 1);
        QCOMPARE(p.host.SurfaceOps.Drawn(), (QStringList{"MoveTo 105,345 pen 5 0000FF", "LineTo 105,345 pen 5 0000FF"}));
        QCOMPARE(p.host.Status, QLocale().toString(100 / S, 'f', 2) + " mm, " + QLocale().toString(200 / S, 'f', 2) + " mm");
    }

    void alongAtThirtyDegrees()
    {
        Pointer p;
        p.host.Instruments().RulerAngle = 30;
        p.Use(RulerMode::Along);
        p.Press(300, 500);
        QCOMPARE(p.Line().X1, 80.343);
        QCOMPARE(p.Line().Y1, 130.613);
        QVERIFY(Near(p.Line().Min, 81.226));
    }

    void alongAtMinusNinetyFallsBack()
    {
        Pointer p;
        p.host.Instruments().RulerAngle = -90;
        p.Use(RulerMode::Along);
        p.Press(100, 200);
        p.Move(295, 395);
        p.Release(-5, -5);
        const DrawingObject &line = p.LastObject();
        QCOMPARE(line.X1, 10.0);
        QCOMPARE(line.X2, 10.0);
        QCOMPARE(line.Y1, 200 / S); // not cut
        QCOMPARE(line.Y2, 395 / S);
        // With 270 the formula itself is used (its sine is not exactly zero).
        Pointer q;
        q.host.Instruments().RulerAngle = 270;
        q.Use(RulerMode::Along);
        q.Press(100, 200);
        QCOMPARE(q.Line().X1, Trunc3(q.Line().X1));
        QVERIFY(Near(q.Line().X1, 10, 0.002));
        QCOMPARE(q.Line().Y1, Trunc3(200 / S));
    }

    void acrossTheRuler()
    {
        Pointer p;
        p.Use(RulerMode::Across);
        p.Press(100, 200);
        QCOMPARE(p.Line().FootX, 26.458);
        QCOMPARE(p.Line().FootY, 90.0);
        QCOMPARE(p.Line().X1, 26.458);
        QCOMPARE(p.Line().Y1, 52.9165625);
        const int repaints = p.host.Repaints;
        p.Move(100, 395);
        QCOMPARE(p.host.Repaints, repaints); // the across drag draws without repainting
        QCOMPARE(p.Line().Y2, 104.5102109375);
        QCOMPARE(p.host.SurfaceOps.Ops.size(), 10); // the press dot and the line over it
        p.Release(-5, -5);
        QCOMPARE(p.LastObject().Y1, 52.9165625);
        QCOMPARE(p.LastObject().Y2, 104.5102109375);

        Pointer q;
        q.host.Instruments().RulerAngle = 30;
        q.Use(RulerMode::Across);
        q.Press(300, 500);
        QCOMPARE(q.Line().FootX, 80.343);
        QCOMPARE(q.Line().FootY, 130.613);
        QCOMPARE(q.Line().X1, 79.374);
        QCOMPARE(q.Line().Y1, 132.291);
    }

    void acrossHoverDot()
    {
        Pointer p;
        p.Use(RulerMode::Across);
        p.Move(100, 200);
        QCOMPARE(p.host.SurfaceOps.Drawn(), (QStringList{"MoveTo 105,345 pen 5 0000FF", "LineTo 105,345 pen 5 0000FF"}));
    }

    void clickWithoutMovementStoresAPoint()
    {
        Pointer p;
        p.Use(RulerMode::Along);
        p.Press(100, 200);
        p.Release(100, 200);
        QCOMPARE(p.LastObject().X1, p.LastObject().X2);
        QCOMPARE(p.LastObject().Y1, p.LastObject().Y2);
    }

    void turning()
    {
        // The worked values: 100 right and 1 below the pivot, then 100 straight below it.
        const long double atPress = *DirectionValue(100, 1, 0, 0), below = *DirectionValue(0, 100, 0, 0);
        QVERIFY(Near(double(atPress), -180.5729));
        QCOMPARE(double(below), 90.0);
        QVERIFY(Near(double(atPress - below), -270.5729));
        QVERIFY(Near(double(*DirectionValue(-100, 0, 0, 0)), 0));  // left of the pivot
        QVERIFY(Near(double(*DirectionValue(100, -1, 0, 0)), -179.4271));

        // Through the handlers: the angle grows by what the pointer swept, not reduced.
        Pointer p;
        p.Use(RulerMode::Turn);
        const long double qx = 10 * static_cast<long double>(S), qy = 90 * static_cast<long double>(S);
        p.Press(138, 341);
        p.Move(30, 440);
        p.Release(20, 440);
        const long double expected = *DirectionValue(138, 341, qx, qy) - *DirectionValue(20, 440, qx, qy);
        QCOMPARE(p.host.Instruments().RulerAngle, double(expected));
        QVERIFY(p.host.Instruments().RulerAngle < -240);
        QVERIFY(!p.dispatch.Active());
        QVERIFY(!p.host.IsModified());

        // A pointer exactly on the pivot leaves the angle as it was.
        Pointer q;
        q.host.Instruments().RulerX = 0; // the pivot at pixel (0, 0), the margin's corner
        q.host.Instruments().RulerY = 0;
        q.Use(RulerMode::Turn);
        q.Press(0, 0);
        q.Move(100, 0);
        QCOMPARE(q.host.Instruments().RulerAngle, 0.0);
        QVERIFY(std::isfinite(q.host.Instruments().RulerAngle));
    }

    void moving()
    {
        Pointer p;
        p.Use(RulerMode::Move);
        p.Press(95, 95);
        p.Move(133, 76);
        QVERIFY(Near(p.host.Instruments().RulerX, 20.054147, 1e-6));
        QVERIFY(Near(p.host.Instruments().RulerY, 84.972927, 1e-6));
        QVERIFY(p.host.PlacementShown > 0);
        p.Release(133, 76);
        QVERIFY(!p.dispatch.Active());
        QVERIFY(!p.host.IsModified());
    }

    void secondSheetUsesTheRoundedSheetHeight()
    {
        Pointer p;
        p.host.PageCount = 2;
        p.host.DrawingChanged();
        p.Use(RulerMode::Along);
        p.Press(100, 1123 + 200);
        QCOMPARE(p.host.ViewNow.ActivePage, 1);
        QVERIFY(Near(RulerTool(p.host).ScaleEdge().Oy, 387.1265, 1e-4));
        QCOMPARE(p.Line().Y1, 387.126);
    }

    void hiddenRulerStillWorks()
    {
        // The tools never look at the view switches: nothing in the dispatch depends on them.
        Pointer p;
        p.Use(RulerMode::Along);
        p.Press(100, 200);
        p.Release(100, 200);
        QCOMPARE(p.host.Drawing().Objects.Count, 1);
    }

    // Before, the ruler drew a tick for every millimetre of the sheet, painted or not: a sheet of
    // 999,999,999 mm kept the window busy for minutes. Only the ticks near the painted part are
    // drawn now, with the very pixels all of them give there.
    void onlyTheTicksThatMeetThePaintedPartAreDrawn()
    {
        struct EveryTick : PainterCanvas {
            using PainterCanvas::PainterCanvas;
            std::optional<QRect> PaintedArea() override { return std::nullopt; }
        };
        const auto paint = [](bool everyTick, const RulerPlacement &ruler, int zoom, QPoint origin, bool inch,
                              bool clipped) {
            const ViewGeometry view = ComputeViewGeometry(1, zoom, 96, 96, 210 / MmPerInch, 297 / MmPerInch);
            QImage image(220, 160, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            if (clipped)
                painter.setClipRect(QRect(30, 20, 90, 70));
            std::unique_ptr<PainterCanvas> canvas =
                everyTick ? std::make_unique<EveryTick>(painter, origin) : std::make_unique<PainterCanvas>(painter, origin);
            canvas->SetPenColour(ColourGrey);
            DrawRuler(*canvas, ruler, view.PixelsPerMm, view.PageWidthPx, view.PageHeightPx, inch);
            return image;
        };
        for (const RulerPlacement &ruler : {RulerPlacement{10, 90, 0}, RulerPlacement{40, 30, 33.3},
                                            RulerPlacement{150, 200, 200}, RulerPlacement{5, 5, -91}})
            for (int zoom : {1, 100, 300})
                for (QPoint origin : {QPoint(0, 0), QPoint(-300, -320), QPoint(-900, -250), QPoint(-40, -700)})
                    for (bool inch : {false, true}) {
                        const bool clipped = origin.x() == -300;
                        QCOMPARE(paint(false, ruler, zoom, origin, inch, clipped),
                                 paint(true, ruler, zoom, origin, inch, clipped));
                    }
        // A sheet of 10⁹ pixels a side (88 km at zoom 300) is drawn at once, here where the scale
        // edge passes 1400 pixels from its start.
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QImage white = image.copy();
        QPainter painter(&image);
        PainterCanvas canvas(painter, QPoint(-1060, -1960));
        canvas.SetPenColour(ColourGrey);
        DrawRuler(canvas, {10, 90, 45}, PixelsPerMmFor(300, 96), 1000000000, 1000000000, false);
        painter.end();
        QVERIFY(image != white);
    }
};

QTEST_MAIN(TestRuler)
#include "test_ruler.moc"
