// Times full repaints of a 1280 x 800 viewport of the drawing surface on large drawings.
// Usage: paint_bench [runs]   (run with QT_QPA_PLATFORM=offscreen where there is no display)
#include "document/drawing_state.h"
#include "render/surface_renderer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace velmora;

namespace {

void Fill(DrawingState &state, int sheets, int objectsPerSheet, int texts)
{
    std::mt19937 random(42);
    std::uniform_real_distribution<double> x(5, 205), y(5, 292), d(-30, 30), w(0.1, 1.5);
    for (int sheet = 0; sheet < sheets; ++sheet) {
        const double off = SheetOffsetMm(sheet, state.PageHeightInch);
        for (int i = 0; i < objectsPerSheet; ++i) {
            DrawingObject *o = state.Objects.Append();
            *o = DrawingObject{};
            o->Kind = uint32_t(i % 4);
            o->PenWidth = w(random);
            o->X1 = x(random);
            o->Y1 = y(random) + off;
            o->X2 = o->X1 + d(random);
            o->Y2 = o->Y1 + d(random);
            o->X3 = o->X1 + d(random);
            o->Y3 = o->Y1 + d(random);
            o->X4 = o->X2 + d(random);
            o->Y4 = o->Y2 + d(random);
            o->Colour = ColourRGB(uint8_t(i * 37), uint8_t(i * 11), uint8_t(i * 5));
        }
    }
    for (int i = 0; i < texts; ++i) {
        TextObject *t = state.Texts.Append();
        *t = TextObject{};
        t->Left = x(random);
        t->Top = y(random) + SheetOffsetMm(i % sheets, state.PageHeightInch);
        t->Size = 12;
        SetTextString(*t, QStringLiteral("Dreieck ABC %1\nHöhe h").arg(i));
        SetFontName(*t, "Arial", 5);
    }
}

double MedianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Run(const char *label, int sheets, int objectsPerSheet, int texts, int zoom, int runs)
{
    DrawingState state;
    Fill(state, sheets, objectsPerSheet, texts);
    SurfaceRenderer renderer;
    const ViewGeometry view = ComputeViewGeometry(sheets, zoom, 96, 96, state.PageWidthInch, state.PageHeightInch);
    QImage target(1280, 800, QImage::Format_RGB32);
    // A viewport scrolled into the middle of the stack, across a sheet border.
    const QRect sheet = view.SheetOnSurface(sheets / 2);
    const QRect viewport(sheet.left(), sheet.top() - 300, 1280, 800);
    // "full": the drawing changed, everything visible is drawn again; "instrument": only an
    // instrument moved, the kept drawing of the viewport is reused.
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
        }
    }
    std::printf("%-40s zoom %3d%%  full %8.2f ms  instrument move %6.2f ms  (median of %d)\n", label, zoom,
                MedianMs(full), MedianMs(instrument), runs);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    Run("10 sheets x 1,000 objects + 100 texts", 10, 1000, 100, 100, runs);
    Run("10 sheets x 1,000 objects + 100 texts", 10, 1000, 100, 300, runs);
    Run("10 sheets x 10,000 objects + 100 texts", 10, 10000, 100, 100, runs);
    Run("10 sheets x 10,000 objects + 100 texts", 10, 10000, 100, 300, runs);
    return 0;
}
