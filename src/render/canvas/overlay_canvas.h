// What the tools draw straight onto the drawing surface (previews, highlights, pencil
// strokes): kept as a list of canvas operations that every paint of the surface replays over
// the sheets, until the next repaint of the drawing clears it. Each drawing operation knows
// the surface rectangle it can touch, so a paint of a small part replays only what lies there,
// and the tools' window learns which part changed.
#pragma once

#include "canvas.h"

#include <functional>
#include <vector>

namespace velmora {

class OverlayCanvas : public Canvas {
public:
    void Clear();
    bool IsEmpty() const { return ops_.empty(); }
    // Replays every state change and the drawing operations that meet the area.
    void ReplayOn(Canvas &target, const QRect &area = QRect()) const;
    // The part of the surface touched since the last call (null when nothing was drawn).
    QRect TakeDirtyRect();
    // The part of the surface touched since the last Clear: what clearing takes away.
    QRect DrawnRect() const { return drawn_; }

    void SetPenColour(uint32_t colour) override;
    void SetPenWidth(int width) override;
    void SetPenStyle(PenStyle style) override;
    void SetBrushColour(uint32_t colour) override;
    void SetBrushStyle(BrushStyle style) override;
    void SetFont(const FontSpec &font) override;
    void SetBackgroundTransparent(bool transparent) override;
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

private:
    struct Op {
        std::function<void(Canvas &)> Apply;
        QRect Touches; // null: a state change, replayed always
    };
    void State(std::function<void(Canvas &)> apply);
    void Draw(std::function<void(Canvas &)> apply, std::initializer_list<QPoint> points);
    void Draw(std::function<void(Canvas &)> apply, const std::vector<QPoint> &points);
    void DrawAnywhere(std::function<void(Canvas &)> apply);

    std::vector<Op> ops_;
    FontSpec font_;
    int penWidth_ = 1;
    QPoint current_;
    QRect dirty_;
    QRect drawn_;
};

} // namespace velmora
