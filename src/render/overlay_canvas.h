// What the tools draw straight onto the drawing surface (previews, highlights, pencil
// strokes): kept as a list of canvas operations that every paint of the surface replays over
// the sheets, until the next repaint of the drawing clears it.
#pragma once

#include "canvas.h"

#include <functional>
#include <vector>

namespace velmora {

class OverlayCanvas : public Canvas {
public:
    void Clear() { ops_.clear(); }
    bool IsEmpty() const { return ops_.empty(); }
    void ReplayOn(Canvas &target) const;

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
    QRect MeasureText(const QRect &box, const QString &text) override;
    void DrawText(const QRect &box, const QString &text) override;
    void TextOut(int x, int y, const QString &text) override;
    int TextWidth(const QString &text) override;
    void CopyImage(int x, int y, const QImage &image) override;
    void SetClipRect(const QRect &rect) override;
    void ResetClip() override;

private:
    std::vector<std::function<void(Canvas &)>> ops_;
    FontSpec font_;
};

} // namespace velmora
