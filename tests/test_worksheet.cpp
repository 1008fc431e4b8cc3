// Worksheets below the window: opening PDFs and pictures (sizes, rotation, resolution, EXIF),
// bad worksheets, the page under the drawing on screen (grey, then sharp) and in every export,
// the eraser that leaves the page, and the worksheet kept in the drawing file.
#include "worksheet_files.h"

#include "support/drawing_builder.h"

#include "document/drawing_file.h"
#include "render/canvas/painter_canvas.h"
#include "render/output/sheet_export.h"
#include "render/output/sheet_formats.h"
#include "render/sheet/sheet_renderer.h"
#include "worksheet/page_images.h"
#include "worksheet/worksheet_opening.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr double Px = 96 / MmPerInch; // pixels a millimetre at zoom 100

// A new drawing of the worksheet's pages, as opening a worksheet makes it.
void TakeWorksheet(DrawingState &state, const Worksheet &worksheet)
{
    const QSizeF size = WorksheetSheetSizeMm(worksheet);
    state.PageWidthInch = size.width() / MmPerInch;
    state.PageHeightInch = size.height() / MmPerInch;
    state.Background = std::make_shared<const Worksheet>(worksheet);
}

QImage RenderSheetImage(DrawingState &state, int sheet, bool screen, double s = Px)
{
    const int pages = state.Background ? int(state.Background->Pages.size()) : 1;
    ViewGeometry view = ComputeViewGeometry(pages, 100, 96, 96, state.PageWidthInch, state.PageHeightInch);
    view.PixelsPerMm = s;
    view.PageWidthPx = Round(s * state.PageWidthInch * MmPerInch);
    view.PageHeightPx = Round(s * state.PageHeightInch * MmPerInch);
    QImage image(view.PageWidthPx, view.PageHeightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    const SheetCulling culling{image.rect(), nullptr, 0, SheetPass::Everything, screen};
    RenderSheetDrawing(canvas, state, view, sheet, screen ? &culling : nullptr);
    return image;
}

// The pixel at the middle of a page's mark, and one 3 mm beside the mark.
QRgb InMark(const QImage &image, Mark m, double s = Px)
{
    return image.pixel(Round(s * (m.X + 5)), Round(s * (m.Y + 5)));
}
QRgb BesideMark(const QImage &image, Mark m, double s = Px)
{
    return image.pixel(Round(s * (m.X - 3)), Round(s * (m.Y + 5)));
}
bool Black(QRgb p)
{
    return qGray(p) < 60;
}
bool White(QRgb p)
{
    return qGray(p) > 245;
}

void AddLine(DrawingState &state, uint32_t colour, double width, QPointF a, QPointF b, uint32_t kind = KindLine)
{
    DrawingBuilder(state).Object(kind, width, {a.x(), a.y(), b.x(), b.y()}, colour);
}

Worksheet OpenedPdf(const QByteArray &pdf)
{
    const WorksheetOpening opened = OpenWorksheetBytes(pdf);
    if (opened.Problem != WorksheetProblem::None)
        qFatal("the test's PDF does not open: %s", qPrintable(WorksheetProblemText(opened.Problem)));
    return opened.Document;
}

} // namespace

class TestWorksheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { pdf_ = MarkedPdf(3, {2}); }

    // Pages at their own size (the third across), in order; a longer document gives a chosen range.
    void pdfPagesAndChoice()
    {
        const Worksheet document = OpenedPdf(pdf_);
        QCOMPARE(document.Kind, WorksheetKind::Pdf);
        QCOMPARE(int(document.Pages.size()), 3);
        for (int i : {0, 1})
            QVERIFY(std::abs(document.Pages[i].WidthMm - 210) < 0.5 && std::abs(document.Pages[i].HeightMm - 297) < 0.5);
        QVERIFY(std::abs(document.Pages[2].WidthMm - 297) < 0.5 && std::abs(document.Pages[2].HeightMm - 210) < 0.5);
        const QSizeF sheet = WorksheetSheetSizeMm(document);
        QVERIFY(std::abs(sheet.width() - 297) < 0.5 && std::abs(sheet.height() - 297) < 0.5);

        const Worksheet chosen = ChooseWorksheetPages(document, 2, 5);
        QCOMPARE(int(chosen.Pages.size()), 2);
        QCOMPARE(chosen.Pages[0].Number, 2);
        QCOMPARE(chosen.Bytes, document.Bytes);
        QCOMPARE(ChooseWorksheetPages(document, 99, 1).Pages.at(0).Number, 3); // the last there is
    }

    // A scan's resolution gives its true size; without one it fits A4; EXIF turns it upright.
    void pictureSizes()
    {
        const WorksheetOpening scan = OpenWorksheetBytes(Picture(827, 1169, "PNG", 100));
        QCOMPARE(scan.Problem, WorksheetProblem::None);
        QCOMPARE(scan.Document.Kind, WorksheetKind::Picture);
        QVERIFY(std::abs(scan.Document.Pages[0].WidthMm - 210.06) < 0.05);
        QVERIFY(std::abs(scan.Document.Pages[0].HeightMm - 296.93) < 0.05);

        const WorksheetOpening photo = OpenWorksheetBytes(Picture(400, 300, "JPEG"));
        QCOMPARE(photo.Problem, WorksheetProblem::None);
        QVERIFY(std::abs(photo.Document.Pages[0].WidthMm - 280) < 0.01); // across, fitted into A4 across
        QVERIFY(std::abs(photo.Document.Pages[0].HeightMm - 210) < 0.01);

        const WorksheetOpening turned = OpenWorksheetBytes(TurnedJpeg(400, 300));
        QCOMPARE(turned.Problem, WorksheetProblem::None);
        QVERIFY(std::abs(turned.Document.Pages[0].WidthMm - 210) < 0.01); // upright now
        QVERIFY(std::abs(turned.Document.Pages[0].HeightMm - 280) < 0.01);
        // Rendered upright too: the mark at (40, 50) of the stored picture is now at its top right.
        DrawingState state;
        TakeWorksheet(state, turned.Document);
        const QImage sheet = RenderSheetImage(state, 0, false);
        const double mmPerPixel = 210.0 / 300;
        QVERIFY(Black(sheet.pixel(Round(Px * (300 - 55) * mmPerPixel), Round(Px * 45 * mmPerPixel))));
    }

    // Each bad worksheet says what is wrong and never hangs.
    void badWorksheets_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("problem");
        QTest::newRow("text named .pdf") << QByteArray("Hausaufgabe: Seite 12\n") << int(WorksheetProblem::NotAWorksheet);
        QTest::newRow("empty") << QByteArray() << int(WorksheetProblem::NotAWorksheet);
        QTest::newRow("header only") << QByteArray("%PDF-1.7\n") << int(WorksheetProblem::Damaged);
        QTest::newRow("no pages") << HandPdf({}, {}, false) << int(WorksheetProblem::NoPages);
        QTest::newRow("page of 7 m") << HandPdf("0 0 20000 1000", "0 0 m 10 10 l S") << int(WorksheetProblem::PageTooLarge);
        QByteArray huge = Picture(64, 64, "PNG");
        // The header's width and height (IHDR) say 30000 x 30000 pixels, with its checksum.
        const char side[4] = {0, 0, char(0x75), char(0x30)};
        huge.replace(16, 4, QByteArray(side, 4));
        huge.replace(20, 4, QByteArray(side, 4));
        uint32_t crc = 0xFFFFFFFF;
        for (char c : huge.mid(12, 17)) {
            crc ^= uchar(c);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        crc = ~crc;
        const char sum[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
        huge.replace(29, 4, QByteArray(sum, 4));
        QTest::newRow("picture of 900 million pixels") << huge << int(WorksheetProblem::PictureTooLarge);
        QTest::newRow("half a picture") << Picture(300, 300, "PNG").left(60) << int(WorksheetProblem::Damaged);
    }
    void badWorksheets()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, problem);
        const WorksheetOpening opened = OpenWorksheetBytes(bytes);
        QCOMPARE(int(opened.Problem), problem);
        QVERIFY(!WorksheetProblemText(opened.Problem).isEmpty());
    }

    // A PDF cut in half either opens with what poppler can mend or is refused: never a crash.
    void truncatedPdf()
    {
        const WorksheetOpening opened = OpenWorksheetBytes(pdf_.left(pdf_.size() / 2));
        if (opened.Problem == WorksheetProblem::None) {
            DrawingState state;
            TakeWorksheet(state, opened.Document);
            RenderSheetImage(state, 0, false);
        } else {
            QCOMPARE(opened.Problem, WorksheetProblem::Damaged);
        }
    }

    // An encrypted PDF asks for its password; a wrong one says so; the right one opens and is kept.
    void encryptedPdf()
    {
        QTemporaryDir dir;
        const QString plain = dir.filePath("plain.pdf"), locked = dir.filePath("locked.pdf");
        QFile out(plain);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(pdf_);
        out.close();
        QCOMPARE(QProcess::execute("qpdf", {"--encrypt", "geheim", "owner", "256", "--", plain, locked}), 0);
        QCOMPARE(OpenWorksheetFile(locked).Problem, WorksheetProblem::NeedsPassword);
        QCOMPARE(OpenWorksheetFile(locked, "falsch").Problem, WorksheetProblem::WrongPassword);
        const WorksheetOpening opened = OpenWorksheetFile(locked, "geheim");
        QCOMPARE(opened.Problem, WorksheetProblem::None);
        QCOMPARE(opened.Document.Password, QByteArray("geheim"));
        DrawingState state;
        TakeWorksheet(state, ChooseWorksheetPages(opened.Document, 1, 1));
        QVERIFY(Black(InMark(RenderSheetImage(state, 0, false), MarkOnPage(0))));

        // A password with an umlaut, as typed (UTF-8), opens the newer and the older encryption.
        for (const QStringList &key : {QStringList{"256"}, QStringList{"128", "--use-aes=y"}}) {
            const QString umlaut = dir.filePath(QStringLiteral("umlaut%1.pdf").arg(key.first()));
            QCOMPARE(QProcess::execute("qpdf", QStringList{"--encrypt", "Prüfung", "owner"} + key +
                                                   QStringList{"--", plain, umlaut}),
                     0);
            QCOMPARE(OpenWorksheetFile(umlaut, QStringLiteral("Prüfung").toUtf8()).Problem, WorksheetProblem::None);
            QCOMPARE(OpenWorksheetFile(umlaut, "Prufung").Problem, WorksheetProblem::WrongPassword);
        }
    }

    // The page lies at true size from the sheet's top-left, under the drawing; ink over it
    // shows; white ink and the inside of a circle show the page again.
    void pageUnderTheDrawing()
    {
        DrawingState state;
        TakeWorksheet(state, OpenedPdf(pdf_));
        const Mark m = MarkOnPage(0);
        AddLine(state, ColourWhite, 3, {m.X - 5, m.Y + 5}, {m.X + 15, m.Y + 5});       // an eraser stroke
        AddLine(state, ColourBlack, 0.3, {m.X - 8, m.Y - 8}, {m.X + 18, m.Y + 18}, KindEllipse); // a circle round it
        AddLine(state, ColourBlack, 0.5, {m.X - 3, m.Y - 20}, {m.X - 3, m.Y + 30});   // a pencil line beside it
        const QImage sheet = RenderSheetImage(state, 0, false);
        QVERIFY(Black(InMark(sheet, m)));
        QVERIFY(Black(BesideMark(sheet, m)));
        QVERIFY(White(sheet.pixel(Round(Px * (m.X + 12)), Round(Px * (m.Y + 5))))); // erased, page white there
        // The second and third sheets show their own pages.
        QVERIFY(Black(InMark(RenderSheetImage(state, 1, false), MarkOnPage(1))));
        QVERIFY(Black(InMark(RenderSheetImage(state, 2, false), MarkOnPage(2))));
        QVERIFY(White(InMark(RenderSheetImage(state, 1, false), MarkOnPage(0))));

        // A smaller sheet from the page setup keeps the page at true size from its corner;
        // squared paper lies over the page, under the ink.
        state.PageWidthInch = 150 / MmPerInch;
        state.Paper = PaperKind::Squared5;
        const QImage smaller = RenderSheetImage(state, 0, false);
        QCOMPARE(smaller.width(), Round(150 * Px));
        QVERIFY(Black(smaller.pixel(Round(Px * (m.X + 2.5)), Round(Px * (m.Y + 2.5))))); // between the lines
        const QRgb line = smaller.pixel(Round(100 * Px), Round(Px * 12.5));
        QVERIFY(qBlue(line) > qRed(line) + 25); // the blue-grey 5 mm line at x = 100 mm
    }

    // The screen takes the page as it is at hand: grey at first, sharp when it was rendered
    // off the interface thread (and the generation tells kept pictures to follow).
    void screenNeverWaits()
    {
        DrawingState state;
        TakeWorksheet(state, OpenedPdf(pdf_));
        const double s = 3 * Px; // zoom 300
        const uint64_t before = PageImagesGeneration();
        const QImage first = RenderSheetImage(state, 0, true, s);
        const QRgb waiting = InMark(first, MarkOnPage(0), s);
        QVERIFY(!Black(waiting) && !White(waiting)); // grey
        QVERIFY(WaitForPageImages(std::chrono::seconds(30)));
        QVERIFY(PageImagesGeneration() > before);
        const QImage sharp = RenderSheetImage(state, 0, true, s);
        QVERIFY(Black(InMark(sharp, MarkOnPage(0), s)));
        QVERIFY(White(BesideMark(sharp, MarkOnPage(0), s)));
        // Another zoom shows the kept page, scaled, until its own is ready.
        QVERIFY(Black(InMark(RenderSheetImage(state, 0, true, Px), MarkOnPage(0))));
        QVERIFY(WaitForPageImages(std::chrono::seconds(30)));
    }

    // A page that takes longer than the deadline is left out, in bounded time.
    void slowPageIsBounded()
    {
        QByteArray content;
        for (int i = 0; i < 200000; ++i)
            content += "0 0 m 500 " + QByteArray::number(i % 800) + " l S\n";
        DrawingState state;
        TakeWorksheet(state, OpenedPdf(HandPdf("0 0 595 842", content)));
        SetPageRenderDeadline(std::chrono::milliseconds(1));
        QElapsedTimer timer;
        timer.start();
        const QImage out = PageImagesOf(state.Background).ForOutput(0, Px);
        SetPageRenderDeadline(std::chrono::seconds(30));
        QVERIFY(out.isNull());
        QVERIFY(timer.elapsed() < 20000);
    }

    // Saved with the drawing, the worksheet opens again after its PDF was deleted; a damaged
    // worksheet chunk refuses the file; the chunk comes after the paper field.
    void keptInTheDrawingFile()
    {
        QTemporaryDir dir;
        const QString pdfPath = dir.filePath("blatt.pdf"), drawingPath = dir.filePath("blatt.vlm");
        QFile pdf(pdfPath);
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write(pdf_);
        pdf.close();
        DrawingState state;
        TakeWorksheet(state, ChooseWorksheetPages(OpenWorksheetFile(pdfPath).Document, 2, 2));
        AddLine(state, ColourBlack, 0.5, {10, 10}, {100, 10});
        DrawingFileSettings settings;
        settings.PageWidthInch = state.PageWidthInch;
        settings.PageHeightInch = state.PageHeightInch;
        settings.PageCount = 2;
        QCOMPARE(SaveDrawingFile(drawingPath, state, settings).Ok(), true);
        QVERIFY(QFile::remove(pdfPath));

        DrawingState read;
        DrawingFileSettings readSettings;
        QCOMPARE(LoadDrawingFile(drawingPath, read, readSettings), DrawingFileError::None);
        QVERIFY(read.Background);
        QCOMPARE(*read.Background, *state.Background);
        QVERIFY(readSettings.Chunks.empty());
        QVERIFY(Black(InMark(RenderSheetImage(read, 0, false), MarkOnPage(1))));

        // The chunk: after 136 bytes of an empty drawing's fields, the paper (0), then "WSHT".
        const QByteArray file = WriteDrawingFile(read, readSettings);
        const int head = file.size() - 8 - WorksheetChunkData(*read.Background).size();
        QCOMPARE(file.mid(head - 4, 4), QByteArray(4, '\0'));
        QCOMPARE(file.mid(head, 4), QByteArray("WSHT"));

        // Damage inside the chunk: page count 0, a NaN width, bytes cut short.
        auto damaged = [&](int at, const QByteArray &with) {
            QByteArray bad = file;
            bad.replace(head + 8 + at, with.size(), with);
            DrawingState into;
            DrawingFileSettings s;
            return ReadDrawingFile(bad, into, s);
        };
        QCOMPARE(damaged(4, QByteArray(4, '\0')), DrawingFileError::BadWorksheet);
        QCOMPARE(damaged(12, QByteArray::fromHex("000000000000f87f")), DrawingFileError::BadWorksheet);
        QCOMPARE(damaged(0, QByteArray::fromHex("07000000")), DrawingFileError::BadWorksheet);
    }

    // The sample files of the chunk: pages, password and kind read back; bytes a later version
    // adds after the file are skipped; a chunk whose parts do not add up is damage.
    void sampleFiles()
    {
        auto read = [](const char *name, DrawingState &into, DrawingFileSettings &settings) {
            QFile file(QStringLiteral(TEST_DATA_DIR "/") + name);
            if (!file.open(QIODevice::ReadOnly))
                return DrawingFileError::CannotOpen;
            return ReadDrawingFile(file.readAll(), into, settings);
        };
        DrawingState pdf;
        DrawingFileSettings settings;
        QCOMPARE(read("worksheet.vlm", pdf, settings), DrawingFileError::None);
        QVERIFY(pdf.Background);
        QCOMPARE(pdf.Background->Pages, (std::vector<WorksheetPage>{{2, 210, 297}, {3, 297, 210}}));
        QCOMPARE(pdf.Background->Password, QByteArray("geheim"));
        QCOMPARE(pdf.Objects.Count, 1);

        DrawingState picture;
        DrawingFileSettings wanted;
        wanted.WantedChunks = {MakeChunkTag("TEST")};
        QCOMPARE(read("worksheet_picture.vlm", picture, wanted), DrawingFileError::None);
        QCOMPARE(picture.Background->Kind, WorksheetKind::Picture);
        QCOMPARE(picture.Background->Bytes, QByteArray("\x89PNG"));
        QCOMPARE(wanted.Paper, PaperKind::Squared5);
        QCOMPARE(int(wanted.Chunks.size()), 1);

        for (const char *name : {"damaged_worksheet_no_pages.vlm", "damaged_worksheet_cut.vlm"}) {
            DrawingState damaged;
            DrawingFileSettings s;
            QCOMPARE(read(name, damaged, s), DrawingFileError::BadWorksheet);
        }
    }

    // Every way out: PNG and BMP images, the PDF (sharp: 300 dpi), SVG and velmora-export.
    void exportsShowThePage()
    {
        QTemporaryDir dir;
        DrawingState state;
        TakeWorksheet(state, ChooseWorksheetPages(OpenedPdf(pdf_), 1, 2));
        const QString drawing = dir.filePath("blatt.vlm");
        DrawingFileSettings settings;
        settings.PageWidthInch = state.PageWidthInch;
        settings.PageHeightInch = state.PageHeightInch;
        settings.PageCount = 2;
        QVERIFY(SaveDrawingFile(drawing, state, settings).Ok());
        for (const char *ext : {"png", "bmp"}) {
            const QString out = dir.filePath(QStringLiteral("sheet.%1").arg(ext));
            QCOMPARE(QProcess::execute(VELMORA_EXPORT, {drawing, "--dpi", "100", "--page", "2", "-o", out}), 0);
            const QImage image(out);
            QVERIFY(Black(InMark(image, MarkOnPage(1), 100 / MmPerInch)));
            QVERIFY(White(BesideMark(image, MarkOnPage(1), 100 / MmPerInch)));
        }
        const QString pdfOut = dir.filePath("out.pdf");
        QFile file(pdfOut);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(WriteSheets(file, SheetFormat::Pdf, state, 2, 0, 1, 150, "Velmora", "blatt"), ExportError::None);
        file.close();
        // Back through poppler's own tool at 400 dpi: the mark's edge within a 300-dpi step.
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", "400", "-f", "1", "-l", "1", "-png", "-singlefile", pdfOut,
                                                dir.filePath("page")}),
                 0);
        const QImage page(dir.filePath("page.png"));
        const double s = 400 / MmPerInch;
        const Mark m = MarkOnPage(0);
        QVERIFY(Black(page.pixel(Round(s * (m.X + 0.2)), Round(s * (m.Y + 5)))));
        QVERIFY(White(page.pixel(Round(s * (m.X - 0.2)), Round(s * (m.Y + 5)))));

        // "Seite kopieren" puts the sheet's picture at 300 dpi on the clipboard.
        QImage copied;
        QCOMPARE(SheetImage(state, 2, 1, SheetCopyDpi, copied), ExportError::None);
        QVERIFY(Black(InMark(copied, MarkOnPage(1), SheetCopyDpi / MmPerInch)));

        QBuffer svg;
        svg.open(QIODevice::WriteOnly);
        QCOMPARE(WriteSheets(svg, SheetFormat::Svg, state, 2, 0, 0, 150, "Velmora", "blatt"), ExportError::None);
        QVERIFY(svg.data().contains("<image"));
    }

private:
    QByteArray pdf_;
};

QTEST_MAIN(TestWorksheet)
#include "test_worksheet.moc"
