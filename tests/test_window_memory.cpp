// The window when memory runs out: a command on a large drawing under a real memory limit,
// and an allocation that fails inside a tool's pointer event. Either way the program goes
// on, says "nicht genug Arbeitsspeicher" at most once, and the drawing is as before or as
// the finished action left it, never half of it.
#include "support/drawing_builder.h"
#include "support/large_drawing_file.h"
#include "support/window_fixture.h"

#include "app/paint_box.h"
#include "dialogs/dpi_form.h"

#include <QtTest>

#include <cstdlib>
#include <new>

#include <unistd.h>

namespace {

// The allocations of this program's main thread fail on demand: after FailAt(n) the n-th
// `new` throws std::bad_alloc. Counting alone: n < 0.
thread_local long t_untilFailure = 0;
thread_local long t_counted = 0;

} // namespace

void *operator new(std::size_t size)
{
    ++t_counted;
    if (t_untilFailure > 0 && --t_untilFailure == 0)
        throw std::bad_alloc();
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

using namespace velmora;

namespace {

// The n-th allocation while it lives fails (none for 0); how many were made is counted.
struct FailingAllocation {
    explicit FailingAllocation(long n) { t_untilFailure = n, t_counted = 0; }
    ~FailingAllocation() { t_untilFailure = 0; }
};

struct Window : WindowFixture {
    explicit Window(const WindowOptions &options = {}) : WindowFixture(options.Sized(QSize(900, 700)))
    {
        if (!WaitExposed())
            qWarning("the window was not shown");
    }
    QByteArray Saved() { return WriteDrawingFile(Session().Drawing(), Session().FileSettings()); }
};

// Which of the surface's pointer events fails, and how many allocations each made: the
// window's own handlers are wrapped, so the failure falls inside them, not in Qt's delivery.
struct FailingEvents {
    int Event = 0, Failing = -1;
    long N = 0;
    std::vector<long> Allocations;

    explicit FailingEvents(PaintBox &box)
    {
        auto wrap = [this](auto handler) {
            return [this, handler](auto... args) {
                {
                    const FailingAllocation armed(Event == Failing ? N : 0);
                    handler(args...);
                    Allocations.push_back(t_counted);
                }
                ++Event;
            };
        };
        box.OnMouseDown = wrap(box.OnMouseDown);
        box.OnMouseMove = wrap(box.OnMouseMove);
        box.OnMouseUp = wrap(box.OnMouseUp);
    }
};

// One gesture on the surface as real pointer events: the pointer comes to the first point
// and presses there, moves, and is released at the last; the n-th allocation of event
// `failing` fails.
void Drag(Window &w, FailingEvents &events, const std::vector<QPoint> &path, int failing = -1, long n = 0)
{
    QWidget *box = w->Surface().paintBox;
    events.Event = 0, events.Failing = failing, events.N = n;
    events.Allocations.clear();
    auto send = [box](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent mouse(type, at, box->mapToGlobal(at), button, buttons, {});
        QApplication::sendEvent(box, &mouse);
    };
    send(QEvent::MouseMove, path.front(), Qt::NoButton, Qt::NoButton); // the pointer comes
    send(QEvent::MouseButtonPress, path.front(), Qt::LeftButton, Qt::LeftButton);
    for (size_t i = 1; i < path.size(); ++i)
        send(QEvent::MouseMove, path[i], Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, path.back(), Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

} // namespace

class TestWindowMemory : public QObject {
    Q_OBJECT
private slots:
    // First: the forked child must not inherit threads the parent started for its pictures.
    void commandsOnALargeDrawingUnderAMemoryLimit()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("under the sanitizers the program reserves more address space than any limit allows");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath("large.vlm");
        constexpr int Lines = 1000000; // 88 MB, more than a malloc arena keeps in reserve
        // On the second sheet, out of the window's sight: its paint stays quick.
        QVERIFY(WriteObjectsFile(path, Lines, [](int i) {
            return DrawingObject{KindLine, 0, 0.3, double(i % 200), 320, 30, 340, 0, 0, 0, 0, 0, 0};
        }));
        const QString failed = RunInForkedChild(60, [&] {
            auto fail = [](int code, const char *what) {
                fprintf(stderr, "child: %s\n", what);
                _exit(code);
            };
            // Its recovery copy and settings stay in the test's folder, which the parent removes.
            qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
            try {
                QDir(dir.path()).mkdir("program");
                Window w(WindowOptions().InFolder(dir.filePath("program")));

                if (!w.Session().Files.OpenFile(path))
                    fail(2, "not opened");
                w.Session().SetSheetCount(3); // a change worth saving
                QCoreApplication::processEvents();
                LimitAddressSpace(20 * 1024 * 1024);
                // Each command either did its work or said that memory was lacking; the drawing
                // is whole and the window still marks what is unsaved.
                auto check = [&](bool done, const char *command) {
                    // "nicht genug Arbeitsspeicher", or as a file's reason "Der Arbeitsspeicher reicht nicht aus."
                    const bool said = w.errors.size() == 1 && w.errors[0].section('\n', -1).contains("Arbeitsspeicher");
                    if (w.Session().Drawing().Objects.Count != Lines || w.Session().Settings().SheetCount != 3)
                        fail(3, command);
                    if (!(done ? w.errors.isEmpty() : said))
                        fail(4, qPrintable(QStringLiteral("%1: %2").arg(command, w.errors.join(" / "))));
                    fprintf(stderr, "child: %s %s\n", command, done ? "done" : "said it lacked memory");
                    w.errors.clear();
                };
                w.exportPath = dir.filePath("large.png");
                QTimer::singleShot(0, &w.Find<TDPIForm>(), [&] { // the sheet of the lines, small
                    w.Find<TDPIForm>().SeiteEd->setValue(2);
                    w.Find<TDPIForm>().DPIED->setValue(20);
                    w.Find<TDPIForm>().BitBtn1->click();
                });
                w->Menus().exportAction->trigger();
                check(QFileInfo(w.exportPath).size() > 0, "export");
                if (!w.Starred())
                    fail(5, "the export cleared the changed marker");

                QTimer &timer = *w->findChild<QTimer *>("recoveryTimer");
                const QString copy = w.Session().Recovery.Store().CopyPath();
                timer.setInterval(1);
                QTest::qWait(200);
                const bool copied = QFileInfo(copy).size() > qint64(Lines) * 88;
                if (copied ? !w.statuses.filter("Sicherungskopie").isEmpty()
                           : w.statuses.filter("nicht genug Arbeitsspeicher").isEmpty())
                    fail(6, "recovery copy");
                timer.stop();

                QTest::keyClick(w.form.get(), Qt::Key_S, Qt::ControlModifier);
                check(!w.Starred(), "Ctrl+S");
                if (w.Starred() && !w.Session().Files.Save())
                    fail(7, "saved neither by Ctrl+S nor afterwards");
                w.dir.remove(); // _exit runs no destructor
                _exit(0);
            } catch (...) {
                fail(8, "an exception reached the test");
            }
            return 0;
        });
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        DrawingState read;
        DrawingFileSettings settings;
        QCOMPARE(LoadDrawingFile(path, read, settings), DrawingFileError::None);
        QCOMPARE(read.Objects.Count, Lines);
        QCOMPARE(SheetCountOf(settings), 3);
    }

    // Every tool's gesture with the n-th allocation of one of its events failing: the gesture
    // is taken back whole (no object, no step of the history, the marker as before) and said
    // once, or it was finished; the same gesture afterwards draws as it always does.
    void aFailedAllocationInAPointerEventTakesTheGestureBack()
    {
        Window w;
        FailingEvents events(*w->Surface().paintBox);
        DocumentSession &session = w.Session();
        InstrumentPlacement &placement = session.Document().Placement;
        placement.ProtractorX = 50, placement.ProtractorY = 45;
        placement.RulerX = 35, placement.RulerY = 36, placement.RulerAngle = 15;
        placement.CompassX = 58, placement.CompassY = 32, placement.CompassSpan = 9;
        {
            DrawingBuilder drawing(session.Document());
            drawing.Line(20, 43, 80, 41, 0.8); // under the eraser's way
            drawing.Text(100, 60, QStringLiteral("Dreieck"), 20);
        }
        w->Surface().Repaint();
        QCoreApplication::processEvents(); // the text's box is measured
        const TextObject &text = session.Drawing().Texts.At(0);
        QVERIFY(text.Right > text.Left + 5 && text.Bottom > text.Top + 3);
        const double s = w->Surface().View.PixelsPerMm();
        auto at = [s](double x, double y) { return QPoint(Round(s * x) + PointerMarginPx, Round(s * y) + PointerMarginPx); };
        const double textX = (text.Left + text.Right) / 2, textY = (text.Top + text.Bottom) / 2;
        ToolBand &tools = w->Tools();
        const struct {
            const char *name;
            QAction *tool;
            std::vector<QPoint> path;
        } cases[] = {
            {"pencil", tools.pencilTool, {at(10, 45), at(14, 44), at(20, 40), at(31, 37)}},
            {"eraser", tools.eraserTool, {at(25, 48), at(30, 44), at(38, 42), at(47, 40)}},
            {"line along the ruler", tools.rulerAlongMode, {at(38, 37), at(45, 39), at(60, 43)}},
            {"compass arc", tools.compassArcMode, {at(67, 32), at(64, 39), at(57, 41)}},
            {"text moved", tools.textMoveMode, {at(textX, textY), at(textX + 5, textY + 9), at(textX + 12, textY + 20)}},
        };
        for (const auto &c : cases) {
            c.tool->trigger();
            w.errors.clear();
            const QByteArray before = w.Saved();
            const int steps = session.History().index();
            Drag(w, events, c.path); // as it goes without a failure
            const QByteArray drawn = w.Saved();
            QVERIFY2(drawn != before, c.name);
            QCOMPARE(session.History().index(), steps + 1);
            session.Undo();
            QCOMPARE(w.Saved(), before);
            const std::vector<long> allocations = events.Allocations;
            QVERIFY(!w.Starred() && w.errors.isEmpty());
            for (size_t event = 0; event < allocations.size(); ++event)
                for (long n = 1; n <= allocations[event]; n = n < 4 ? n + 1 : n * 2) {
                    w.errors.clear();
                    Drag(w, events, c.path, int(event), n);
                    const QString what = QStringLiteral("%1, event %2, allocation %3 of %4: %5 steps, %6, said %7")
                                             .arg(c.name).arg(event).arg(n).arg(allocations[event])
                                             .arg(session.History().index() - steps)
                                             .arg(w.Starred() ? "changed" : "unchanged")
                                             .arg(w.errors.join(" / "));
                    QVERIFY2(!session.EditOpen() && !w->Dispatch().Active(), qPrintable(what));
                    QVERIFY2(w.errors.size() <= 1, qPrintable(what));
                    const QByteArray after = w.Saved();
                    if (after == before) {
                        QVERIFY2(session.History().index() == steps && !w.Starred() && w.errors.size() == 1,
                                 qPrintable(what));
                        continue;
                    }
                    QVERIFY2(after == drawn && session.History().index() == steps + 1 && w.Starred(), qPrintable(what));
                    session.Undo();
                }
            Drag(w, events, c.path);
            QCOMPARE(w.Saved(), drawn);
            session.Undo();
        }
    }
};

QTEST_MAIN(TestWindowMemory)
#include "test_window_memory.moc"
