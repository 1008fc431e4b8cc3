// Paper from the user's side: chosen in the page setup through its widgets, undone and done
// again, shown on the surface, kept under the eraser, saved, exported and opened again.
#include "support/window_fixture.h"

#include <QProcess>
#include <QtTest>

using namespace velmora;

namespace {

struct Window : WindowFixture {

    // Opens "Seite einrichten", moves the paper list by the key and confirms with OK.
    void ChoosePaper(Qt::Key key, const QString &shownBefore)
    {
        TSeiteEinrichtenForm &dialog = Find<TSeiteEinrichtenForm>();
        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(dialog.PapierBox->currentText(), shownBefore);
            dialog.PapierBox->setFocus();
            QTest::keyClick(dialog.PapierBox, key);
            QTest::mouseClick(dialog.BitBtnXP1, Qt::LeftButton);
        });
        form->Menus().pageSetupAction->trigger();
    }
};

const double S = 96 / 25.4; // pixels per mm at zoom 100 on the test screen

// The surface point of (x, y) mm on the first sheet.
QPoint Surface(double x, double y)
{
    return {5 + Round(S * x), 5 + Round(S * y)};
}

void MovePointer(TMainForm &form, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, at, form.Surface().paintBox->mapToGlobal(at), Qt::NoButton, buttons, {});
    QApplication::sendEvent(form.Surface().paintBox, &move);
}

void DragOnSheet(TMainForm &form, QPointF fromMm, QPointF toMm)
{
    QWidget *box = form.Surface().paintBox;
    QTest::mousePress(box, Qt::LeftButton, {}, Surface(fromMm.x(), fromMm.y()));
    for (int i = 1; i <= 10; ++i) {
        const QPointF at = fromMm + (toMm - fromMm) * (i / 10.0);
        MovePointer(form, Surface(at.x(), at.y()), Qt::LeftButton);
    }
    QTest::mouseRelease(box, Qt::LeftButton, {}, Surface(toMm.x(), toMm.y()));
}

QImage Shown(TMainForm &form)
{
    QCoreApplication::processEvents();
    return form.Surface().paintBox->grab().toImage();
}

bool IsWhite(QRgb p)
{
    return qGray(p) > 245;
}
bool IsBlueGrey(QRgb p)
{
    return qBlue(p) > qRed(p) + 25 && qGray(p) > 100 && qGray(p) < 235;
}

// The erased pencil line: grid where the grid runs, white beside it, ink where not erased.
void CheckErased(const std::function<QRgb(double, double)> &at)
{
    QVERIFY(IsBlueGrey(at(10, 22))); // the pencil line was here, on the grid line x = 10
    QVERIFY(IsBlueGrey(at(10, 18))); // the grid line under the eraser has no gap
    QVERIFY(IsWhite(at(10.7, 22)));  // the pencil line, erased
    QVERIFY(qGray(at(30.7, 22)) < 100); // not erased
}

} // namespace

class TestPaperWindow : public QObject {
    Q_OBJECT
private slots:
    void pageSetupChoosesThePaper()
    {
        Window w;
        QVERIFY(IsWhite(Shown(*w.form).pixel(Surface(5, 12.5))));
        w.ChoosePaper(Qt::Key_Down, QStringLiteral("Blanko"));
        QCOMPARE(w->Session().Document().Paper, PaperKind::Squared5);
        QVERIFY(w->Session().IsModified());
        QVERIFY(IsBlueGrey(Shown(*w.form).pixel(Surface(5, 12.5))));
        QVERIFY(IsWhite(Shown(*w.form).pixel(Surface(7.5, 12.5))));

        // One step of the history, which also takes back "changed".
        w->Menus().undoAction->trigger();
        QCOMPARE(w->Session().Document().Paper, PaperKind::Plain);
        QVERIFY(!w->Session().IsModified());
        QVERIFY(IsWhite(Shown(*w.form).pixel(Surface(5, 12.5))));
        w->Menus().redoAction->trigger();
        QCOMPARE(w->Session().Document().Paper, PaperKind::Squared5);
        QVERIFY(w->Session().IsModified());

        w.ChoosePaper(Qt::Key_End, QStringLiteral("Kariert 5 mm"));
        QCOMPARE(w->Session().Document().Paper, PaperKind::Millimetre);
        const QRgb graph = Shown(*w.form).pixel(Surface(3, 12.5));
        QVERIFY(qRed(graph) > qBlue(graph) + 50);
        w->Menus().undoAction->trigger();
        QCOMPARE(w->Session().Document().Paper, PaperKind::Squared5);
        QVERIFY(w->Menus().undoAction->text().contains(QStringLiteral("Seite einrichten")));
    }

    void erasingKeepsThePaper()
    {
        Window w;
        w.ChoosePaper(Qt::Key_Down, QStringLiteral("Blanko"));
        w->Tools().pencilTool->trigger();
        DragOnSheet(*w.form, {2, 22}, {40, 22});
        w->Tools().eraserTool->trigger();
        DragOnSheet(*w.form, {10, 15}, {10, 28});
        QCOMPARE(w->Session().Drawing().Objects.Count, 20);
        const QImage shown = Shown(*w.form);
        CheckErased([&](double x, double y) { return shown.pixel(Surface(x, y)); });

        // Saved with the paper, exported with it, and opened again on it.
        w.savePath = w.dir.filePath("squared.vlm");
        w->Menus().saveAsAction->trigger();
        QFile saved(w.savePath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().right(4), QByteArray::fromHex("01000000"));
        const QString png = w.dir.filePath("squared.png");
        QCOMPARE(QProcess::execute(VELMORA_EXPORT, {w.savePath, "--dpi", "150", "-o", png}), 0);
        const QImage exported(png);
        const double s = 150 / 25.4;
        CheckErased([&](double x, double y) { return exported.pixel(Round(s * x), Round(s * y)); });

        Window again;
        again.openPath = w.savePath;
        again->Menus().openAction->trigger();
        QCOMPARE(again->Session().Document().Paper, PaperKind::Squared5);
        const QImage reopened = Shown(*again.form);
        CheckErased([&](double x, double y) { return reopened.pixel(Surface(x, y)); });
        QVERIFY(w.errors.isEmpty() && again.errors.isEmpty());
    }

    void unknownPaperIsDamage()
    {
        // The drawing on the screen stays, paper and all; the user is told.
        Window w;
        w.ChoosePaper(Qt::Key_Down, QStringLiteral("Blanko"));
        w->Tools().pencilTool->trigger();
        DragOnSheet(*w.form, {2, 22}, {40, 22});
        const int objects = w->Session().Drawing().Objects.Count;
        for (const char *name : {"damaged_paper_unknown.vlm", "damaged_paper_truncated.vlm"}) {
            w.openPath = QStringLiteral(TEST_DATA_DIR "/") + name;
            w.answer = SessionPrompts::Answer::No; // the drawing's changes may go
            w->Menus().openAction->trigger();
            QCOMPARE(w.errors.size(), 1);
            QVERIFY(w.errors.takeFirst().contains(QStringLiteral("beschädigt")));
            QCOMPARE(w->Session().Drawing().Objects.Count, objects);
            QCOMPARE(w->Session().Document().Paper, PaperKind::Squared5);
        }
        QProcess export_;
        export_.start(VELMORA_EXPORT, {QStringLiteral(TEST_DATA_DIR "/damaged_paper_unknown.vlm"), "-o",
                                       w.dir.filePath("out.png")});
        QVERIFY(export_.waitForFinished());
        QCOMPARE(export_.exitCode(), 1);
        QVERIFY(export_.readAllStandardError().contains("paper"));
        QVERIFY(!QFile::exists(w.dir.filePath("out.png")));
    }
};

QTEST_MAIN(TestPaperWindow)
#include "test_paper_window.moc"
