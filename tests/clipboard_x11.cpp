// "Seite kopieren" in a real X display: Ctrl+Shift+C on the window puts the sheet of the
// latest press on the X clipboard, and a second process reads it back as a PNG at 300 dpi
// and as SVG, both at the sheet's true size.
#include "support/drawing_builder.h"
#include "support/window_fixture.h"
#include "i18n/options_file.h"

#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

using namespace velmora;

namespace {

struct Pasted {
    QStringList Formats;
    QByteArray Png, Svg;
};

// What another program gets from the clipboard; this process serves it meanwhile.
Pasted ReadClipboardElsewhere()
{
    QTemporaryDir dir;
    QProcess probe;
    probe.start(QStringLiteral(CLIPBOARD_PROBE), {dir.filePath("pasted.png"), dir.filePath("pasted.svg")});
    // The hang guard only: the event loop must run so the clipboard can answer the probe.
    for (int i = 0; i < 1200 && probe.state() != QProcess::NotRunning; ++i)
        QTest::qWait(50);
    Pasted pasted;
    if (probe.state() != QProcess::NotRunning || probe.exitCode() != 0) {
        probe.kill();
        probe.waitForFinished();
        return pasted;
    }
    pasted.Formats = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (auto [path, bytes] : {std::pair{dir.filePath("pasted.png"), &pasted.Png},
                               std::pair{dir.filePath("pasted.svg"), &pasted.Svg}}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            *bytes = file.readAll();
    }
    return pasted;
}

} // namespace

class ClipboardX11 : public QObject {
    Q_OBJECT
private slots:
    void copySheetByKeyAndMenu()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        WindowFixture w;
        TMainForm &form = *w;
        const QStringList &errors = w.errors;
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.SettingsBand().pageCountEdit->setValue(2);
        // Sheet 1: a line at 50 mm; sheet 2: a 1 mm line at 148 mm and a text.
        const double sheetMm = form.Session().Document().PageHeightInch * MmPerInch;
        {
            DrawingBuilder drawing(form.Session().Document());
            drawing.Line(20, 50, 190, 50, 1);
            drawing.Line(20, sheetMm + 148, 190, sheetMm + 148, 1);
            drawing.Text(30, sheetMm + 20, QStringLiteral("Winkel α"));
        }
        form.Surface().Repaint();

        QAction *copy = form.findChild<QAction *>(QStringLiteral("copySheetAction"));
        QVERIFY(copy);
        QVERIFY(form.Menus().editMenu->actions().contains(copy));
        QCOMPARE(copy->text(), QStringLiteral("&Seite kopieren"));
        QCOMPARE(copy->shortcut().toString(), QStringLiteral("Ctrl+Shift+C"));
        QVERIFY(!copy->icon().isNull());

        // A press on sheet 2 (the hand tool moves nothing there) makes it the active sheet.
        form.Tools().handTool->trigger();
        const int sheet2Y = 5 + form.Surface().View.PageHeightPx() + 200;
        QTest::mouseClick(form.Surface().paintBox, Qt::LeftButton, Qt::NoModifier, QPoint(300, sheet2Y));
        QCOMPARE(form.Surface().View.ActivePage, 1);
        QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("Seite 2 ist in der Zwischenablage."));

        Pasted pasted = ReadClipboardElsewhere();
        QVERIFY2(pasted.Formats.contains("image/png"), qPrintable(pasted.Formats.join(' ')));
        QVERIFY(pasted.Formats.contains("image/svg+xml"));

        // The picture: A4 at 300 dpi, with its resolution, so it pastes at 210 x 297 mm.
        QImage image = QImage::fromData(pasted.Png, "png");
        QCOMPARE(image.size(), QSize(2480, 3508));
        QCOMPARE(image.dotsPerMeterX(), 11811); // 300 000 / 25.39995
        QCOMPARE(image.dotsPerMeterY(), 11811);
        const int row148 = qRound(148 * 300 / MmPerInch), row50 = qRound(50 * 300 / MmPerInch);
        for (int x : {300, 1200, 2200})
            QVERIFY(qGray(image.pixel(x, row148)) < 40);        // sheet 2's line, 12 pixels wide
        QCOMPARE(qGray(image.pixel(1200, row148 + 20)), 255);   // paper beside it
        QCOMPARE(qGray(image.pixel(1200, row50)), 255);         // sheet 1's line is not there
        QCOMPARE(qGray(image.pixel(0, 1000)), 0);               // the frame
        QCOMPARE(qGray(image.pixel(100, 3400)), 255);           // no instruments

        // The SVG: true size in mm, the line as a stroke, the text as text.
        QXmlStreamReader svg(pasted.Svg);
        QString width, height, texts;
        QStringList lines;
        while (!svg.atEnd()) {
            if (svg.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (svg.name() == QLatin1String("svg")) {
                width = svg.attributes().value("width").toString();
                height = svg.attributes().value("height").toString();
            } else if (svg.name() == QLatin1String("polyline")) {
                lines << svg.attributes().value("points").toString().simplified();
            } else if (svg.name() == QLatin1String("text")) {
                texts += svg.readElementText();
            }
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QVERIFY(width.endsWith("mm") && qAbs(width.chopped(2).toDouble() - 210) < 0.1);
        QVERIFY(height.endsWith("mm") && qAbs(height.chopped(2).toDouble() - 297) < 0.1);
        QCOMPARE(lines, QStringList{QStringLiteral("236,%1 2244,%1").arg(row148)});
        QCOMPARE(texts.simplified(), QStringLiteral("Winkel α"));

        // A press on sheet 1 and the menu item: now sheet 1 is on the clipboard.
        QTest::mouseClick(form.Surface().paintBox, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        QCOMPARE(form.Surface().View.ActivePage, 0);
        copy->trigger();
        pasted = ReadClipboardElsewhere();
        image = QImage::fromData(pasted.Png, "png");
        QCOMPARE(image.size(), QSize(2480, 3508));
        QVERIFY(qGray(image.pixel(1200, row50)) < 40);
        QCOMPARE(qGray(image.pixel(1200, row148)), 255);
        QVERIFY(!pasted.Svg.contains("Winkel"));

        // A poster-sized sheet (600 x 600 mm) is copied at fewer dots per inch, still at true size.
        form.Session().Document().PageWidthInch = form.Session().Document().PageHeightInch = 600 / MmPerInch;
        form.Surface().Repaint();
        QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        pasted = ReadClipboardElsewhere();
        image = QImage::fromData(pasted.Png, "png");
        QVERIFY(!image.isNull());
        QVERIFY2(qint64(image.width()) * image.height() <= 30000000, qPrintable(QString::number(image.width())));
        QVERIFY(image.width() > 5000);
        QVERIFY(qAbs(image.width() * 1000.0 / image.dotsPerMeterX() - 600) < 0.5);
        QVERIFY(pasted.Svg.contains("width=\"600"));
    }
};

QTEST_MAIN(ClipboardX11)
#include "clipboard_x11.moc"
