#include "overlay_canvas.h"

#include "text_metrics.h"

namespace velmora {

void OverlayCanvas::ReplayOn(Canvas &target) const
{
    for (const auto &op : ops_)
        op(target);
}

void OverlayCanvas::SetPenColour(uint32_t colour)
{
    ops_.push_back([=](Canvas &c) { c.SetPenColour(colour); });
}

void OverlayCanvas::SetPenWidth(int width)
{
    ops_.push_back([=](Canvas &c) { c.SetPenWidth(width); });
}

void OverlayCanvas::SetPenStyle(PenStyle style)
{
    ops_.push_back([=](Canvas &c) { c.SetPenStyle(style); });
}

void OverlayCanvas::SetBrushColour(uint32_t colour)
{
    ops_.push_back([=](Canvas &c) { c.SetBrushColour(colour); });
}

void OverlayCanvas::SetBrushStyle(BrushStyle style)
{
    ops_.push_back([=](Canvas &c) { c.SetBrushStyle(style); });
}

void OverlayCanvas::SetFont(const FontSpec &font)
{
    font_ = font;
    ops_.push_back([=](Canvas &c) { c.SetFont(font); });
}

void OverlayCanvas::SetBackgroundTransparent(bool transparent)
{
    ops_.push_back([=](Canvas &c) { c.SetBackgroundTransparent(transparent); });
}

void OverlayCanvas::MoveTo(int x, int y)
{
    ops_.push_back([=](Canvas &c) { c.MoveTo(x, y); });
}

void OverlayCanvas::LineTo(int x, int y)
{
    ops_.push_back([=](Canvas &c) { c.LineTo(x, y); });
}

void OverlayCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    ops_.push_back([=](Canvas &c) { c.Rectangle(x1, y1, x2, y2); });
}

void OverlayCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    ops_.push_back([=](Canvas &c) { c.Ellipse(x1, y1, x2, y2); });
}

void OverlayCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ops_.push_back([=](Canvas &c) { c.Arc(x1, y1, x2, y2, x3, y3, x4, y4); });
}

void OverlayCanvas::BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y)
{
    ops_.push_back([=](Canvas &c) { c.BezierTo(cx1, cy1, cx2, cy2, x, y); });
}

QRect OverlayCanvas::MeasureText(const QRect &box, const QString &text)
{
    const QSize size = TextMetrics::Shared().Measure(font_, text);
    return QRect(box.topLeft(), size);
}

void OverlayCanvas::DrawText(const QRect &box, const QString &text)
{
    ops_.push_back([=](Canvas &c) { c.DrawText(box, text); });
}

void OverlayCanvas::TextOut(int x, int y, const QString &text)
{
    ops_.push_back([=](Canvas &c) { c.TextOut(x, y, text); });
}

int OverlayCanvas::TextWidth(const QString &text)
{
    return TextMetrics::Shared().Width(font_, text);
}

void OverlayCanvas::CopyImage(int x, int y, const QImage &image)
{
    ops_.push_back([=](Canvas &c) { c.CopyImage(x, y, image); });
}

void OverlayCanvas::SetClipRect(const QRect &rect)
{
    ops_.push_back([=](Canvas &c) { c.SetClipRect(rect); });
}

void OverlayCanvas::ResetClip()
{
    ops_.push_back([](Canvas &c) { c.ResetClip(); });
}

} // namespace velmora
