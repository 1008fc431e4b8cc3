// A canvas that draws nothing and keeps the rectangle its operations can touch, pens, glyphs
// and antialiasing included, so a drawing's reach is known without drawing it (the
// instruments over a part of a picture that a change drew anew).
#pragma once

#include "canvas.h"

namespace velmora {

class ReachCanvas : public Canvas {
public:
    // Everything drawn so far can touch only this rectangle (null when nothing was drawn).
    QRect Reach() const { return reach_; }

    void SetPenColour(uint32_t) override {}
    void SetPenWidth(int width) override { penWidth_ = width; }
    void SetPenStyle(PenStyle) override {}
    void SetBrushColour(uint32_t) override {}
    void SetBrushStyle(BrushStyle) override {}
    void SetFont(const FontSpec &font) override { font_ = font; }
    void SetBackgroundTransparent(bool) override {}

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int, int, int, int) override;
    void BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y) override;
    void Polyline(const std::vector<QPoint> &points) override;

    QRect MeasureText(const QRect &box, const QString &text) override;
    void DrawText(const QRect &box, const QString &text) override;
    void TextOut(int x, int y, const QString &text) override;
    int TextWidth(const QString &text) override;

    void CopyImage(int x, int y, const QImage &image) override;
    void DrawImage(const QRectF &target, const QImage &image, const QRectF &within,
                   const QPainterPath *clip = nullptr) override;
    void FillArea(const QPainterPath &area, uint32_t) override;
    void FillRects(const std::vector<QRectF> &rects, uint32_t) override;
    void SetClipRect(const QRect &) override {}
    void ResetClip() override {}

private:
    // Adds the rectangle from (x1, y1) to (x2, y2) grown by `by` pixels on every side.
    void Touch(double x1, double y1, double x2, double y2, double by);
    double PenReach() const { return penWidth_ / 2.0 + 2; }

    QRect reach_;
    int penWidth_ = 1;
    FontSpec font_;
    QPoint current_;
};

} // namespace velmora
