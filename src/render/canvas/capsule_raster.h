// Antialiased, round-capped, solid lines (and round dots) drawn straight into a 32-bit image.
// QPainter strokes such a line through its general path machinery, which costs about ten times
// a flat-capped line; this draws the same outline (straight sides, each cap two circle quarters
// cut into the same chords) and covers each pixel by its exact area, scanline by scanline over
// only the pixels the line reaches, blended with the same 8-bit arithmetic.
#pragma once

#include <QPointF>
#include <QRect>
#include <QRgb>

class QImage;
class QPainter;

namespace velmora {

// Where the line goes on the image: device = logical * Scale + Offset.
struct CapsulePlacement {
    double Scale = 1;
    QPointF Offset;
};

// Fills the line from a to b (a dot when a == b) of the given width, all in logical
// coordinates, with an opaque colour into an RGB32 or ARGB32_Premultiplied image, touching
// only pixels inside clip (device pixels). The image must be one of those formats. Draws
// nothing for coordinates or widths that are not finite or lie far beyond any sheet. An
// image that shares its pixels with a copy gets pixels of its own first; the copy keeps its.
void FillCapsule(QImage &image, const QRect &clip, const CapsulePlacement &placement, QPointF a, QPointF b,
                 double width, QRgb colour);

// Draws the line as the painter would with a solid round-capped pen of the given width and
// colour, antialiasing on, when the painter paints on such an image with a plain placement,
// SourceOver, full opacity and no clip or one rectangle. Returns false (drawing nothing) when
// the painter's own path is needed: other devices (PDF, printer, SVG), rotations, regions,
// pens of at most one device pixel (drawn by the painter's thin-line path), an image that
// shares its pixels with another copy.
// Only the needed device pixels are drawn when they are given.
bool DrawCapsule(QPainter &painter, QPointF a, QPointF b, double width, QRgb colour, const QRect &needed = QRect());

} // namespace velmora
