// Times opening and saving drawings of many objects, and the worst pencil append at a
// large drawing: the record array and the file reader must stay linear.
// Usage: file_bench open N [runs]      read and write a drawing of N objects (+ N/100 texts)
//        file_bench append N [moves]   appends after N objects: median and worst
#include "support/random_drawing.h"

#include "document/drawing_file.h"
#include "document/drawing_state.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

using namespace velmora;

namespace {

void Fill(DrawingState &state, int objects, int texts)
{
    std::mt19937 random(7);
    DrawingBuilder drawing(state);
    AddBusyDrawing(drawing, state.PageHeightInch, {.Sheets = 1, .ObjectsPerSheet = objects, .Texts = texts}, random);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Open(int n, int runs)
{
    DrawingState state;
    Fill(state, n, n / 100);
    const DrawingFileSettings settings;
    std::vector<double> save, open;
    QByteArray data;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        data = WriteDrawingFile(state, settings);
        save.push_back(timer.nsecsElapsed() / 1e6);
        DrawingState read;
        DrawingFileSettings readSettings;
        timer.restart();
        const DrawingFileError error = ReadDrawingFile(data, read, readSettings);
        open.push_back(timer.nsecsElapsed() / 1e6);
        if (error != DrawingFileError::None || read.Objects.Count != n) {
            std::fprintf(stderr, "read failed\n");
            return 1;
        }
    }
    std::printf("%8d objects + %6d texts (%6.1f MB)  open %9.2f ms  save %8.2f ms  (median of %d)\n", n, n / 100,
                data.size() / 1e6, Median(open), Median(save), runs);
    return 0;
}

int Appends(int n, int moves)
{
    DrawingState state;
    Fill(state, n, 0);
    std::vector<double> times;
    EditTransaction stroke(state, QStringLiteral("Bleistiftstrich")); // one long stroke
    for (int i = 0; i < moves; ++i) {
        QElapsedTimer timer;
        timer.start();
        DrawingObject *o = stroke.AppendObject();
        o->Kind = KindLine;
        o->PenWidth = 0.5;
        o->X1 = i;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("append after %d objects: median %.4f ms, 99.9th percentile %.3f ms, worst %.3f ms (%d appends)\n", n,
                Median(times), times[size_t(times.size() * 0.999)], times.back(), moves);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: file_bench open|append N [runs|moves]\n");
        return 2;
    }
    const int n = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "open") == 0)
        return Open(n, argc > 3 ? std::atoi(argv[3]) : 5);
    if (std::strcmp(argv[1], "append") == 0)
        return Appends(n, argc > 3 ? std::atoi(argv[3]) : 2000);
    return 2;
}
