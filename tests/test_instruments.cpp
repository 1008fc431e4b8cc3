// The protractor and the compass: their figures and their tools, with the worked values.
#include "support/stand_in_host.h"

#include "render/canvas/painter_canvas.h"
#include "render/canvas/reach_canvas.h"
#include "render/sheet/compass_drawing.h"
#include "render/sheet/protractor_drawing.h"
#include "support/recording_canvas.h"
#include "render/sheet/sheet_renderer.h"
#include "render/sheet/view_geometry.h"
#include "tools/compass_tool.h"
#include "tools/pointer_dispatch.h"

#include <QtTest>

using namespace velmora;

namespace {

const double S = PixelsPerMmFor(100, 96);

bool Near(double a, double b, double tolerance = 1e-3)
{
    return std::fabs(a - b) <= tolerance;
}

int Px(double mm)
{
    return Round(mm * S);
}

QString Op(const char *name, std::initializer_list<int> values)
{
    QStringList numbers;
    for (int v : values)
        numbers << QString::number(v);
    return QString::fromLatin1(name) + ' ' + numbers.join(',');
}

struct Pointer : ToolPointer {
    InstrumentPlacement &Placement() { return host.Instruments(); }
    int Objects() const { return host.Drawing().Objects.Count; }
    const DrawingObject &Last() const { return host.Drawing().Objects.At(host.Drawing().Objects.Count - 1); }
};

} // namespace

class TestInstruments : public QObject {
    Q_OBJECT
private slots:
    void protractorFigure()
    {
        RecordingCanvas canvas;
        DrawProtractor(canvas, {50, 50, 0, 80}, S);
        QVERIFY(canvas.Drawn().value(0).endsWith("brush clear")); // the rings are not filled
        const QStringList shapes = canvas.Shapes();
        QCOMPARE(shapes[0], Op("Ellipse", {Px(10), Px(10), Px(90), Px(90)}));
        QCOMPARE(shapes[1], Op("Ellipse", {Px(20), Px(20), Px(80), Px(80)}));
        QCOMPARE(shapes[2], Op("MoveTo", {Px(20), Px(50)})); // base line
        QCOMPARE(shapes[3], Op("LineTo", {Px(80), Px(50)}));
        QCOMPARE(shapes[4], Op("MoveTo", {Px(50), Px(47.5)})); // centre mark
        QCOMPARE(shapes[5], Op("LineTo", {Px(50), Px(52.5)}));
        QCOMPARE(shapes[6], Op("MoveTo", {Px(10), Px(50)})); // the 0 tick, 4 mm
        QCOMPARE(shapes[7], Op("LineTo", {Px(14), Px(50)}));
        QStringList labels;
        int ticks = 0;
        for (int i = 6; i < shapes.size(); ++i) {
            if (shapes[i].startsWith("TextOut"))
                labels << shapes[i].section('"', 1, 1);
            else if (shapes[i].startsWith("LineTo"))
                ++ticks;
        }
        QCOMPARE(ticks, 360);
        QCOMPARE(labels.size(), 36);
        QCOMPARE(labels.first(), QStringLiteral("0"));
        QCOMPARE(labels.last(), QStringLiteral("350"));
        QCOMPARE(shapes[8], Op("TextOut", {53, 182}) + " \"0\"");
        // The 90 tick runs from (50, 10) to (50, 14); the 45 tick is 3 mm and the 44 tick 2 mm.
        const int tick90 = shapes.indexOf(Op("MoveTo", {Px(50), Px(10)}));
        QVERIFY(tick90 > 0);
        QCOMPARE(shapes[tick90 + 1], Op("LineTo", {Px(50), Px(14)}));
        auto tickLength = [&](int n) {
            RecordingCanvas one;
            DrawProtractor(one, {0, 0, 0, 80}, 1000);
            const QStringList all = one.Shapes();
            int seen = -1;
            for (int i = 6; i < all.size(); ++i)
                if (all[i].startsWith("MoveTo") && ++seen == n) {
                    const QStringList a = all[i].section(' ', 1).split(','), b = all[i + 1].section(' ', 1).split(',');
                    return std::hypot(a[0].toDouble() - b[0].toDouble(), a[1].toDouble() - b[1].toDouble()) / 1000;
                }
            return -1.0;
        };
        QVERIFY(Near(tickLength(45), 3));
        QVERIFY(Near(tickLength(44), 2));
        QVERIFY(canvas.Ops.contains(QRegularExpression("Font \"Arial\" 10 w400 e-900 .*")));
    }

    void protractorAnglesReduceModulo360()
    {
        RecordingCanvas a, b;
        DrawProtractor(a, {50, 50, 30, 80}, S);
        DrawProtractor(b, {50, 50, 30 - 720, 80}, S);
        QStringList shapesA = a.Shapes(), shapesB = b.Shapes();
        QCOMPARE(shapesA, shapesB);
    }

    void compassFigure()
    {
        RecordingCanvas canvas;
        DrawCompass(canvas, {150, 50, 40, 45}, S);
        const QStringList shapes = canvas.Shapes();
        QCOMPARE(shapes.mid(0, 7), (QStringList{"MoveTo 556,189", "LineTo 578,189", "MoveTo 567,178", "LineTo 567,200",
                                               "MoveTo 567,189", "LineTo 674,296", "Ellipse 609,231,631,253"}));
        QCOMPARE(shapes[7], QStringLiteral("MoveTo 567,189"));
        QCOMPARE(shapes[8], QStringLiteral("LineTo 612,250")); // needle to S1
        QCOMPARE(shapes.size(), 7 + 10);

        RecordingCanvas closed;
        DrawCompass(closed, {150, 50, 0, 45}, S); // span 0: lead and hinge on the needle
        QCOMPARE(closed.Shapes()[5], QStringLiteral("LineTo 567,189"));
        QCOMPARE(closed.Shapes()[6], QStringLiteral("Ellipse 556,178,578,200"));

        RecordingCanvas turned, same;
        DrawCompass(turned, {150, 50, 40, 45 + 360}, S);
        DrawCompass(same, {150, 50, 40, 45 - 720}, S);
        QCOMPARE(turned.Shapes(), canvas.Shapes());
        QCOMPARE(same.Shapes(), canvas.Shapes());
    }

    void compassRingFollowsTheProtractor()
    {
        DrawingState state;
        const ViewGeometry view = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        RecordingCanvas both, alone;
        RenderSheet(both, state, view, 0, SheetView{false, true, true, false, false});
        RenderSheet(alone, state, view, 0, SheetView{false, false, true, false, false});
        // Over the protractor the ring is hollow; alone it is filled with the sheet's white.
        const QRegularExpression ring(QStringLiteral("^Ellipse 609,231,631,253 pen .* brush (\\w+)$"));
        const auto brushOfRing = [&](const RecordingCanvas &canvas) {
            const int at = canvas.Drawn().indexOf(ring);
            return at < 0 ? QString() : ring.match(canvas.Drawn().at(at)).captured(1);
        };
        QCOMPARE(brushOfRing(both), QStringLiteral("clear"));
        QCOMPARE(brushOfRing(alone), QStringLiteral("FFFFFF"));
    }

    void compassDirections()
    {
        QCOMPARE(double(*CompassDirection(1, 0)), 0.0);
        QCOMPARE(double(*CompassDirection(0, 1)), 90.0);
        QCOMPARE(double(*CompassDirection(-1, 0)), 180.0);
        QCOMPARE(double(*CompassDirection(0, -1)), -90.0);
        QVERIFY(Near(double(*CompassDirection(-1, -1)), 225));
        QVERIFY(Near(double(*CompassDirection(1, -1)), -45));
        QVERIFY(!CompassDirection(0, 0));
    }

    void compassMoveKeepsSpanAndAngle()
    {
        Pointer p;
        p.host.Tools = {Tool::Compass};
        p.host.Tools.Compass = CompassMode::Move;
        p.Press(100, 100);
        p.Move(138, 81);
        p.Release(138, 81);
        QVERIFY(Near(p.Placement().CompassX, 160.054147, 1e-6));
        QVERIFY(Near(p.Placement().CompassY, 44.972927, 1e-6));
        QCOMPARE(p.Placement().CompassSpan, 40.0);
        QCOMPARE(p.Placement().CompassAngle, 45.0);
        QVERIFY(p.host.PlacementShown >= 2);
        QVERIFY(!p.host.IsModified());
    }

    void spanFollowsThePointer()
    {
        Pointer p;
        p.host.Tools.Current = Tool::Compass;
        p.host.Tools.Compass = CompassMode::Span;
        p.Placement().CompassX = 0; // the needle at pixel (0, 0)
        p.Placement().CompassY = 0;
        p.Press(100, 0);
        QCOMPARE(p.Placement().CompassSpan, 100 / S);
        QCOMPARE(p.Placement().CompassAngle, 0.0);
        p.Move(0, 200);
        QCOMPARE(p.Placement().CompassAngle, 90.0);
        QCOMPARE(p.Placement().CompassSpan, 200 / S);
        p.Release(-30, -40);
        QCOMPARE(p.Placement().CompassSpan, 50 / S);
        QVERIFY(!p.dispatch.Active());
        QVERIFY(p.host.PlacementShown >= 3);

        // On the third sheet the needle used is that sheet's copy.
        Pointer q;
        q.host.PageCount = 3;
        q.host.DrawingChanged();
        q.host.Tools.Current = Tool::Compass;
        q.host.Tools.Compass = CompassMode::Span;
        q.Press(150 * S, 2 * 1123 + 50 * S + 100);
        QCOMPARE(q.host.ViewNow.ActivePage, 2);
        QVERIFY(Near(q.Placement().CompassSpan, 100 / S, 0.3));

        // Exactly on the needle: span 0, the angle stays.
        Pointer r;
        r.Placement().CompassX = 0;
        r.Placement().CompassY = 0;
        r.host.Tools.Current = Tool::Compass;
        r.host.Tools.Compass = CompassMode::Span;
        r.Press(0, 0);
        QCOMPARE(r.Placement().CompassSpan, 0.0);
        QCOMPARE(r.Placement().CompassAngle, 45.0);
    }

    void clockwiseQuarterStoredWithSwappedPoints()
    {
        Pointer p;
        p.host.Tools.Current = Tool::Compass;
        p.host.Tools.Compass = CompassMode::Arc;
        p.Placement().CompassX = 100 / S;
        p.Placement().CompassY = 100 / S;
        p.Move(300, 100 + 200); // hovering turns the lead toward the pointer
        QVERIFY(Near(p.Placement().CompassAngle, 45, 1e-6));
        p.Press(200, 100);
        QVERIFY(Near(p.Placement().CompassAngle, 0, 1e-6));
        p.Move(170, 170);
        QVERIFY(p.Active<ArcDraw>()->TurnKnown);
        QVERIFY(p.Active<ArcDraw>()->Clockwise);
        QVERIFY(p.host.SurfaceOps.Ops.last().startsWith("Arc "));
        p.Move(100, 200);
        p.Release(0, 0); // the release position plays no part
        QCOMPARE(p.Objects(), 1);
        const DrawingObject &arc = p.Last();
        QCOMPARE(arc.Kind, uint32_t(KindArc));
        QCOMPARE(arc.X1, 100 / S - 40);
        QCOMPARE(arc.Y2, 100 / S + 40);
        // Start at the end of the turn (straight down), end at the press (to the right).
        QCOMPARE(arc.X3, 100 / S);
        QCOMPARE(arc.Y3, 200 / S);
        QCOMPARE(arc.X4, 200 / S);
        QCOMPARE(arc.Y4, 100 / S);
        QCOMPARE(p.host.Steps(), 1);
        QVERIFY(Near(p.Placement().CompassAngle, 90, 1e-6)); // the compass keeps its angle
    }

    void firstMoveAcrossStraightUpIsCounterClockwise()
    {
        Pointer p;
        p.host.Tools.Current = Tool::Compass;
        p.host.Tools.Compass = CompassMode::Arc;
        const double nx = 150 * S, ny = 50 * S;
        p.Press(nx - 2, ny - 100); // about 269 degrees
        QVERIFY(p.Placement().CompassAngle > 260);
        p.Move(nx + 3, ny - 100); // about -89 degrees: a decrease
        QVERIFY(!p.Active<ArcDraw>()->Clockwise);
        p.Release(0, 0);
        const DrawingObject &arc = p.Last();
        QVERIFY(arc.X3 < arc.X4); // start at the press, end at the move: nearly the whole circle
    }

    void noTurnNoArc()
    {
        Pointer p;
        p.host.Tools.Current = Tool::Compass;
        p.host.Tools.Compass = CompassMode::Arc;
        p.Placement().CompassX = 0; // the needle at pixel (0, 0)
        p.Placement().CompassY = 0;
        p.Press(100, 0);
        p.Move(200, 0); // the same direction
        const int repaints = p.host.Repaints;
        p.Release(200, 0);
        QCOMPARE(p.Objects(), 0);
        QCOMPARE(p.host.Repaints, repaints);
    }

    void fullCircleOnTheSheetOfTheLastPress()
    {
        Pointer p;
        p.dispatch.AddCircle(); // right after start: sheet 0
        QCOMPARE(p.Last().Kind, uint32_t(KindEllipse));
        QCOMPARE(p.Last().X1, 110.0);
        QCOMPARE(p.Last().Y1, 10.0);
        QCOMPARE(p.Last().X2, 190.0);
        QCOMPARE(p.Last().Y2, 90.0);
        QCOMPARE(p.Last().PenWidth, 0.1);
        QCOMPARE(p.host.Steps(), 1);
        p.host.PageCount = 2;
        p.host.DrawingChanged();
        p.host.Tools.Current = Tool::Hand;
        p.Press(10, 1123 + 10);
        p.Release(10, 1123 + 10);
        p.dispatch.AddCircle();
        QVERIFY(Near(p.Last().Y1, 10 + 1123 / S, 1e-9));
        QCOMPARE(p.Objects(), 2);
    }

    void protractorMoveAndTurn()
    {
        Pointer p;
        p.host.Tools.Current = Tool::Protractor;
        p.host.Tools.Protractor = ProtractorMode::Move;
        p.Press(10, 10);
        p.Move(48, -9);
        QVERIFY(Near(p.Placement().ProtractorX, 60.054147, 1e-6));
        p.Release(48, -9);
        QVERIFY(!p.dispatch.Active());

        // Half a turn clockwise over the top, and counter-clockwise under it: +180 both ways.
        for (const int below : {-1, 1}) {
            Pointer q;
            q.host.Tools.Current = Tool::Protractor;
            q.host.Tools.Protractor = ProtractorMode::Turn;
            q.Placement().ProtractorX = 100 / S; // the centre at pixel (100, 100)
            q.Placement().ProtractorY = 100 / S;
            q.Press(40, 100);
            q.Move(100, 100 + below * 60);
            q.Move(160, 100);
            q.Release(160, 100);
            QVERIFY2(Near(q.Placement().ProtractorAngle, 180, 0.01), qPrintable(QString::number(q.Placement().ProtractorAngle)));
        }
    }

    void degreeMarks()
    {
        Pointer p;
        p.host.Tools.Current = Tool::Protractor;
        p.host.Tools.Protractor = ProtractorMode::Mark;
        const double cx = 50 * S, cy = 50 * S;
        p.Move(cx + 100, cy - 100); // hover: the guide ray, 1000 times the pointer's distance
        QCOMPARE(p.host.SurfaceOps.Shapes().size(), 2);
        QVERIFY(p.host.SurfaceOps.Shapes()[1].startsWith("LineTo "));
        QVERIFY(p.host.SurfaceOps.Shapes()[1].section(' ', 1).split(',')[0].toInt() > 90000);

        // A click without moving: a zero-length line at the press point.
        p.Press(cx + 100, cy + 50);
        p.Release(cx + 100, cy + 50);
        QCOMPARE(p.Objects(), 1);
        QCOMPARE(p.Last().X1, p.Last().X2);
        QVERIFY(Near(p.Last().X1, std::floor(cx + 100) / S, 0.002));
        QVERIFY(Near(p.Last().Y1, std::floor(cy + 50) / S, 0.002));

        // Back and forth along the ray extends both ways and never shortens; sideways does not turn it.
        p.Placement().ProtractorX = 0; // the centre at pixel (0, 0)
        p.Placement().ProtractorY = 0;
        p.Press(100, 0);
        const int repaints = p.host.Repaints;
        p.Move(150, 0);
        p.Move(-50, 0);
        p.Move(20, 0);
        p.Move(60, 80);
        QCOMPARE(p.host.Repaints, repaints); // drawn over what is shown
        QCOMPARE(p.Active<GuidedLine>()->MarkAngle, 0.0);
        p.Release(0, 0);
        const DrawingObject &mark = p.Last();
        QCOMPARE(mark.X1, Trunc3(-50 / S));
        QCOMPARE(mark.X2, Trunc3(150 / S));
        QCOMPARE(mark.Y1, 0.0);
        QCOMPARE(mark.Y2, 0.0);
        QCOMPARE(p.host.Steps(), 2);

        // Straight up: u points down, away from the press; the ends keep the centre's x.
        Pointer up;
        up.host.Tools = p.host.Tools;
        up.Placement().ProtractorX = 0;
        up.Placement().ProtractorY = 0;
        up.Press(0, -60);
        QCOMPARE(up.Active<GuidedLine>()->MarkAngle, 90.0);
        up.Release(0, -60);
        QVERIFY(Near(up.Last().X1, 0, 0.002));
        QCOMPARE(up.Last().Y1, Trunc3(-60 / S));

        // Exactly on the centre: nothing fails.
        Pointer centre;
        centre.host.Tools = p.host.Tools;
        centre.Placement().ProtractorX = 0;
        centre.Placement().ProtractorY = 0;
        centre.Move(0, 0);
        centre.Press(0, 0);
        centre.Release(0, 0);
        QCOMPARE(centre.Last().X1, 0.0);
        QVERIFY(std::isfinite(centre.Last().Y1));
    }
    // What the instruments draw stays within the reach measured without drawing: a part of
    // a picture drawn anew outside it is shown without drawing them.
    void instrumentsStayWithinTheirReach()
    {
        const InstrumentPlacement placements[] = {
            {},
            {20, 40, 37.5, 60, 70, 200, 120, 90, 110, 55, 300},
            {-40, 150, 91, 0, 0, 33, 20, 5, 5, 0, 0},
        };
        for (const InstrumentPlacement &placement : placements)
            for (int zoom : {100, 300})
                for (qreal ratio : {1.0, 2.0}) {
                        const bool inch = zoom == 300; // the scale in inches, its labels wider
                        DrawingState state;
                        state.Placement = placement;
                        const ViewGeometry view = ComputeViewGeometry(1, zoom, 96, 96, A4WidthInch, A4HeightInch);
                        const SheetView show{true, true, true, inch};
                        ReachCanvas reach;
                        RenderSheetInstruments(reach, state, view, show);
                        // The part of the sheet around the instruments, seen on an image.
                        const QRect seen(0, 0, 900, 900);
                        QImage image(QSize(seen.size() * ratio), QImage::Format_ARGB32_Premultiplied);
                        image.setDevicePixelRatio(ratio);
                        image.fill(Qt::transparent);
                        {
                            QPainter painter(&image);
                            PainterCanvas canvas(painter);
                            RenderSheetInstruments(canvas, state, view, show);
                        }
                        int drawn = 0;
                        for (int y = 0; y < image.height(); ++y) {
                            const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
                            for (int x = 0; x < image.width(); ++x) {
                                if (qAlpha(row[x]) == 0)
                                    continue;
                                ++drawn;
                                const QPoint at(int(x / ratio), int(y / ratio));
                                QVERIFY2(reach.Reach().contains(at),
                                         qPrintable(QString("zoom %1 ratio %2: pixel %3,%4 outside %5,%6 %7x%8")
                                                        .arg(zoom).arg(ratio).arg(at.x()).arg(at.y())
                                                        .arg(reach.Reach().x()).arg(reach.Reach().y())
                                                        .arg(reach.Reach().width()).arg(reach.Reach().height())));
                            }
                        }
                        QVERIFY(drawn > 0);
                    }
        ReachCanvas none;
        RenderSheetInstruments(none, DrawingState{}, ComputeViewGeometry(1, 100, 96, 96, A4WidthInch, A4HeightInch),
                               SheetView{false, false, false, false, false});
        QVERIFY(none.Reach().isNull());
    }
};

QTEST_MAIN(TestInstruments)
#include "test_instruments.moc"
