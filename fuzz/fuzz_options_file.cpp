// libFuzzer target for options.dat: any bytes give a language of a column or "none", exactly
// as the first four bytes say, and the number written back reads back the same.
#include "i18n/options_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace velmora;
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("options.dat"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    const int language = ReadOptionsFile(path);
    int expected = -1;
    if (size >= 4) {
        const qint32 stored = qFromLittleEndian<qint32>(data);
        expected = stored >= 0 && stored <= LastLanguageColumn ? stored : -1;
    }
    if (language != expected)
        std::abort();
    const int chosen = language >= 0 ? language : LanguageItalian;
    if (!WriteOptionsFile(path, chosen).Ok() || ReadOptionsFile(path) != chosen || QFile(path).size() != 4)
        std::abort();
    return 0;
}
