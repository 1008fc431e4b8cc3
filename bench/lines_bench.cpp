// Wide antialiased lines: writes the same random shapes as a drawing (.vlm) and as a peer's
// document (.xopp, uncompressed XML, which that program also reads), and times rendering one
// A4 sheet at 150 dpi (or DPI) in process. Two more drawings have no counterpart in the peer's
// document: "whitecurves", N white curves and arcs on graph paper over black lines (the paper
// shows again under them), and "texts", N texts of 2,000 points.
// Usage: lines_bench make N lines|circles|arcs|ANGLE|whitecurves|texts OUT.vlm OUT.xopp
//        lines_bench time N lines|circles|arcs|ANGLE|whitecurves|texts [runs] [DPI]
#include "support/drawing_builder.h"

#include "document/drawing_file.h"
#include "document/drawing_state.h"
#include "render/output/sheet_export.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

using namespace velmora;

namespace {

constexpr double PenMm = 0.5;
constexpr double PtPerMm = 72 / 25.4;

// Random shapes on an A4 sheet: lines (at one angle in degrees, or random), circles or arcs.
void Fill(DrawingState &state, int n, const char *shape)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> x(10, 200), y(10, 287), len(5, 60), turn(0, 2 * std::numbers::pi),
        radius(2, 30);
    if (std::strcmp(shape, "whitecurves") == 0) {
        state.Paper = PaperKind::Millimetre;
        DrawingBuilder drawing(state);
        for (int i = 0; i < 40; ++i) { // ink for the white to cover
            DrawingObject *o = &drawing.Blank();
            o->PenWidth = PenMm;
            o->X1 = 10, o->Y1 = 10 + 7 * i, o->X2 = 200, o->Y2 = 12 + 7 * i;
        }
        for (int i = 0; i < n; ++i) {
            DrawingObject *o = &drawing.Blank();
            o->Kind = i % 2 ? KindArc : KindBezier;
            o->PenWidth = 2;
            o->Colour = ColourWhite;
            o->X1 = x(random) / 4, o->Y1 = y(random) / 4;
            o->X2 = 200 - x(random) / 4, o->Y2 = 290 - y(random) / 4;
            o->X3 = x(random), o->Y3 = y(random), o->X4 = x(random), o->Y4 = y(random);
        }
        return;
    }
    if (std::strcmp(shape, "texts") == 0) {
        DrawingBuilder drawing(state);
        for (int i = 0; i < n; ++i) {
            const double left = x(random) - 10, top = y(random) - 10;
            drawing.Text(left, top, QStringLiteral("Dreieck %1").arg(i), 2000);
        }
        return;
    }
    const bool circles = std::strcmp(shape, "circles") == 0, arcs = std::strcmp(shape, "arcs") == 0;
    const bool randomAngle = std::strcmp(shape, "lines") == 0;
    const double angle = randomAngle || circles || arcs ? 0 : std::atof(shape) * std::numbers::pi / 180;
    DrawingBuilder drawing(state);
    for (int i = 0; i < n; ++i) {
        DrawingObject *o = &drawing.Blank();
        o->PenWidth = PenMm;
        o->X1 = x(random);
        o->Y1 = y(random);
        if (circles || arcs) {
            const double r = radius(random);
            o->Kind = circles ? KindEllipse : KindArc;
            o->X2 = o->X1 + 2 * r;
            o->Y2 = o->Y1 + 2 * r;
            const double a = turn(random), b = a + turn(random) / 2;
            o->X3 = o->X1 + r + r * std::cos(a);
            o->Y3 = o->Y1 + r - r * std::sin(a);
            o->X4 = o->X1 + r + r * std::cos(b);
            o->Y4 = o->Y1 + r - r * std::sin(b);
        } else {
            const double a = randomAngle ? turn(random) : angle, l = len(random);
            o->Kind = KindLine;
            o->X2 = o->X1 + l * std::cos(a);
            o->Y2 = o->Y1 - l * std::sin(a);
        }
    }
}

QByteArray Xopp(const DrawingState &state)
{
    QByteArray out = "<?xml version=\"1.0\" standalone=\"no\"?>\n<xournal creator=\"bench\" fileversion=\"4\">\n"
                     "<title>bench</title>\n<page width=\"595.27559\" height=\"841.88976\">\n"
                     "<background type=\"solid\" color=\"#ffffffff\" style=\"plain\"/>\n<layer>\n";
    const QByteArray width = QByteArray::number(PenMm * PtPerMm, 'f', 5);
    for (int i = 0; i < state.Objects.Count; ++i) {
        const DrawingObject &o = state.Objects.At(i);
        QByteArray points;
        auto add = [&](double xMm, double yMm) {
            points += QByteArray::number(xMm * PtPerMm, 'f', 3) + ' ' + QByteArray::number(yMm * PtPerMm, 'f', 3) + ' ';
        };
        if (o.Kind == KindLine) {
            add(o.X1, o.Y1);
            add(o.X2, o.Y2);
        } else {
            const double cx = (o.X1 + o.X2) / 2, cy = (o.Y1 + o.Y2) / 2, r = (o.X2 - o.X1) / 2;
            double a = 0, b = 2 * std::numbers::pi;
            if (o.Kind == KindArc) {
                a = std::atan2(-(o.Y3 - cy), o.X3 - cx);
                b = std::atan2(-(o.Y4 - cy), o.X4 - cx);
                while (b <= a)
                    b += 2 * std::numbers::pi;
            }
            const int steps = std::max(8, int(r * (b - a)));
            for (int k = 0; k <= steps; ++k) {
                const double t = a + (b - a) * k / steps;
                add(cx + r * std::cos(t), cy - r * std::sin(t));
            }
        }
        out += "<stroke tool=\"pen\" color=\"#000000ff\" width=\"" + width + "\">" + points.trimmed() + "</stroke>\n";
    }
    out += "</layer>\n</page>\n</xournal>\n";
    return out;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: lines_bench make|time N lines|circles|arcs|ANGLE ...\n");
        return 2;
    }
    DrawingState state;
    Fill(state, std::atoi(argv[2]), argv[3]);
    if (std::strcmp(argv[1], "make") == 0 && argc >= 6) {
        QFile vlm(argv[4]), xopp(argv[5]);
        if (!vlm.open(QIODevice::WriteOnly) || !xopp.open(QIODevice::WriteOnly))
            return 1;
        DrawingFileSettings settings;
        settings.Paper = state.Paper;
        vlm.write(WriteDrawingFile(state, settings));
        xopp.write(Xopp(state));
        return 0;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
    const int dpi = argc > 5 ? std::clamp(std::atoi(argv[5]), 10, 4000) : 150;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        timer.start();
        WriteSheetBmp(state, 1, 0, dpi, out);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("%7d %-8s A4 at %d dpi as BMP: %9.1f ms  (median of %d)\n",
                state.Objects.Count + state.Texts.Count, argv[3], dpi, Median(times), runs);
    return 0;
}
