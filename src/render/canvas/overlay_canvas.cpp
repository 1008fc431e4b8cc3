#include "overlay_canvas.h"

#include "text_metrics.h"

#include <algorithm>
#include <climits>

namespace velmora {

namespace {

const QRect Everywhere(INT_MIN / 4, INT_MIN / 4, INT_MAX / 2, INT_MAX / 2);

} // namespace

void OverlayCanvas::Clear()
{
    ops_.clear();
    dirty_ = QRect();
    drawn_ = QRect();
}

QRect OverlayCanvas::TakeDirtyRect()
{
    const QRect dirty = dirty_;
    dirty_ = QRect();
    return dirty;
}

void OverlayCanvas::ReplayOn(Canvas &target, const QRect &area) const
{
    for (const Op &op : ops_)
        if (op.Touches.isNull() || area.isNull() || op.Touches.intersects(area))
            op.Apply(target);
}

void OverlayCanvas::State(std::function<void(Canvas &)> apply)
{
    ops_.push_back({std::move(apply), QRect()});
}

void OverlayCanvas::Draw(std::function<void(Canvas &)> apply, std::initializer_list<QPoint> points)
{
    Draw(std::move(apply), std::vector<QPoint>(points));
}

void OverlayCanvas::Draw(std::function<void(Canvas &)> apply, const std::vector<QPoint> &points)
{
    // The points' hull, widened by the pen and a pixel of antialiasing.
    int64_t left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const QPoint &p : points) {
        left = std::min<int64_t>(left, p.x());
        top = std::min<int64_t>(top, p.y());
        right = std::max<int64_t>(right, p.x());
        bottom = std::max<int64_t>(bottom, p.y());
    }
    const int64_t pad = penWidth_ / 2 + 2;
    auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN / 4, INT_MAX / 4)); };
    const QRect touches(QPoint(clamp(left - pad), clamp(top - pad)), QPoint(clamp(right + pad), clamp(bottom + pad)));
    ops_.push_back({std::move(apply), touches});
    dirty_ = dirty_.united(touches);
    drawn_ = drawn_.united(touches);
}

void OverlayCanvas::DrawAnywhere(std::function<void(Canvas &)> apply)
{
    ops_.push_back({std::move(apply), Everywhere});
    dirty_ = Everywhere;
    drawn_ = Everywhere;
}

void OverlayCanvas::SetPenColour(uint32_t colour)
{
    State([=](Canvas &c) { c.SetPenColour(colour); });
}

void OverlayCanvas::SetPenWidth(int width)
{
    penWidth_ = std::max(1, width);
    State([=](Canvas &c) { c.SetPenWidth(width); });
}

void OverlayCanvas::SetPenStyle(PenStyle style)
{
    State([=](Canvas &c) { c.SetPenStyle(style); });
}

void OverlayCanvas::SetBrushColour(uint32_t colour)
{
    State([=](Canvas &c) { c.SetBrushColour(colour); });
}

void OverlayCanvas::SetBrushStyle(BrushStyle style)
{
    State([=](Canvas &c) { c.SetBrushStyle(style); });
}

void OverlayCanvas::SetFont(const FontSpec &font)
{
    font_ = font;
    State([=](Canvas &c) { c.SetFont(font); });
}

void OverlayCanvas::SetBackgroundTransparent(bool transparent)
{
    State([=](Canvas &c) { c.SetBackgroundTransparent(transparent); });
}

void OverlayCanvas::MoveTo(int x, int y)
{
    current_ = {x, y};
    State([=](Canvas &c) { c.MoveTo(x, y); });
}

void OverlayCanvas::LineTo(int x, int y)
{
    const QPoint from = current_;
    current_ = {x, y};
    // A line that is skipped still leaves its end as the current point.
    ops_.push_back({[=](Canvas &c) { c.MoveTo(x, y); }, QRect()});
    Draw(
        [=](Canvas &c) {
            c.MoveTo(from.x(), from.y());
            c.LineTo(x, y);
        },
        {from, current_});
}

void OverlayCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Draw([=](Canvas &c) { c.Rectangle(x1, y1, x2, y2); }, {{x1, y1}, {x2, y2}});
}

void OverlayCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Draw([=](Canvas &c) { c.Ellipse(x1, y1, x2, y2); }, {{x1, y1}, {x2, y2}});
}

void OverlayCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Draw([=](Canvas &c) { c.Arc(x1, y1, x2, y2, x3, y3, x4, y4); }, {{x1, y1}, {x2, y2}});
}

void OverlayCanvas::BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y)
{
    const QPoint from = current_;
    current_ = {x, y};
    ops_.push_back({[=](Canvas &c) { c.MoveTo(x, y); }, QRect()});
    Draw(
        [=](Canvas &c) {
            c.MoveTo(from.x(), from.y());
            c.BezierTo(cx1, cy1, cx2, cy2, x, y);
        },
        {from, {cx1, cy1}, {cx2, cy2}, {x, y}});
}

void OverlayCanvas::Polyline(const std::vector<QPoint> &points)
{
    if (points.empty())
        return;
    current_ = points.back();
    const QPoint end = current_;
    ops_.push_back({[=](Canvas &c) { c.MoveTo(end.x(), end.y()); }, QRect()});
    Draw([=](Canvas &c) { c.Polyline(points); }, points);
}

QRect OverlayCanvas::MeasureText(const QRect &box, const QString &text)
{
    const QSize size = TextMetrics::Shared().Measure(font_, text);
    return QRect(box.topLeft(), size);
}

void OverlayCanvas::DrawText(const QRect &box, const QString &text)
{
    DrawAnywhere([=](Canvas &c) { c.DrawText(box, text); });
}

void OverlayCanvas::TextOut(int x, int y, const QString &text)
{
    DrawAnywhere([=](Canvas &c) { c.TextOut(x, y, text); });
}

int OverlayCanvas::TextWidth(const QString &text)
{
    return TextMetrics::Shared().Width(font_, text);
}

void OverlayCanvas::CopyImage(int x, int y, const QImage &image)
{
    Draw([=](Canvas &c) { c.CopyImage(x, y, image); }, {{x, y}, {x + int(image.width()), y + int(image.height())}});
}

void OverlayCanvas::DrawImage(const QRectF &target, const QImage &image, const QRectF &within,
                              const QPainterPath *clip)
{
    const std::optional<QPainterPath> area = clip ? std::optional(*clip) : std::nullopt;
    const QRect box = (area ? area->boundingRect() & target & within : target & within).toAlignedRect();
    Draw([=](Canvas &c) { c.DrawImage(target, image, within, area ? &*area : nullptr); },
         {box.topLeft(), box.bottomRight() + QPoint(1, 1)});
}

void OverlayCanvas::FillArea(const QPainterPath &area, uint32_t colour)
{
    const QRect box = area.boundingRect().toAlignedRect();
    Draw([=](Canvas &c) { c.FillArea(area, colour); }, {box.topLeft(), box.bottomRight() + QPoint(1, 1)});
}

void OverlayCanvas::FillRects(const std::vector<QRectF> &rects, uint32_t colour)
{
    QRectF all;
    for (const QRectF &rect : rects)
        all |= rect;
    const QRect box = all.toAlignedRect();
    Draw([=](Canvas &c) { c.FillRects(rects, colour); }, {box.topLeft(), box.bottomRight() + QPoint(1, 1)});
}

void OverlayCanvas::SetClipRect(const QRect &rect)
{
    State([=](Canvas &c) { c.SetClipRect(rect); });
}

void OverlayCanvas::ResetClip()
{
    State([](Canvas &c) { c.ResetClip(); });
}

} // namespace velmora
