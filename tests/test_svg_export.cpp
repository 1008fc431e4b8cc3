// Sheets as SVG pictures: from the export dialog and from velmora-export, read back as XML
// and rendered by another program (rsvg-convert) to compare with the PNG of the same sheet.
#include "support/drawing_builder.h"
#include "support/window_fixture.h"
#include "i18n/options_file.h"
#include "i18n/translate_components.h"

#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

using namespace velmora;

namespace {

// A construction with every kind of object: lines, a circle, an arc, a curve, an eraser
// stroke through a line, and a text; on sheet 2 only a line across the middle.
void Construction(DrawingState &state)
{
    DrawingBuilder drawing(state);
    drawing.Object(KindLine, 0.5, {20, 100, 190, 100}, ColourRGB(0, 0, 160));
    drawing.Object(KindLine, 0.3, {30, 40, 120, 180});
    drawing.Object(KindEllipse, 0.4, {60, 150, 140, 230}, ColourRGB(200, 0, 0));
    drawing.Object(KindArc, 0.8, {110, 30, 190, 110, 190, 70, 150, 30}, ColourRGB(0, 120, 0));
    drawing.Object(KindBezier, 0.6, {20, 250, 60, 200, 120, 290, 180, 250});
    drawing.Object(KindLine, 3, {100, 95, 140, 105}, ColourWhite); // the eraser
    drawing.Object(KindLine, 1, {10, 297 + 148, 200, 297 + 148});
    drawing.Text(25, 60, QStringLiteral("Dreieck ABC"), 14);
}

QString WriteDrawing(const QString &path, const DrawingState &state, int sheets)
{
    DrawingFileSettings settings;
    settings.PageCount = sheets;
    settings.PageWidthInch = state.PageWidthInch;
    settings.PageHeightInch = state.PageHeightInch;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteDrawingFile(state, settings)) <= 0)
        return {};
    return path;
}

int Run(const QString &program, const QStringList &arguments)
{
    QProcess run;
    run.start(program, arguments);
    if (!run.waitForFinished(120000))
        return -1;
    if (run.exitCode() != 0)
        qWarning("%s: %s", qPrintable(program), run.readAllStandardError().constData());
    return run.exitCode();
}

// What a test looks at in an SVG file: the root's size and view box, the strokes' colours
// with the points of straight strokes, the texts, the title.
struct SvgContent {
    bool Valid = false;
    QString Width, Height, ViewBox, Title;
    QStringList Texts;
    QList<QPair<QString, QString>> Strokes; // colour, points (lines) or path data
};

SvgContent ReadSvg(const QString &path)
{
    SvgContent svg;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return svg;
    QXmlStreamReader xml(&file);
    QStringList strokes{QString()}; // the stroke inherited from the enclosing groups
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g"))
            strokes.removeLast();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QString stroke = a.hasAttribute("stroke") ? a.value("stroke").toString() : strokes.last();
        if (xml.name() == QLatin1String("svg")) {
            svg.Width = a.value("width").toString();
            svg.Height = a.value("height").toString();
            svg.ViewBox = a.value("viewBox").toString();
        } else if (xml.name() == QLatin1String("g")) {
            strokes << stroke;
        } else if (xml.name() == QLatin1String("title")) {
            svg.Title = xml.readElementText();
        } else if (xml.name() == QLatin1String("text")) {
            svg.Texts << xml.readElementText();
        } else if (xml.name() == QLatin1String("polyline") || xml.name() == QLatin1String("path")) {
            svg.Strokes << qMakePair(stroke, a.value(xml.name() == QLatin1String("path") ? "d" : "points").toString());
        }
    }
    svg.Valid = !xml.hasError();
    return svg;
}

double Millimetres(const QString &length)
{
    return length.endsWith(QLatin1String("mm")) ? length.chopped(2).toDouble() : -1;
}

} // namespace

class TestSvgExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void exportDialogWritesASheetAtTrueSize()
    {
        WindowFixture w;
        w.exportPath = w.Path("sheet.svg");
        Construction(w->Session().Document());
        QTimer::singleShot(0, &w.Find<TDPIForm>(), [&] { w.Find<TDPIForm>().BitBtn1->click(); });
        w->Menus().exportAction->trigger();
        QVERIFY2(w.errors.isEmpty(), qPrintable(w.errors.join('\n')));
        QCOMPARE(w.exportDialogs, 1);
        QVERIFY(w->findChild<FileDialogFilter *>("exportImageFilter")->QtFilter().contains(QLatin1String("(*.svg)")));

        const SvgContent svg = ReadSvg(w.exportPath);
        QVERIFY(svg.Valid);
        // A4 at true size: 210 x 297 mm, 2480.32 x 3507.88 steps of 1/300 inch.
        QVERIFY2(qAbs(Millimetres(svg.Width) - 210) < 0.1, qPrintable(svg.Width));
        QVERIFY2(qAbs(Millimetres(svg.Height) - 297) < 0.1, qPrintable(svg.Height));
        QCOMPARE(svg.Width, QStringLiteral("210mm"));
        QCOMPARE(svg.Height, QStringLiteral("297mm"));
        QCOMPARE(svg.ViewBox, QStringLiteral("0 0 2480.3198 3507.8809"));
        QCOMPARE(svg.Title, QStringLiteral("unbenannt")); // the drawing's name, as in a PDF
        // The texts are text, not outlines.
        QCOMPARE(svg.Texts.join(QString()).simplified(), QStringLiteral("Dreieck ABC"));
        // The blue line at 100 mm from the top: 20 mm to 190 mm, pixel row 1181.
        QStringList blue;
        for (const auto &[stroke, points] : svg.Strokes)
            if (stroke == QLatin1String("#0000a0"))
                blue << points.simplified();
        QCOMPARE(blue, QStringList{"236,1181 2244,1181"});
        // The line of sheet 2 is not in the picture of sheet 1.
        QCOMPARE(svg.Strokes.size(), 5); // three lines, the arc, the curve (the circle is an ellipse element)
        for (const auto &stroke : svg.Strokes)
            QVERIFY2(!stroke.second.contains(QLatin1String("2362,1748")), qPrintable(stroke.second));
    }

    void rendersLikeThePngExport()
    {
        const QString exporter = QStringLiteral(VELMORA_EXPORT);
        QTemporaryDir dir;
        DrawingState state;
        Construction(state);
        const QString drawing = WriteDrawing(dir.filePath("construction.vlm"), state, 2);
        QVERIFY(!drawing.isEmpty());
        for (int sheet : {1, 2}) {
            const QString png = dir.filePath(QStringLiteral("sheet%1.png").arg(sheet));
            const QString svg = dir.filePath(QStringLiteral("sheet%1.svg").arg(sheet));
            const QString back = dir.filePath(QStringLiteral("back%1.png").arg(sheet));
            const QString page = QString::number(sheet);
            QCOMPARE(Run(exporter, {drawing, "--page", page, "--dpi", "300", "-o", png}), 0);
            QCOMPARE(Run(exporter, {drawing, "--page", page, "-o", svg}), 0);
            QCOMPARE(Run(QStringLiteral(RSVG_CONVERT), {"--dpi-x", "300", "--dpi-y", "300", "--background-color",
                                                        "white", svg, "-o", back}),
                     0);
            const QImage expected = QImage(png).convertToFormat(QImage::Format_RGB32);
            const QImage rendered = QImage(back).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(expected.size(), QSize(2480, 3508));
            // The millimetre size gives 2480.0x pixels; the renderer may round it up by one.
            QVERIFY(qAbs(rendered.width() - 2480) <= 1 && qAbs(rendered.height() - 3508) <= 1);
            // Two rasterisers antialias edges differently: count the pixels that differ by more
            // than a quarter of the range in some channel, and the mean difference.
            qint64 differing = 0, sum = 0, painted = 0;
            for (int y = 0; y < expected.height(); ++y) {
                const auto *a = reinterpret_cast<const QRgb *>(expected.constScanLine(y));
                const auto *b = reinterpret_cast<const QRgb *>(rendered.constScanLine(y));
                for (int x = 0; x < expected.width(); ++x) {
                    const int d = std::max({qAbs(qRed(a[x]) - qRed(b[x])), qAbs(qGreen(a[x]) - qGreen(b[x])),
                                            qAbs(qBlue(a[x]) - qBlue(b[x]))});
                    sum += d;
                    differing += d > 64;
                    painted += a[x] != qRgb(255, 255, 255);
                }
            }
            const double pixels = double(expected.width()) * expected.height();
            qInfo("sheet %d: %lld painted pixels, %lld differ by more than 64 (%.4f %%), mean difference %.4f",
                  sheet, painted, differing, 100.0 * differing / pixels, sum / pixels);
            QVERIFY(painted > (sheet == 1 ? 60000 : 30000));
            QVERIFY2(differing < pixels / 2000, "more than 0.05 % of the pixels differ by more than 64");
            QVERIFY2(sum / pixels < 0.2, "the mean difference is 0.2 or more");
            // Spot checks: the blue line, the eraser's gap in it, paper.
            if (sheet == 1) {
                QCOMPARE(rendered.pixel(600, 1181), qRgb(0, 0, 160));
                QCOMPARE(rendered.pixel(1417, 1181), qRgb(255, 255, 255));
                QCOMPARE(rendered.pixel(1200, 3300), qRgb(255, 255, 255));
            }
        }
    }

    // The picture is as large as the sheet to a tenth of a micrometre, not whole pixels at
    // 300 dpi (2480 of them were 209.973 mm), and its view box counts exact steps of 1/300 inch.
    void sizeIsTheSheetsOwn()
    {
        QTemporaryDir dir;
        for (const QSizeF &mm : {QSizeF(210, 297), QSizeF(148.3, 105.5), QSizeF(0.5, 5080)}) {
            DrawingState state;
            state.PageWidthInch = mm.width() / MmPerInch;
            state.PageHeightInch = mm.height() / MmPerInch;
            DrawingBuilder(state).Line(0, 0, mm.width(), mm.height(), 0.2);
            const QString drawing = WriteDrawing(dir.filePath("sheet.vlm"), state, 1);
            QCOMPARE(Run(QStringLiteral(VELMORA_EXPORT), {drawing, "-o", dir.filePath("sheet.svg")}), 0);
            const SvgContent svg = ReadSvg(dir.filePath("sheet.svg"));
            QVERIFY(svg.Valid);
            QVERIFY2(qAbs(Millimetres(svg.Width) - mm.width()) < 1e-4, qPrintable(svg.Width));
            QVERIFY2(qAbs(Millimetres(svg.Height) - mm.height()) < 1e-4, qPrintable(svg.Height));
            const QStringList box = svg.ViewBox.split(' ');
            QCOMPARE(box.size(), 4);
            QCOMPARE(box[0] + box[1], QStringLiteral("00"));
            QVERIFY2(qAbs(box[2].toDouble() - mm.width() / MmPerInch * 300) < 1e-3, qPrintable(svg.ViewBox));
            QVERIFY2(qAbs(box[3].toDouble() - mm.height() / MmPerInch * 300) < 1e-3, qPrintable(svg.ViewBox));
        }
    }

    // A text stored larger than the font dialog offers is drawn at 512 points, and said so.
    void largeTextsAreShownAtTheLargestSize()
    {
        QTemporaryDir dir;
        DrawingState state;
        {
            DrawingBuilder drawing(state);
            for (int size : {512, 513, 2000})
                drawing.Text(10, 10, QStringLiteral("A"), size);
        }
        const QString drawing = WriteDrawing(dir.filePath("big.vlm"), state, 1);
        QProcess run;
        run.start(QStringLiteral(VELMORA_EXPORT), {drawing, "-o", dir.filePath("big.svg")});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        QVERIFY(run.readAllStandardError().contains("velmora-export: 2 text(s) larger than 512 points shown at 512 points\n"));
    }

    void everySheetAFileOfItsOwn()
    {
        const QString exporter = QStringLiteral(VELMORA_EXPORT);
        QTemporaryDir dir;
        DrawingState state;
        Construction(state);
        const QString drawing = WriteDrawing(dir.filePath("two.vlm"), state, 2);
        QCOMPARE(Run(exporter, {drawing, "--all", "-o", dir.filePath("two.SVG")}), 0); // any case
        const SvgContent first = ReadSvg(dir.filePath("two-1.svg")), second = ReadSvg(dir.filePath("two-2.svg"));
        QVERIFY(first.Valid && second.Valid);
        QVERIFY(!QFile::exists(dir.filePath("two.SVG")));
        QCOMPARE(first.Texts.join(QString()).simplified(), QStringLiteral("Dreieck ABC"));
        QVERIFY(second.Texts.isEmpty());
        // Sheet 2 holds only its own line (and the frame): 10 mm to 200 mm at 148 mm.
        QCOMPARE(second.Strokes.size(), 1);
        QCOMPARE(second.Strokes[0].second.simplified(), QStringLiteral("118,1748 2362,1748"));
        QCOMPARE(second.Title, QStringLiteral("two"));

        // A page beyond the drawing is refused, and nothing is written.
        QProcess run;
        run.start(exporter, {drawing, "--page", "3", "-o", dir.filePath("three.svg")});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 2);
        QVERIFY(!QFile::exists(dir.filePath("three.svg")));
    }
};

QTEST_MAIN(TestSvgExport)
#include "test_svg_export.moc"
