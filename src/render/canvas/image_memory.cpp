#include "image_memory.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

#include <sys/mman.h>
#include <unistd.h>

namespace velmora {

namespace {

constexpr size_t LargePage = size_t(2) << 20;

void Release(void *pixels)
{
    std::free(pixels);
}

} // namespace

QImage LargePageImage(QSize size, QImage::Format format)
{
    const QImage probe(1, 1, format);
    const int depth = probe.depth();
    if (size.isEmpty() || depth <= 0)
        return QImage(size, format);
    const qint64 bytesPerLine = (qint64(size.width()) * depth + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    if (bytes < qint64(LargePage) || bytesPerLine > std::numeric_limits<int>::max() ||
        bytes > std::numeric_limits<qsizetype>::max() / 2)
        return QImage(size, format);
    const size_t rounded = (size_t(bytes) + LargePage - 1) / LargePage * LargePage;
    void *pixels = std::aligned_alloc(LargePage, rounded);
    if (!pixels)
        return QImage();
    madvise(pixels, rounded, MADV_HUGEPAGE); // a wish: without large pages the image works the same
    QImage image(static_cast<uchar *>(pixels), size.width(), size.height(), qsizetype(bytesPerLine), format, Release,
                 pixels);
    if (image.isNull())
        std::free(pixels);
    return image;
}

void PrepareRows(uchar *bits, qsizetype bytesPerLine, int top, int rows)
{
#ifdef MADV_POPULATE_WRITE
    if (!bits || rows <= 0 || bytesPerLine <= 0)
        return;
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t first = uintptr_t(bits + qsizetype(top) * bytesPerLine) / page * page;
    const uintptr_t end = uintptr_t(bits + (qsizetype(top) + rows) * bytesPerLine);
    // Only a wish: on an older system, or with too little memory, the copy finds its own.
    madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(bits);
    Q_UNUSED(bytesPerLine);
    Q_UNUSED(top);
    Q_UNUSED(rows);
#endif
}

} // namespace velmora
