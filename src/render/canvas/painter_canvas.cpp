#include "painter_canvas.h"

#include "capsule_raster.h"
#include "curve_raster.h"
#include "text_layouts.h"
#include "text_metrics.h"

#include <QPainterPath>
#include <QtMath>

#include <climits>
#include <cmath>

namespace velmora {

qreal RayAngle(const QRectF &box, qreal px, qreal py)
{
    const qreal rx = box.width() / 2, ry = box.height() / 2;
    const qreal dx = px - box.center().x(), dy = py - box.center().y();
    if (rx <= 0 || ry <= 0 || (dx == 0 && dy == 0))
        return 0;
    return qRadiansToDegrees(std::atan2(-dy / ry, dx / rx));
}

namespace {

Qt::PenStyle QtPenStyle(PenStyle style)
{
    switch (style) {
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::Clear: return Qt::NoPen;
    case PenStyle::Solid: break;
    }
    return Qt::SolidLine;
}

} // namespace

QColor ToQColor(uint32_t colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

PainterCanvas::PainterCanvas(QPainter &painter, QPoint origin, const QTransform &base)
    : painter_(painter), origin_(origin), base_(base)
{
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

void PainterCanvas::SetBrushColour(uint32_t colour)
{
    brushColour_ = colour;
    brushStyle_ = BrushStyle::Solid;
}

QPen PainterCanvas::StrokePen(Qt::PenCapStyle cap, Qt::PenJoinStyle join) const
{
    QPen pen(ToQColor(penColour_), qMax(1, penWidth_), QtPenStyle(penStyle_), cap, join);
    return pen;
}

QBrush PainterCanvas::FillBrush() const
{
    return brushStyle_ == BrushStyle::Clear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brushColour_));
}

void PainterCanvas::UseStrokeOrigin()
{
    painter_.setTransform(QTransform::fromTranslate(origin_.x() + 0.5, origin_.y() + 0.5) * base_);
}

void PainterCanvas::UseAreaOrigin()
{
    painter_.setTransform(QTransform::fromTranslate(origin_.x(), origin_.y()) * base_);
}

void PainterCanvas::MoveTo(int x, int y)
{
    current_ = {x, y};
}

void PainterCanvas::LineTo(int x, int y)
{
    if (QPoint(x, y) == current_) {
        // A line whose ends coincide is a round dot of the pen's width, one pixel for the
        // thinnest pen (a click with the pencil, the hover marker); the stroker draws nothing.
        if (penStyle_ == PenStyle::Clear)
            return;
        if (penWidth_ <= 1) {
            UseAreaOrigin();
            if (x < INT_MAX && y < INT_MAX) // a pixel there lies on no device (and its rectangle overflows)
                painter_.fillRect(QRect(x, y, 1, 1), ToQColor(penColour_));
            return;
        }
        const qreal radius = penWidth_ / 2.0;
        UseStrokeOrigin();
        if (DrawCapsule(painter_, QPointF(x, y), QPointF(x, y), penWidth_, ToQColor(penColour_).rgb(), needed_))
            return;
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(ToQColor(penColour_));
        painter_.drawEllipse(QPointF(x, y), radius, radius);
        return;
    }
    UseStrokeOrigin();
    // Solid round-capped lines on sheet images take the fast path; the rest the painter's own.
    if (penStyle_ != PenStyle::Solid ||
        !DrawCapsule(painter_, QPointF(current_), QPointF(x, y), qMax(1, penWidth_), ToQColor(penColour_).rgb(),
                     needed_)) {
        painter_.setPen(StrokePen(Qt::RoundCap, Qt::RoundJoin));
        painter_.drawLine(QPointF(current_), QPointF(x, y));
    }
    current_ = {x, y};
}

void PainterCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    // In floating point: the corners may be anywhere in the 32-bit range.
    const QRectF box = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    if (box.width() < 1 || box.height() < 1)
        return;
    if (brushStyle_ == BrushStyle::Solid) {
        UseAreaOrigin();
        QRectF fill = box;
        if (!needed_.isNull() && painter_.deviceTransform().type() <= QTransform::TxScale) {
            // Cut a logical pixel beyond the needed ones, on whole logical pixels like the
            // rectangle's own edges: the needed ones are covered as by the whole fill.
            const QRectF kept = painter_.deviceTransform().inverted().mapRect(QRectF(needed_));
            fill &= QRectF(QPointF(std::floor(kept.left()) - 1, std::floor(kept.top()) - 1),
                           QPointF(std::ceil(kept.right()) + 1, std::ceil(kept.bottom()) + 1));
        }
        if (!fill.isEmpty())
            painter_.fillRect(fill, ToQColor(brushColour_));
    }
    if (penStyle_ != PenStyle::Clear) {
        UseStrokeOrigin();
        painter_.setPen(StrokePen(Qt::SquareCap, Qt::MiterJoin));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(box.adjusted(0, 0, -1, -1));
    }
}

void PainterCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    const QRectF box = QRectF(QPointF(x1, y1), QPointF(qreal(x2) - 1, qreal(y2) - 1)).normalized();
    UseStrokeOrigin();
    // The inside, then the outline, each on the fast path where it can take them.
    bool inside = brushStyle_ == BrushStyle::Clear, outline = penStyle_ == PenStyle::Clear;
    if (box.width() > 0 && box.height() > 0) {
        QPainterPath path;
        path.addEllipse(box);
        inside = inside || DrawFilledPath(painter_, path, ToQColor(brushColour_).rgb(), needed_);
        outline = outline || (inside && DrawSolidStroke(path));
    }
    if (inside && outline)
        return;
    painter_.setPen(outline ? QPen(Qt::NoPen) : StrokePen(Qt::RoundCap, Qt::RoundJoin));
    painter_.setBrush(inside ? QBrush(Qt::NoBrush) : FillBrush());
    painter_.drawEllipse(box);
}

void PainterCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const QRectF box = QRectF(QPointF(x1, y1), QPointF(qreal(x2) - 1, qreal(y2) - 1)).normalized();
    const qreal start = RayAngle(box, x3, y3);
    qreal sweep = RayAngle(box, x4, y4) - start;
    while (sweep <= 0)
        sweep += 360; // equal rays give the whole ellipse
    QPainterPath path;
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
    // A flat box makes an arc of coinciding curves, which the painter's own stroke draws.
    DrawOpenPath(path, box.width() > 0 && box.height() > 0);
}

void PainterCanvas::BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y)
{
    QPainterPath path(current_);
    path.cubicTo(cx1, cy1, cx2, cy2, x, y);
    DrawOpenPath(path);
    current_ = {x, y};
}

bool PainterCanvas::DrawSolidStroke(const QPainterPath &path)
{
    return penStyle_ == PenStyle::Solid && DrawStrokedPath(painter_, path, qMax(1, penWidth_), ToQColor(penColour_).rgb(),
                                                         needed_);
}

void PainterCanvas::DrawOpenPath(const QPainterPath &path, bool fast)
{
    UseStrokeOrigin();
    if (penStyle_ == PenStyle::Clear || (fast && DrawSolidStroke(path)))
        return;
    painter_.setPen(StrokePen(Qt::RoundCap, Qt::RoundJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
}

void PainterCanvas::Polyline(const std::vector<QPoint> &points)
{
    if (points.empty())
        return;
    QPainterPath path(points.front());
    QPoint last = points.front();
    for (const QPoint &p : points)
        if (p != last) {
            path.lineTo(p);
            last = p;
        }
    if (path.elementCount() < 3) { // one line, or a dot: as a single line draws it
        MoveTo(points.front().x(), points.front().y());
        LineTo(last.x(), last.y());
        return;
    }
    UseStrokeOrigin();
    QPen pen = StrokePen(Qt::RoundCap, Qt::RoundJoin);
    // The painter draws a path of one device pixel or less piece by piece, leaving light and
    // dark spots at the joints: a hair wider, it is one outline whose pixels are covered once.
    const QTransform &t = painter_.deviceTransform();
    const qreal scale = std::max(std::abs(t.m11()), std::abs(t.m22()));
    if (scale > 0 && pen.widthF() * scale <= 1)
        pen.setWidthF((1 + 1.0 / 1024) / scale);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
    current_ = last;
}

QRect PainterCanvas::MeasureText(const QRect &box, const QString &text)
{
    const QSize size = TextMetrics::Shared().Measure(font_, text);
    return QRect(box.left(), box.top(), size.width(), size.height());
}

void PainterCanvas::DrawText(const QRect &box, const QString &text)
{
    UseAreaOrigin();
    painter_.setFont(MakeFont(font_));
    painter_.setPen(ToQColor(font_.Colour));
    painter_.setBackgroundMode(transparent_ ? Qt::TransparentMode : Qt::OpaqueMode);
    painter_.setBackground(ToQColor(brushColour_));
    // Laid out once on an image; the painter's own path for the rest (printer, PDF, decorations).
    if (TextLayouts::Shared().Draw(painter_, font_, text, box.topLeft()))
        return;
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip,
                      NormaliseLineBreaks(text));
}

void PainterCanvas::TextOut(int x, int y, const QString &text)
{
    UseAreaOrigin();
    painter_.translate(x, y);
    painter_.rotate(-(font_.Escapement / 10.0)); // in floating point: the escapement may be INT_MIN
    painter_.setFont(MakeFont(font_));
    painter_.setPen(ToQColor(font_.Colour));
    painter_.setBackgroundMode(transparent_ ? Qt::TransparentMode : Qt::OpaqueMode);
    painter_.setBackground(ToQColor(brushColour_));
    painter_.drawText(QPoint(0, TextMetrics::Shared().Ascent(font_)), text);
}

int PainterCanvas::TextWidth(const QString &text)
{
    return TextMetrics::Shared().Width(font_, text);
}

void PainterCanvas::CopyImage(int x, int y, const QImage &image)
{
    UseAreaOrigin();
    painter_.drawImage(QPoint(x, y), image);
}

void PainterCanvas::DrawImage(const QRectF &target, const QImage &image, const QRectF &within,
                              const QPainterPath *clip)
{
    const QRectF shown = target & within;
    if (image.isNull() || shown.isEmpty())
        return;
    UseAreaOrigin();
    painter_.save();
    // An image at the device's own resolution needs no filtering, which costs most of a fill.
    const double scale = target.width() / image.width() * DeviceScale();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, std::abs(scale - 1) > 0.01);
    if (clip) {
        // The area filled with the image as its pattern: no clip to set up for each area,
        // only a rectangle where the area reaches beyond the part.
        if (!within.contains(clip->boundingRect()))
            painter_.setClipRect(within, Qt::IntersectClip);
        QBrush pattern(image);
        pattern.setTransform(QTransform(target.width() / image.width(), 0, 0, target.height() / image.height(),
                                        target.left(), target.top()));
        painter_.fillPath(*clip, pattern);
    } else {
        const double sx = image.width() / target.width(), sy = image.height() / target.height();
        painter_.drawImage(shown, image,
                           QRectF((shown.left() - target.left()) * sx, (shown.top() - target.top()) * sy,
                                  shown.width() * sx, shown.height() * sy));
    }
    painter_.restore();
}

double PainterCanvas::DeviceScale()
{
    const QPaintDevice *device = painter_.device();
    const double ratio = device ? device->devicePixelRatioF() : 1;
    const QTransform t = painter_.worldTransform();
    return ratio * std::sqrt(std::abs(t.determinant()));
}

void PainterCanvas::FillArea(const QPainterPath &area, uint32_t colour)
{
    UseAreaOrigin();
    painter_.fillPath(area, ToQColor(colour));
}

void PainterCanvas::FillRects(const std::vector<QRectF> &rects, uint32_t colour)
{
    UseAreaOrigin();
    const QColor fill = ToQColor(colour);
    for (const QRectF &rect : rects) {
        // On whole pixels the plain fill gives the same pixels as the antialiased one, fast.
        const QRect whole = rect.toRect();
        if (QRectF(whole) == rect)
            painter_.fillRect(whole, fill);
        else
            painter_.fillRect(rect, fill);
    }
}

void PainterCanvas::SetClipRect(const QRect &rect)
{
    UseAreaOrigin();
    painter_.setClipRect(rect);
}

void PainterCanvas::ResetClip()
{
    painter_.setClipping(false);
}

std::optional<QRect> PainterCanvas::PaintedArea()
{
    const QPaintDevice *device = painter_.device();
    if (!device)
        return std::nullopt;
    // In canvas pixels: the device's logical size and the clip, both seen through the transform.
    UseAreaOrigin();
    const qreal ratio = device->devicePixelRatioF();
    QRectF area = painter_.combinedTransform().inverted().mapRect(
        QRectF(0, 0, device->width() / ratio, device->height() / ratio));
    if (painter_.hasClipping())
        area &= painter_.clipBoundingRect();
    return area.toAlignedRect();
}

} // namespace velmora
