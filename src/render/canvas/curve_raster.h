// Ellipses, arcs and curves drawn straight into 32-bit images, as the painter draws them with
// a solid round-capped, round-joined pen and antialiasing: the same outline (the painter's own
// stroker makes it), cut into the same chords and filled with the same coverage, but without
// the painter's general path machinery, which costs several times as much.
#pragma once

#include <QRect>
#include <QRgb>

class QPainter;
class QPainterPath;

namespace velmora {

// Strokes the path (logical coordinates) with a solid pen of the given width and colour, round
// caps and joins. Returns false, drawing nothing, where the painter's own path is needed: the
// cases DrawCapsule leaves to it (other devices, rotations, regions, shared images), pens of at
// most one device pixel, coordinates far beyond any sheet.
// Only the needed device pixels are drawn when they are given.
bool DrawStrokedPath(QPainter &painter, const QPainterPath &path, double width, QRgb colour,
                     const QRect &needed = QRect());

// Fills the inside of a closed path (non-zero winding) with an opaque colour; false where the
// painter's own fill is needed.
bool DrawFilledPath(QPainter &painter, const QPainterPath &path, QRgb colour, const QRect &needed = QRect());

} // namespace velmora
