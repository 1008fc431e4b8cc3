#include "file_names.h"

#include "cp1252.h"

#include <QFile>

#include <sys/stat.h>

namespace velmora {

namespace {

constexpr char16_t StrayFirst = 0xDC80, StrayLast = 0xDCFF;

bool IsStray(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    // A low surrogate after a high one is half of a character, not a stray byte.
    return c >= StrayFirst && c <= StrayLast && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 sequence at i, or 0 when the byte there starts none
// (overlong forms, surrogates and code points beyond U+10FFFF are not well-formed).
int SequenceLength(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u; };
    const unsigned lead = at(i);
    if (lead < 0x80)
        return 1;
    const auto continuation = [&](qsizetype k, unsigned low = 0x80, unsigned high = 0xBF) {
        const unsigned b = at(k);
        return k < bytes.size() && b >= low && b <= high;
    };
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return continuation(i + 1, low, high) && continuation(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return continuation(i + 1, low, high) && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString FileNameFromBytes(const QByteArray &bytes)
{
    QString name;
    qsizetype run = 0; // start of the well-formed run not yet decoded
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = SequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + run, i - run);
        name += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[i])));
        run = ++i;
    }
    if (run == 0)
        return QString::fromUtf8(bytes);
    name += QString::fromUtf8(bytes.constData() + run, bytes.size() - run);
    return name;
}

bool QtCanNameFile(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (IsStray(name, i))
            return false;
    return true;
}

QByteArray FileNameBytes(const QString &name)
{
    if (QtCanNameFile(name))
        return QFile::encodeName(name);
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!IsStray(name, i))
            continue;
        bytes += name.mid(run, i - run).toUtf8();
        bytes += char(name[i].unicode() - 0xDC00);
        run = i + 1;
    }
    bytes += name.mid(run).toUtf8();
    return bytes;
}

bool FileNameExists(const QString &name)
{
    struct stat info {};
    return !name.isEmpty() && ::stat(FileNameBytes(name).constData(), &info) == 0;
}

QString ReadableFileName(const QString &name)
{
    if (QtCanNameFile(name))
        return name;
    QString readable = name;
    for (qsizetype i = 0; i < name.size(); ++i)
        if (IsStray(name, i))
            readable[i] = Cp1252ToUnicode(QByteArray(1, char(name[i].unicode() - 0xDC00))).at(0);
    return readable;
}

} // namespace velmora
