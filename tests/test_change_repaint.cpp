// After a change of a few objects or texts only the part the change touched is drawn anew,
// in the kept pictures and on the surface. What the surface then shows must be exactly what
// a full rendering of the drawing shows: random sequences of changes made with the tools
// and the history, each compared pixel for pixel with a fresh renderer's picture.
#include "support/random_drawing.h"
#include "support/surface_stand_in.h"

#include "document/units.h"
#include "render/sheet/object_index.h"
#include "render/canvas/band_work.h"
#include "render/canvas/overlay_canvas.h"
#include "render/canvas/painter_canvas.h"
#include "render/output/sheet_export.h"
#include "render/surface/surface_renderer.h"
#include "tools/add_object.h"
#include "tools/pointer_dispatch.h"

#include <QPainter>
#include <QRegion>
#include <QTest>

#include <cmath>
#include <cstring>
#include <random>

using namespace velmora;

namespace {

// A drawing of every kind of object, pens from thin to wide, white objects that cover what
// lies under them, and texts among them, on two sheets.
void FillDrawing(DrawingState &state, std::mt19937 &random)
{
    DrawingBuilder drawing(state);
    AddBusyDrawing(drawing, state.PageHeightInch,
                   {.Sheets = 2, .ObjectsPerSheet = 200, .Texts = 20, .Reach = 25, .PenMin = 0.05, .PenMax = 3,
                    .WhiteEvery = 7, .StyledTexts = true},
                   random);
}

// Where a user would point at object i or text i on the surface (the 5-pixel margin included).
QPoint OnObject(const DrawingObject &o, double s)
{
    return QPoint(Round(s * (o.X1 + o.X2) / 2) + PointerMarginPx, Round(s * (o.Y1 + o.Y2) / 2) + PointerMarginPx);
}

QPoint OnText(const TextObject &t, double s)
{
    return QPoint(Round(s * (t.Left + t.Right) / 2) + PointerMarginPx,
                  Round(s * (t.Top + t.Bottom) / 2) + PointerMarginPx);
}

// Pixels that differ, outside `left` (image pixels), where a preview may lie over the picture.
int DifferentPixels(const QImage &a, const QImage &b, QPoint &first, const QRect &left = QRect())
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && !left.contains(x, y) && count++ == 0)
                first = QPoint(x, y);
    return count;
}

} // namespace

class TestChangeRepaint : public QObject {
    Q_OBJECT
private slots:
    void randomChangesShowAsAFullRender_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("paper");
        const int plain = int(PaperKind::Plain);
        QTest::newRow("zoom 100") << 100 << 1u << 1.0 << plain;
        QTest::newRow("zoom 300") << 300 << 2u << 1.0 << plain;
        QTest::newRow("zoom 37") << 37 << 3u << 1.0 << plain;
        QTest::newRow("zoom 100, squared paper") << 100 << 4u << 1.0 << int(PaperKind::Squared5);
        QTest::newRow("zoom 100, screen ratio 2") << 100 << 5u << 2.0 << plain;
        QTest::newRow("zoom 137, graph paper") << 137 << 7u << 1.0 << int(PaperKind::Millimetre);
        QTest::newRow("zoom 137, screen ratio 1.5") << 137 << 6u << 1.5 << plain;
        QTest::newRow("zoom 100, screen ratio 1.25, dotted paper") << 100 << 8u << 1.25 << int(PaperKind::Dotted5);
    }
    void randomChangesShowAsAFullRender()
    {
        QFETCH(int, zoom);
        QFETCH(unsigned, seed);
        QFETCH(qreal, ratio);
        QFETCH(int, paper);
        std::mt19937 random(seed);
        // Parts drawn anew are cut into bands as fresh pictures are: on three threads here, at
        // the ratios with the most rows, whatever cores the machine has.
        SetRenderThreads(ratio > 1 ? 3 : 0);
        const struct ThreadsBack {
            ~ThreadsBack() { SetRenderThreads(0); }
        } threadsBack;
        const ViewGeometry probe = ComputeViewGeometry(2, zoom, 96, 96, A4WidthInch, A4HeightInch);
        // A viewport across the border of the two sheets, where the changes are made.
        const QRect sheet1 = probe.SheetOnSurface(1);
        const QRect viewport(sheet1.left(), sheet1.top() - 260, 520, 440);
        SurfaceStandIn host(2, zoom, viewport, ratio);
        FillDrawing(host.Document(), random);
        host.Document().Paper = PaperKind(paper);
        PointerDispatch dispatch(host);
        host.DrawingChanged();
        host.PaintPending();
        const double s = host.Geometry().PixelsPerMm;
        std::uniform_int_distribution<int> px(viewport.left() - 40, viewport.right() + 40),
            py(viewport.top() - 40, viewport.bottom() + 40), step(-60, 60), action(0, 9);
        const DrawingState &state = host.Drawing();
        // Records inside the viewport, so most changes show there.
        auto visibleObject = [&]() -> int {
            for (int tries = 0; tries < 200; ++tries) {
                const int i = std::uniform_int_distribution<int>(0, state.Objects.Count - 1)(random);
                const DrawingObject &o = state.Objects.At(i);
                if (o.Kind == KindLine && viewport.contains(OnObject(o, s)))
                    return i;
            }
            return -1;
        };
        auto visibleText = [&]() -> int {
            for (int tries = 0; tries < 200 && state.Texts.Count > 0; ++tries) {
                const int i = std::uniform_int_distribution<int>(0, state.Texts.Count - 1)(random);
                if (viewport.contains(OnText(state.Texts.At(i), s)))
                    return i;
            }
            return -1;
        };
        int changes = 0;
        for (int round = 0; round < 70; ++round) {
            const int what = action(random);
            const int objectsBefore = state.Objects.Count, textsBefore = state.Texts.Count;
            const int stepsBefore = host.Steps(), undoneBefore = host.Undone();
            QString done;
            if (what == 0) { // a pencil stroke of a few segments, or an eraser stroke
                host.Tools.Current = random() % 3 == 0 ? Tool::Eraser : Tool::Pencil;
                host.Pen = std::uniform_real_distribution<double>(0.1, 2.5)(random);
                QPoint p(px(random), py(random));
                dispatch.MouseDown(PointerButton::Left, p.x(), p.y());
                for (int k = 0; k < 3; ++k) {
                    p += QPoint(step(random), step(random));
                    dispatch.MouseMove(p.x(), p.y());
                }
                dispatch.MouseUp(p.x(), p.y());
                host.DrawingChanged();
                done = QStringLiteral("stroke");
            } else if (what == 1) { // an object of any kind, as the instruments add them
                const double x0 = (px(random) - PointerMarginPx) / s, y0 = (py(random) - PointerMarginPx) / s;
                const uint32_t kind = uint32_t(random() % 4);
                AddObject(host, QStringLiteral("Linie"), [&](DrawingObject &o) {
                    o.Kind = kind;
                    o.PenWidth = std::uniform_real_distribution<double>(0.05, 3)(random);
                    o.Colour = ColourRGB(uint8_t(random()), uint8_t(random()), uint8_t(random()));
                    o.X1 = x0, o.Y1 = y0;
                    o.X2 = x0 + step(random) / s, o.Y2 = y0 + step(random) / s;
                    o.X3 = x0 + step(random) / s, o.Y3 = y0 + step(random) / s;
                    o.X4 = x0 + step(random) / s, o.Y4 = y0 + step(random) / s;
                });
                done = QStringLiteral("add object");
            } else if (what == 2 || what == 3) { // move or delete a line with the object tool
                const int i = visibleObject();
                if (i < 0)
                    continue;
                const QPoint on = OnObject(state.Objects.At(i), s);
                host.Tools.Current = Tool::Objects;
                host.Tools.Objects = what == 2 ? ObjectMode::Move : ObjectMode::Delete;
                dispatch.MouseMove(on.x(), on.y()); // the hover finds it (or one over it)
                host.PaintPending();
                dispatch.MouseDown(PointerButton::Left, on.x(), on.y());
                const QPoint to = on + QPoint(step(random), step(random));
                dispatch.MouseMove(to.x(), to.y());
                host.PaintPending();
                dispatch.MouseUp(to.x(), to.y());
                done = what == 2 ? QStringLiteral("move object") : QStringLiteral("delete object");
            } else if (what == 4) { // a text added with the text tool
                host.Tools.Current = Tool::Text;
                host.Tools.Text = TextMode::Add;
                host.Answers = {QStringLiteral("Neu %1\nWinkel").arg(round)};
                dispatch.MouseDown(PointerButton::Left, px(random), py(random));
                dispatch.MouseUp(0, 0);
                done = QStringLiteral("add text");
            } else if (what == 5 || what == 6) { // move or delete a text with the text tool
                const int i = visibleText();
                if (i < 0)
                    continue;
                const QPoint on = OnText(state.Texts.At(i), s);
                host.Tools.Current = Tool::Text;
                host.Tools.Text = what == 5 ? TextMode::Move : TextMode::Delete;
                dispatch.MouseMove(on.x(), on.y());
                host.PaintPending();
                dispatch.MouseDown(PointerButton::Left, on.x(), on.y());
                const QPoint to = on + QPoint(step(random), step(random));
                dispatch.MouseMove(to.x(), to.y());
                host.PaintPending();
                dispatch.MouseUp(to.x(), to.y());
                done = what == 5 ? QStringLiteral("move text") : QStringLiteral("delete text");
            } else if (what <= 8) {
                host.Undo();
                done = QStringLiteral("undo");
            } else {
                host.Redo();
                done = QStringLiteral("redo");
            }
            // The next repaint takes away the previews (hover marks) as the window's does.
            host.WipePreviews();
            host.PaintPending();
            const bool changed = state.Objects.Count != objectsBefore || state.Texts.Count != textsBefore ||
                                 host.Steps() != stepsBefore || host.Undone() != undoneBefore ||
                                 done.startsWith("undo") || done.startsWith("redo");
            changes += changed;
            QPoint first;
            const int different = DifferentPixels(host.Shown(), host.FullRender(), first);
            if (different != 0)
                QFAIL(qPrintable(QStringLiteral("after %1 (round %2): %3 pixels differ from a full render, first at %4,%5")
                                     .arg(done)
                                     .arg(round)
                                     .arg(different)
                                     .arg(first.x())
                                     .arg(first.y())));
        }
        QVERIFY2(changes >= 40, qPrintable(QString::number(changes)));
        // The changes went the bounded way: the surface was not painted anew as a whole.
        QVERIFY2(host.Whole <= 1, qPrintable(QString::number(host.Whole)));
    }

    // Every tool's live stroke over the instruments, which lie over the drawing: pencil and
    // eraser segments show at once under them (an eraser stroke through a line under the
    // protractor wiped its marks; a pencil stroke begun on its edge left pixels of its own),
    // previews of ruler lines, arcs and curves lie over them until the release. After every
    // move the screen shows a full rendering, but for the preview's own place.
    void instrumentsStayOverLiveStrokes_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("paper");
        QTest::newRow("zoom 300, dotted paper") << 300 << 1.0 << int(PaperKind::Dotted5);
        QTest::newRow("zoom 300, screen ratio 1.5, dotted paper") << 300 << 1.5 << int(PaperKind::Dotted5);
        QTest::newRow("zoom 300, screen ratio 2, graph paper") << 300 << 2.0 << int(PaperKind::Millimetre);
        QTest::newRow("zoom 137, screen ratio 1.5") << 137 << 1.5 << int(PaperKind::Plain);
        QTest::newRow("zoom 100, screen ratio 1.25, graph paper") << 100 << 1.25 << int(PaperKind::Millimetre);
    }
    void instrumentsStayOverLiveStrokes()
    {
        QFETCH(int, zoom);
        QFETCH(qreal, ratio);
        QFETCH(int, paper);
        const double s = ComputeViewGeometry(2, zoom, 96, 96, A4WidthInch, A4HeightInch).PixelsPerMm;
        auto at = [s](double x, double y) {
            return QPoint(Round(s * x) + PointerMarginPx, Round(s * y) + PointerMarginPx);
        };
        const QRect viewport(at(50, 40) - QPoint(260, 220), QSize(520, 440));
        SurfaceStandIn host(2, zoom, viewport, ratio);
        DrawingState &state = host.Document();
        state.Paper = PaperKind(paper);
        state.Placement.ProtractorX = 50, state.Placement.ProtractorY = 45;
        state.Placement.RulerX = 35, state.Placement.RulerY = 36, state.Placement.RulerAngle = 15;
        state.Placement.CompassX = 58, state.Placement.CompassY = 32, state.Placement.CompassSpan = 9;
        AddObject(host, QStringLiteral("Linie"), [](DrawingObject &o) { // under the protractor
            o.Kind = KindLine, o.PenWidth = 0.8, o.X1 = 20, o.Y1 = 43, o.X2 = 80, o.Y2 = 41;
        });
        PointerDispatch dispatch(host);
        host.DrawingChanged();
        host.PaintPending();
        // The screen after the paint events, but for the preview's place (image pixels) when
        // the tool shows one; the pencil's and the eraser's strokes are the drawing itself.
        bool previews = false;
        auto check = [&](const char *tool, const char *when) {
            host.PaintPending();
            QRect preview = previews ? host.Overlay.DrawnRect() : QRect();
            if (!preview.isEmpty())
                preview = QRect(((preview.topLeft() - viewport.topLeft()) * ratio),
                                ((preview.bottomRight() + QPoint(1, 1) - viewport.topLeft()) * ratio))
                              .adjusted(-2, -2, 2, 2);
            QPoint first;
            const int different = DifferentPixels(host.Shown(), host.FullRender(), first, preview);
            if (different != 0)
                QFAIL(qPrintable(QStringLiteral("%1, %2: %3 pixels differ from a full render, first at %4,%5")
                                     .arg(tool, when)
                                     .arg(different)
                                     .arg(first.x())
                                     .arg(first.y())));
        };
        auto drag = [&](const char *tool, std::initializer_list<QPoint> path) {
            const QPoint from = *path.begin();
            dispatch.MouseMove(from.x(), from.y()); // a hover first, as the pointer comes
            check(tool, "hover");
            dispatch.MouseDown(PointerButton::Left, from.x(), from.y());
            check(tool, "press");
            for (const QPoint &p : path) {
                dispatch.MouseMove(p.x(), p.y());
                check(tool, "move");
                if (QTest::currentTestFailed())
                    return;
            }
            const QPoint to = *(path.end() - 1);
            dispatch.MouseUp(to.x(), to.y());
            host.WipePreviews(); // the release's repaint takes the previews away
            check(tool, "release");
        };
        host.Pen = 0.5;
        host.Tools.Current = Tool::Pencil; // begun on the protractor's straight edge
        drag("pencil", {at(10, 45), at(14, 44), at(20, 40), at(31, 37), at(45, 30), at(52, 22)});
        if (QTest::currentTestFailed())
            return;
        host.Tools.Current = Tool::Eraser; // through the line under the protractor
        drag("eraser", {at(25, 48), at(30, 44), at(38, 42), at(47, 40), at(60, 38), at(72, 33)});
        if (QTest::currentTestFailed())
            return;
        previews = true;
        host.Tools.Current = Tool::Ruler, host.Tools.Ruler = RulerMode::Along;
        drag("ruler line", {at(38, 37), at(45, 39), at(60, 43)});
        if (QTest::currentTestFailed())
            return;
        host.Tools.Current = Tool::Ruler, host.Tools.Ruler = RulerMode::Across;
        drag("ruler perpendicular", {at(45, 39), at(44, 30), at(42, 25)});
        if (QTest::currentTestFailed())
            return;
        host.Tools.Current = Tool::Compass, host.Tools.Compass = CompassMode::Arc;
        drag("compass arc", {at(67, 32), at(64, 39), at(57, 41), at(50, 35)});
        if (QTest::currentTestFailed())
            return;
        host.Tools.Current = Tool::Curves; // start, end, first control point, second
        for (const QPoint &p : {at(15, 30), at(70, 50), at(40, 20)}) {
            dispatch.MouseDown(PointerButton::Left, p.x(), p.y());
            dispatch.MouseUp(p.x(), p.y());
            const QPoint next = p + QPoint(11, 7);
            dispatch.MouseMove(next.x(), next.y());
            check("curve", "move");
        }
        dispatch.MouseDown(PointerButton::Left, at(60, 30).x(), at(60, 30).y());
        host.WipePreviews();
        check("curve", "release");
        QCOMPARE(state.Objects.Count, 1 + 6 + 6 + 4); // the line, two strokes, four objects
    }

    // A full picture is drawn in bands on several threads: whatever their number, the pixels
    // are those of one thread drawing it all, at every ratio and zoom, on plain paper and on
    // paper (texts of up to 104 pixels, which the font engine outlines itself), also where the
    // picture ends within a logical pixel (at ratio 1.5 the sheet's white stopped short of the
    // last column in the bands below the first); and the sheet exported as an image is the
    // same on any number of threads.
    void picturesAreTheSameOnAnyNumberOfThreads()
    {
        for (int zoom : {100, 300})
            for (qreal ratio : {1.0, 1.5, 2.0})
                for (PaperKind paper : {PaperKind::Plain, PaperKind::Squared5})
                    for (int shift : {0, 1}) {
                        if (shift == 1 && ratio != 1.5)
                            continue;
                        const QRect sheet1 =
                            ComputeViewGeometry(2, zoom, 96, 96, A4WidthInch, A4HeightInch).SheetOnSurface(1);
                        const QRect viewport(sheet1.left() + 30 + shift, sheet1.top() - 350, 640, 560);
                        SurfaceStandIn host(2, zoom, viewport, ratio);
                        std::mt19937 random(11);
                        FillDrawing(host.Document(), random);
                        host.Document().Paper = paper;
                        SetRenderThreads(1);
                        const QImage one = host.FullRender();
                        for (int threads : {2, 3, 5}) {
                            SetRenderThreads(threads);
                            QPoint first;
                            const int different = DifferentPixels(host.FullRender(), one, first);
                            QVERIFY2(different == 0, qPrintable(QString("zoom %1, ratio %2, shift %3, %4 threads: "
                                                                        "%5 pixels differ, first at %6,%7")
                                                                    .arg(zoom).arg(ratio).arg(shift).arg(threads)
                                                                    .arg(different).arg(first.x()).arg(first.y())));
                        }
                        SetRenderThreads(0);
                    }
        DrawingState state;
        std::mt19937 random(12);
        FillDrawing(state, random);
        state.Paper = PaperKind::Millimetre;
        QImage one, several;
        SetRenderThreads(1);
        QCOMPARE(SheetImage(state, 2, 1, 300, one), ExportError::None);
        const std::vector<TextObject> boxes(&state.Texts.At(0), &state.Texts.At(0) + state.Texts.Count);
        SetRenderThreads(3);
        QCOMPARE(SheetImage(state, 2, 1, 300, several), ExportError::None);
        SetRenderThreads(0);
        QCOMPARE(several, one);
        for (int i = 0; i < state.Texts.Count; ++i) // the texts' boxes are measured as before
            QVERIFY(std::memcmp(&boxes[size_t(i)], &state.Texts.At(i), sizeof(TextObject)) == 0);
    }

    // After the window moved to a screen of another ratio, changes are still mended in the
    // kept pictures, now at that ratio, and show as a full render there.
    void changesAfterMovingToAnotherScreen()
    {
        const QRect sheet1 = ComputeViewGeometry(2, 100, 96, 96, A4WidthInch, A4HeightInch).SheetOnSurface(1);
        const QRect viewport(sheet1.left(), sheet1.top() - 260, 520, 440);
        SurfaceStandIn host(2, 100, viewport, 1);
        std::mt19937 random(9);
        FillDrawing(host.Document(), random);
        host.DrawingChanged();
        host.PaintPending();
        host.MoveToScreen(1.5);
        host.PaintPending();
        const double s = host.Geometry().PixelsPerMm;
        const QPointF at((viewport.center().x() - PointerMarginPx) / s, (viewport.center().y() - PointerMarginPx) / s);
        for (int round = 0; round < 4; ++round) {
            AddObject(host, QStringLiteral("Linie"), [&](DrawingObject &o) {
                o.Kind = KindLine;
                o.PenWidth = 0.7;
                o.X1 = at.x() + 4 * round, o.Y1 = at.y();
                o.X2 = o.X1 + 25, o.Y2 = o.Y1 + 9 * round;
            });
            host.DrawingChanged();
            host.PaintPending();
            QPoint first;
            QCOMPARE(DifferentPixels(host.Shown(), host.FullRender(), first), 0);
        }
        QCOMPARE(host.Whole, 1); // the first repaint alone
    }

    // The object index follows appends, inserts, deletes (the later objects move down one
    // place) and moves without rebuilding, and finds what a rebuilt index finds.
    void indexFollowsChangesWithoutRebuilding()
    {
        DrawingState state;
        std::mt19937 random(5);
        std::uniform_real_distribution<double> coordinate(-50, 400);
        auto fill = [&](DrawingObject &o) {
            o = DrawingObject{};
            o.Kind = uint32_t(random() % 5); // 4: a kind that draws nothing
            o.PenWidth = 0.5;
            o.X1 = coordinate(random), o.Y1 = coordinate(random);
            o.X2 = o.X1 + 30, o.Y2 = o.Y1 + (random() % 10 == 0 ? 900 : 20); // some very tall
            o.X3 = o.X1, o.Y3 = o.Y1, o.X4 = o.X2, o.Y4 = o.Y2;
        };
        for (int i = 0; i < 300; ++i)
            fill(DrawingBuilder(state).Blank());
        ObjectIndex followed;
        followed.Refresh(state);
        for (int round = 0; round < 200; ++round) {
            const int n = state.Objects.Count;
            switch (random() % 4) {
            case 0:
                fill(DrawingBuilder(state).Blank());
                break;
            case 1: { // an insert in the middle, as undoing a delete makes it
                DrawingEdit deleted;
                DrawingObject o;
                fill(o);
                deleted.Objects.push_back({int(random() % unsigned(n + 1)), o, std::nullopt});
                deleted.Revert(state);
                break;
            }
            case 2:
                DrawingBuilder(state).Delete(int(random() % unsigned(n)));
                break;
            default:
                fill(DrawingBuilder(state).Change(int(random() % unsigned(n))));
            }
            if (round % 3 == 0)
                continue; // several changes between two looks
            followed.Refresh(state);
            ObjectIndex rebuilt;
            rebuilt.Refresh(state);
            for (int look = 0; look < 5; ++look) {
                const double left = coordinate(random), top = coordinate(random);
                std::vector<int> a, b;
                followed.Query(left, top, left + 40, top + 40, a);
                rebuilt.Query(left, top, left + 40, top + 40, b);
                QCOMPARE(a, b);
            }
        }
        QCOMPARE(followed.Rebuilds(), 1);
        // A drawing read anew is not described by the journal: the index is built again.
        state.ClearRecords();
        followed.Refresh(state);
        QCOMPARE(followed.Rebuilds(), 2);
    }
};

QTEST_MAIN(TestChangeRepaint)
#include "test_change_repaint.moc"
