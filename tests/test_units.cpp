// Units, rounding and the view transform against the worked values of the drawing model.
#include "document/drawing_state.h"
#include "document/units.h"
#include "render/sheet/view_geometry.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>

using namespace velmora;

class TestUnits : public QObject {
    Q_OBJECT
private slots:
    void roundIsHalfToEvenAndSaturates()
    {
        QCOMPARE(Round(0.5), 0);
        QCOMPARE(Round(1.5), 2);
        QCOMPARE(Round(2.5), 2);
        QCOMPARE(Round(-0.5), 0);
        QCOMPARE(Round(-1.5), -2);
        QCOMPARE(Round(793.7), 794);
        QCOMPARE(Round(std::numeric_limits<double>::quiet_NaN()), 0);
        QCOMPARE(Round(std::numeric_limits<double>::infinity()), INT_MAX);
        QCOMPARE(Round(-std::numeric_limits<double>::infinity()), INT_MIN);
        QCOMPARE(Round(1e300), INT_MAX);
        QCOMPARE(Round(-1e300), INT_MIN);
        QCOMPARE(Trunc(-2.9), -2);
        QCOMPARE(Trunc(1e20), INT_MAX);
        QCOMPARE(RoundHalfAway(2.5), 3);
        QCOMPARE(RoundHalfAway(-2.5), -3);
    }

    void scaleAndSheetSizes_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("100 %") << 100 << 794 << 1123;
        QTest::newRow("50 %") << 50 << 397 << 561;
        QTest::newRow("300 %") << 300 << 2381 << 3368;
        QTest::newRow("1 %") << 1 << 8 << 11;
    }
    void scaleAndSheetSizes()
    {
        QFETCH(int, zoom);
        QFETCH(int, width);
        QFETCH(int, height);
        const ViewGeometry view = ComputeViewGeometry(1, zoom, 96, 96, A4WidthInch, A4HeightInch);
        QCOMPARE(view.PageWidthPx, width);
        QCOMPARE(view.PageHeightPx, height);
        QVERIFY(std::fabs(view.PixelsPerMm - zoom * 3.779535 / 100) < 1e-6 * zoom);
    }

    void scaleKeepsFullPrecision()
    {
        QVERIFY(std::fabs(PixelsPerMmFor(100, 96) - 3.7795349990846) < 1e-12);
        QCOMPARE(MmPerInch, 25.39995);
        QCOMPARE(SheetOffsetMm(1, A4HeightInch), 297.0);
    }

    void pointerToMillimetres()
    {
        const double s = PixelsPerMmFor(100, 96);
        const MmPoint p = PointerToMm(5 + 378, 5 + 1123 + 10, s);
        QVERIFY(std::fabs(p.x - 378 / s) < 1e-12);
        QVERIFY(std::fabs(p.y - 1133 / s) < 1e-12);
        // In the margin above the first sheet the millimetre y is negative.
        QVERIFY(PointerToMm(10, 2, s).y < 0);
    }

    void activePage()
    {
        const int h = 1123;
        QCOMPARE(ActivePageFor(5 + 2 * h + 10, h), 2);
        QCOMPARE(ActivePageFor(2, h), 0); // the margin truncates toward zero
        QCOMPARE(ActivePageFor(5, h), 0);
        QCOMPARE(ActivePageFor(5 + h - 1, h), 0);
        QCOMPARE(ActivePageFor(5 + h, h), 1); // first row of the second sheet
        QCOMPARE(ActivePageFor(500, 0), 0);   // a degenerate sheet never divides by zero
    }

    void surfaceSize()
    {
        ViewGeometry view = ComputeViewGeometry(2, 100, 96, 96, A4WidthInch, A4HeightInch);
        QCOMPARE(view.SurfaceSize(), QSize(2 * (794 + 10), 2 * 1123 + 10));
        QCOMPARE(view.SheetOnSurface(1), QRect(5, 5 + 1123, 794, 1123));
        // A damaged sheet size saturates instead of overflowing.
        view = ComputeViewGeometry(10, 300, 96, 96, 1e12, 1e12);
        QCOMPARE(view.SurfaceSize(), QSize(MaxSurfaceSide, MaxSurfaceSide));
        QVERIFY(view.SheetOnSurface(9).isEmpty());
        view = ComputeViewGeometry(1, 100, 96, 96, -3, std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(view.SurfaceSize(), QSize(0, 10));
        QVERIFY(view.SheetOnSurface(0).isEmpty());
    }

    void zoomChangesNoMillimetres()
    {
        DrawingState state;
        const InstrumentPlacement before = state.Placement;
        const ViewGeometry a = ComputeViewGeometry(1, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
        const ViewGeometry b = ComputeViewGeometry(1, 250, 96, 96, state.PageWidthInch, state.PageHeightInch);
        QVERIFY(b.PixelsPerMm > a.PixelsPerMm);
        QCOMPARE(state.Placement.RulerY, before.RulerY);
        QCOMPARE(state.Placement.CompassSpan, 40.0);
        QCOMPARE(state.Placement.ProtractorDiameter, 80.0);
        QCOMPARE(state.Placement.CompassAngle, 45.0);
    }
};

QTEST_GUILESS_MAIN(TestUnits)
#include "test_units.moc"
