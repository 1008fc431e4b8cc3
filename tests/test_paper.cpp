// Paper under the drawing: what each paper paints on a sheet at several zooms, white ink that
// shows the paper again on screen, in PNG and in PDF, a plain sheet exactly as it always was,
// and the paper's continuation of the drawing file.
#include "support/random_drawing.h"

#include "document/drawing_file.h"
#include "render/canvas/painter_canvas.h"
#include "render/output/sheet_formats.h"
#include "render/sheet/sheet_renderer.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmora;

namespace {

QImage Render(DrawingState &state, int zoom)
{
    const ViewGeometry view = ComputeViewGeometry(1, zoom, 96, 96, state.PageWidthInch, state.PageHeightInch);
    QImage image(view.PageWidthPx, view.PageHeightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    RenderSheet(canvas, state, view, 0, SheetView{false, false, false, false, false});
    return image;
}

// Pixel of the point (x, y) mm on an image of s pixels per mm.
QRgb At(const QImage &image, double s, double x, double y)
{
    return image.pixel(Round(s * x), Round(s * y));
}

bool IsWhite(QRgb p)
{
    return qGray(p) > 245;
}
bool IsBlack(QRgb p)
{
    return qGray(p) < 40;
}
// The light blue-grey of squared, ruled and dotted paper.
bool IsBlueGrey(QRgb p)
{
    return qBlue(p) > qRed(p) + 25 && qGray(p) > 100 && qGray(p) < 235;
}
bool IsOrange(QRgb p)
{
    return qRed(p) > qBlue(p) + 50 && qRed(p) > 200;
}

DrawingObject &Add(DrawingState &state, uint32_t kind, uint32_t colour, double width, QRectF points,
                   QPointF rays = {})
{
    DrawingObject *o = &DrawingBuilder(state).Blank();
    o->Kind = kind;
    o->Colour = colour;
    o->PenWidth = width;
    o->X1 = points.left();
    o->Y1 = points.top();
    o->X2 = points.right();
    o->Y2 = points.bottom();
    o->X3 = o->X4 = rays.x();
    o->Y3 = o->Y4 = rays.y();
    return *o;
}

// A squared sheet of 80 x 60 mm: a wide black line, a white stroke across it, a black circle
// and a white circle.
void ErasedConstruction(DrawingState &state)
{
    state.PageWidthInch = 80 / MmPerInch;
    state.PageHeightInch = 60 / MmPerInch;
    state.Paper = PaperKind::Squared5;
    Add(state, KindLine, ColourBlack, 3, QRectF(QPointF(2, 22), QPointF(70, 22)));
    Add(state, KindLine, ColourWhite, 4, QRectF(QPointF(9, 12), QPointF(12, 32)));
    Add(state, KindEllipse, ColourBlack, 0.5, QRectF(QPointF(30, 40), QPointF(50, 58)));
    Add(state, KindArc, ColourWhite, 2, QRectF(QPointF(40, 10), QPointF(64, 34)), QPointF(52, 10));
}

// Where the construction shows paper, ink and white, at s pixels per mm.
void CheckErasedConstruction(const QImage &image, double s)
{
    QVERIFY(IsBlueGrey(At(image, s, 10, 22)));  // grid line under the erased part of the ink
    QVERIFY(IsBlueGrey(At(image, s, 9.5, 20))); // grid line y = 20 across the white stroke
    QVERIFY(IsWhite(At(image, s, 11.5, 22.6))); // erased, off the grid
    QVERIFY(IsBlack(At(image, s, 30, 22)));     // ink covers the grid line x = 30
    QVERIFY(IsBlack(At(image, s, 5, 22)));
    QVERIFY(IsBlueGrey(At(image, s, 40, 47))); // grid inside the black circle
    QVERIFY(IsBlueGrey(At(image, s, 40, 22))); // where the white arc crosses the ink
    QVERIFY(IsWhite(At(image, s, 64, 22.6)));
}

QByteArray EmptyFile(PaperKind paper)
{
    DrawingState drawing;
    DrawingFileSettings settings;
    settings.Paper = paper;
    return WriteDrawingFile(drawing, settings);
}

DrawingFileError Read(const QByteArray &data, DrawingFileSettings &settings)
{
    DrawingState drawing;
    return ReadDrawingFile(data, drawing, settings);
}

} // namespace

class TestPaper : public QObject {
    Q_OBJECT
private slots:
    void plainSheetIsAsBefore()
    {
        // The reference was painted by the renderer before sheets had paper.
        DrawingState state;
        state.PageWidthInch = 100 / MmPerInch;
        state.PageHeightInch = 70 / MmPerInch;
        DrawingBuilder drawing(state);
        AddRandomObjects(drawing, 80, 100, 70, 18);
        const QImage before(QStringLiteral(TEST_DATA_DIR "/plain_sheet_before_paper.png"));
        QVERIFY(!before.isNull());
        QCOMPARE(Render(state, 137), before.convertToFormat(QImage::Format_RGB32));

        state.Paper = PaperKind::Squared5; // the same drawing on paper is another picture
        QVERIFY(Render(state, 137) != before.convertToFormat(QImage::Format_RGB32));
    }

    void eachPaperOnTheSheet()
    {
        DrawingState state;
        state.PageWidthInch = 60 / MmPerInch;
        state.PageHeightInch = 50 / MmPerInch;
        const double s = PixelsPerMmFor(100, 96);

        state.Paper = PaperKind::Squared5;
        QImage image = Render(state, 100);
        for (double at : {5.0, 10.0, 25.0, 45.0})
            QVERIFY(IsBlueGrey(At(image, s, at, 12.5)) && IsBlueGrey(At(image, s, 12.5, at)));
        QVERIFY(IsWhite(At(image, s, 12.5, 12.5)));
        QVERIFY(IsBlueGrey(At(image, s, 5, 5)));
        // The frame stays as on plain paper, over the lines that end on it.
        state.Paper = PaperKind::Plain;
        const QImage plain = Render(state, 100);
        const int w = image.width(), h = image.height();
        QCOMPARE(image.copy(0, 0, w, 1), plain.copy(0, 0, w, 1));
        QCOMPARE(image.copy(0, h - 1, w, 1), plain.copy(0, h - 1, w, 1));
        QCOMPARE(image.copy(0, 0, 1, h), plain.copy(0, 0, 1, h));
        QCOMPARE(image.copy(w - 1, 0, 1, h), plain.copy(w - 1, 0, 1, h));
        QVERIFY(IsBlack(image.pixel(0, Round(5 * s))) && IsBlack(image.pixel(Round(5 * s), h - 1)));
        // One pixel wide at this zoom: the neighbours are white.
        QVERIFY(IsWhite(image.pixel(Round(5 * s) - 1, 30)) && IsWhite(image.pixel(Round(5 * s) + 1, 30)));

        state.Paper = PaperKind::Squared10;
        image = Render(state, 100);
        QVERIFY(IsBlueGrey(At(image, s, 10, 7)) && IsBlueGrey(At(image, s, 7, 20)));
        QVERIFY(IsWhite(At(image, s, 5, 7)) && IsWhite(At(image, s, 7, 15)));

        state.Paper = PaperKind::Lined8;
        image = Render(state, 100);
        QVERIFY(IsBlueGrey(At(image, s, 7, 8)) && IsBlueGrey(At(image, s, 33, 40)));
        QVERIFY(IsWhite(At(image, s, 5, 12)) && IsWhite(At(image, s, 10, 3)));

        state.Paper = PaperKind::Dotted5;
        image = Render(state, 100);
        QVERIFY(IsBlueGrey(At(image, s, 5, 5)) && IsBlueGrey(At(image, s, 25, 40)));
        QVERIFY(IsWhite(At(image, s, 5, 7.5)) && IsWhite(At(image, s, 7.5, 5)));

        state.Paper = PaperKind::Millimetre;
        image = Render(state, 100);
        const QRgb fine = At(image, s, 3, 2.5), medium = At(image, s, 5, 2.5), strong = At(image, s, 10, 2.5);
        QVERIFY(IsOrange(fine) && IsOrange(medium) && IsOrange(strong));
        QVERIFY(qGray(fine) > qGray(medium) && qGray(medium) > qGray(strong)); // stronger lines are darker
        QVERIFY(IsWhite(At(image, s, 3.5, 2.5)));
    }

    void finerLinesLeftOutWhenTooClose()
    {
        DrawingState state;
        state.PageWidthInch = 60 / MmPerInch;
        state.PageHeightInch = 50 / MmPerInch;
        state.Paper = PaperKind::Millimetre;
        // At zoom 50 a millimetre is 1.9 pixels: only the 5 and 10 mm lines remain.
        double s = PixelsPerMmFor(50, 96);
        QImage image = Render(state, 50);
        QVERIFY(IsWhite(At(image, s, 3, 2.5)) && IsWhite(At(image, s, 2.5, 3)));
        QVERIFY(IsOrange(At(image, s, 5, 2.5)) && IsOrange(At(image, s, 10, 2.5)));
        // At zoom 10 only the 10 mm lines (3.8 pixels apart).
        s = PixelsPerMmFor(10, 96);
        image = Render(state, 10);
        int orange = 0;
        for (int x = 1; x < image.width() - 1; ++x)
            orange += IsOrange(image.pixel(x, image.height() / 2 + 1));
        QCOMPARE(orange, 5); // 10, 20, ... 50 mm
        // Squared 5 mm at zoom 10 (1.9 pixels): a plain white inside.
        state.Paper = PaperKind::Squared5;
        image = Render(state, 10);
        for (int x = 1; x < image.width() - 1; ++x)
            QVERIFY(IsWhite(image.pixel(x, image.height() / 2)));
        // At zoom 300 every line is there, still one pixel apart from white.
        s = PixelsPerMmFor(300, 96);
        state.Paper = PaperKind::Millimetre;
        image = Render(state, 300);
        for (double at : {1.0, 2.0, 5.0, 10.0, 33.0})
            QVERIFY(IsOrange(At(image, s, at, 2.5)));
        QVERIFY(IsWhite(At(image, s, 1.5, 2.5)));
    }

    void whiteInkShowsThePaper()
    {
        DrawingState state;
        ErasedConstruction(state);
        for (int zoom : {100, 137, 300})
            CheckErasedConstruction(Render(state, zoom), PixelsPerMmFor(zoom, 96));

        // The exported PNG at 150 dpi.
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        QCOMPARE(WriteSheets(png, SheetFormat::Png, state, 1, 0, 0, 150, "test", "paper"), ExportError::None);
        CheckErasedConstruction(QImage::fromData(png.data(), "PNG"), 150 / MmPerInch);
    }

    // White curves and arcs, wide and thin, over a black area on dotted paper: every dot
    // well inside their ink shows as on the bare paper, at zooms with square and round dots.
    void whiteCurvesShowTheDots()
    {
        DrawingState erased, bare;
        for (DrawingState *state : {&erased, &bare}) {
            state->PageWidthInch = 80 / MmPerInch;
            state->PageHeightInch = 60 / MmPerInch;
            state->Paper = PaperKind::Dotted5;
        }
        Add(erased, KindEllipse, ColourBlack, 25, QRectF(QPointF(15, 12), QPointF(65, 48))); // a black ring
        DrawingObject &curve = Add(erased, KindBezier, ColourWhite, 6, QRectF(QPointF(5, 30), QPointF(30, 5)));
        curve.X3 = 55, curve.Y3 = 58, curve.X4 = 75, curve.Y4 = 25;
        Add(erased, KindArc, ColourWhite, 1.5, QRectF(QPointF(20, 15), QPointF(60, 45)), QPointF(40, 60));
        QPainterPath centre(QPointF(5, 30)); // the curve's centre line and its half width, mm
        centre.cubicTo(30, 5, 55, 58, 75, 25);
        for (int zoom : {100, 300}) {
            const double s = PixelsPerMmFor(zoom, 96);
            const QImage shown = Render(erased, zoom), paper = Render(bare, zoom);
            // The pixels within the half width, less a dot's width and two pixels, of the centre
            // line (a dot is shown again whole or not at all, as its centre lies).
            const double r = (3 - 0.35 - 2 / s) * s;
            QSet<std::pair<int, int>> under;
            for (int k = 0; k <= 1000; ++k) {
                const QPointF c = centre.pointAtPercent(k / 1000.0) * s;
                for (int y = int(c.y() - r); y <= int(c.y() + r) + 1; ++y)
                    for (int x = int(c.x() - r); x <= int(c.x() + r) + 1; ++x)
                        if (QLineF(QPointF(x + 0.5, y + 0.5), c).length() <= r && shown.rect().contains(x, y))
                            under.insert({x, y});
            }
            int dots = 0;
            for (const auto &[x, y] : under) {
                dots += paper.pixel(x, y) != qRgb(255, 255, 255);
                QVERIFY2(shown.pixel(x, y) == paper.pixel(x, y),
                         qPrintable(QStringLiteral("zoom %1: pixel %2,%3").arg(zoom).arg(x).arg(y)));
            }
            QVERIFY(dots > 10);
        }
    }

    void pdfShowsTheSameAsTheImage()
    {
        // A PDF cannot mix colours the way an image can: the paper is drawn again as areas.
        DrawingState state;
        ErasedConstruction(state);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("paper.pdf");
        {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(WriteSheets(file, SheetFormat::Pdf, state, 1, 0, 0, 150, "test", "paper"), ExportError::None);
        }
        // Seen at a printer's resolution: below it, a viewer may draw lines of 0.1 mm faintly.
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", "600", "-png", "-singlefile", pdf, dir.filePath("page")}), 0);
        const QImage page = QImage(dir.filePath("page.png")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!page.isNull());
        CheckErasedConstruction(page, 600 / MmPerInch);
    }

    // Eraser strokes as the pointer makes them (a short line per move), two of them across
    // each other, over ink on squared paper: in the PDF and the SVG, as other programs draw
    // them at 150 dpi, the erased part shows the bare paper, without light or dark nicks in
    // the grid lines where the lines of the strokes meet (the grid pixel 150 was up to 245).
    void erasedPaperHasNoNicksInPdfAndSvg()
    {
        DrawingState erased, bare;
        for (DrawingState *state : {&erased, &bare}) {
            state->PageWidthInch = 80 / MmPerInch;
            state->PageHeightInch = 60 / MmPerInch;
            state->Paper = PaperKind::Squared5;
        }
        Add(erased, KindLine, ColourBlack, 0.5, QRectF(QPointF(5, 30), QPointF(75, 30)));
        Add(erased, KindLine, ColourBlack, 0.3, QRectF(QPointF(30, 5), QPointF(33, 55)));
        auto stroke = [&](QPointF from, QPointF step, double wobble, int moves, double width) {
            QPointF at = from;
            for (int k = 1; k <= moves; ++k) {
                const QPointF next = from + step * k + QPointF(0, wobble * std::sin(k * 0.7));
                Add(erased, KindLine, ColourWhite, width, QRectF(at, next));
                at = next;
            }
        };
        stroke({10, 30}, {1.3, 0}, 0.3, 40, 4);
        stroke({18, 33}, {1.1, -0.2}, 0.2, 30, 3);
        QTemporaryDir dir;
        auto rasters = [&](DrawingState &state, const QString &name) {
            const QString pdf = dir.filePath(name + ".pdf"), svg = dir.filePath(name + ".svg");
            for (const auto &[path, format] : {std::pair{pdf, SheetFormat::Pdf}, std::pair{svg, SheetFormat::Svg}}) {
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly) ||
                    WriteSheets(file, format, state, 1, 0, 0, 150, "test", name) != ExportError::None)
                    return std::vector<QImage>{};
            }
            QProcess::execute("pdftoppm", {"-r", "150", "-png", "-singlefile", pdf, dir.filePath(name)});
            QProcess::execute(RSVG_CONVERT, {"--dpi-x", "150", "--dpi-y", "150", "--background-color", "white", svg,
                                             "-o", dir.filePath(name + "-svg.png")});
            return std::vector<QImage>{
                QImage(dir.filePath(name + ".png")).convertToFormat(QImage::Format_RGB32),
                QImage(dir.filePath(name + "-svg.png")).convertToFormat(QImage::Format_RGB32)};
        };
        const std::vector<QImage> shown = rasters(erased, "erased"), paper = rasters(bare, "bare");
        QCOMPARE(shown.size(), size_t(2));
        const double s = 150 / MmPerInch;
        // Well inside the first stroke (30 +- 1.7 mm), across grid lines x = 15 ... 55 and y = 30.
        const QRect inside(QPoint(Round(13 * s), Round(28.5 * s)), QPoint(Round(58 * s), Round(31.5 * s)));
        for (int k = 0; k < 2; ++k) {
            QVERIFY(!shown[k].isNull() && shown[k].size() == paper[k].size());
            QVERIFY(IsBlueGrey(At(paper[k], s, 15, 30)));
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    const QRgb a = shown[k].pixel(x, y), b = paper[k].pixel(x, y);
                    const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                            std::abs(qBlue(a) - qBlue(b))});
                    QVERIFY2(d <= 2, qPrintable(QStringLiteral("%1: pixel %2,%3 is %4, the bare paper %5")
                                                    .arg(k ? "SVG" : "PDF")
                                                    .arg(x)
                                                    .arg(y)
                                                    .arg(qRed(a))
                                                    .arg(qRed(b))));
                }
            QVERIFY(IsBlack(At(shown[k], s, 70, 30))); // the ink beyond the eraser stays
        }
    }

    void plainDrawingFilesStayAsTheyAre()
    {
        // Every plain drawing that exists is written again byte for byte.
        int compared = 0;
        for (const QString &folder : {QStringLiteral(TEST_DATA_DIR), QStringLiteral(CORPUS_DIR)}) {
            for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files)) {
                QFile file(info.filePath());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QByteArray data = file.readAll();
                DrawingState drawing;
                DrawingFileSettings settings;
                if (ReadDrawingFile(data, drawing, settings) != DrawingFileError::None || !settings.HasTail ||
                    settings.Paper != PaperKind::Plain)
                    continue;
                // A text's two pointer fields carry no meaning and are written as the program
                // holds them; everything else comes back as it was.
                const QByteArray written = WriteDrawingFile(drawing, settings);
                if (drawing.Texts.Count == 0)
                    QCOMPARE(written, data.left(written.size()));
                QCOMPARE(written.size(), data.left(written.size()).size());
                ++compared;
            }
        }
        QVERIFY(compared >= 5);
        QCOMPARE(EmptyFile(PaperKind::Plain).size(), 136);
    }

    void paperContinuesTheFile()
    {
        for (PaperKind kind : PaperKinds) {
            if (kind == PaperKind::Plain)
                continue;
            const QByteArray data = EmptyFile(kind);
            QCOMPARE(data.size(), 140);
            QCOMPARE(data.right(4), QByteArray::fromHex("0" + QByteArray::number(int(kind)) + "000000"));
            QCOMPARE(data.left(136), EmptyFile(PaperKind::Plain)); // the newer generation, unchanged
            DrawingFileSettings settings;
            QCOMPARE(Read(data, settings), DrawingFileError::None);
            QCOMPARE(settings.Paper, kind);
        }
        // A file of the newer generation without the continuation is on plain paper, even
        // when the paper was another before; an older file keeps what was there.
        DrawingFileSettings settings;
        settings.Paper = PaperKind::Lined8;
        QCOMPARE(Read(EmptyFile(PaperKind::Plain), settings), DrawingFileError::None);
        QCOMPARE(settings.Paper, PaperKind::Plain);
        settings.Paper = PaperKind::Lined8;
        QCOMPARE(Read(EmptyFile(PaperKind::Plain).left(104), settings), DrawingFileError::None);
        QVERIFY(!settings.HasTail);
        QCOMPARE(settings.Paper, PaperKind::Lined8);
        // After the paper come chunks: one of a tag the reader does not know is skipped; bytes
        // that are no chunk are damage.
        QCOMPARE(Read(EmptyFile(PaperKind::Dotted5) + QByteArray("MORE\x04\0\0\0more", 12), settings),
                 DrawingFileError::None);
        QCOMPARE(settings.Paper, PaperKind::Dotted5);
        QCOMPARE(Read(EmptyFile(PaperKind::Dotted5) + "more", settings), DrawingFileError::ChunkTruncated);
    }

    void damagedContinuationIsRefused()
    {
        const QByteArray plain = EmptyFile(PaperKind::Plain);
        DrawingFileSettings settings;
        for (const char *number : {"06000000", "ffffffff", "00010000", "01000001"})
            QCOMPARE(Read(plain + QByteArray::fromHex(number), settings), DrawingFileError::BadPaper);
        for (int cut = 1; cut <= 3; ++cut)
            QCOMPARE(Read(EmptyFile(PaperKind::Squared5).left(136 + cut), settings), DrawingFileError::Truncated);
        QCOMPARE(Read(plain + QByteArray::fromHex("00000000"), settings), DrawingFileError::None);
        QCOMPARE(settings.Paper, PaperKind::Plain);
    }
};

QTEST_MAIN(TestPaper)
#include "test_paper.moc"
