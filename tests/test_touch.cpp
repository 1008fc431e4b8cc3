// Fingers and a pen on the real window, through Qt's own input path: touch points from a
// registered touch screen, tablet events and a touch cancelled by the window system. What
// counts is what the user sees and keeps: where the instruments lie, the zoom and scroll,
// the objects, the history, the surface's pixels. Also full screen (F11, Escape).
#include "support/window_fixture.h"

#include "tools/instrument_drag.h"

#include <QMenuBar>
#include <QScrollBar>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <cmath>

using namespace velmora;

namespace {

QPointingDevice *TouchScreen()
{
    static QPointingDevice *device = QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen);
    return device;
}

QPointingDevice *Pen(QPointingDevice::PointerType end)
{
    const bool eraser = end == QPointingDevice::PointerType::Eraser;
    auto *device = new QPointingDevice(eraser ? QStringLiteral("pen eraser") : QStringLiteral("pen"), eraser ? 91 : 90,
                                       QInputDevice::DeviceType::Stylus, end,
                                       QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3,
                                       QString(), QPointingDeviceUniqueId::fromNumericId(7), qApp);
    QWindowSystemInterface::registerInputDevice(device);
    return device;
}

struct Pose {
    double X, Y, Angle; // sheet mm, degrees
};

Pose PoseIn(const InstrumentPlacement &p, Instrument which)
{
    InstrumentPlacement copy = p;
    const InstrumentPose pose = PoseOf(copy, which);
    return {pose.X, pose.Y, pose.Angle};
}

// A sheet point (mm) seen from the instrument, and back.
QPointF Local(const Pose &pose, QPointF mm)
{
    const double a = qDegreesToRadians(pose.Angle), dx = mm.x() - pose.X, dy = mm.y() - pose.Y;
    return {dx * std::cos(a) + dy * std::sin(a), -dx * std::sin(a) + dy * std::cos(a)};
}
QPointF Sheet(const Pose &pose, QPointF local)
{
    const double a = qDegreesToRadians(pose.Angle);
    return {pose.X + local.x() * std::cos(a) - local.y() * std::sin(a),
            pose.Y + local.x() * std::sin(a) + local.y() * std::cos(a)};
}

struct Window : WindowFixture {
    QWidget *box = nullptr;
    double s = 0;
    Window()
    {
        if (!WaitExposed())
            qWarning("the window was not shown");
        box = form->Surface().paintBox;
        s = form->Surface().View.PixelsPerMm();
    }
    const DrawingState &Drawing() { return Session().Drawing(); }
    int Objects() { return Drawing().Objects.Count; }
    int Steps() { return Session().History().count(); }
    // Sheet millimetres on the first sheet to the paint box's pixels, and back.
    QPoint Px(QPointF mm) const { return QPointF(mm.x() * s + 5, mm.y() * s + 5).toPoint(); }
    QPointF Mm(QPointF px) const { return {(px.x() - 5) / s, (px.y() - 5) / s}; }

    // Two fingers from (a0, b0) to (a1, b1) in steps, at points of `on` (the paint box when
    // none; the scroll box's viewport keeps still while the surface scrolls); lifted unless told.
    void TwoFingers(QPoint a0, QPoint b0, QPoint a1, QPoint b1, bool lift = true, QWidget *on = nullptr)
    {
        on = on ? on : box;
        QTest::touchEvent(box, TouchScreen()).press(0, a0, on).press(1, b0, on);
        for (int i = 1; i <= 8; ++i) {
            const double t = i / 8.0;
            QTest::touchEvent(box, TouchScreen())
                .move(0, (QPointF(a0) + t * QPointF(a1 - a0)).toPoint(), on)
                .move(1, (QPointF(b0) + t * QPointF(b1 - b0)).toPoint(), on);
        }
        if (lift)
            QTest::touchEvent(box, TouchScreen()).release(0, a1, on).release(1, b1, on);
        QCoreApplication::processEvents();
    }
    void OneFinger(const QList<QPoint> &path)
    {
        QTest::touchEvent(box, TouchScreen()).press(0, path.first(), box);
        for (qsizetype i = 1; i < path.size(); ++i)
            QTest::touchEvent(box, TouchScreen()).move(0, path[i], box);
        QTest::touchEvent(box, TouchScreen()).release(0, path.last(), box);
        QCoreApplication::processEvents();
    }
    void PenAt(QPointingDevice *pen, QPointF at, Qt::MouseButtons buttons)
    {
        QWindow *window = form->windowHandle();
        const QPointF local = box->mapTo(form.get(), at);
        QWindowSystemInterface::handleTabletEvent(window, pen, local, window->mapToGlobal(local), buttons,
                                                  buttons ? 0.5 : 0, 0, 0, 0, 0, 0);
        QCoreApplication::processEvents();
    }
    QImage Shown()
    {
        QCoreApplication::processEvents();
        return box->grab().toImage();
    }
};

// Two fingers on each instrument, twisted by 30 degrees and shifted: the points of the
// instrument under the fingers stay under them, the tool in hand does nothing.
void TwoFingersTurnEachInstrument()
{
    struct Case {
        Instrument Which;
        QPointF A, B; // sheet mm on the instrument
    };
    for (const Case &c : {Case{Instrument::Ruler, {50, 95}, {90, 95}}, Case{Instrument::Protractor, {35, 45}, {65, 55}},
                          Case{Instrument::Compass, {157, 57}, {168, 68}}}) {
        Window w;
        w->Tools().pencilTool->trigger(); // whatever tool: the fingers hold the instrument
        const Pose before = PoseIn(w.Drawing().Placement, c.Which);
        const QPointF mid = (c.A + c.B) / 2, shift(12, 7);
        const auto turned = [&](QPointF p) {
            const double t = qDegreesToRadians(30.0);
            const QPointF r = p - mid;
            return mid + shift + QPointF(r.x() * std::cos(t) - r.y() * std::sin(t), r.x() * std::sin(t) + r.y() * std::cos(t));
        };
        w.TwoFingers(w.Px(c.A), w.Px(c.B), w.Px(turned(c.A)), w.Px(turned(c.B)));
        const Pose after = PoseIn(w.Drawing().Placement, c.Which);
        QCOMPARE(after.Angle, before.Angle + 30);
        for (QPointF p : {c.A, c.B}) {
            const QPointF now = Sheet(after, Local(before, p)), finger = w.Mm(w.Px(turned(p)));
            QVERIFY2(std::hypot(now.x() - finger.x(), now.y() - finger.y()) < 1.0, qPrintable(QString::number(int(c.Which))));
        }
        QCOMPARE(w.Objects(), 0);
        QCOMPARE(w.Steps(), 0);
    }
}

// Turning by touch clicks into whole degrees and onto 15-degree steps within 1.5 degrees; the
// angle's readout shows beside the ruler while the fingers turn it and goes when they lift.
void TurningSnapsWithReadout()
{
    QCOMPARE(SnappedAngle(28.7), 30.0);
    QCOMPARE(SnappedAngle(-13.6), -15.0);
    QCOMPARE(SnappedAngle(22.3), 22.0);
    QCOMPARE(SnappedAngle(-0.4), 0.0);

    Window w;
    const QPoint a = w.Px({30, 95}), b = w.Px({110, 95});
    // 22.2 degrees about the midpoint: 22 degrees, held.
    const double t = qDegreesToRadians(22.2);
    const QPointF mid = (QPointF(a) + QPointF(b)) / 2, r = QPointF(b) - mid;
    const QPointF turned(r.x() * std::cos(t), r.x() * std::sin(t));
    const QImage unturned = w.Shown();
    w.TwoFingers(a, b, (mid - turned).toPoint(), (mid + turned).toPoint(), false);
    QCOMPARE(w.Drawing().Placement.RulerAngle, 22.0);
    // Beside the ruler's reference point, above it.
    const QRect readout(w.Px({w.Drawing().Placement.RulerX, w.Drawing().Placement.RulerY}) + QPoint(10, -32),
                        QSize(50, 22));
    const auto marks = [&](const QImage &image) {
        int dark = 0;
        for (int y = readout.top(); y <= readout.bottom(); ++y)
            for (int x = readout.left(); x <= readout.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 100;
        return dark;
    };
    QCOMPARE(marks(unturned), 0);
    QVERIFY(marks(w.Shown()) > 5);
    QTest::touchEvent(w.box, TouchScreen()).release(0, (mid - turned).toPoint(), w.box).release(1, (mid + turned).toPoint(), w.box);
    QCOMPARE(marks(w.Shown()), 0);

    // The mouse turns exactly; with Shift it snaps the same way.
    w->Tools().rulerTurnMode->trigger();
    const QPoint pivot = w.Px({10, 90});
    for (bool shift : {false, true}) {
        const Qt::KeyboardModifiers keys = shift ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::mousePress(w.box, Qt::LeftButton, keys, pivot + QPoint(100, 0));
        QTest::mouseMove(w.box, pivot + QPoint(100, 37));
        QMouseEvent move(QEvent::MouseMove, pivot + QPoint(100, 37), w.box->mapToGlobal(pivot + QPoint(100, 37)),
                         Qt::NoButton, Qt::LeftButton, keys);
        QApplication::sendEvent(w.box, &move);
        QTest::mouseRelease(w.box, Qt::LeftButton, keys, pivot + QPoint(100, 37));
        const double angle = w.Drawing().Placement.RulerAngle;
        QCOMPARE(angle == std::round(angle), shift);
        w->Session().Document().Placement.RulerAngle = 22;
    }
}

// A pinch from 200 to 300 pixels apart zooms to 150 %, the sheet point under the midpoint
// stays under it; two fingers with the pencil pan and leave no object and no step.
void PinchAndPan()
{
    Window w;
    QWidget *viewport = w->Surface().viewport();
    const QPoint mid(360, 200); // in the viewport, which stays where it is
    const QPointF under = w.Mm(w.box->mapFrom(viewport, mid));
    w.TwoFingers(mid - QPoint(100, 0), mid + QPoint(100, 0), mid - QPoint(150, 0), mid + QPoint(150, 0), true, viewport);
    QCOMPARE(w->Session().Settings().Zoom, 150);
    QCOMPARE(w->SettingsBand().zoomEdit->value(), 150);
    w.s = w->Surface().View.PixelsPerMm();
    const QPointF underNow = w.Mm(w.box->mapFrom(viewport, mid));
    QVERIFY2(std::hypot(underNow.x() - under.x(), underNow.y() - under.y()) <= 1.0 / w.s,
             qPrintable(QStringLiteral("%1 %2 -> %3 %4").arg(under.x()).arg(under.y()).arg(underNow.x()).arg(underNow.y())));

    Window pan;
    pan->Tools().pencilTool->trigger();
    const int v0 = pan->Surface().verticalScrollBar()->value();
    QTest::touchEvent(pan.box, TouchScreen()).press(0, QPoint(300, 300), pan.box);
    QTest::touchEvent(pan.box, TouchScreen()).move(0, QPoint(310, 290), pan.box);
    QTest::touchEvent(pan.box, TouchScreen()).move(0, QPoint(320, 280), pan.box);
    QCoreApplication::processEvents();
    QVERIFY(pan.Objects() > 0); // the first finger began a stroke
    QTest::touchEvent(pan.box, TouchScreen()).move(0, QPoint(320, 280), pan.box).press(1, QPoint(400, 280), pan.box);
    QCOMPARE(pan.Objects(), 0); // withdrawn when the second landed
    QWidget *viewport2 = pan->Surface().viewport();
    for (int i = 1; i <= 4; ++i)
        QTest::touchEvent(pan.box, TouchScreen())
            .move(0, QPoint(320, 280 - 10 * i), viewport2)
            .move(1, QPoint(400, 280 - 10 * i), viewport2);
    QTest::touchEvent(pan.box, TouchScreen()).release(0, QPoint(320, 240), viewport2).release(1, QPoint(400, 240), viewport2);
    QCoreApplication::processEvents();
    QCOMPARE(pan->Surface().verticalScrollBar()->value(), v0 + 40);
    QCOMPARE(pan.Objects(), 0);
    QCOMPARE(pan.Steps(), 0);
    QVERIFY(!pan.Starred());
}

// One finger is the left button with each tool.
void OneFingerWithEachTool()
{
    Window w;
    const auto drawn = [&](QAction *tool, const QList<QPoint> &path, uint32_t kind) {
        tool->trigger();
        const int before = w.Objects();
        w.OneFinger(path);
        return w.Objects() > before && w.Drawing().Objects.At(w.Objects() - 1).Kind == kind;
    };
    QVERIFY(drawn(w->Tools().pencilTool, {{300, 300}, {320, 310}, {340, 330}}, KindLine));
    QVERIFY(drawn(w->Tools().eraserTool, {{300, 320}, {340, 320}}, KindLine));
    QCOMPARE(w.Drawing().Objects.At(w.Objects() - 1).Colour, ColourWhite);
    QVERIFY(drawn(w->Tools().rulerAlongMode, {w.Px({30, 90}), w.Px({60, 90})}, KindLine));
    QVERIFY(drawn(w->Tools().compassArcMode, {w.Px({190, 50}), w.Px({180, 80})}, KindArc));
    QVERIFY(drawn(w->Tools().protractorMarkMode, {w.Px({80, 50}), w.Px({85, 40})}, KindLine));
    w->Tools().curvesTool->trigger();
    const int before = w.Objects();
    for (QPoint p : {QPoint(300, 330), QPoint(420, 330), QPoint(340, 290), QPoint(380, 290)})
        w.OneFinger({p});
    QCOMPARE(w.Objects(), before + 1);
    QCOMPARE(w.Drawing().Objects.At(w.Objects() - 1).Kind, uint32_t(KindBezier));
    // The ruler moved with one finger, the zoom tool tapped.
    w->Tools().rulerMoveMode->trigger();
    w.OneFinger({w.Px({60, 95}), w.Px({70, 105})});
    QCOMPARE(w.Drawing().Placement.RulerX, 10 + (w.Px({70, 105}).x() - w.Px({60, 95}).x()) / w.s);
    w->Tools().zoomTool->trigger();
    w.OneFinger({QPoint(200, 200)});
    QCOMPARE(w->Session().Settings().Zoom, 150);
}

// A pen draws at its sub-pixel position while two fingers hold the ruler; a single finger
// beside the pen draws nothing; the pen's eraser end erases; a touch cancelled by the system
// leaves nothing.
void PenAndPalm()
{
    Window w;
    w->Tools().pencilTool->trigger();
    QPointingDevice *pen = Pen(QPointingDevice::PointerType::Pen);
    const QPoint a = w.Px({50, 95}), b = w.Px({90, 95});
    QTest::touchEvent(w.box, TouchScreen()).press(0, a, w.box).press(1, b, w.box);
    w.PenAt(pen, {300.25, 200.5}, Qt::LeftButton);
    w.PenAt(pen, {340.75, 200.5}, Qt::LeftButton);
    w.PenAt(pen, {340.75, 200.5}, Qt::NoButton);
    QTest::touchEvent(w.box, TouchScreen()).move(0, a + QPoint(0, 20), w.box).move(1, b + QPoint(0, 20), w.box);
    QTest::touchEvent(w.box, TouchScreen()).release(0, a + QPoint(0, 20), w.box).release(1, b + QPoint(0, 20), w.box);
    QCoreApplication::processEvents();
    QCOMPARE(w.Objects(), 1);
    const DrawingObject &line = w.Drawing().Objects.At(0);
    QCOMPARE(line.X1, 295.25 / w.s);
    QCOMPARE(line.X2, 335.75 / w.s);
    QCOMPARE(w.Steps(), 1);
    QCOMPARE(w.Drawing().Placement.RulerY, 90 + 20 / w.s); // held and moved by the fingers meanwhile

    // The pen near: one finger (the resting hand) draws nothing.
    QWindowSystemInterface::handleTabletEnterLeaveProximityEvent(w->windowHandle(), 0, pen, true);
    QCoreApplication::processEvents();
    w.OneFinger({{300, 300}, {350, 330}, {380, 330}});
    QCOMPARE(w.Objects(), 1);
    QWindowSystemInterface::handleTabletEnterLeaveProximityEvent(w->windowHandle(), 0, pen, false);
    QCoreApplication::processEvents();
    w.OneFinger({{300, 300}, {350, 330}});
    QCOMPARE(w.Objects(), 2);

    // The eraser end erases in the eraser's width with the pencil chosen.
    QPointingDevice *eraser = Pen(QPointingDevice::PointerType::Eraser);
    w.PenAt(eraser, {300, 250}, Qt::LeftButton);
    w.PenAt(eraser, {330, 250}, Qt::LeftButton);
    w.PenAt(eraser, {330, 250}, Qt::NoButton);
    QCOMPARE(w.Objects(), 3);
    QCOMPARE(w.Drawing().Objects.At(2).Colour, ColourWhite);
    QCOMPARE(w.Drawing().Objects.At(2).PenWidth, w->Session().Settings().EraserSize);
    QCOMPARE(w.Steps(), 3);

    // A stroke under way, then the touch cancelled: no object, no step; a twist cancelled:
    // the ruler back where it lay.
    QWindowSystemInterface::handleTabletEnterLeaveProximityEvent(w->windowHandle(), 0, eraser, false);
    QCoreApplication::processEvents();
    QTest::touchEvent(w.box, TouchScreen()).press(0, QPoint(200, 330), w.box);
    QTest::touchEvent(w.box, TouchScreen()).move(0, QPoint(260, 340), w.box);
    QCoreApplication::processEvents();
    QCOMPARE(w.Objects(), 4);
    QWindowSystemInterface::handleTouchCancelEvent(w->windowHandle(), TouchScreen());
    QCoreApplication::processEvents();
    QCOMPARE(w.Objects(), 3);
    QCOMPARE(w.Steps(), 3);
    const Pose held = PoseIn(w.Drawing().Placement, Instrument::Ruler);
    w.TwoFingers(a, b, a + QPoint(0, -30), b + QPoint(0, 10), false);
    QVERIFY(w.Drawing().Placement.RulerAngle != held.Angle);
    QWindowSystemInterface::handleTouchCancelEvent(w->windowHandle(), TouchScreen());
    QCoreApplication::processEvents();
    QCOMPARE(w.Drawing().Placement.RulerAngle, held.Angle);
    QCOMPARE(w.Drawing().Placement.RulerY, held.Y);
    w.OneFinger({{200, 330}, {260, 340}}); // the next touch works as ever
    QCOMPARE(w.Objects(), 4);
}

// The compass with two hands: one finger holds the needle, the other turns the lead and
// draws an arc, whatever tool is chosen.
void CompassWithTwoHands()
{
    Window w;
    w->Tools().handTool->trigger();
    const InstrumentPlacement &p = w.Drawing().Placement;
    const QPoint needle = w.Px({p.CompassX, p.CompassY});
    const double a = qDegreesToRadians(p.CompassAngle);
    const QPointF lead(p.CompassX + std::cos(a) * p.CompassSpan, p.CompassY + std::sin(a) * p.CompassSpan);
    const QPointF ahead(p.CompassX + std::cos(a + 0.8) * p.CompassSpan, p.CompassY + std::sin(a + 0.8) * p.CompassSpan);
    w.TwoFingers(needle, w.Px(lead), needle, w.Px(ahead));
    QCOMPARE(w.Objects(), 1);
    QCOMPARE(w.Drawing().Objects.At(0).Kind, uint32_t(KindArc));
    QCOMPARE(w.Steps(), 1);
    QCOMPARE(w.Drawing().Placement.CompassX, 150.0); // the needle held
}

// F11 fills the screen with menus and bars still there; F11 or Escape leave it; Escape drops
// a curve under way first.
void FullScreen()
{
    Window w;
    QTest::keyClick(w.form.get(), Qt::Key_F11);
    QVERIFY(w->isFullScreen());
    QVERIFY(w->Menus().fullScreenAction->isChecked());
    QVERIFY(w->menuWidget()->isVisible() && w->SettingsBand().isVisible() && w->Tools().isVisible());
    QTest::keyClick(w.form.get(), Qt::Key_F11);
    QVERIFY(!w->isFullScreen());
    QVERIFY(!w->Menus().fullScreenAction->isChecked());

    w->Menus().fullScreenAction->trigger();
    QVERIFY(w->isFullScreen());
    w->Tools().curvesTool->trigger();
    QTest::mouseClick(w.box, Qt::LeftButton, {}, QPoint(300, 300));
    QVERIFY(w->Dispatch().Active());
    QTest::keyClick(w.form.get(), Qt::Key_Escape);
    QVERIFY(!w->Dispatch().Active());
    QVERIFY(w->isFullScreen());
    QTest::keyClick(w.form.get(), Qt::Key_Escape);
    QVERIFY(!w->isFullScreen());
}

class TouchTest : public QObject {
    Q_OBJECT
private slots:
    void twoFingersTurnEachInstrument() { TwoFingersTurnEachInstrument(); }
    void turningSnapsWithReadout() { TurningSnapsWithReadout(); }
    void pinchAndPan() { PinchAndPan(); }
    void oneFingerWithEachTool() { OneFingerWithEachTool(); }
    void penAndPalm() { PenAndPalm(); }
    void compassWithTwoHands() { CompassWithTwoHands(); }
    void fullScreen() { FullScreen(); }
};

} // namespace

QTEST_MAIN(TouchTest)
#include "test_touch.moc"
