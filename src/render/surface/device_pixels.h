// Rendering at the screen's device pixel ratio. Everything the program computes stays in
// logical pixels; only the off-screen pictures of the surface hold device pixels. A logical
// rectangle covers the device pixels its edges reach (rounded outward), and a sheet owns the
// device pixels whose centres lie on it, so neighbouring parts and sheets meet without a gap
// or a doubled row at fractional ratios (1.25, 1.5) as well.
#pragma once

#include <QImage>
#include <QRect>

class QPainter;

namespace velmora {

// Device pixels per logical pixel of what the painter paints on (1 without a device).
qreal PaintRatio(const QPainter &painter);

// True for ratios that map every logical pixel onto whole device pixels (1, 2, 3).
bool IsWholeRatio(qreal ratio);

// The device pixels a logical rectangle touches.
QRect DeviceRectCovering(const QRect &logical, qreal ratio);

// The device pixels whose centres lie inside a logical rectangle.
QRect DeviceRectOwned(const QRect &logical, qreal ratio);

// The logical rectangle that covers a device rectangle.
QRect LogicalRectCovering(const QRect &device, qreal ratio);

// An off-screen image of the given size in device pixels, painted on in logical pixels.
// Whole ratios keep an opaque image; fractional ones a transparent one, so that a device
// pixel only partly on a sheet shows what lies beside the sheet through the rest.
QImage DeviceImage(QSize devicePixels, qreal ratio);

// Makes device pixels of an image transparent.
void ClearDevicePixels(QImage &image, const QRect &rect);

// Copies device pixels of one image into another of the same format, unscaled.
void CopyDevicePixels(QImage &to, QPoint at, const QImage &from, const QRect &source);

// Draws device pixels of an image onto a painter at a place given in device pixels, one to
// one, with no resampling, whatever the painter's ratio.
void DrawDevicePixels(QPainter &painter, QPoint at, const QImage &image, const QRect &source);

} // namespace velmora
