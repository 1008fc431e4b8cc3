#include "reach_canvas.h"

#include "text_metrics.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// Coordinates far beyond any picture are held here, so the rectangle stays an int one.
constexpr double Far = 1 << 29;

int Inside(double v)
{
    return int(std::clamp(v, -Far, Far));
}

} // namespace

void ReachCanvas::Touch(double x1, double y1, double x2, double y2, double by)
{
    if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2) && std::isfinite(by)))
        return;
    const QRect r(QPoint(Inside(std::floor(std::min(x1, x2) - by)), Inside(std::floor(std::min(y1, y2) - by))),
                  QPoint(Inside(std::ceil(std::max(x1, x2) + by)), Inside(std::ceil(std::max(y1, y2) + by))));
    reach_ = reach_.isNull() ? r : reach_.united(r);
}

void ReachCanvas::MoveTo(int x, int y)
{
    current_ = {x, y};
}

void ReachCanvas::LineTo(int x, int y)
{
    Touch(current_.x(), current_.y(), x, y, PenReach());
    current_ = {x, y};
}

void ReachCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Touch(x1, y1, x2, y2, PenReach());
}

void ReachCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Touch(x1, y1, x2, y2, PenReach());
}

void ReachCanvas::Arc(int x1, int y1, int x2, int y2, int, int, int, int)
{
    Touch(x1, y1, x2, y2, PenReach());
}

void ReachCanvas::Polyline(const std::vector<QPoint> &points)
{
    // A pen one hair wider than a device pixel may be drawn for a thin line: one more pixel.
    for (const QPoint &p : points)
        Touch(p.x(), p.y(), p.x(), p.y(), PenReach() + 1);
    if (!points.empty())
        current_ = points.back();
}

void ReachCanvas::BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y)
{
    // A cubic curve lies within the box of its control points.
    const double by = PenReach();
    Touch(current_.x(), current_.y(), x, y, by);
    Touch(cx1, cy1, cx2, cy2, by);
    current_ = {x, y};
}

QRect ReachCanvas::MeasureText(const QRect &box, const QString &text)
{
    const QSize size = TextMetrics::Shared().Measure(font_, text);
    return QRect(box.left(), box.top(), size.width(), size.height());
}

void ReachCanvas::DrawText(const QRect &box, const QString &text)
{
    // Glyphs may lean out of their box by a part of the character height.
    const QRect measured = MeasureText(box, text);
    const QRect both = measured.united(box);
    Touch(both.left(), both.top(), both.right() + 1, both.bottom() + 1, font_.PixelHeight / 2.0 + 2);
}

void ReachCanvas::TextOut(int x, int y, const QString &text)
{
    // Turned about (x, y) by any angle: within the circle through the far corner of its box.
    const QSize size = TextMetrics::Shared().Measure(font_, text);
    const double radius = std::hypot(size.width(), size.height()) + font_.PixelHeight + 2;
    Touch(x, y, x, y, radius);
}

int ReachCanvas::TextWidth(const QString &text)
{
    return TextMetrics::Shared().Width(font_, text);
}

void ReachCanvas::CopyImage(int x, int y, const QImage &image)
{
    Touch(x, y, double(x) + image.width(), double(y) + image.height(), 1);
}

void ReachCanvas::DrawImage(const QRectF &target, const QImage &, const QRectF &within, const QPainterPath *clip)
{
    const QRectF box = clip ? clip->boundingRect() & target & within : target & within;
    if (!box.isEmpty())
        Touch(box.left(), box.top(), box.right(), box.bottom(), 1);
}

void ReachCanvas::FillArea(const QPainterPath &area, uint32_t)
{
    const QRectF box = area.boundingRect();
    Touch(box.left(), box.top(), box.right(), box.bottom(), 1);
}

void ReachCanvas::FillRects(const std::vector<QRectF> &rects, uint32_t)
{
    for (const QRectF &r : rects)
        Touch(r.left(), r.top(), r.right(), r.bottom(), 1);
}

} // namespace velmora
