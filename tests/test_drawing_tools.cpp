// Pencil, eraser, curves, the object tool and the text tool, driven through the pointer
// handlers, with the hit tests' worked values.
#include "support/drawing_builder.h"
#include "support/stand_in_host.h"

#include "support/recording_canvas.h"
#include "render/sheet/sheet_renderer.h"
#include "tools/hit_tests.h"
#include "tools/pointer_dispatch.h"

#include <QtTest>

using namespace velmora;

namespace {

const double S = PixelsPerMmFor(100, 96);

struct Pointer : ToolPointer {
    HoverState &Hover() { return dispatch.Hover(); }
    int Count() const { return host.Drawing().Objects.Count; }
    const DrawingObject &At(int i) const { return host.Drawing().Objects.At(i); }
    const DrawingObject &AddObject(uint32_t kind, double width, std::initializer_list<double> points)
    {
        return DrawingBuilder(host.Document()).Object(kind, width, points);
    }
};

} // namespace

class TestDrawingTools : public QObject {
    Q_OBJECT
private slots:
    void pencilStrokeChainsSegments()
    {
        Pointer p;
        p.Use(Tool::Pencil);
        p.Press(100, 100, PointerButton::Right); // any button draws
        const int repaints = p.host.Repaints;
        const QList<QPoint> path = {{110, 102}, {125, 107}, {125, 107}, {140, 120}};
        for (const QPoint &at : path)
            p.Move(at.x(), at.y());
        p.Release(140, 120);
        QCOMPARE(p.Count(), 4); // one record per move, a move on the spot included
        QPoint from(100, 100);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(p.At(i).Kind, uint32_t(KindLine));
            QCOMPARE(p.At(i).X1, from.x() / S);
            QCOMPARE(p.At(i).Y1, from.y() / S);
            QCOMPARE(p.At(i).X2, path[i].x() / S);
            QCOMPARE(p.At(i).PenWidth, 0.1);
            QCOMPARE(p.At(i).Colour, 0x00123456u);
            from = path[i];
        }
        // Each segment shows at once in the drawing, under the instruments: a repaint of what
        // changed, nothing drawn over the surface; the stroke's segments are one line there.
        QCOMPARE(p.host.Repaints, repaints + 4);
        QVERIFY(p.host.SurfaceOps.Ops.isEmpty());
        RecordingCanvas drawn;
        DrawObjects(drawn, p.host.Document(), 0, S, 100, 96);
        QCOMPARE(drawn.Ops.mid(1, 3), (QStringList{"PenWidth 1", "PenColour 123456",
                                                   "Polyline 100,100 110,102 125,107 125,107 140,120"}));
        QVERIFY(p.host.IsModified());
        QCOMPARE(p.host.Steps(), 1); // the whole stroke is one step
        QVERIFY(!p.dispatch.Active());

        Pointer click;
        click.Use(Tool::Pencil);
        click.Press(10, 10);
        click.Release(10, 10);
        QCOMPARE(click.Count(), 0);
        QVERIFY(!click.host.IsModified());
    }

    void eraserPaintsWhiteInItsWidth()
    {
        Pointer p;
        p.Use(Tool::Eraser);
        p.host.Eraser = 10;
        p.Press(10, 10);
        p.Move(50, 10);
        QCOMPARE(p.At(0).Colour, ColourWhite);
        QCOMPARE(p.At(0).PenWidth, 10.0);
        RecordingCanvas drawn;
        DrawObjects(drawn, p.host.Document(), 0, S, 100, 96);
        QCOMPARE(drawn.Ops.mid(1, 2), (QStringList{"PenWidth 38", "PenColour FFFFFF"}));
        p.Use(Tool::Pencil); // checked for every segment
        p.Move(60, 10);
        QCOMPARE(p.At(1).Colour, 0x00123456u);
        p.Release(60, 10);
    }

    void eraserCoversEarlierObjectsOnly()
    {
        Pointer p;
        p.AddObject(KindLine, 0.5, {10, 50, 90, 50});
        p.Use(Tool::Eraser);
        p.Press(Round(50 * S), Round(40 * S));
        p.Move(Round(50 * S), Round(60 * S));
        p.Release(0, 0);
        p.AddObject(KindLine, 0.5, {50, 10, 50, 90}); // drawn later, across the eraser
        QCOMPARE(p.At(0).X1, 10.0); // the erased line's record is untouched
        DrawingState &state = p.host.Document();
        DrawingBuilder(state).Text(45, 45, QStringLiteral("bleibt"));
        RecordingCanvas canvas;
        DrawObjects(canvas, state, 0, S, 100, 96);
        const QStringList shapes = canvas.Shapes();
        const int erase = shapes.indexOf(QStringLiteral("LineTo %1,%2").arg(Round(50 * S)).arg(Round(60 * S)));
        const int later = shapes.indexOf(QStringLiteral("LineTo %1,%2").arg(Round(50 * S)).arg(Round(90 * S)));
        const int text = shapes.indexOf(QRegularExpression("DrawText .*"));
        QVERIFY(erase > 0 && later > erase && text > later); // drawing order decides what shows
        // The eraser segment is a line for the object tool: it can be found and deleted.
        p.Use(ObjectMode::Delete);
        p.Move(Round(50 * S) + 1, Round(45 * S));
        QVERIFY(p.Hover().Active);
        QCOMPARE(p.Hover().Index, 2); // the later line lies on top of the eraser there
        p.Move(Round(45 * S), Round(52 * S)); // off the later line, still on the eraser's line? no: beside it
        p.Move(Round(50 * S), Round(41 * S));
        QCOMPARE(p.Hover().Index, 2);
    }

    void fourPressCurve()
    {
        Pointer p;
        p.Use(Tool::Curves);
        p.host.ViewNow.Geometry.PixelsPerMm = 2;
        p.Press(10, 10);
        p.Use(Tool::Pencil); // a curve under way is fed before any tool
        p.Press(110, 10);
        p.Press(30, 60, PointerButton::Right);
        QCOMPARE(p.Count(), 0);
        QVERIFY(p.Active<Curve>() && p.Active<Curve>()->Placed == Curve::Stage::Control1);
        p.host.ViewNow.Geometry.PixelsPerMm = 2;
        p.Press(90, 60);
        QCOMPARE(p.Count(), 1);
        const DrawingObject &c = p.At(0);
        QCOMPARE(c.Kind, uint32_t(KindBezier));
        QCOMPARE(QList<double>({c.X1, c.Y1, c.X2, c.Y2, c.X3, c.Y3, c.X4, c.Y4}),
                 QList<double>({5, 5, 15, 30, 45, 30, 55, 5}));
        QVERIFY(!p.dispatch.Active());
        QCOMPARE(p.host.Steps(), 1);

        // A zoom change between presses: the points are converted at the fourth press.
        Pointer z;
        z.Use(Tool::Curves);
        z.Press(10, 10);
        z.Press(110, 10);
        z.Press(30, 60);
        z.host.ViewNow.Geometry.PixelsPerMm = 4;
        z.Press(90, 60);
        QCOMPARE(z.At(0).X4, 27.5);
        QCOMPARE(z.At(0).X1, 2.5);
    }

    void curvePreviewOnTheActiveSheet()
    {
        Pointer p;
        p.host.PageCount = 2;
        p.host.DrawingChanged();
        p.Use(Tool::Curves);
        p.Press(10, 1123 + 10); // on the second sheet
        p.Move(60, 1123 + 30);
        QCOMPARE(p.host.ActiveOnlyRepaints, 1);
        QCOMPARE(p.host.SurfaceOps.Ops.first(), QStringLiteral("Clip 5,1128,799,2251")); // on that sheet alone
        QCOMPARE(p.host.SurfaceOps.Ops.last(), QStringLiteral("NoClip"));
        QCOMPARE(p.host.SurfaceOps.Drawn(), (QStringList{"MoveTo 15,1138 pen 1 123456", "LineTo 65,1158 pen 1 123456"}));
        p.Press(110, 1123 + 10);
        p.Move(60, 1123 + 80);
        QCOMPARE(p.host.SurfaceOps.Shapes().value(1), QStringLiteral("BezierTo 65,1208,65,1208,115,1138"));
        p.Press(30, 1123 + 60);
        p.Move(70, 1123 + 90);
        QCOMPARE(p.host.SurfaceOps.Shapes().value(1), QStringLiteral("BezierTo 35,1188,75,1218,115,1138"));
        p.Use(TextMode::Change); // a text hover mode takes the moves, the presses still feed the curve
        const QStringList before = p.host.SurfaceOps.Ops;
        p.Move(80, 1123 + 90);
        QCOMPARE(p.host.SurfaceOps.Ops, before); // no new preview
        p.Press(70, 1123 + 90);
        QCOMPARE(p.Count(), 1);
    }

    void hitTests()
    {
        // A circle of radius 20 pixels: hit 18 to 22 pixels from the centre, not 17, 23 or the centre.
        for (int d = 15; d <= 25; ++d)
            QCOMPARE(PointNearCircle(100 + d, 100, 80, 80, 120, 120), d >= 18 && d <= 22);
        QVERIFY(!PointNearCircle(100, 100, 80, 80, 120, 120));
        QVERIFY(PointNearSegment(60, 12, 10, 10, 110, 10));
        QVERIFY(PointNearSegment(10, 10, 10, 10, 110, 10));
        QVERIFY(!PointNearSegment(60, 13, 10, 10, 110, 10));
        QVERIFY(!PointNearSegment(7, 10, 10, 10, 110, 10));
        QVERIFY(!PointNearSegment(10, 12, 10, 10, 110, 10));
        QVERIFY(!PointNearSegment(5, 5, 5, 5, 5, 5)); // a zero-length line is never hit
        QVERIFY(!DistanceToLine(1, 1, 5, 5, 5, 5));
        QCOMPARE(*DistanceToLine(0, 5, 0, 0, 10, 0), 5.0);
        QCOMPARE(*DistanceToLine(0, -5, 0, 0, 10, 0), -5.0);
        QVERIFY(PointInBox(10, 10, 20, 20, 10, 10)); // edges included, corners either way
        QVERIFY(!PointInBox(9, 10, 20, 20, 10, 10));
    }

    void objectHoverHighlightAndDelete()
    {
        Pointer p;
        p.AddObject(KindLine, 0.1, {10, 10, 110, 10});
        p.AddObject(KindBezier, 0.1, {10, 10, 60, 10, 60, 10, 110, 10});
        p.AddObject(KindLine, 2, {10, 50, 110, 50});
        p.Use(ObjectMode::Delete);
        p.Move(Round(60 * S), Round(10 * S) + 1); // over the line and the curve: the curve is never hit
        QVERIFY(p.Hover().Active);
        QCOMPARE(p.Hover().Index, 0);
        QVERIFY(p.host.SurfaceOps.Drawn().value(0).endsWith("pen 2 0000FF")); // thin lines highlight 2 wide
        QCOMPARE(p.host.SurfaceOps.Ops.last(), QStringLiteral("LineTo %1,%2").arg(Round(110 * S) + 5).arg(Round(10 * S) + 5));
        p.Move(Round(60 * S), Round(50 * S));
        QVERIFY(p.host.SurfaceOps.Drawn().value(0).endsWith("pen 15 0000FF"));
        const int repaints = p.host.Repaints;
        p.Move(5, 500); // over nothing: the highlight goes
        QVERIFY(!p.Hover().Active);
        QCOMPARE(p.host.Repaints, repaints + 1);
        p.Move(Round(60 * S), Round(50 * S));
        p.Press(Round(60 * S), Round(50 * S));
        QCOMPARE(p.Count(), 2);
        QCOMPARE(p.At(1).Kind, uint32_t(KindBezier));
        QVERIFY(p.host.IsModified());

        // Right after switching from the text tool, the hover index is a text's: nothing happens.
        p.Hover() = {true, 0, RecordList::Texts};
        p.Press(0, 0);
        QCOMPARE(p.Count(), 2);
    }

    void movingAnArc()
    {
        Pointer p;
        p.AddObject(KindArc, 0.1, {10, 10, 30, 30, 30, 20, 20, 10});
        p.host.ViewNow.Geometry.PixelsPerMm = 4;
        p.Use(ObjectMode::Move);
        p.Move(80, 40); // on the circle's right edge (radius 40 px around (80, 80))... left: (40, 80)
        p.Move(40, 80);
        QVERIFY(p.Hover().Active);
        p.Press(40, 80);
        QVERIFY(p.Active<RecordDrag>() && p.Active<RecordDrag>()->List == RecordList::Objects);
        p.host.ViewNow.Geometry.PixelsPerMm = 4;
        p.Move(60, 80);
        QVERIFY(p.host.SurfaceOps.Ops.contains(QRegularExpression("Arc .*")));
        p.host.ViewNow.Geometry.PixelsPerMm = 4;
        p.Release(60, 80);
        const DrawingObject &arc = p.At(0);
        QCOMPARE(QList<double>({arc.X1, arc.X2, arc.X3, arc.X4}), QList<double>({15, 35, 35, 25}));
        QCOMPARE(QList<double>({arc.Y1, arc.Y2, arc.Y3, arc.Y4}), QList<double>({10, 30, 20, 10}));
        QVERIFY(!p.dispatch.Active());

        Pointer still; // a press and release without movement still marks the drawing changed
        still.AddObject(KindLine, 0.5, {10, 10, 110, 10});
        still.Use(ObjectMode::Move);
        still.Move(Round(50 * S), Round(10 * S));
        still.Press(Round(50 * S), Round(10 * S));
        still.Release(Round(50 * S), Round(10 * S));
        QCOMPARE(still.At(0).X1, 10.0);
        QVERIFY(still.host.IsModified());
    }

    void textsAddedChangedMovedDeleted()
    {
        Pointer p;
        p.host.Answers = {QStringLiteral("erste"), QStringLiteral("zweite")};
        p.Use(TextMode::Add);
        p.Press(Round(20 * S), Round(20 * S));
        p.host.Font.Size = 20;
        p.Press(Round(22 * S), Round(21 * S)); // overlapping the first
        QCOMPARE(p.host.Drawing().Texts.Count, 2);
        const TextObject &first = p.host.Drawing().Texts.At(0);
        QCOMPARE(TextString(first), QStringLiteral("erste"));
        QVERIFY(first.Bottom > first.Top); // measured by the repaint after the add
        QCOMPARE(p.host.Prefills, (QStringList{"<kept>", "<kept>"}));

        p.Use(TextMode::Change);
        p.Move(Round(23 * S), Round(22 * S)); // both texts lie here: the later one is found
        QCOMPARE(p.Hover().Index, 1);
        QVERIFY(p.host.SurfaceOps.Ops.contains(QRegularExpression("Font .* FF0000")) ||
                p.host.SurfaceOps.Ops.join(' ').contains("0000FF"));
        p.host.ZoomValue = 250; // the change keeps the size at any zoom
        p.host.DrawingChanged();
        p.host.Answers = {QStringLiteral("geändert")};
        p.Move(Round(23 * S * 2.5), Round(22 * S * 2.5));
        p.Press(Round(23 * S * 2.5), Round(22 * S * 2.5));
        QCOMPARE(p.host.Prefills.last(), QStringLiteral("zweite"));
        QCOMPARE(TextString(p.host.Drawing().Texts.At(1)), QStringLiteral("geändert"));
        QCOMPARE(p.host.Drawing().Texts.At(1).Size, 20);
        // The font carries over: the next added text gets the changed text's font.
        p.host.Font.Size = 20;
        QCOMPARE(p.host.Font.Size, 20);

        p.Use(TextMode::Move);
        p.host.ZoomValue = 100;
        p.host.DrawingChanged();
        const double left = p.host.Drawing().Texts.At(0).Left;
        p.Move(Round(20 * S) + 1, Round(20 * S) + 1);
        p.Press(Round(20 * S) + 1, Round(20 * S) + 1);
        QVERIFY(p.Active<RecordDrag>() && p.Active<RecordDrag>()->List == RecordList::Texts);
        p.Move(Round(20 * S) + 39, Round(20 * S) + 1);
        p.Release(Round(20 * S) + 39, Round(20 * S) + 1);
        QVERIFY(!p.dispatch.Active());
        QCOMPARE(p.Hover().Index, 0); // only the first text lies under that point
        QCOMPARE(p.host.Drawing().Texts.At(0).Left, left + 38 / S);

        p.Use(TextMode::Delete);
        p.Move(Round(p.host.Drawing().Texts.At(1).Left * S) + 1, Round(p.host.Drawing().Texts.At(1).Top * S) + 1);
        QVERIFY(p.Hover().Active);
        p.Press(0, 0);
        QCOMPARE(p.host.Drawing().Texts.Count, 1);

        // A cancelled dialog adds nothing; a stale hover index does nothing.
        p.Use(TextMode::Add);
        p.host.Answers = {std::nullopt};
        p.Press(10, 10);
        QCOMPARE(p.host.Drawing().Texts.Count, 1);
        p.Use(TextMode::Delete);
        p.Hover() = {true, 5, RecordList::Texts};
        p.Press(0, 0);
        QCOMPARE(p.host.Drawing().Texts.Count, 1);
    }

    void emptyTextIsAddedWithAnEmptyBox()
    {
        Pointer p;
        p.host.Answers = {QString()};
        p.Use(TextMode::Add);
        p.Press(100, 100);
        QCOMPARE(p.host.Drawing().Texts.Count, 1);
        QCOMPARE(TextLength(p.host.Drawing().Texts.At(0)), 0);
    }
};

QTEST_MAIN(TestDrawingTools)
#include "test_drawing_tools.moc"
