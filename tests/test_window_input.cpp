// The main window driven as a user drives it: the entry bar's arrow keys, arrow buttons and
// wheel, the ruler's red hover dot on the surface, previews after a zoom or sheet-count
// change, and a German start that keeps window texts out of the translation table.
#include "support/window_fixture.h"

#include "app/desktop_keys.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionSpinBox>
#include <QtTest>

using namespace velmora;

namespace {

struct Window : WindowFixture {
    Window()
    {
        if (!WaitExposed())
            qWarning("the window was not shown");
    }
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
    QMouseEvent move(QEvent::MouseMove, at, form.Surface().paintBox->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(form.Surface().paintBox, &move);
}

// What the surface shows now, after the pending paints.
QImage Surface(TMainForm &form)
{
    QCoreApplication::processEvents();
    return form.Surface().paintBox->grab().toImage();
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
        w->Menus().entryBarAction->trigger();
        QVERIFY(w->Entries().isVisible());
        const InstrumentPlacement start = w->Session().Document().Placement;
        QCOMPARE(start.RulerX, 10.0);

        // Up arrow key on "Lineal x:": the ruler moves 1 mm right, and the surface shows it.
        const int oldEnd = 5 + Round(10 * w->Surface().View.PixelsPerMm()), newEnd = 5 + Round(11 * w->Surface().View.PixelsPerMm());
        const int row = 5 + Round(95 * w->Surface().View.PixelsPerMm()); // across the ruler's left end
        QVERIFY(!IsPaper(Surface(*w.form).pixel(oldEnd, row)));
        QSignalSpy linX(w->Entries().rulerXEdit, &DecimalEdit::TextEdited);
        QTest::keyClick(w->Entries().rulerXEdit, Qt::Key_Up);
        QCOMPARE(linX.count(), 1);
        QCOMPARE(w->Session().Document().Placement.RulerX, 11.0);
        QCOMPARE(w->Entries().rulerXEdit->text(), QStringLiteral("11,00"));
        QImage shown = Surface(*w.form);
        QVERIFY(IsPaper(shown.pixel(oldEnd, row)));
        QVERIFY(!IsPaper(shown.pixel(newEnd, row)));
        QTest::keyClick(w->Entries().rulerXEdit, Qt::Key_Down);
        QTest::keyClick(w->Entries().rulerXEdit, Qt::Key_Down);
        QCOMPARE(linX.count(), 3);
        QCOMPARE(w->Session().Document().Placement.RulerX, 9.0);

        // The up button of "Lineal y:", clicked with the mouse: one step.
        QSignalSpy linY(w->Entries().rulerYEdit, &DecimalEdit::TextEdited);
        QTest::mouseClick(w->Entries().rulerYEdit, Qt::LeftButton, {}, UpButton(w->Entries().rulerYEdit));
        QCOMPARE(linY.count(), 1);
        QCOMPARE(w->Session().Document().Placement.RulerY, start.RulerY + 1);
        QCOMPARE(w->Entries().rulerYEdit->text(), QStringLiteral("91,00"));

        // The wheel over "Zirkelspanne:", one notch up and two down.
        QSignalSpy span(w->Entries().compassSpanEdit, &DecimalEdit::TextEdited);
        Wheel(w->Entries().compassSpanEdit, 120);
        QCOMPARE(span.count(), 1);
        QCOMPARE(w->Session().Document().Placement.CompassSpan, start.CompassSpan + 1);
        Wheel(w->Entries().compassSpanEdit, -240);
        QCOMPARE(span.count(), 2);
        QCOMPARE(w->Session().Document().Placement.CompassSpan, start.CompassSpan - 1);

        // The protractor's rotation rewrites the whole bar from the state after its step.
        QSignalSpy turn(w->Entries().protractorAngleEdit, &DecimalEdit::TextEdited);
        QTest::keyClick(w->Entries().protractorAngleEdit, Qt::Key_Up);
        QCOMPARE(turn.count(), 1);
        QCOMPARE(w->Session().Document().Placement.ProtractorAngle, start.ProtractorAngle + 1);
        QCOMPARE(w->Entries().rulerXEdit->value(), 9.0);
        QCOMPARE(w->Entries().rulerYEdit->value(), start.RulerY + 1);
        QCOMPARE(w->Entries().compassSpanEdit->value(), start.CompassSpan - 1);
        QCOMPARE(linX.count(), 3); // no other handler ran
        QCOMPARE(linY.count(), 1);
        QCOMPARE(span.count(), 2);
        QVERIFY(!w->Session().IsModified()); // placing an instrument is no change of the drawing
    }

    void entryBarKeepsExactValuesAndStepsFromAnEmptyEdit()
    {
        Window w;
        w->Menus().entryBarAction->trigger();
        // A value with more decimals than shown steps by exactly 1.
        w->Session().Document().Placement.CompassX = 12.3456;
        w->ShowPlacement();
        QTest::keyClick(w->Entries().compassXEdit, Qt::Key_Up);
        QCOMPARE(w->Session().Document().Placement.CompassX, 13.3456);

        // Typing moves the instrument with every key; an emptied edit stands for 0 at once,
        // the arrows step on from 0, and leaving the edit keeps 0.
        QSignalSpy typed(w->Entries().compassXEdit, &DecimalEdit::TextEdited);
        w->Entries().compassXEdit->setFocus();
        w->Entries().compassXEdit->selectAll();
        QTest::keyClick(w->Entries().compassXEdit, Qt::Key_Backspace);
        QCOMPARE(w->Session().Document().Placement.CompassX, 0.0);
        QTest::keyClicks(w->Entries().compassXEdit, "25");
        QCOMPARE(w->Session().Document().Placement.CompassX, 25.0);
        QCOMPARE(typed.count(), 3);
        w->Entries().compassXEdit->selectAll();
        QTest::keyClick(w->Entries().compassXEdit, Qt::Key_Backspace);
        QTest::keyClick(w->Entries().compassXEdit, Qt::Key_Up);
        QCOMPARE(typed.count(), 5);
        QCOMPARE(w->Session().Document().Placement.CompassX, 1.0);
        QCOMPARE(w->Entries().compassXEdit->text(), QStringLiteral("1,00"));
        w->Entries().compassXEdit->selectAll();
        QTest::keyClick(w->Entries().compassXEdit, Qt::Key_Backspace);
        w->Entries().compassYEdit->setFocus();
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason); // the offscreen platform may not send it
        QApplication::sendEvent(w->Entries().compassXEdit, &leave);
        QCOMPARE(w->Session().Document().Placement.CompassX, 0.0);
        QCOMPARE(w->Entries().compassXEdit->text(), QStringLiteral("0,00"));
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
        (across ? w->Tools().rulerAcrossMode : w->Tools().rulerAlongMode)->trigger();
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
        w->Tools().rulerAlongMode->trigger();
        MovePointer(*w.form, {105, 205});
        QVERIFY(RedPixels(Surface(*w.form)) > 0);
        // Typing a zoom resizes the surface: the hover dot of the old view is gone.
        w->SettingsBand().zoomEdit->setFocus();
        w->SettingsBand().zoomEdit->selectAll();
        QTest::keyClicks(w->SettingsBand().zoomEdit, "50");
        QCOMPARE(w->SettingsBand().zoomEdit->value(), 50);
        QCOMPARE(RedPixels(Surface(*w.form)), 0);
        QVERIFY(w->Surface().Overlay.IsEmpty());

        MovePointer(*w.form, {105, 205});
        QVERIFY(RedPixels(Surface(*w.form)) > 0);
        QTest::keyClick(w->SettingsBand().pageCountEdit, Qt::Key_Up); // a second sheet
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 2);
        QCOMPARE(RedPixels(Surface(*w.form)), 0);
        QVERIFY(w->Surface().Overlay.IsEmpty());
    }

    void germanStartKeepsEditsOutOfTheTable()
    {
        Window w;
        const QStringList before = w.TableKeys();
        QCOMPARE(before.size(), 6); // the program messages
        w->Tools().rulerAlongMode->trigger();
        QTest::mousePress(w->Surface().paintBox, Qt::LeftButton, {}, {105, 205});
        MovePointer(*w.form, {305, 205});
        QTest::mouseRelease(w->Surface().paintBox, Qt::LeftButton, {}, {305, 205});
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);
        QVERIFY(WithoutMnemonic(w->Menus().undoAction->text()).startsWith(QStringLiteral("Rückgängig: ")));
        w->Menus().undoAction->trigger();
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        QVERIFY(WithoutMnemonic(w->Menus().redoAction->text()).startsWith(QStringLiteral("Wiederherstellen: ")));
        QTest::keyClick(w->SettingsBand().pageCountEdit, Qt::Key_Up);
        QCOMPARE(WithoutMnemonic(w->Menus().undoAction->text()), QStringLiteral("Rückgängig: Seitenanzahl"));
        QCOMPARE(w.TableKeys(), before);
    }
};

QTEST_MAIN(TestWindowInput)
#include "test_window_input.moc"
