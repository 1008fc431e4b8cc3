// The main window driven as a user drives it: the entry bar's arrow keys, arrow buttons and
// wheel, the ruler's red hover dot on the surface, previews after a zoom or sheet-count
// change, and a German start that keeps window texts out of the translation table.
#include "app/desktop_keys.h"
#include "app/main_form.h"
#include "main_form_probe.h"
#include "i18n/options_file.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionSpinBox>
#include <QtTest>

using namespace velmora;

namespace {

struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    Window()
    {
        WriteOptionsFile(dir.filePath("options.dat"), LanguageGerman);
        form = std::make_unique<TMainForm>(dir.path());
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("the window was not shown");
    }
    ~Window() { form->State.Modified = false; }
    TMainForm *operator->() { return form.get(); }
    QStringList TableKeys() const
    {
        TranslateTable table;
        table.Open(dir.filePath("translate.dbf"), true);
        QStringList keys;
        for (int r = 0; r < table.RecordCount(); ++r)
            keys << table.FieldText(r, 0);
        return keys;
    }
};

void MovePointer(TMainForm &form, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, Probe(form).PaintBox1->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(Probe(form).PaintBox1, &move);
}

// What the surface shows now, after the pending paints.
QImage Surface(TMainForm &form)
{
    QCoreApplication::processEvents();
    return Probe(form).PaintBox1->grab().toImage();
}

bool IsRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 120 && qBlue(p) < 120;
}

int RedPixels(const QImage &image, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += IsRed(image.pixel(x, y));
    return count;
}

bool IsPaper(QRgb p)
{
    return qGray(p) > 245;
}

QPoint UpButton(QAbstractSpinBox *edit)
{
    QStyleOptionSpinBox option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.frame = edit->hasFrame();
    option.buttonSymbols = edit->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp |
                         QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    return edit->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, edit).center();
}

void Wheel(QWidget *target, int delta)
{
    const QPoint at = target->rect().center();
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TestWindowInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void entryBarArrowsKeysAndWheelMoveTheInstruments()
    {
        Window w;
        Probe(w).LeistefrZahleneingabe1->trigger();
        QVERIFY(Probe(w).Panel2->isVisible());
        const InstrumentPlacement start = w->State.Placement;
        QCOMPARE(start.RulerX, 10.0);

        // Up arrow key on "Lineal x:": the ruler moves 1 mm right, and the surface shows it.
        const int oldEnd = 5 + Round(10 * w->View.PixelsPerMm()), newEnd = 5 + Round(11 * w->View.PixelsPerMm());
        const int row = 5 + Round(95 * w->View.PixelsPerMm()); // across the ruler's left end
        QVERIFY(!IsPaper(Surface(*w.form).pixel(oldEnd, row)));
        QSignalSpy linX(Probe(w).LinXEd, &DecimalEdit::TextEdited);
        QTest::keyClick(Probe(w).LinXEd, Qt::Key_Up);
        QCOMPARE(linX.count(), 1);
        QCOMPARE(w->State.Placement.RulerX, 11.0);
        QCOMPARE(Probe(w).LinXEd->text(), QStringLiteral("11,00"));
        QImage shown = Surface(*w.form);
        QVERIFY(IsPaper(shown.pixel(oldEnd, row)));
        QVERIFY(!IsPaper(shown.pixel(newEnd, row)));
        QTest::keyClick(Probe(w).LinXEd, Qt::Key_Down);
        QTest::keyClick(Probe(w).LinXEd, Qt::Key_Down);
        QCOMPARE(linX.count(), 3);
        QCOMPARE(w->State.Placement.RulerX, 9.0);

        // The up button of "Lineal y:", clicked with the mouse: one step.
        QSignalSpy linY(Probe(w).Linyed, &DecimalEdit::TextEdited);
        QTest::mouseClick(Probe(w).Linyed, Qt::LeftButton, {}, UpButton(Probe(w).Linyed));
        QCOMPARE(linY.count(), 1);
        QCOMPARE(w->State.Placement.RulerY, start.RulerY + 1);
        QCOMPARE(Probe(w).Linyed->text(), QStringLiteral("91,00"));

        // The wheel over "Zirkelspanne:", one notch up and two down.
        QSignalSpy span(Probe(w).ZirksEd, &DecimalEdit::TextEdited);
        Wheel(Probe(w).ZirksEd, 120);
        QCOMPARE(span.count(), 1);
        QCOMPARE(w->State.Placement.CompassSpan, start.CompassSpan + 1);
        Wheel(Probe(w).ZirksEd, -240);
        QCOMPARE(span.count(), 2);
        QCOMPARE(w->State.Placement.CompassSpan, start.CompassSpan - 1);

        // The protractor's rotation rewrites the whole bar from the state after its step.
        QSignalSpy turn(Probe(w).WinkWEd, &DecimalEdit::TextEdited);
        QTest::keyClick(Probe(w).WinkWEd, Qt::Key_Up);
        QCOMPARE(turn.count(), 1);
        QCOMPARE(w->State.Placement.ProtractorAngle, start.ProtractorAngle + 1);
        QCOMPARE(Probe(w).LinXEd->value(), 9.0);
        QCOMPARE(Probe(w).Linyed->value(), start.RulerY + 1);
        QCOMPARE(Probe(w).ZirksEd->value(), start.CompassSpan - 1);
        QCOMPARE(linX.count(), 3); // no other handler ran
        QCOMPARE(linY.count(), 1);
        QCOMPARE(span.count(), 2);
        QVERIFY(!w->State.Modified); // placing an instrument is no change of the drawing
    }

    void entryBarKeepsExactValuesAndStepsFromAnEmptyEdit()
    {
        Window w;
        Probe(w).LeistefrZahleneingabe1->trigger();
        // A value with more decimals than shown steps by exactly 1.
        w->State.Placement.CompassX = 12.3456;
        w->UpdateEds();
        QTest::keyClick(Probe(w).ZirkXed, Qt::Key_Up);
        QCOMPARE(w->State.Placement.CompassX, 13.3456);

        // Typing moves the instrument with every key; an emptied edit stands for 0 at once,
        // the arrows step on from 0, and leaving the edit keeps 0.
        QSignalSpy typed(Probe(w).ZirkXed, &DecimalEdit::TextEdited);
        Probe(w).ZirkXed->setFocus();
        Probe(w).ZirkXed->selectAll();
        QTest::keyClick(Probe(w).ZirkXed, Qt::Key_Backspace);
        QCOMPARE(w->State.Placement.CompassX, 0.0);
        QTest::keyClicks(Probe(w).ZirkXed, "25");
        QCOMPARE(w->State.Placement.CompassX, 25.0);
        QCOMPARE(typed.count(), 3);
        Probe(w).ZirkXed->selectAll();
        QTest::keyClick(Probe(w).ZirkXed, Qt::Key_Backspace);
        QTest::keyClick(Probe(w).ZirkXed, Qt::Key_Up);
        QCOMPARE(typed.count(), 5);
        QCOMPARE(w->State.Placement.CompassX, 1.0);
        QCOMPARE(Probe(w).ZirkXed->text(), QStringLiteral("1,00"));
        Probe(w).ZirkXed->selectAll();
        QTest::keyClick(Probe(w).ZirkXed, Qt::Key_Backspace);
        Probe(w).ZirkYed->setFocus();
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason); // the offscreen platform may not send it
        QApplication::sendEvent(Probe(w).ZirkXed, &leave);
        QCOMPARE(w->State.Placement.CompassX, 0.0);
        QCOMPARE(Probe(w).ZirkXed->text(), QStringLiteral("0,00"));
    }

    void rulerHoverDotShowsOnTheSurface_data()
    {
        QTest::addColumn<bool>("across");
        QTest::newRow("along") << false;
        QTest::newRow("across") << true;
    }
    void rulerHoverDotShowsOnTheSurface()
    {
        QFETCH(bool, across);
        Window w;
        (across ? Probe(w).LinealQuerzumLinealzeichnen1 : Probe(w).LinealAnLinealentlangzeichnen1)->trigger();
        QCOMPARE(RedPixels(Surface(*w.form)), 0);
        MovePointer(*w.form, {105, 205});
        // The foot on the scale edge is (26.458, 90) mm: surface pixel (105, 345); a dot 5 wide.
        const QImage shown = Surface(*w.form);
        const int near = RedPixels(shown, QRect(105 - 4, 345 - 4, 9, 9));
        QVERIFY2(near >= 9 && near <= 25, qPrintable(QString::number(near)));
        QVERIFY(IsRed(shown.pixel(105, 345)) && IsRed(shown.pixel(104, 344)) && IsRed(shown.pixel(106, 346)));
        QCOMPARE(RedPixels(shown), near);
    }

    void zoomAndSheetCountWipeThePreviews()
    {
        Window w;
        Probe(w).LinealAnLinealentlangzeichnen1->trigger();
        MovePointer(*w.form, {105, 205});
        QVERIFY(RedPixels(Surface(*w.form)) > 0);
        // Typing a zoom resizes the surface: the hover dot of the old view is gone.
        Probe(w).zoomed->setFocus();
        Probe(w).zoomed->selectAll();
        QTest::keyClicks(Probe(w).zoomed, "50");
        QCOMPARE(Probe(w).zoomed->value(), 50);
        QCOMPARE(RedPixels(Surface(*w.form)), 0);
        QVERIFY(w->SurfaceOverlay.IsEmpty());

        MovePointer(*w.form, {105, 205});
        QVERIFY(RedPixels(Surface(*w.form)) > 0);
        QTest::keyClick(Probe(w).PageAnz, Qt::Key_Up); // a second sheet
        QCOMPARE(Probe(w).PageAnz->value(), 2);
        QCOMPARE(RedPixels(Surface(*w.form)), 0);
        QVERIFY(w->SurfaceOverlay.IsEmpty());
    }

    void germanStartKeepsEditsOutOfTheTable()
    {
        Window w;
        const QStringList before = w.TableKeys();
        QCOMPARE(before.size(), 6); // the program messages
        Probe(w).LinealAnLinealentlangzeichnen1->trigger();
        QTest::mousePress(Probe(w).PaintBox1, Qt::LeftButton, {}, {105, 205});
        MovePointer(*w.form, {305, 205});
        QTest::mouseRelease(Probe(w).PaintBox1, Qt::LeftButton, {}, {305, 205});
        QCOMPARE(w->State.Objects.Count, 1);
        QVERIFY(WithoutMnemonic(Probe(w).Rueckgaengig1->text()).startsWith(QStringLiteral("Rückgängig: ")));
        Probe(w).Rueckgaengig1->trigger();
        QCOMPARE(w->State.Objects.Count, 0);
        QVERIFY(WithoutMnemonic(Probe(w).Wiederherstellen1->text()).startsWith(QStringLiteral("Wiederherstellen: ")));
        QTest::keyClick(Probe(w).PageAnz, Qt::Key_Up);
        QCOMPARE(WithoutMnemonic(Probe(w).Rueckgaengig1->text()), QStringLiteral("Rückgängig: Seitenanzahl"));
        QCOMPARE(w.TableKeys(), before);
    }
};

QTEST_MAIN(TestWindowInput)
#include "test_window_input.moc"
