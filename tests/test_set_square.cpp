// The set square: drawn exactly on every sheet (recorded pixels and painted device pixels),
// kept in its own chunk of the drawing file, and worked through the real window with the
// mouse, the entry bar and the view menu.
#include "support/drawing_builder.h"
#include "support/recording_canvas.h"
#include "support/window_fixture.h"

#include "document/drawing_file.h"
#include "document/set_square.h"
#include "render/sheet/set_square_drawing.h"
#include "render/surface/surface_renderer.h"

#include <QtTest>

#include <cmath>

using namespace velmora;

namespace {

QStringList Numbers(const RecordingCanvas &canvas)
{
    QStringList numbers;
    for (const QString &shape : canvas.Shapes())
        if (shape.startsWith("TextOut"))
            numbers << shape.section('"', 1, 1);
    return numbers;
}

// The set square alone, painted on the surface at this zoom and device pixel ratio.
QImage Painted(const InstrumentPlacement &placement, int zoom, qreal ratio)
{
    DrawingState state;
    state.Placement = placement;
    const ViewGeometry view = ComputeViewGeometry(1, zoom, 96, 96, state.PageWidthInch, state.PageHeightInch);
    const QSize size = view.SurfaceSize();
    QImage image(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    SurfaceRenderer renderer;
    renderer.Paint(painter, QRect(QPoint(0, 0), size), state, view, SheetView{false, false, false, false, true});
    return image;
}

constexpr QRgb Grey = qRgb(128, 128, 128), White = qRgb(255, 255, 255);

// Distance of point (x, y) from the line through (px, py) in direction (dx, dy), in mm.
double OffLine(double x, double y, double px, double py, double dx, double dy)
{
    return std::fabs((x - px) * dy - (y - py) * dx) / std::hypot(dx, dy);
}

struct Window : WindowFixture {
    Window()
    {
        if (!WaitExposed())
            qWarning("the window was not shown");
    }
    QWidget *Box() { return form->Surface().paintBox; }
    bool SaveTo(const QString &path)
    {
        savePath = path;
        return Session().Files.SaveAs();
    }
    double S() { return form->Surface().View.PixelsPerMm(); }
    // The surface pixel of a point in mm on the first sheet.
    QPoint At(double x, double y) { return QPoint(5 + int(std::lround(x * S())), 5 + int(std::lround(y * S()))); }
    InstrumentPlacement &Placement() { return Session().Document().Placement; }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Box(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, Box()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(Box(), &move);
        QTest::mouseRelease(Box(), Qt::LeftButton, {}, to);
    }
    void Type(DecimalEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QImage Shown()
    {
        QCoreApplication::processEvents();
        return Box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    const DrawingObject &LastLine() { return Session().Drawing().Objects.At(Session().Drawing().Objects.Count - 1); }
};

} // namespace

class TestSetSquare : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void drawnExactly_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<QString>("tickAt30");
        QTest::addColumn<QString>("degree45");
        QTest::newRow("100") << 100
                             << QStringList{"MoveTo 94,567",  "LineTo 699,567", "MoveTo 94,567",
                                            "LineTo 397,869", "MoveTo 699,567", "LineTo 397,869"}
                             << "MoveTo 510,567 LineTo 510,582" << "MoveTo 246,718 LineTo 252,712";
        QTest::newRow("300") << 300
                             << QStringList{"MoveTo 283,1701",  "LineTo 2098,1701", "MoveTo 283,1701",
                                            "LineTo 1191,2608", "MoveTo 2098,1701", "LineTo 1191,2608"}
                             << "MoveTo 1531,1701 LineTo 1531,1746" << "MoveTo 737,2154 LineTo 755,2136";
    }
    void drawnExactly()
    {
        // The new drawing's set square: 0 point (105, 150) mm, long side 160 mm from x 25 to
        // 185, the right angle 80 mm below at (105, 230).
        QFETCH(int, zoom);
        QFETCH(QStringList, outline);
        QFETCH(QString, tickAt30);
        QFETCH(QString, degree45);
        RecordingCanvas canvas;
        const InstrumentPlacement fresh;
        DrawSetSquare(canvas, {fresh.SetSquareX, fresh.SetSquareY, fresh.SetSquareAngle}, PixelsPerMmFor(zoom, 96));
        const QStringList shapes = canvas.Shapes();
        QCOMPARE(shapes.mid(0, 6), outline);
        const QString joined = shapes.join(' ');
        QVERIFY(joined.contains(tickAt30));  // the centimetre tick at +30 mm, 4 mm long
        QVERIFY(joined.contains(degree45));  // 45 degrees: a 5-degree tick on the left short side
        // Centimetres 7 to 0 to 7; degrees in two rows, then each row's 0 and 180 in the corners.
        QStringList expected = {"7", "6", "5", "4", "3", "2", "1", "0", "1", "2", "3", "4", "5", "6", "7"};
        for (int k = 10; k < 180; k += 10)
            expected << QString::number(k) << QString::number(180 - k);
        expected << "0" << "180" << "180" << "0";
        QCOMPARE(Numbers(canvas), expected);
        QVERIFY(canvas.Ops.filter("Font").first().contains(" e0 "));
        QVERIFY(!canvas.Ops.join(' ').contains("Brush")); // never filled: what lies beneath shows
    }

    void turnedNumbersFollowTheLongSide()
    {
        RecordingCanvas canvas;
        DrawSetSquare(canvas, {105, 150, 30}, PixelsPerMmFor(100, 96));
        for (const QString &font : canvas.Ops.filter("Font"))
            QVERIFY(font.contains(" e-300 "));
    }

    void paintedInDevicePixels_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("column"); // the tick at +30 mm, logical surface pixels
        QTest::addColumn<int>("row");    // 1 mm below the long side
        QTest::newRow("100, ratio 1") << 100 << 1.0 << 5 + 510 << 5 + Round(151 * PixelsPerMmFor(100, 96));
        QTest::newRow("100, ratio 2") << 100 << 2.0 << 5 + 510 << 5 + Round(151 * PixelsPerMmFor(100, 96));
        QTest::newRow("300, ratio 1") << 300 << 1.0 << 5 + 1531 << 5 + Round(151 * PixelsPerMmFor(300, 96));
        QTest::newRow("300, ratio 2") << 300 << 2.0 << 5 + 1531 << 5 + Round(151 * PixelsPerMmFor(300, 96));
    }
    void paintedInDevicePixels()
    {
        // A tick is one logical pixel of the instruments' grey: `ratio` device pixels wide,
        // with paper on both sides.
        QFETCH(int, zoom);
        QFETCH(qreal, ratio);
        QFETCH(int, column);
        QFETCH(int, row);
        const QImage image = Painted(InstrumentPlacement{}, zoom, ratio);
        const int r = int(ratio), y = row * r;
        for (int i = 0; i < r; ++i)
            QCOMPARE(image.pixel(column * r + i, y), Grey);
        QCOMPARE(image.pixel(column * r - 1, y), White);
        QCOMPARE(image.pixel(column * r + r, y), White);
        // The long side is a grey row of one logical pixel too.
        const int side = (5 + Round(150 * PixelsPerMmFor(zoom, 96))) * r, x = (5 + Round(60 * PixelsPerMmFor(zoom, 96))) * r;
        for (int i = 0; i < r; ++i)
            QCOMPARE(image.pixel(x, side + i), Grey);
        QCOMPARE(image.pixel(x, side - 1), White);
    }

    void keptInItsOwnChunk()
    {
        Window w;
        // Never used: no chunk, the file of an empty drawing is 136 bytes as it always was.
        const QString plain = w.Path("plain.vlm");
        QVERIFY(w.SaveTo(plain));
        QCOMPARE(QFileInfo(plain).size(), 136);

        // Moved and turned: the paper field and one chunk "GEOD" of 25 bytes follow.
        w.Placement().SetSquareX = 60.5;
        w.Placement().SetSquareY = -12.25;
        w.Placement().SetSquareAngle = 33.75;
        const QString moved = w.Path("moved.vlm");
        QVERIFY(w.SaveTo(moved));
        QFile file(moved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 136 + 4 + 8 + 25);
        QCOMPARE(bytes.mid(136, 4), QByteArray(4, '\0'));
        QCOMPARE(bytes.mid(140, 8), QByteArray("GEOD\x19\0\0\0", 8));
        ChunkReader fields(bytes.mid(148));
        double x = 0, y = 0, angle = 0;
        bool shown = false;
        QVERIFY(fields.Double(x) && fields.Double(y) && fields.Double(angle) && fields.Byte(shown) && fields.AtEnd());
        QCOMPARE(x, 60.5);
        QCOMPARE(y, -12.25);
        QCOMPARE(angle, 33.75);
        QVERIFY(shown);

        // Hidden where it lies in a new drawing: a chunk too. Back and shown: no chunk again.
        w.Placement() = InstrumentPlacement{};
        w->Menus().setSquareShownAction->trigger();
        QVERIFY(!w.Session().Settings().SetSquareShown);
        QCOMPARE(SetSquareChunkData(w.Placement(), false).size(), 25);
        QVERIFY(w.SaveTo(w.Path("hidden.vlm")));
        w->Menus().setSquareShownAction->trigger();
        QVERIFY(w.SaveTo(w.Path("again.vlm")));
        QCOMPARE(QFileInfo(w.Path("again.vlm")).size(), 136);

        // Opened again, each file gives back where it lay and whether it was shown.
        QVERIFY(w.Session().Files.OpenFile(moved));
        QCOMPARE(w.Placement().SetSquareX, 60.5);
        QCOMPARE(w.Placement().SetSquareAngle, 33.75);
        QCOMPARE(w->Entries().setSquareYEdit->value(), -12.25);
        QVERIFY(w.Session().Files.OpenFile(w.Path("hidden.vlm")));
        QVERIFY(!w->Menus().setSquareShownAction->isChecked());
        QCOMPARE(w.Placement().SetSquareX, InstrumentPlacement{}.SetSquareX);
        QVERIFY(w.Session().Files.OpenFile(plain));
        QVERIFY(w->Menus().setSquareShownAction->isChecked());
    }

    void anUnreadableChunkKeepsTheDrawing()
    {
        // A chunk cut short or holding no number: the drawing opens, the set square lies as
        // in a new drawing, and the next save writes a sound chunk in the same place.
        DrawingState drawing;
        DrawingBuilder(drawing).Line(10, 10, 50, 10, 0.5);
        DrawingFileSettings settings;
        SetChunk(settings.Chunks, MakeChunkTag("ZUKU"), "von morgen");
        SetChunk(settings.Chunks, SetSquareChunk, QByteArray(10, 'x'));
        Window w;
        const QString path = w.Path("cut.vlm");
        QVERIFY(SaveDrawingFile(path, drawing, settings).Ok());
        w.Placement().SetSquareX = 1;
        QVERIFY(w.Session().Files.OpenFile(path));
        QCOMPARE(w.Session().Drawing().Objects.Count, 1);
        QCOMPARE(w.Placement().SetSquareX, InstrumentPlacement{}.SetSquareX);
        w.Placement().SetSquareAngle = std::nan("");
        bool shown = false;
        QVERIFY(!SetSquareFromChunks({{SetSquareChunk, SetSquareChunkData(w.Placement(), true)}}, w.Placement(), shown));
        QVERIFY(shown && w.Placement().SetSquareAngle == 0);
        w.Placement().SetSquareAngle = 45;
        QVERIFY(w.SaveTo(path));
        DrawingState read;
        DrawingFileSettings again;
        again.KeepEveryChunk = true;
        QCOMPARE(LoadDrawingFile(path, read, again), DrawingFileError::None);
        QCOMPARE(int(again.Chunks.size()), 2);
        QCOMPARE(again.Chunks[0].Tag, MakeChunkTag("ZUKU")); // the order of the file is kept
        QCOMPARE(again.Chunks[1].Tag, SetSquareChunk);
        QCOMPARE(again.Chunks[1].Data.size(), 25);
    }

    void movedAndTurnedWithTheMouseAsTheRulerIs()
    {
        Window w;
        w.Placement().SetSquareX = 100;
        w.Placement().SetSquareY = 40;
        w->Tools().setSquareMoveMode->trigger();
        QVERIFY(w->Tools().Selection().Is(SetSquareMode::Move));
        w.Drag({300, 300}, {338, 281});
        QCOMPARE(w.Placement().SetSquareX, 100 + 38 / w.S());
        QCOMPARE(w.Placement().SetSquareY, 40 - 19 / w.S());
        QCOMPARE(w.Placement().RulerX, InstrumentPlacement{}.RulerX);

        // Turned about its 0 point by the angle the pointer sweeps: a quarter turn clockwise.
        w.Placement().SetSquareX = 100;
        w.Placement().SetSquareY = 40;
        w->Tools().setSquareTurnMode->trigger();
        const QPoint pivot = w.At(100, 40);
        w.Drag(pivot + QPoint(100, 0), pivot + QPoint(0, 100));
        const double turned = std::fmod(w.Placement().SetSquareAngle + 720, 360);
        QVERIFY2(std::fabs(turned - 90) < 1, qPrintable(QString::number(turned)));
        QCOMPARE(w.Placement().SetSquareX, 100.0); // the pivot stays
        // Neither is a change of the drawing or a step of the history, as for the ruler.
        QVERIFY(!w.Session().IsModified());
        QCOMPARE(w.Session().History().count(), 0);
        QCOMPARE(w->Entries().setSquareAngleEdit->value(), w.Placement().SetSquareAngle);
    }

    void linesAlongItsSides()
    {
        Window w;
        w.Placement().SetSquareX = 100;
        w.Placement().SetSquareY = 40;
        w->ShowPlacement();
        // The long side: the hover dot sits on it, the line lies on it and ends with it.
        w->Tools().setSquareLongMode->trigger();
        QTest::mouseMove(w.Box(), w.At(60, 70));
        const QImage hover = w.Shown();
        const QPoint foot = w.At(60, 40);
        QCOMPARE(qRed(hover.pixel(foot)), 255);
        QVERIFY(qGreen(hover.pixel(foot)) < 50);
        w.Drag(w.At(60, 50), w.At(230, 45));
        const DrawingObject &along = w.LastLine();
        QCOMPARE(along.Y1, 40.0);
        QCOMPARE(along.Y2, 40.0);
        QCOMPARE(along.X2, 180.0); // the long side's right end
        QVERIFY(std::fabs(along.X1 - 60) < 0.3);
        QCOMPARE(along.PenWidth, w.Session().Settings().PenWidth);

        // A short side: the one on the pointer's side of the perpendicular from 0.
        w->Tools().setSquareShortMode->trigger();
        w.Drag(w.At(62, 70), w.At(85, 90));
        const DrawingObject &left = w.LastLine();
        QVERIFY(std::fabs(left.Y1 - left.X1 - 20) < 1e-9 && std::fabs(left.Y2 - left.X2 - 20) < 1e-9);
        w.Drag(w.At(130, 70), w.At(110, 95));
        const DrawingObject &right = w.LastLine();
        QVERIFY(std::fabs(right.X1 + right.Y1 - 220) < 1e-9 && std::fabs(right.X2 + right.Y2 - 220) < 1e-9);
        QCOMPARE(w.Session().Drawing().Objects.Count, 3);
        QCOMPARE(w.Session().History().count(), 3); // each line one step
        QVERIFY(w.Session().IsModified());
    }

    void perpendicularAndParallelThroughAPoint()
    {
        // A line at 30 degrees through F = (100, 60). The perpendicular through P: the
        // set square's perpendicular laid on the line (0 point on F, angle 30 - 90 typed),
        // the pencil along the long side through P. The parallel through Q = (120, 90): the
        // long side through Q at the line's own angle.
        Window w;
        const double a = 30 * M_PI / 180;
        w.AddLine(100 - 50 * std::cos(a), 60 - 50 * std::sin(a), 100 + 50 * std::cos(a), 60 + 50 * std::sin(a), 0.3);
        w->Menus().entryBarAction->trigger();
        w->Tools().setSquareLongMode->trigger();
        EntryBar &bar = w->Entries();
        w.Type(bar.setSquareAngleEdit, "-60");
        w.Type(bar.setSquareXEdit, "100");
        w.Type(bar.setSquareYEdit, "60");
        QCOMPARE(w.Placement().SetSquareAngle, -60.0);
        const double px = 100 + 30 * std::cos(-M_PI / 3), py = 60 + 30 * std::sin(-M_PI / 3);
        w.Drag(w.At(100 + 20 * std::cos(2 * M_PI / 3), 60 + 20 * std::sin(2 * M_PI / 3)), w.At(120, 25.36));
        const DrawingObject &perpendicular = w.LastLine();
        const double dx = perpendicular.X2 - perpendicular.X1, dy = perpendicular.Y2 - perpendicular.Y1;
        QVERIFY(OffLine(perpendicular.X1, perpendicular.Y1, px, py, std::cos(-M_PI / 3), std::sin(-M_PI / 3)) < 1e-9);
        QVERIFY(OffLine(perpendicular.X2, perpendicular.Y2, px, py, std::cos(-M_PI / 3), std::sin(-M_PI / 3)) < 1e-9);
        QVERIFY(std::fabs(dx * std::cos(a) + dy * std::sin(a)) < 1e-9); // at right angles to the line
        QVERIFY(perpendicular.Y1 > py && perpendicular.Y2 < py);        // and through P

        w.Type(bar.setSquareAngleEdit, "30");
        w.Type(bar.setSquareXEdit, "120");
        w.Type(bar.setSquareYEdit, "90");
        w.Drag(w.At(100, 82), w.At(150, 103));
        const DrawingObject &parallel = w.LastLine();
        QVERIFY(OffLine(parallel.X1, parallel.Y1, 120, 90, std::cos(a), std::sin(a)) < 1e-9);
        QVERIFY(OffLine(parallel.X2, parallel.Y2, 120, 90, std::cos(a), std::sin(a)) < 1e-9);
        QVERIFY(parallel.X1 < 120 && parallel.X2 > 120);
    }

    void entryBarAndViewMenu()
    {
        Window w;
        w->Menus().entryBarAction->trigger();
        EntryBar &bar = w->Entries();
        w.Type(bar.setSquareXEdit, "100");
        w.Type(bar.setSquareYEdit, "40");
        QCOMPARE(w.Placement().SetSquareY, 40.0);
        QTest::keyClick(bar.setSquareAngleEdit, Qt::Key_Up); // as for the ruler: one degree
        QCOMPARE(w.Placement().SetSquareAngle, 1.0);
        QTest::keyClick(bar.setSquareAngleEdit, Qt::Key_Down);
        QCOMPARE(w.Placement().SetSquareAngle, 0.0);
        QTest::keyClick(bar.setSquareXEdit, Qt::Key_Down);
        QCOMPARE(w.Placement().SetSquareX, 99.0);
        // Every row of the bar can be reached when the window is too low for all of them.
        QVERIFY(bar.setSquareAngleEdit->isVisibleTo(w.form.get()));

        // "Ansicht" / "Geodreieck" hides and shows it on the surface; the drawing stays unchanged.
        const QPoint side = w.At(80, 40);
        QCOMPARE(w.Shown().pixel(side), Grey);
        w->Menus().setSquareShownAction->trigger();
        QCOMPARE(w.Shown().pixel(side), White);
        w->Menus().setSquareShownAction->trigger();
        QCOMPARE(w.Shown().pixel(side), Grey);
        QVERIFY(!w.Session().IsModified());
    }
};

QTEST_MAIN(TestSetSquare)
#include "test_set_square.moc"
