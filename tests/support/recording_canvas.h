// A canvas that keeps every operation with its integer coordinates, for tests: the order
// of operations, their coordinates, pens, brushes, fonts and colours are what rendering
// promises, so tests compare recorded operations with worked values.
#pragma once

#include "render/canvas/canvas.h"

#include <QStringList>
#include <QVector>

namespace velmora {

class RecordingCanvas : public Canvas {
public:
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

    // One line per operation, e.g. "LineTo 38,340" or "PenColour 808080".
    QStringList Ops;
    // Only the drawing operations (no pen, brush or font changes).
    QStringList Shapes() const;
    // The drawing operations with the pen in force for each, and the brush for the figures it
    // fills: "LineTo 38,340 pen 1 808080", "Ellipse 1,2,3,4 pen 1 000000 brush clear". What
    // is drawn and how, whatever order the pen and brush were set in.
    QStringList Drawn() const;
    FontSpec Font;

private:
    void Add(const QString &op, std::initializer_list<int> values, const QString &text = {});
};

} // namespace velmora
