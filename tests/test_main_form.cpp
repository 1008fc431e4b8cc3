// The main window on the offscreen platform: its controls and defaults, the surface
// sizing after a page-count change, the status read-out and the view switches.
#include "app/main_form.h"

#include <QtTest>

using namespace velmora;

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void startsWithDefaults()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brandok Velmora 1.0"));
        QCOMPARE(form.zoomed->value(), 100);
        QCOMPARE(form.zoomed->minimum(), 1);
        QCOMPARE(form.zoomed->maximum(), 300);
        QCOMPARE(form.zoomed->singleStep(), 10);
        QCOMPARE(form.StrichEd->value(), 0.1);
        QCOMPARE(form.RadierEd->value(), 2.0);
        QCOMPARE(form.PageAnz->maximum(), 10);
        QCOMPARE(form.Shape1->Colour(), 0u);
        QVERIFY(form.Lineal2->isChecked() && form.Winkelmesser2->isChecked() && form.Zirkel2->isChecked());
        QVERIFY(!form.AnsichtZollAngabenfrdasLineal1->isChecked());
        QCOMPARE(form.PaintBox1->size(), QSize(794 + 10, 1123 + 10));
        QCOMPARE(form.State.PageHeightPx, 1123);
    }

    void pageCountResizesThenDrawsBothSheets()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.State.Modified);
        form.zoomed->setValue(50);
        QVERIFY(!form.State.Modified); // the zoom is not a change of the drawing
        QCOMPARE(form.PaintBox1->size(), QSize(397 + 10, 561 + 10));
        form.PageAnz->setValue(2);
        QVERIFY(form.State.Modified);
        QCOMPARE(form.PaintBox1->size(), QSize(2 * (397 + 10), 2 * 561 + 10));
        const QImage surface = form.PaintBox1->grab().toImage();
        const int secondSheetRow = 5 + 561 + 200;
        QCOMPARE(QColor(surface.pixel(5, secondSheetRow)), QColor(Qt::black)); // frame
        QCOMPARE(QColor(surface.pixel(100, secondSheetRow)), QColor(Qt::white));
        QVERIFY(QColor(surface.pixel(420, secondSheetRow)) != QColor(Qt::white)); // beside the sheets
    }

    void statusShowsPointerInMillimetres()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const double s = form.State.PixelsPerMm;
        const QPoint at(5 + 378, 5 + 1123 + 76);
        QMouseEvent move(QEvent::MouseMove, at, form.PaintBox1->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(form.PaintBox1, &move);
        // x = 378 / s and y = (1123 + 76) / s, global, with the locale's decimal comma.
        QCOMPARE(form.StatusBar1->currentMessage(), QStringLiteral("100,01 mm, 317,23 mm"));
        QVERIFY(s > 3.7795 && s < 3.7796);
        QTest::mousePress(form.PaintBox1, Qt::LeftButton, {}, QPoint(50, 5 + 1123 + 10));
        QCOMPARE(form.State.ActivePage, 1); // (y - 5) div H, whatever the number of sheets
        QCOMPARE(form.State.ActivePageTopPx, 1123);
        QTest::mouseRelease(form.PaintBox1, Qt::LeftButton, {}, QPoint(50, 5 + 1123 + 10));
    }

    void viewSwitchesToggleWithoutMarkingChanged()
    {
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Lineal2->trigger();
        form.AnsichtZollAngabenfrdasLineal1->trigger();
        QVERIFY(!form.Lineal2->isChecked());
        QVERIFY(form.AnsichtZollAngabenfrdasLineal1->isChecked());
        QVERIFY(!form.State.Modified);
        QVERIFY(!form.Neu1->isEnabled()); // not offered before it works
    }
};

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"
