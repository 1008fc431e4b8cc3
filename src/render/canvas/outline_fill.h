// Closed outlines filled straight into 32-bit images with the exact area each pixel is covered
// by (non-zero winding), as the painter's antialiasing rasteriser fills them: curves cut into
// the same chords, points held in 1/64 device pixel, 8-bit coverage blended the same way.
// The wide lines, ellipses, arcs and curves of the canvas are drawn through it.
#pragma once

#include <QPointF>
#include <QRect>
#include <QRgb>

#include <cmath>
#include <cstddef>
#include <vector>

class QImage;
class QPainter;

namespace velmora::outline {

// The handle length of a cubic Bezier quarter circle of radius 1.
inline constexpr double Kappa = 0.5522847498;
// How finely the painter cuts curves into chords, in device pixels.
inline constexpr double ChordTolerance = 0.25;
// Device coordinates and widths beyond this (far outside any sheet) are left to the painter.
inline constexpr double CoordinateLimit = 1 << 22;

struct Point {
    double X, Y;
};

inline Point operator+(Point p, Point q) { return {p.X + q.X, p.Y + q.Y}; }
inline Point operator-(Point p, Point q) { return {p.X - q.X, p.Y - q.Y}; }
inline Point operator*(Point p, double f) { return {p.X * f, p.Y * f}; }

// Closed contours, one after the other: each ends where Ends says.
struct Contours {
    std::vector<Point> Points;
    std::vector<size_t> Ends;

    void Clear()
    {
        Points.clear();
        Ends.clear();
    }
    // Ends the contour begun after the last one (an empty one is dropped).
    void Close()
    {
        const size_t begin = Ends.empty() ? 0 : Ends.back();
        if (Points.size() > begin)
            Ends.push_back(Points.size());
    }
};

// The rows (logical y) an outline is filled in; pieces of curves wholly above or below them
// need not be cut, as no chord of theirs can reach them.
struct Rows {
    double Top = -HUGE_VAL, Bottom = HUGE_VAL;
};

// Appends the chords of the cubic curve from p0 (already in the outline) to p3, cut where the
// control points lie close enough to the chord (the same cut the painter makes). A piece that
// lies wholly outside `rows` is one chord: it covers no pixel there whatever its cuts.
void AddCurve(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3, double tolerance,
              const Rows &rows = {});

// Maps logical points onto the device (device = logical * scale + offset), held in 1/64 pixel.
void ToDevice(Contours &contours, double scale, QPointF offset);

// Fills the contours (device pixels) with an opaque colour, touching only pixels in clip,
// which must lie inside the image. The image is RGB32 or ARGB32_Premultiplied and has pixels
// of its own (an image whose pixels another copy shares gets its own first).
void Fill(QImage &image, const QRect &clip, const Contours &contours, QRgb colour);

// Whether the fill, the cut of curves and the placing of points run their build for newer
// processors (AVX2, BMI, FMA), as they do from the start where the processor has them; returns
// whether that build is now in use. Both builds draw the same pixels (tests compare them).
bool UseNewerProcessorBuild(bool use);

// An image a painter paints on, where drawing straight into the pixels gives what the painter
// would: device = logical * Scale + Offset, nothing outside Clip.
struct Target {
    QImage *Image = nullptr;
    QRect Clip;
    double Scale = 1;
    QPointF Offset;
};

// The painter's image and placement when it paints with antialiasing, SourceOver and full
// opacity on an RGB32 or premultiplied ARGB32 image of its own with a plain scale and no clip
// or one whole-pixel rectangle, and the colour is opaque; false otherwise (other devices such
// as PDF, printer or SVG, rotations, regions, an image that shares its pixels). Only the
// needed device pixels are drawn when they are given (a band whose neighbours others draw).
bool TargetOf(QPainter &painter, QRgb colour, Target &target, const QRect &needed = QRect());

// True when the logical points all lie where the device coordinates stay far inside CoordinateLimit.
bool WithinLimits(const Target &target, QRectF logicalBounds);

} // namespace velmora::outline
