// The window as a Wayland client of a headless compositor (started by wayland_weston.sh): it
// shows, a pencil line drawn with the pointer is kept and seen on the surface, and the real
// program starts with a drawing.
#include "support/started_program.h"
#include "support/window_fixture.h"

#include <QtTest>

using namespace velmora;

namespace {

class WaylandTest : public QObject {
    Q_OBJECT
private slots:
    void drawsAsWaylandClient()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        WindowFixture w;
        QVERIFY(w.WaitExposed());
        w->Tools().pencilTool->trigger();
        QWidget *box = w->Surface().paintBox;
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(100, 120));
        for (int x = 110; x <= 200; x += 10)
            QTest::mouseMove(box, QPoint(x, 120));
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(200, 120));
        QVERIFY(w.Session().Drawing().Objects.Count > 0);
        QCoreApplication::processEvents();
        const QImage shown = box->grab().toImage();
        int dark = 0;
        for (int x = 110; x < 190; ++x)
            dark += qGray(shown.pixel(x, 120)) < 128;
        QVERIFY(dark > 70);
    }

    void programStarts()
    {
        WindowFixture mirror;
        StartedProgram program;
        const QString failed = program.Start(mirror.Session());
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QCOMPARE(program.Process.state(), QProcess::Running);
    }
};

} // namespace

QTEST_MAIN(WaylandTest)
#include "test_wayland.moc"
