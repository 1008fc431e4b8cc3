// The hand and zoom tools and the order of the pointer handlers.
#include "support/stand_in_host.h"

#include "tools/pointer_dispatch.h"

#include <QtTest>

using namespace velmora;

class TestViewTools : public QObject {
    Q_OBJECT
    StandInHost host;
    std::optional<PointerDispatch> owned;
    PointerDispatch &dispatch() { return *owned; }

private slots:
    void init()
    {
        host.ZoomValue = 100;
        host.PageCount = 1;
        host.DrawingChanged();
        host.ScrollNow.H = host.ScrollNow.V = 0;
        owned.emplace(host); // no gesture left from the test before
    }

    void zoomSteps()
    {
        host.Tools.Current = Tool::Zoom;
        QList<int> up, down;
        for (int i = 0; i < 4; ++i) {
            dispatch().MouseDown(PointerButton::Left, 100, 100);
            up << host.ZoomValue;
        }
        QCOMPARE(up, (QList<int>{150, 225, 300, 300}));
        host.ZoomValue = 100;
        for (int i = 0; i < 12; ++i) {
            dispatch().MouseDown(PointerButton::Right, 100, 100);
            down << host.ZoomValue;
        }
        QCOMPARE(down, (QList<int>{67, 45, 30, 20, 13, 9, 6, 4, 3, 2, 1, 1}));
        const int zoom = host.ZoomValue;
        dispatch().MouseDown(PointerButton::Middle, 100, 100);
        QCOMPARE(host.ZoomValue, zoom);
    }

    void zoomCentresTheClickedPoint()
    {
        host.Tools.Current = Tool::Zoom;
        host.PageCount = 3;
        host.DrawingChanged();
        // (405, 905) less the margin is (400, 900); at 150 % it lies at (600, 1350).
        const int repaints = host.Repaints;
        dispatch().MouseDown(PointerButton::Left, 405, 905);
        QCOMPARE(host.ScrollNow.H, 600 - 350);
        QCOMPARE(host.ScrollNow.V, 1350 - 200);
        QVERIFY(host.Repaints > repaints);
        QVERIFY(host.Repaints > host.RepaintsAtLastScroll); // the repaint comes after the scroll
        // At 300 % the zoom stays and the point is still centred; near the origin the scroll stops at 0.
        host.ZoomValue = 300;
        host.DrawingChanged();
        dispatch().MouseDown(PointerButton::Left, 55, 35);
        QCOMPARE(host.ZoomValue, 300);
        QCOMPARE(host.ScrollNow.H, 0);
        QCOMPARE(host.ScrollNow.V, 0);
    }

    void panningIsClamped()
    {
        host.Tools.Current = Tool::Hand;
        host.PageCount = 2;
        host.DrawingChanged();
        dispatch().MouseDown(PointerButton::Left, 300, 300);
        QVERIFY(std::holds_alternative<Pan>(*dispatch().Active()));
        dispatch().MouseMove(250, 200); // drag up and left: the view moves right and down
        QCOMPARE(host.ScrollNow.H, 50);
        QCOMPARE(host.ScrollNow.V, 100);
        const int repaints = host.Repaints;
        dispatch().MouseMove(-100000, -100000);
        QCOMPARE(host.Repaints, repaints); // no explicit repaint
        QVERIFY(host.ScrollNow.H <= host.ScrollNow.RangeH - 1);
        QVERIFY(host.ScrollNow.V <= host.ScrollNow.RangeV - 1);
        dispatch().MouseMove(100000, 100000);
        QCOMPARE(host.ScrollNow.H, 0);
        QCOMPARE(host.ScrollNow.V, 0);
        dispatch().MouseUp(0, 0);
        QVERIFY(!dispatch().Active());
    }

    void pressesSetTheActivePage()
    {
        host.PageCount = 3;
        host.DrawingChanged();
        host.Tools.Current = Tool::Hand;
        dispatch().MouseDown(PointerButton::Left, 50, 5 + 2 * 1123 + 10);
        QCOMPARE(host.ViewNow.ActivePage, 2);
        QCOMPARE(host.ViewNow.ActivePageTopPx, 2 * 1123);
        dispatch().MouseUp(0, 0);
        dispatch().MouseDown(PointerButton::Right, 50, 2);
        QCOMPARE(host.ViewNow.ActivePage, 0);
        dispatch().MouseUp(0, 0);
        dispatch().MouseDown(PointerButton::Left, 50, 5 + 1123);
        QCOMPARE(host.ViewNow.ActivePage, 1);
        dispatch().MouseUp(0, 0);
        dispatch().MouseMove(50, 5 + 5 * 1123); // moves and releases never change it
        QCOMPARE(host.ViewNow.ActivePage, 1);
    }

    void aSecondPressDuringAGestureChangesNothing()
    {
        ToolPointer p;
        p.host.PageCount = 2;
        p.host.DrawingChanged();
        p.host.Tools.Current = Tool::Ruler;
        p.host.Tools.Ruler = RulerMode::Move;
        p.dispatch.MouseDown(PointerButton::Left, 105, 105);
        p.dispatch.MouseMove(125, 105);
        const double movedX = p.host.Instruments().RulerX;
        // The other button, far away on the second sheet: neither a new drag nor a new sheet.
        p.dispatch.MouseDown(PointerButton::Right, 600, 1123 + 600);
        QCOMPARE(p.host.ViewNow.ActivePage, 0);
        QCOMPARE(p.host.Instruments().RulerX, movedX);
        p.dispatch.MouseMove(145, 105); // still measured from the first press
        QCOMPARE(p.host.Instruments().RulerX, 10 + 40 / p.host.ViewNow.PixelsPerMm());
        p.dispatch.MouseUp(145, 105);
        QVERIFY(!p.dispatch.Active());
        p.dispatch.MouseUp(600, 1123 + 600); // the second button's release finds nothing
        QCOMPARE(p.host.Instruments().RulerX, 10 + 40 / p.host.ViewNow.PixelsPerMm());

        // A stroke stays one stroke and one step.
        p.host.Tools.Current = Tool::Pencil;
        p.dispatch.MouseDown(PointerButton::Left, 100, 100);
        p.dispatch.MouseMove(110, 100);
        p.dispatch.MouseDown(PointerButton::Right, 300, 300);
        p.dispatch.MouseMove(120, 100);
        QCOMPARE(p.host.Drawing().Objects.Count, 2);
        QCOMPARE(p.host.Drawing().Objects.At(1).X1, p.host.Drawing().Objects.At(0).X2); // chained, not restarted
        p.dispatch.MouseUp(120, 100);
        QCOMPARE(p.host.Steps(), 1);
    }

    void aReleaseWithoutAPressDoesNothing()
    {
        ToolPointer p;
        for (Tool tool : {Tool::Ruler, Tool::Pencil, Tool::Objects, Tool::Hand, Tool::Curves}) {
            p.host.Tools.Current = tool;
            const int repaints = p.host.Repaints;
            p.dispatch.MouseUp(200, 200);
            QCOMPARE(p.host.Repaints, repaints);
            QCOMPARE(p.host.Drawing().Objects.Count, 0);
            QCOMPARE(p.host.Instruments().RulerX, 10.0);
            QCOMPARE(p.host.PlacementShown, 0);
            QCOMPARE(p.host.Steps(), 0);
        }
        // The curve's presses survive their releases.
        p.dispatch.MouseDown(PointerButton::Left, 100, 100);
        p.dispatch.MouseUp(100, 100);
        QVERIFY(std::holds_alternative<Curve>(*p.dispatch.Active()));
        QVERIFY(!p.dispatch.Dragging());
    }

    void cancellingACurveUnderConstruction()
    {
        ToolPointer p;
        p.host.Tools.Current = Tool::Curves;
        QVERIFY(!p.dispatch.Cancel()); // nothing to cancel
        p.dispatch.MouseDown(PointerButton::Left, 100, 100);
        p.dispatch.MouseDown(PointerButton::Left, 300, 100);
        p.dispatch.MouseMove(200, 200);
        QVERIFY(!p.host.SurfaceOps.Ops.isEmpty()); // the rubber band
        const int repaints = p.host.Repaints;
        QVERIFY(p.dispatch.Cancel());
        QVERIFY(!p.dispatch.Active());
        QVERIFY(p.host.Repaints > repaints);
        QVERIFY(p.host.SurfaceOps.Ops.isEmpty()); // wiped
        // The next press starts what the tool says, and no curve is stored later.
        p.host.Tools.Current = Tool::Pencil;
        p.dispatch.MouseDown(PointerButton::Left, 100, 100);
        QVERIFY(std::holds_alternative<Stroke>(*p.dispatch.Active()));
        QVERIFY(!p.dispatch.Cancel()); // a held drag ends only with its release
        p.dispatch.MouseUp(100, 100);
        QCOMPARE(p.host.Drawing().Objects.Count, 0);

        // Cancelling after three presses stores nothing either.
        p.host.Tools.Current = Tool::Curves;
        for (int i = 0; i < 3; ++i)
            p.dispatch.MouseDown(PointerButton::Left, 100 + 50 * i, 100);
        QVERIFY(p.dispatch.Cancel());
        p.dispatch.MouseDown(PointerButton::Left, 400, 400); // a new start
        QCOMPARE(std::get<Curve>(*p.dispatch.Active()).Placed, Curve::Stage::Start);
        QCOMPARE(p.host.Drawing().Objects.Count, 0);
        QCOMPARE(p.host.Steps(), 0);
    }

    void aMoveThatMatchesNothingOnlyShowsThePosition()
    {
        host.Tools.Current = Tool::Ruler;
        host.Tools.Ruler = RulerMode::Move;
        const double rulerX = host.Instruments().RulerX;
        const int repaints = host.Repaints;
        dispatch().MouseMove(300, 300);
        QCOMPARE(host.Repaints, repaints);
        QCOMPARE(host.Instruments().RulerX, rulerX);
        QVERIFY(host.Status.endsWith(" mm"));
    }

    void dragsAreRoutedByTheirGestureNotTheMenu()
    {
        host.Tools.Current = Tool::Ruler;
        host.Tools.Ruler = RulerMode::Move;
        dispatch().MouseDown(PointerButton::Left, 100, 100);
        host.Tools.Current = Tool::Hand; // the menu changes mid-drag
        dispatch().MouseMove(200, 100);
        QVERIFY(host.Instruments().RulerX > 10);
        dispatch().MouseUp(200, 100);
        QVERIFY(!dispatch().Active());
    }
};

QTEST_MAIN(TestViewTools)
#include "test_view_tools.moc"
