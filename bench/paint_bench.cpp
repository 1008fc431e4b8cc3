// Times full repaints of a 1280 x 800 viewport of the drawing surface on large drawings.
// Usage: paint_bench [runs] [drags | changes | full | texts N | pencil N | pages] [squared]
// [worksheet] [--ratio R] [--threads N] (run with QT_QPA_PLATFORM=offscreen where there is no
// display). --ratio paints into a viewport image of device pixel ratio R (1, 1.25, 1.5, 2, 3),
// as on a high-density screen; "squared" puts every drawing on squared paper, "worksheet" a PDF
// page under every sheet; --threads draws pictures on N threads (default: every core). "full"
// and "changes" print each figure on a line of its own with the median and the minimum wall
// time and the median CPU time of the process; "pages" times rendering a worksheet's page and
// tells the memory its pictures take.
#include "support/random_drawing.h"
#include "support/surface_stand_in.h"

#include "document/drawing_state.h"
#include "render/canvas/overlay_canvas.h"
#include "render/canvas/painter_canvas.h"
#include "render/surface/surface_renderer.h"
#include "tools/pointer_dispatch.h"
#include "tools/touch_gestures.h"
#include "worksheet/page_images.h"
#include "worksheet/worksheet_opening.h"

#include <QRegion>

// Also built against earlier sources, which draw on one thread (before and after in one run).
#if __has_include("render/canvas/band_work.h")
#include "render/canvas/band_work.h"
#else
namespace velmora {
inline void SetRenderThreads(int) {}
inline int RenderThreads() { return 1; }
} // namespace velmora
#endif

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include <time.h>

using namespace velmora;

namespace {

// The paper of every drawing measured: plain, or squared with the word "squared".
PaperKind BenchPaper = PaperKind::Plain;
double Ratio = 1; // device pixels per logical pixel of the painted viewport
bool BenchWorksheet = false; // a worksheet's page under every sheet

// A worksheet of ten A4 pages as a teacher writes them: tasks in text, boxes, a figure.
SharedWorksheet TenPageWorksheet()
{
    static SharedWorksheet made;
    if (made)
        return made;
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(254);
    QPainter painter(&writer);
    painter.setFont(QFont("Liberation Sans", 11));
    for (int page = 0; page < 10; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawText(QPointF(200, 250), QStringLiteral("Arbeitsblatt Geometrie, Seite %1").arg(page + 1));
        for (int task = 0; task < 6; ++task) {
            const double top = 400 + task * 420;
            painter.drawText(QPointF(200, top), QStringLiteral("%1. Konstruiere das Dreieck ABC mit a = %2 cm, "
                                                               "b = 5 cm und γ = 60°.")
                                                    .arg(task + 1)
                                                    .arg(4 + task));
            painter.drawRect(QRectF(200, top + 60, 1700, 320));
            painter.drawEllipse(QPointF(1500, top + 220), 120, 120);
            painter.drawLine(QPointF(300, top + 340), QPointF(1100, top + 100));
        }
    }
    painter.end();
    const WorksheetOpening opened = OpenWorksheetBytes(pdf);
    made = std::make_shared<const Worksheet>(opened.Document);
    return made;
}

// The pictures of the worksheet's pages ready for the screen, as they are a moment after a
// drawing was opened (the first paint asked for them).
void SettlePages()
{
    if (BenchWorksheet)
        WaitForPageImages(std::chrono::seconds(60));
}

// The viewport image a window of 1280 x 800 logical pixels paints into.
QImage ViewportImage()
{
    QImage image(int(std::ceil(1280 * Ratio)), int(std::ceil(800 * Ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(Ratio);
    return image;
}

void Fill(DrawingState &state, int sheets, int objectsPerSheet, int texts)
{
    state.Paper = BenchPaper;
    if (BenchWorksheet)
        state.Background = TenPageWorksheet();
    std::mt19937 random(42);
    DrawingBuilder drawing(state);
    AddBusyDrawing(drawing, state.PageHeightInch,
                   {.Sheets = sheets, .ObjectsPerSheet = objectsPerSheet, .Texts = texts}, random);
}

// The window around the tools: the surface of a 1280 x 800 viewport at the chosen ratio,
// the pen as a new window has it.
class BenchHost : public SurfaceStandIn {
public:
    BenchHost(int sheets, int zoom, const QRect &viewport) : SurfaceStandIn(sheets, zoom, viewport, Ratio)
    {
        Colour = ColourBlack;
    }
};

double MedianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Wall and CPU time of single runs (the CPU time of every thread of the process).
class Stopwatch {
public:
    void Start()
    {
        wall_.start();
        cpuStart_ = CpuMs();
    }
    void Stop()
    {
        wallMs_.push_back(wall_.nsecsElapsed() / 1e6);
        cpuMs_.push_back(CpuMs() - cpuStart_);
    }
    // "label  median W ms  min M ms  cpu C ms  (runs)": one figure a line, for bench/compare.sh.
    void Print(const char *label) const
    {
        if (wallMs_.empty())
            return;
        std::printf("%-64s median %8.2f ms  min %8.2f ms  cpu %8.2f ms  (%zu runs)\n", label, MedianMs(wallMs_),
                    *std::min_element(wallMs_.begin(), wallMs_.end()), MedianMs(cpuMs_), wallMs_.size());
        std::fflush(stdout);
    }

private:
    static double CpuMs()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
    QElapsedTimer wall_;
    double cpuStart_ = 0;
    std::vector<double> wallMs_, cpuMs_;
};

// Full pictures only: the viewport drawn anew after the drawing changed (as after a zoom or
// opening), and the repaint that follows with nothing changed.
void RunFull(const char *label, int sheets, int objectsPerSheet, int texts, int zoom, int runs)
{
    DrawingState state;
    Fill(state, sheets, objectsPerSheet, texts);
    SurfaceRenderer renderer;
    const ViewGeometry view = ComputeViewGeometry(sheets, zoom, 96, 96, state.PageWidthInch, state.PageHeightInch);
    QImage target = ViewportImage();
    const QRect sheet = view.SheetOnSurface(sheets / 2);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    Stopwatch full, unchanged;
    for (int run = 0; run <= runs; ++run) {
        for (bool keep : {false, true}) {
            if (!keep)
                renderer.DropCache();
            Stopwatch &watch = keep ? unchanged : full;
            if (run > 0) // the first run builds the object index and the text measurements
                watch.Start();
            QPainter painter(&target);
            painter.translate(-viewport.topLeft());
            renderer.Paint(painter, viewport, state, view, SheetView{});
            painter.end();
            if (run > 0)
                watch.Stop();
            else
                SettlePages();
        }
    }
    const QByteArray name = QByteArray(label) + " zoom " + QByteArray::number(zoom) + "%";
    full.Print((name + "  full picture").constData());
    unchanged.Print((name + "  unchanged").constData());
}

void Run(const char *label, int sheets, int objectsPerSheet, int texts, int zoom, int runs)
{
    DrawingState state;
    Fill(state, sheets, objectsPerSheet, texts);
    SurfaceRenderer renderer;
    const ViewGeometry view = ComputeViewGeometry(sheets, zoom, 96, 96, state.PageWidthInch, state.PageHeightInch);
    QImage target = ViewportImage();
    // A viewport scrolled into the middle of the stack, across a sheet border.
    const QRect sheet = view.SheetOnSurface(sheets / 2);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    // "full": the drawing changed, everything visible is drawn again; "unchanged": a repaint
    // with nothing changed reuses the kept picture of the viewport.
    std::vector<double> full, instrument;
    for (int run = 0; run <= runs; ++run) {
        for (bool keep : {false, true}) {
            if (!keep)
                renderer.DropCache();
            QElapsedTimer timer;
            timer.start();
            QPainter painter(&target);
            painter.translate(-viewport.topLeft());
            renderer.Paint(painter, viewport, state, view, SheetView{});
            painter.end();
            if (run > 0) // the first run builds the object index and the text measurements
                (keep ? instrument : full).push_back(timer.nsecsElapsed() / 1e6);
            else
                SettlePages();
        }
    }
    std::printf("%-40s zoom %3d%%  full %8.2f ms  unchanged %6.2f ms  (median of %d)\n", label, zoom,
                MedianMs(full), MedianMs(instrument), runs);
}

enum class Drag { RulerMove, RulerAlong, CompassArc, ProtractorTurn, SetSquareMove, SetSquareTurn, SetSquareLong };

// One pointer move during a drag (repaint plus preview), then the paint of the viewport.
void RunDrag(Drag kind, const char *label, int objectsPerSheet, int zoom, int runs, int texts = 100)
{
    const ViewGeometry view = ComputeViewGeometry(10, zoom, 96, 96, A4WidthInch, A4HeightInch);
    const QRect sheet = view.SheetOnSurface(5);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    BenchHost host(10, zoom, viewport);
    Fill(host.Document(), 10, objectsPerSheet, texts);
    const bool setSquare = kind == Drag::SetSquareMove || kind == Drag::SetSquareTurn || kind == Drag::SetSquareLong;
    host.Tools.Current = kind == Drag::RulerAlong || kind == Drag::RulerMove ? Tool::Ruler
                         : kind == Drag::CompassArc                         ? Tool::Compass
                         : setSquare                                        ? Tool::SetSquare
                                                                            : Tool::Protractor;
    host.Tools.Ruler = kind == Drag::RulerMove ? RulerMode::Move : RulerMode::Along;
    host.Tools.Compass = CompassMode::Arc;
    host.Tools.Protractor = ProtractorMode::Turn;
    host.Tools.SetSquare = kind == Drag::SetSquareMove   ? SetSquareMode::Move
                           : kind == Drag::SetSquareTurn ? SetSquareMode::Turn
                                                         : SetSquareMode::LongSide;
    // The set square near the top of every sheet, so that it lies in the viewport.
    host.Document().Placement.SetSquareX = 100;
    host.Document().Placement.SetSquareY = 20;
    PointerDispatch dispatch(host);
    // Around the instrument on the sheet the press lands on (the compass needle or the
    // protractor centre are near the top of a sheet, 50 mm down; the set square's 0 point 20 mm).
    const double s = view.PixelsPerMm;
    const int cx = viewport.left() + int(100 * s);
    const int cy = setSquare ? view.SheetOnSurface(5).top() + int(20 * s) : view.SheetOnSurface(6).top() + int(50 * s);
    const bool straight = kind == Drag::RulerAlong || kind == Drag::RulerMove || kind == Drag::SetSquareMove ||
                          kind == Drag::SetSquareLong;
    const int x0 = cx + 150, y0 = kind == Drag::RulerAlong || kind == Drag::RulerMove ? viewport.top() + 400 : cy;
    dispatch.MouseDown(PointerButton::Left, x0, y0);
    host.PaintAll(); // the first paint renders and keeps the drawing of the viewport
    if (BenchWorksheet) { // the sharp pages shown, as the window does when they arrive
        SettlePages();
        host.DrawingChanged();
        host.PaintAll();
    }
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double turn = run * 0.02;
        const int x = straight ? x0 + 3 * run : cx + int(150 * std::cos(turn));
        const int y = straight ? y0 + run % 7 : cy + int(150 * std::sin(turn));
        QElapsedTimer timer;
        timer.start();
        dispatch.MouseMove(x, y);
        host.PaintAll();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    dispatch.MouseUp(x0, y0);
    const char *what = kind == Drag::RulerMove       ? "moving the ruler"
                       : kind == Drag::RulerAlong    ? "drawing along the ruler"
                       : kind == Drag::CompassArc    ? "drawing an arc with the compass"
                       : kind == Drag::SetSquareMove ? "moving the set square"
                       : kind == Drag::SetSquareTurn ? "turning the set square"
                       : kind == Drag::SetSquareLong ? "drawing along the set square"
                                                     : "turning the protractor";
    std::printf("%-40s zoom %3d%%  pointer move while %-31s %6.2f ms  (median of %d)\n", label, zoom, what,
                MedianMs(times), runs);
}

// Turning the ruler about a point beside it: with the mouse (one move of the turn mode), and
// with two fingers on it (one touch update of both, the ruler following them rigidly with its
// angle's readout), each followed by the paint of the viewport.
void RunRulerTurns(const char *label, int objectsPerSheet, int zoom, int runs)
{
    const ViewGeometry view = ComputeViewGeometry(10, zoom, 96, 96, A4WidthInch, A4HeightInch);
    const QRect sheet = view.SheetOnSurface(5);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    const double s = view.PixelsPerMm;
    // Two points on the ruler's strip (10 mm from the left edge, 90 mm down, 10 mm wide).
    const QPointF a(sheet.left() + 40 * s, sheet.top() + 95 * s), b(sheet.left() + 100 * s, sheet.top() + 95 * s);
    const QPointF mid = (a + b) / 2;
    for (bool touch : {false, true}) {
        BenchHost host(10, zoom, viewport);
        Fill(host.Document(), 10, objectsPerSheet, 100);
        host.Tools.Current = Tool::Ruler;
        host.Tools.Ruler = RulerMode::Turn;
        PointerDispatch dispatch(host);
        TouchGestures fingers(host, dispatch);
        if (touch)
            fingers.Update({{1, a, Finger::Phase::Pressed}, {2, b, Finger::Phase::Pressed}}, true, false);
        else
            dispatch.MouseDown(PointerButton::Left, int(b.x()), int(b.y()));
        host.PaintAll();
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const double t = (run % 90) * 0.01; // up to 52 degrees, back and forth
            const QPointF r(std::cos(t) * (b.x() - mid.x()), std::sin(t) * (b.x() - mid.x()));
            QElapsedTimer timer;
            timer.start();
            if (touch)
                fingers.Update({{1, mid - r, Finger::Phase::Moved}, {2, mid + r, Finger::Phase::Moved}}, false, false);
            else
                dispatch.MouseMove(int(mid.x() + r.x()), int(mid.y() + r.y()));
            host.PaintAll();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("%-40s zoom %3d%%  %-48s %6.2f ms  (median of %d)\n", label, zoom,
                    touch ? "touch update of a two-finger ruler turn" : "pointer move while turning the ruler",
                    MedianMs(times), runs);
    }
}

// One pencil move (a segment appended and drawn over the surface, then the paint) and one
// hover-scan move of the object tool that finds nothing, on a drawing of 100,000 objects.
void RunPencilAndHover(int runs, int objectsPerSheet = 10000)
{
    const ViewGeometry view = ComputeViewGeometry(10, 100, 96, 96, A4WidthInch, A4HeightInch);
    const QRect sheet = view.SheetOnSurface(5);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    BenchHost host(10, 100, viewport);
    Fill(host.Document(), 10, objectsPerSheet, 100);
    PointerDispatch dispatch(host);
    host.DrawingChanged();
    host.PaintAll();
    if (BenchWorksheet) { // the sharp pages shown, as the window does when they arrive
        SettlePages();
        host.DrawingChanged();
        host.PaintAll();
    }

    host.Tools.Current = Tool::Pencil;
    const int x0 = viewport.left() + 100, y0 = viewport.top() + 100;
    dispatch.MouseDown(PointerButton::Left, x0, y0);
    std::vector<double> pencil;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        dispatch.MouseMove(x0 + run % 500, y0 + run / 500);
        host.PaintAll();
        pencil.push_back(timer.nsecsElapsed() / 1e6);
    }
    dispatch.MouseUp(x0, y0);
    std::printf("10 sheets x %6d objects + 100 texts     zoom 100%%  pointer move with the pencil %6.3f ms, worst %.3f ms"
                "  (median of %d)\n",
                objectsPerSheet, MedianMs(pencil), *std::max_element(pencil.begin(), pencil.end()), runs);
    if (objectsPerSheet != 10000)
        return;

    host.Tools.Current = Tool::Objects;
    host.Tools.Objects = ObjectMode::Delete;
    host.DrawingChanged();
    std::vector<double> hover;
    for (int run = 0; run < runs / 10; ++run) {
        QElapsedTimer timer;
        timer.start();
        dispatch.MouseMove(viewport.right() - 2, viewport.top() + 5 + run % 50); // beside the sheets: no hit
        host.PaintAll();
        hover.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%-40s zoom 100%%  hover-scan move over %d objects %6.3f ms  (median of %d)\n",
                "10 sheets x 10,000 objects + 100 texts", host.Drawing().Objects.Count, MedianMs(hover), runs / 10);
}

// One change of the drawing through the tools and the history, each followed by the repaint
// and the paint events the window gets: a pencil line appended, moved and deleted with the
// object tool, then the delete undone and done again.
void RunChanges(int objectsPerSheet, int zoom, int runs)
{
    const ViewGeometry view = ComputeViewGeometry(10, zoom, 96, 96, A4WidthInch, A4HeightInch);
    const QRect sheet = view.SheetOnSurface(5);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    BenchHost host(10, zoom, viewport);
    Fill(host.Document(), 10, objectsPerSheet, 100);
    PointerDispatch dispatch(host);
    host.DrawingChanged();
    host.PaintPending(true);

    enum Step { Append, Move, Delete, Undo, Redo, Steps };
    Stopwatch watches[Steps];
    // The watch of a step starts where the step starts and stops after its paint.
    struct StepTimer {
        Stopwatch *Watches;
        int Current = 0;
        void start() { Watches[Current].Start(); }
    } timer{watches};
    auto done = [&](Step step) {
        host.PaintPending(true);
        watches[step].Stop();
        timer.Current = (step + 1) % Steps;
    };
    std::mt19937 random(7);
    std::uniform_int_distribution<int> px(viewport.left() + 40, viewport.right() - 200),
        py(viewport.top() + 40, viewport.bottom() - 200);
    for (int run = 0; run < runs; ++run) {
        const int x = px(random), y = py(random);
        host.Tools.Current = Tool::Pencil;
        dispatch.MouseDown(PointerButton::Left, x, y);
        timer.start();
        dispatch.MouseMove(x + 60, y + 40); // the segment is appended and drawn over the surface
        dispatch.MouseUp(x + 60, y + 40);
        host.DrawingChanged(); // what the window's next repaint does with the new segment
        done(Append);

        host.Tools.Current = Tool::Objects;
        host.Tools.Objects = ObjectMode::Move;
        dispatch.MouseMove(x + 30, y + 20); // hover finds the new line
        host.PaintPending(true);
        dispatch.MouseDown(PointerButton::Left, x + 30, y + 20);
        dispatch.MouseMove(x + 50, y + 60);
        host.PaintPending(true);
        timer.start();
        dispatch.MouseUp(x + 50, y + 60);
        done(Move);

        host.Tools.Objects = ObjectMode::Delete;
        dispatch.MouseMove(x + 50, y + 60);
        host.PaintPending(true);
        timer.start();
        dispatch.MouseDown(PointerButton::Left, x + 50, y + 60);
        dispatch.MouseUp(x + 50, y + 60);
        done(Delete);

        timer.start();
        host.Undo();
        done(Undo);
        timer.start();
        host.Redo();
        done(Redo);
    }
    const char *names[Steps] = {"append", "move", "delete", "undo", "redo"};
    for (int step = 0; step < Steps; ++step) {
        char label[128];
        std::snprintf(label, sizeof label, "10 sheets x %d objects + 100 texts zoom %d%%  one change: %s",
                      objectsPerSheet, zoom, names[step]);
        watches[step].Print(label);
    }
}

} // namespace

// A worksheet's page rendered at zoom 100 and 300 (96 dpi), and the memory its pictures take.
void RunPages(int runs)
{
    const SharedWorksheet worksheet = TenPageWorksheet();
    for (int zoom : {100, 300}) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            const QImage page = RenderWorksheetPage(*worksheet, run % 10, 96 / MmPerInch * zoom / 100);
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("one A4 page of a PDF worksheet, zoom %3d%%: %8.2f ms  (median of %d)\n", zoom, MedianMs(times), runs);
    }
    for (int zoom : {100, 300}) {
        const SharedWorksheet fresh = std::make_shared<const Worksheet>(*worksheet);
        PageImages &images = PageImagesOf(fresh);
        for (int page = 0; page < 10; ++page)
            images.ForScreen(page, 96 / MmPerInch * zoom / 100);
        WaitForPageImages(std::chrono::seconds(120));
        std::printf("10 pages kept for the screen at zoom %3d%%: %.1f MiB of pictures + %.1f KiB of PDF\n", zoom,
                    images.KeptBytes() / 1048576.0, worksheet->Bytes.size() / 1024.0);
    }
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    // "worksheet" anywhere among the arguments puts a PDF worksheet's page under every sheet.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "worksheet") == 0) {
            BenchWorksheet = true;
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            std::printf("On a worksheet of ten PDF pages.\n");
            break;
        }
    // "squared" anywhere among the arguments puts every drawing on squared paper (5 mm).
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "squared") == 0) {
            BenchPaper = PaperKind::Squared5;
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            std::printf("On squared paper (5 mm).\n");
            break;
        }
    // "--ratio R" may stand anywhere; the other arguments keep their places.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--ratio") != 0)
            continue;
        Ratio = std::clamp(std::atof(argv[i + 1]), 1.0, 4.0);
        for (int j = i; j + 2 <= argc; ++j)
            argv[j] = argv[j + 2];
        argc -= 2;
        break;
    }
    // "--threads N" likewise: the threads that draw a picture.
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--threads") != 0)
            continue;
        SetRenderThreads(std::max(1, std::atoi(argv[i + 1])));
#if __has_include("render/canvas/band_work.h")
        SurfaceRenderer::PicturesInBands = true; // the window's pictures in bands (earlier sources had them off)
#endif
        for (int j = i; j + 2 <= argc; ++j)
            argv[j] = argv[j + 2];
        argc -= 2;
        break;
    }
    if (Ratio != 1)
        std::printf("device pixel ratio %g\n", Ratio);
    std::printf("pictures drawn on %d thread(s)\n", RenderThreads());
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const bool dragsOnly = argc > 2 && std::strcmp(argv[2], "drags") == 0;
    if (argc > 3 && std::strcmp(argv[2], "texts") == 0) {
        // Many texts: full and unchanged repaints, and an instrument drag over them.
        const int texts = std::atoi(argv[3]);
        const QByteArray label = QByteArray("10 sheets x 100 objects + ") + QByteArray::number(texts) + " texts";
        Run(label.constData(), 10, 100, texts, 100, runs);
        RunDrag(Drag::RulerMove, label.constData(), 100, 100, runs * 4, texts);
        return 0;
    }
    if (argc > 3 && std::strcmp(argv[2], "pencil") == 0) {
        RunPencilAndHover(runs * 40, std::atoi(argv[3]) / 10);
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[2], "touch") == 0) {
        for (int zoom : {100, 300})
            RunRulerTurns("10 sheets x 10,000 objects + 100 texts", 10000, zoom, runs * 4);
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[2], "full") == 0) {
        // The full pictures: objects at both zooms, then many texts; "full N Z" only N objects
        // per sheet at zoom Z (N = 0: only the texts).
        if (argc > 4) {
            const int objects = std::atoi(argv[3]), zoom = std::atoi(argv[4]);
            if (objects > 0)
                RunFull(("10 sheets x " + QByteArray::number(objects) + " objects + 100 texts").constData(), 10,
                        objects, 100, zoom, runs);
            else
                RunFull("10 sheets x 100 objects + 100000 texts", 10, 100, 100000, zoom, runs);
            return 0;
        }
        for (int objects : {1000, 10000})
            for (int zoom : {100, 300}) {
                const QByteArray label = "10 sheets x " + QByteArray::number(objects) + " objects + 100 texts";
                RunFull(label.constData(), 10, objects, 100, zoom, runs);
            }
        RunFull("10 sheets x 100 objects + 100000 texts", 10, 100, 100000, 100, runs);
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[2], "pages") == 0) {
        RunPages(runs);
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[2], "changes") == 0) {
        for (int objects : {100, 10000})
            for (int zoom : {100, 300})
                RunChanges(objects, zoom, runs);
        return 0;
    }
    if (!dragsOnly) {
    Run("10 sheets x 1,000 objects + 100 texts", 10, 1000, 100, 100, runs);
    Run("10 sheets x 1,000 objects + 100 texts", 10, 1000, 100, 300, runs);
    Run("10 sheets x 10,000 objects + 100 texts", 10, 10000, 100, 100, runs);
    Run("10 sheets x 10,000 objects + 100 texts", 10, 10000, 100, 300, runs);
    }
    RunPencilAndHover(runs * 40);
    for (Drag kind : {Drag::RulerMove, Drag::RulerAlong, Drag::CompassArc, Drag::ProtractorTurn, Drag::SetSquareMove,
                      Drag::SetSquareTurn, Drag::SetSquareLong})
        for (int zoom : {100, 300}) {
            RunDrag(kind, "10 sheets x 100 objects + 100 texts", 100, zoom, runs * 4);
            RunDrag(kind, "10 sheets x 1,000 objects + 100 texts", 1000, zoom, runs * 4);
            RunDrag(kind, "10 sheets x 10,000 objects + 100 texts", 10000, zoom, runs * 4);
        }
    for (int zoom : {100, 300})
        RunRulerTurns("10 sheets x 10,000 objects + 100 texts", 10000, zoom, runs * 4);
    return 0;
}
