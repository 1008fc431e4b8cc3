// Times opening and saving drawings of many objects, and the worst pencil append at a
// large drawing: the record array and the file reader must stay linear.
// Usage: file_bench open N [runs]      read and write a drawing of N objects (+ N/100 texts)
//        file_bench append N [moves]   appends after N objects: median and worst
//        file_bench opening N [runs] [BASE_DIR]
//                                      opening a saved drawing of N objects (+ N/100 texts) from
//                                      the disk against reading its file into fresh memory, each in
//                                      a process of its own, interleaved: CPU and wall time, medians
//                                      and minima, and the peak memory; with BASE_DIR (another
//                                      build's folder holding its velmora-export) the programs of
//                                      both builds open it too, before and after in one run
#include "support/random_drawing.h"

#include "document/drawing_file.h"
#include "document/drawing_state.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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

// ---- opening from the disk, each measurement in a fresh process ----

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The peak resident memory of the program running now, in KiB (VmHWM: unlike ru_maxrss it
// does not start from the peak of the process that started it).
long PeakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// In a child: one operation on the file, printed as "cpu wall peakgrowth".
int Measure(const char *what, const char *path)
{
    const long peakBefore = PeakKiB();
    const double cpu = CpuMs(), wall = WallMs();
    if (std::strcmp(what, "read-file") == 0) {
        // The floor: the file read once into memory that was never touched before.
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        const off_t size = lseek(fd, 0, SEEK_END);
        lseek(fd, 0, SEEK_SET);
        std::unique_ptr<char[]> buffer(new char[size_t(size)]);
        off_t done = 0;
        while (done < size) {
            const ssize_t got = read(fd, buffer.get() + done, size_t(size - done));
            if (got <= 0)
                return 1;
            done += got;
        }
        close(fd);
    } else {
        DrawingState drawing;
        DrawingFileSettings settings;
        if (std::strcmp(what, "open-file") == 0) {
            if (LoadDrawingFile(QString::fromLocal8Bit(path), drawing, settings) != DrawingFileError::None)
                return 1;
        } else { // "open-buffered": the way opening went before, the whole file in a buffer first
            QByteArray data;
            if (!ReadRegularFile(QString::fromLocal8Bit(path), qint64(1) << 30, data).Ok() ||
                ReadDrawingFile(data, drawing, settings) != DrawingFileError::None)
                return 1;
        }
    }
    std::printf("%.3f %.3f %ld\n", CpuMs() - cpu, WallMs() - wall, PeakKiB() - peakBefore);
    return 0;
}

struct Child {
    bool ok = false;   // exited with 0
    int exitCode = -1;
    double cpuMs = 0, wallMs = 0; // of the whole process
    long peakKiB = 0;             // of the whole process
    std::string out;
};

// Runs a program to its end with its output read; CPU and peak memory from wait4.
Child Run(const std::vector<std::string> &args)
{
    Child child;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return child;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    const double wall = WallMs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return child;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        child.out.append(buffer, size_t(got));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    child.wallMs = WallMs() - wall;
    child.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    child.peakKiB = usage.ru_maxrss;
    child.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    child.ok = child.exitCode == 0;
    return child;
}

struct Figures {
    std::vector<double> cpu, wall;
    std::vector<long> peak;
    void Add(double c, double w, long p)
    {
        cpu.push_back(c);
        wall.push_back(w);
        peak.push_back(p);
    }
};

double Minimum(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

void PrintRow(const char *name, const Figures &f, const Figures &floor, const char *peakWhat)
{
    std::printf("  %-44s cpu %8.2f ms (min %8.2f)  wall %8.2f ms (min %8.2f)  %5.2fx / %5.2fx  %s %6.1f MiB\n",
                name, Median(f.cpu), Minimum(f.cpu), Median(f.wall), Minimum(f.wall),
                Median(f.cpu) / Median(floor.cpu), Median(f.wall) / Median(floor.wall), peakWhat,
                *std::max_element(f.peak.begin(), f.peak.end()) / 1024.0);
}

int Opening(int n, int runs, const char *baseDir)
{
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath("drawing.vlm")).toStdString();
    const std::string empty = QFile::encodeName(dir.filePath("empty.vlm")).toStdString();
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    // Written by a child: a program started from here begins with this one's peak memory
    // (ru_maxrss survives exec), so this one stays small.
    if (!Run({self, "write", std::to_string(n), path}).ok || !Run({self, "write", "0", empty}).ok) {
        std::fprintf(stderr, "cannot write the drawing\n");
        return 1;
    }
    const std::string ownExport = QCoreApplication::applicationDirPath().toStdString() + "/velmora-export";
    const std::string baseExport = baseDir ? std::string(baseDir) + "/velmora-export" : std::string();
    const bool programs = baseDir && QFileInfo::exists(QString::fromStdString(ownExport)) &&
                          QFileInfo::exists(QString::fromStdString(baseExport));

    // In-process figures: the operation alone, timed inside its own fresh process.
    std::map<std::string, Figures> inside;
    // Whole programs: velmora-export reads the drawing and stops at a sheet it does not have;
    // the same with an empty drawing is taken off, which leaves the opening.
    std::map<std::string, Figures> whole;
    const char *modes[] = {"read-file", "open-file", "open-buffered"};
    for (int run = 0; run <= runs; ++run) { // run 0 warms the page cache and is not counted
        for (const char *mode : modes) {
            const Child child = Run({self, "measure", mode, path});
            double cpu = 0, wall = 0;
            long peak = 0;
            if (!child.ok || std::sscanf(child.out.c_str(), "%lf %lf %ld", &cpu, &wall, &peak) != 3) {
                std::fprintf(stderr, "%s failed\n", mode);
                return 1;
            }
            if (run > 0)
                inside[mode].Add(cpu, wall, peak);
        }
        if (!programs)
            continue;
        for (const std::string &program : {baseExport, ownExport}) {
            const Child full = Run({program, path, "--page", "2"});
            const Child bare = Run({program, empty, "--page", "2"});
            if (full.exitCode != 2 || bare.exitCode != 2) { // 2: read, and then no second sheet
                std::fprintf(stderr, "%s could not read the drawing\n", program.c_str());
                return 1;
            }
            if (run > 0)
                whole[program].Add(full.cpuMs - bare.cpuMs, full.wallMs - bare.wallMs, full.peakKiB - bare.peakKiB);
        }
    }
    const Figures &floor = inside["read-file"];
    std::printf("opening %d objects + %d texts (%.1f MB), %d runs each, interleaved; medians, minima in brackets,\n"
                "ratio to reading the file into fresh memory (CPU / wall)\n",
                n, n / 100, QFileInfo(QString::fromStdString(path)).size() / 1e6, runs);
    PrintRow("read the file into fresh memory", floor, floor, "peak growth");
    PrintRow("open (LoadDrawingFile, this build)", inside["open-file"], floor, "peak growth");
    PrintRow("open the old way (buffer, then copy)", inside["open-buffered"], floor, "peak growth");
    if (programs) {
        std::printf("whole programs, velmora-export opening the drawing less opening an empty one:\n");
        PrintRow(("before: " + baseExport).c_str(), whole[baseExport], floor, "peak more");
        PrintRow(("after:  " + ownExport).c_str(), whole[ownExport], floor, "peak more");
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "measure") == 0)
        return Measure(argv[2], argv[3]); // a child of "opening": no application object, no noise
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) {
        DrawingState state;
        Fill(state, std::atoi(argv[2]), std::atoi(argv[2]) / 100);
        return SaveDrawingFile(QString::fromLocal8Bit(argv[3]), state, DrawingFileSettings()).Ok() ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: file_bench open|append|opening N [runs|moves] [BASE_DIR]\n");
        return 2;
    }
    const int n = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "open") == 0)
        return Open(n, argc > 3 ? std::atoi(argv[3]) : 5);
    if (std::strcmp(argv[1], "append") == 0)
        return Appends(n, argc > 3 ? std::atoi(argv[3]) : 2000);
    if (std::strcmp(argv[1], "opening") == 0)
        return Opening(n, argc > 3 ? std::atoi(argv[3]) : 9, argc > 4 ? argv[4] : nullptr);
    return 2;
}
