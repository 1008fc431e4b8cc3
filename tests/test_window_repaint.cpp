// The window after a change: only the part of the surface the change touched is painted
// again, and what the screen then shows equals a full rendering of the drawing. A line drawn
// with the pencil by real pointer events, taken back and done again with the menu's items,
// then a new zoom, shown scaled at once and sharp after.
#include "app/main_form.h"
#include "i18n/options_file.h"

#include <QPaintEvent>
#include <QScreen>
#include <QtTest>

using namespace velmora;

namespace {

// Collects the regions of the surface's paint events.
class PaintWatch : public QObject {
public:
    QRegion Painted;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

void Pointer(QWidget *surface, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, surface->mapToGlobal(at), button, buttons, {});
    QApplication::sendEvent(surface, &event);
}

} // namespace

class TestWindowRepaint : public QObject {
    Q_OBJECT
private slots:
    void changePaintsOnlyWhatItTouched()
    {
        QTemporaryDir dir;
        WriteOptionsFile(dir.filePath("options.dat"), LanguageGerman);
        TMainForm form(dir.path());
        form.resize(900, 700);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QWidget *surface = form.Surface().paintBox;
        QWidget *viewport = surface->parentWidget();
        PaintWatch watch;
        surface->installEventFilter(&watch);

        // What the screen shows of the surface, and what a fresh full rendering shows there.
        auto shown = [&] {
            QCoreApplication::processEvents();
            const QPoint at = viewport->mapTo(&form, QPoint(0, 0));
            return form.screen()->grabWindow(form.winId(), at.x(), at.y(), viewport->width(), viewport->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        auto rendered = [&] {
            const ViewGeometry view = form.Surface().CurrentView();
            QImage image(viewport->size(), QImage::Format_RGB32);
            image.fill(surface->palette().color(QPalette::Window));
            SurfaceRenderer fresh;
            QPainter painter(&image);
            painter.translate(surface->mapTo(viewport, QPoint(0, 0)));
            // The part of the surface the window shows, as its paint event exposes it.
            const QRect visible(-surface->mapTo(viewport, QPoint(0, 0)), viewport->size());
            fresh.Paint(painter, visible, form.Session().Document(), view, form.Surface().CurrentSheetView());
            return image;
        };
        auto sameOnSheet = [&](const QImage &a, const QImage &b) {
            const QRect sheet = form.Surface().CurrentView().SheetOnSurface(0).translated(surface->mapTo(viewport, QPoint(0, 0)));
            const QRect seen = sheet.intersected(a.rect());
            for (int y = seen.top(); y <= seen.bottom(); ++y)
                for (int x = seen.left(); x <= seen.right(); ++x)
                    if (a.pixel(x, y) != b.pixel(x, y))
                        return false;
            return !seen.isEmpty();
        };

        const QImage before = shown();
        QVERIFY(sameOnSheet(before, rendered()));
        form.Tools().pencilTool->trigger();
        form.SettingsBand().penWidthEdit->setValue(1.5);
        QCoreApplication::processEvents(); // the surface shows the choice before the pointer comes
        const QPoint from(150, 200), to(330, 260);
        Pointer(surface, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Pointer(surface, QEvent::MouseMove, (from + to) / 2 + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
        Pointer(surface, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Pointer(surface, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(form.Session().Drawing().Objects.Count, 2);
        const QImage drawn = shown();
        QVERIFY(drawn.pixel(to + surface->mapTo(viewport, QPoint(0, 0))) != qRgb(255, 255, 255));

        // Taking the stroke back paints its place again, not the whole surface.
        watch.Painted = QRegion();
        form.Menus().undoAction->trigger();
        const QImage undone = shown();
        QCOMPARE(form.Session().Drawing().Objects.Count, 0);
        const QRect repainted = watch.Painted.boundingRect();
        QVERIFY2(!repainted.isEmpty(), "nothing was painted again");
        QVERIFY2(repainted.contains(QRect(from, to).normalized()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                                    .arg(repainted.x())
                                                                                    .arg(repainted.y())
                                                                                    .arg(repainted.width())
                                                                                    .arg(repainted.height())));
        QVERIFY(repainted.width() < 260 && repainted.height() < 160);
        QVERIFY(sameOnSheet(undone, before));
        QVERIFY(sameOnSheet(undone, rendered()));

        watch.Painted = QRegion();
        form.Menus().redoAction->trigger();
        const QImage redone = shown();
        QCOMPARE(form.Session().Drawing().Objects.Count, 2);
        QVERIFY(watch.Painted.boundingRect().width() < 260);
        QVERIFY(sameOnSheet(redone, rendered()));
        QVERIFY(!sameOnSheet(redone, undone));

        // A new zoom shows the picture before it scaled at once (the first paint after it
        // draws nothing anew), then the sharp picture, which is a full rendering.
        form.SettingsBand().zoomEdit->setValue(150);
        const QRect visible(-surface->mapTo(viewport, QPoint(0, 0)), viewport->size());
        const QImage quick = surface->grab(visible).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage sharp = rendered();
        int same = 0;
        for (int y = 0; y < sharp.height(); ++y)
            for (int x = 0; x < sharp.width(); ++x)
                same += quick.pixel(x, y) == sharp.pixel(x, y);
        QVERIFY(!sameOnSheet(quick, sharp));
        QVERIFY2(same > sharp.width() * sharp.height() * 8 / 10, qPrintable(QString::number(same)));
        QTRY_VERIFY(sameOnSheet(shown(), rendered()));
        QVERIFY(!form.Surface().Renderer().HasStandIn()); // let go with the sharp picture
        // (was: marked unchanged)
    }
};

QTEST_MAIN(TestWindowRepaint)
#include "test_window_repaint.moc"
