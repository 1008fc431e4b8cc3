#include "device_pixels.h"

#include "render/canvas/image_memory.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

// Device coordinates of logical ones far out of range stay in range.
int Clamped(double device)
{
    return int(std::clamp(device, double(INT_MIN / 4), double(INT_MAX / 4)));
}

} // namespace

qreal PaintRatio(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    const qreal ratio = device ? device->devicePixelRatio() : 1;
    return ratio > 0 ? ratio : 1;
}

bool IsWholeRatio(qreal ratio)
{
    return ratio == std::floor(ratio);
}

QRect DeviceRectCovering(const QRect &logical, qreal ratio)
{
    if (logical.isEmpty())
        return {};
    const int left = Clamped(std::floor(logical.left() * ratio));
    const int top = Clamped(std::floor(logical.top() * ratio));
    const int right = Clamped(std::ceil((double(logical.left()) + logical.width()) * ratio));
    const int bottom = Clamped(std::ceil((double(logical.top()) + logical.height()) * ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect DeviceRectOwned(const QRect &logical, qreal ratio)
{
    if (logical.isEmpty())
        return {};
    // Pixel k's centre k + 0.5 lies inside [a, b) exactly when k runs from ceil(a - 0.5) to
    // ceil(b - 0.5) - 1: the same rule on every edge, so touching rectangles share nothing.
    auto first = [](double edge) { return Clamped(std::ceil(edge - 0.5)); };
    const int left = first(logical.left() * ratio);
    const int top = first(logical.top() * ratio);
    const int right = first((double(logical.left()) + logical.width()) * ratio);
    const int bottom = first((double(logical.top()) + logical.height()) * ratio);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect LogicalRectCovering(const QRect &device, qreal ratio)
{
    if (device.isEmpty())
        return {};
    const int left = Clamped(std::floor(device.left() / ratio));
    const int top = Clamped(std::floor(device.top() / ratio));
    const int right = Clamped(std::ceil((double(device.left()) + device.width()) / ratio));
    const int bottom = Clamped(std::ceil((double(device.top()) + device.height()) / ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QImage DeviceImage(QSize devicePixels, qreal ratio)
{
    QImage image =
        LargePageImage(devicePixels, IsWholeRatio(ratio) ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

void ClearDevicePixels(QImage &image, const QRect &rect)
{
    const QRect inside = rect.intersected(image.rect());
    const int bytesPerPixel = image.depth() / 8;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        std::memset(image.scanLine(y) + size_t(inside.left()) * bytesPerPixel, 0, size_t(inside.width()) * bytesPerPixel);
}

void CopyDevicePixels(QImage &to, QPoint at, const QImage &from, const QRect &source)
{
    Q_ASSERT(to.format() == from.format());
    const QRect rect = source.intersected(from.rect()).intersected(QRect(-at + source.topLeft(), to.size()));
    if (rect.isEmpty())
        return;
    const int bytesPerPixel = from.depth() / 8;
    const QPoint shift = at - source.topLeft();
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        std::memcpy(to.scanLine(y + shift.y()) + size_t(rect.left() + shift.x()) * bytesPerPixel,
                    from.constScanLine(y) + size_t(rect.left()) * bytesPerPixel, size_t(rect.width()) * bytesPerPixel);
}

void DrawDevicePixels(QPainter &painter, QPoint at, const QImage &image, const QRect &source)
{
    const qreal ratio = PaintRatio(painter);
    if (ratio == 1) {
        painter.drawImage(at, image, source);
        return;
    }
    // One unit of the painter is one device pixel again, so the copy is a plain blit. The
    // target is given as a rectangle: the image's own ratio must not size it (and changing
    // that ratio on a copy would copy all its pixels).
    const QTransform world = painter.worldTransform();
    if (world.type() <= QTransform::TxTranslate) {
        // A painter moved by a fractional number of device pixels (a widget at an odd logical
        // place at 1.5): every piece is moved by the same whole number of device pixels, so
        // pieces painted apart meet as one picture would.
        const QPoint shift(int(std::floor(world.dx() * ratio + 0.5)), int(std::floor(world.dy() * ratio + 0.5)));
        painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        painter.drawImage(QRect(at + shift, source.size()), image, source);
    } else {
        painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio) * world);
        painter.drawImage(QRectF(at, source.size()), image, QRectF(source));
    }
    painter.setWorldTransform(world);
}

} // namespace velmora
