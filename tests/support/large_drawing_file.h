// Drawing files of many objects written a piece at a time, as the program writes them, without
// the drawing in memory (built through edits, its undo record would cost as much again), and
// a forked test process whose address space is limited to a little more than it uses.
#pragma once

#include "document/drawing_file.h"

#include <QFile>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <vector>

namespace velmora {

// count objects, objectAt(i) each, no texts, default settings. False when the file could not
// be written whole.
template <typename ObjectAt>
bool WriteObjectsFile(const QString &path, int count, ObjectAt objectAt)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const int32_t stored = qToLittleEndian(int32_t(count));
    bool ok = file.write(reinterpret_cast<const char *>(&stored), sizeof stored) == sizeof stored;
    std::vector<DrawingObject> piece;
    for (int i = 0; ok && i < count; i += int(piece.size())) {
        piece.clear();
        for (int k = i; k < count && k < i + 10000; ++k)
            piece.push_back(objectAt(k));
        const qint64 bytes = qint64(piece.size()) * DrawingObjectSize;
        ok = file.write(reinterpret_cast<const char *>(piece.data()), bytes) == bytes;
    }
    // What follows the objects is an empty drawing's file after its object count.
    const DrawingState empty;
    const QByteArray rest = WriteDrawingFile(empty, DrawingFileSettings()).mid(4);
    return ok && file.write(rest) == rest.size() && file.flush();
}

// From here on the process may take only bytes more address space than it holds now.
inline void LimitAddressSpace(long long bytes)
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype at = text.indexOf("VmSize:") + 7;
    const long long kib = text.mid(at, text.indexOf('\n', at) - at).trimmed().split(' ').value(0).toLongLong();
    const rlim_t room = rlim_t(kib * 1024 + bytes);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_AS, &limit);
}

// Runs body (returning an exit code, 0 for success) in a forked child and waits for it. The
// child ends inside, whatever happens, within the given seconds: an exception or an abort must
// not return to the test framework, whose watchdog thread the child lacks. Empty when the child
// returned 0, else what went wrong.
template <typename Body>
QString RunInForkedChild(unsigned seconds, Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGABRT, SIG_DFL);
        alarm(seconds);
        int code = 90;
        try {
            code = body();
        } catch (...) {
            fputs("child: an exception reached the test\n", stderr);
        }
        _exit(code);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return QStringLiteral("no child process");
    if (WIFSIGNALED(status))
        return QStringLiteral("the child ended by signal %1").arg(WTERMSIG(status));
    return WEXITSTATUS(status) == 0 ? QString() : QStringLiteral("the child exited with %1").arg(WEXITSTATUS(status));
}

} // namespace velmora
