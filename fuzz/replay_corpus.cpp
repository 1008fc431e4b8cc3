// Feeds every file of the fuzzer's seed corpus (or the files and folders named) to the
// fuzz target's entry point, built with the normal compiler, so the seeds guard the
// drawing-file reader at every build. A seed that crashes or aborts fails the run.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool Feed(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int fed = 0;
    for (const QString &arg : QCoreApplication::arguments().mid(1)) {
        QStringList paths{arg};
        if (QFileInfo(arg).isDir()) {
            paths.clear();
            const QDir dir(arg);
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
                paths << dir.filePath(name);
        }
        for (const QString &path : paths) {
            if (!Feed(path))
                return 1;
            ++fed;
        }
    }
    std::printf("%d seed(s) read back without a fault\n", fed);
    return fed > 0 ? 0 : 1;
}
