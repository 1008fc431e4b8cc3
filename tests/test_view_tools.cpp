// The hand and zoom tools and the order of the pointer handlers.
#include "fake_host.h"

#include "tools/pointer_dispatch.h"

#include <QtTest>

using namespace velmora;

class TestViewTools : public QObject {
    Q_OBJECT
    FakeHost host;
    std::optional<PointerDispatch> owned;
    PointerDispatch &dispatch() { return *owned; }

private slots:
    void init()
    {
        host.ZoomValue = 100;
        host.PageCount = 1;
        host.Repaint();
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
        host.Repaint();
        // (405, 905) less the margin is (400, 900); at 150 % it lies at (600, 1350).
        const int repaints = host.Repaints;
        dispatch().MouseDown(PointerButton::Left, 405, 905);
        QCOMPARE(host.ScrollNow.H, 600 - 350);
        QCOMPARE(host.ScrollNow.V, 1350 - 200);
        QVERIFY(host.Repaints > repaints);
        QVERIFY(host.Repaints > host.RepaintsAtLastScroll); // the repaint comes after the scroll
        // At 300 % the zoom stays and the point is still centred; near the origin the scroll stops at 0.
        host.ZoomValue = 300;
        host.Repaint();
        dispatch().MouseDown(PointerButton::Left, 55, 35);
        QCOMPARE(host.ZoomValue, 300);
        QCOMPARE(host.ScrollNow.H, 0);
        QCOMPARE(host.ScrollNow.V, 0);
    }

    void panningIsClamped()
    {
        host.Tools.Current = Tool::Hand;
        host.PageCount = 2;
        host.Repaint();
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
        host.Repaint();
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

    void aMoveThatMatchesNothingOnlyShowsThePosition()
    {
        host.Tools.Current = Tool::Ruler;
        host.Tools.Ruler = RulerMode::Move;
        const double rulerX = host.Drawing.Placement.RulerX;
        const int repaints = host.Repaints;
        dispatch().MouseMove(300, 300);
        QCOMPARE(host.Repaints, repaints);
        QCOMPARE(host.Drawing.Placement.RulerX, rulerX);
        QVERIFY(host.Status.endsWith(" mm"));
    }

    void dragsAreRoutedByTheirGestureNotTheMenu()
    {
        host.Tools.Current = Tool::Ruler;
        host.Tools.Ruler = RulerMode::Move;
        dispatch().MouseDown(PointerButton::Left, 100, 100);
        host.Tools.Current = Tool::Hand; // the menu changes mid-drag
        dispatch().MouseMove(200, 100);
        QVERIFY(host.Drawing.Placement.RulerX > 10);
        dispatch().MouseUp(200, 100);
        QVERIFY(!dispatch().Active());
    }
};

QTEST_MAIN(TestViewTools)
#include "test_view_tools.moc"
