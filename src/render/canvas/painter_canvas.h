// The canvas on a QPainter: sheet images, exports and the drawing surface. Integer
// coordinates address pixel centres, so 1-pixel lines stay crisp with antialiasing on.
#pragma once

#include "canvas.h"

#include <QPainter>
#include <QPoint>

namespace velmora {

QColor ToQColor(uint32_t colour);

// The parametric angle (degrees, counter-clockwise on the screen) where the ray from the
// centre of the ellipse in box through (px, py) meets it: where an arc by bounding box starts
// or ends, as the canvas strokes it.
qreal RayAngle(const QRectF &box, qreal px, qreal py);

class PainterCanvas : public Canvas {
public:
    // origin: where canvas pixel (0, 0) lies on the painter's device; base: a transform
    // applied after it (an off-screen part of the surface at a fractional device pixel
    // ratio may start between two logical pixels).
    explicit PainterCanvas(QPainter &painter, QPoint origin = {}, const QTransform &base = {});

    void SetPenColour(uint32_t colour) override { penColour_ = colour; }
    void SetPenWidth(int width) override { penWidth_ = width; }
    void SetPenStyle(PenStyle style) override { penStyle_ = style; }
    void SetBrushColour(uint32_t colour) override;
    void SetBrushStyle(BrushStyle style) override { brushStyle_ = style; }
    void SetFont(const FontSpec &font) override { font_ = font; }
    void SetBackgroundTransparent(bool transparent) override { transparent_ = transparent; }

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y) override;
    void Polyline(const std::vector<QPoint> &points) override;

    QRect MeasureText(const QRect &box, const QString &text) override;
    void DrawText(const QRect &box, const QString &text) override;
    void TextOut(int x, int y, const QString &text) override;
    int TextWidth(const QString &text) override;

    void CopyImage(int x, int y, const QImage &image) override;
    void DrawImage(const QRectF &target, const QImage &image, const QRectF &within,
                   const QPainterPath *clip = nullptr) override;
    void FillArea(const QPainterPath &area, uint32_t colour) override;
    void FillRects(const std::vector<QRectF> &rects, uint32_t colour) override;
    void SetClipRect(const QRect &rect) override;
    void ResetClip() override;
    std::optional<QRect> PaintedArea() override;
    double DeviceScale() override;

    // The device pixels of the painter's image that will be kept (a band whose neighbours
    // other threads draw): the fast paths draw only these; what the painter itself draws
    // stays whole, so the kept pixels are those of a drawing of everything.
    void SetNeededPixels(const QRect &device) { needed_ = device; }

private:
    QPen StrokePen(Qt::PenCapStyle cap, Qt::PenJoinStyle join) const;
    QBrush FillBrush() const;
    // A solid pen's stroke on the fast path; false where the painter must draw it.
    bool DrawSolidStroke(const QPainterPath &path);
    // An arc or a curve: the pen's stroke without a fill, on the fast path if allowed.
    void DrawOpenPath(const QPainterPath &path, bool fast = true);
    void UseStrokeOrigin();
    void UseAreaOrigin();

    QPainter &painter_;
    QPoint origin_;
    QTransform base_;
    QPoint current_;
    uint32_t penColour_ = 0;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    uint32_t brushColour_ = 0xFFFFFF;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    FontSpec font_;
    bool transparent_ = false;
    QRect needed_; // null: every pixel
};

} // namespace velmora
