#include "image_memory.h"

#include <cstdlib>
#include <limits>

#include <sys/mman.h>

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

} // namespace velmora
