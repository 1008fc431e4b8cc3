#include "paper_drawing.h"

#include "document/units.h"

#include <QPainterPathStroker>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace velmora {

namespace {

// Light blue-grey for squared, ruled and dotted paper; graph paper in its orange, lighter
// for the finer lines. All are light enough not to compete with ink on screen and dark
// enough to stay visible as grey on a black-and-white printer.
constexpr uint32_t PaperBlueGrey = ColourRGB(150, 175, 200);
constexpr uint32_t PaperDots = ColourRGB(110, 135, 160);
constexpr uint32_t GraphFine = ColourRGB(245, 190, 150);
constexpr uint32_t GraphMedium = ColourRGB(235, 160, 100);
constexpr uint32_t GraphStrong = ColourRGB(225, 130, 60);
constexpr uint32_t PageWaitingGrey = ColourRGB(230, 230, 230);

// One family of lines or dots of a paper.
struct PaperLevel {
    double StepMm;
    double WidthMm; // line width, or the diameter of a dot
    uint32_t Colour;
    bool Vertical = true;   // lines down the sheet (or dots)
    bool Horizontal = true; // lines across the sheet
    bool Dots = false;
    int CoarserEvery = 0; // every n-th line belongs to a coarser family and is left to it
};

std::vector<PaperLevel> LevelsOf(PaperKind kind)
{
    switch (kind) {
    case PaperKind::Squared5: return {{5, 0.1, PaperBlueGrey}};
    case PaperKind::Squared10: return {{10, 0.1, PaperBlueGrey}};
    case PaperKind::Lined8: return {{8, 0.1, PaperBlueGrey, false, true}};
    case PaperKind::Dotted5: return {{5, 0.35, PaperDots, true, true, true}};
    case PaperKind::Millimetre:
        return {{1, 0.1, GraphFine, true, true, false, 5},
                {5, 0.1, GraphMedium, true, true, false, 2},
                {10, 0.2, GraphStrong}};
    case PaperKind::Plain: break;
    }
    return {};
}

// Pixel positions of the lines of a family that may touch [low, high): line k lies on the
// pixel Round(k × step × s), as a stroke drawn at k × step millimetres does.
std::vector<int> Positions(const PaperLevel &level, double s, double low, double high)
{
    std::vector<int> at;
    const double step = level.StepMm * s;
    const long first = std::max(0L, long(std::floor(low / step)) - 1);
    const long last = long(std::ceil(high / step)) + 1;
    for (long k = first; k <= last; ++k)
        if (level.CoarserEvery == 0 || k % level.CoarserEvery != 0)
            at.push_back(Round(k * step));
    return at;
}

// A family's lines and dots inside an area, in pixel edges: lines down and across as
// rectangles, small dots as whole-pixel squares, larger ones round (by their boxes).
struct PaperPieces {
    std::vector<QRectF> Columns, Rows, Squares, RoundDots;

    bool IsEmpty() const { return Columns.empty() && Rows.empty() && Squares.empty() && RoundDots.empty(); }
};

PaperPieces LevelPieces(const PaperLevel &level, double s, const QRectF &area)
{
    PaperPieces pieces;
    if (area.isEmpty() || level.StepMm * s < MinPaperSpacingPx)
        return pieces;
    const double width = std::max(1.0, level.WidthMm * s);
    const double reach = width / 2 + 1;
    const std::vector<int> xs = Positions(level, s, area.left() - reach, area.right() + reach);
    const std::vector<int> ys = Positions(level, s, area.top() - reach, area.bottom() + reach);
    auto keep = [&](std::vector<QRectF> &into, const QRectF &rect) {
        const QRectF inside = rect.intersected(area);
        if (!inside.isEmpty())
            into.push_back(inside);
    };
    // A line or dot on pixel p is centred on the middle of that pixel.
    if (level.Dots) {
        const bool square = width < 3; // small dots as whole pixels, crisp on screen
        const double side = square ? std::max(1.0, std::round(width)) : width;
        for (int y : ys)
            for (int x : xs) {
                const QRectF dot(x + 0.5 - side / 2, y + 0.5 - side / 2, side, side);
                if (!area.contains(dot.center()))
                    continue;
                if (square)
                    keep(pieces.Squares, dot);
                else
                    pieces.RoundDots.push_back(dot);
            }
        return pieces;
    }
    if (level.Vertical)
        for (int x : xs)
            keep(pieces.Columns, QRectF(x + 0.5 - width / 2, area.top(), width, area.height()));
    if (level.Horizontal)
        for (int y : ys)
            keep(pieces.Rows, QRectF(area.left(), y + 0.5 - width / 2, area.width(), width));
    return pieces;
}

void FillRound(Canvas &canvas, const QRectF &dot, uint32_t colour)
{
    QPainterPath round;
    round.addEllipse(dot);
    canvas.FillArea(round, colour);
}

// Where an object painted white, in pixel edges. Lines (eraser strokes) and ellipses are
// convex and answered exactly and fast along each paper line; arcs and curves by their
// outline.
struct WhiteShape {
    enum class Kind { None, Square, Ellipse, Capsule, Outline } Is = Kind::None;
    QRectF Box;          // a square, or an ellipse's box
    QPointF From, To;    // a capsule's axis
    double Radius = 0;   // a capsule's half width
    QPainterPath Outline;

    QRectF Bounds() const
    {
        switch (Is) {
        case Kind::Square:
        case Kind::Ellipse: return Box;
        case Kind::Capsule:
            return QRectF(From, To).normalized().adjusted(-Radius, -Radius, Radius, Radius);
        case Kind::Outline: return Outline.boundingRect();
        case Kind::None: break;
        }
        return {};
    }

    // The same shape with x and y exchanged, so that lines across are asked as lines down.
    WhiteShape Transposed() const
    {
        WhiteShape t = *this;
        t.Box = QRectF(Box.y(), Box.x(), Box.height(), Box.width());
        t.From = QPointF(From.y(), From.x());
        t.To = QPointF(To.y(), To.x());
        return t;
    }

    // The part of the line x = at inside the shape, as [low, high] in y.
    std::optional<std::pair<double, double>> Down(double at) const
    {
        if (Is == Kind::Square) {
            if (at < Box.left() || at > Box.right())
                return std::nullopt;
            return std::pair{Box.top(), Box.bottom()};
        }
        if (Is == Kind::Ellipse) {
            const double a = Box.width() / 2, b = Box.height() / 2, u = (at - Box.center().x()) / a;
            if (a <= 0 || b <= 0 || std::abs(u) > 1)
                return std::nullopt;
            const double half = b * std::sqrt(1 - u * u);
            return std::pair{Box.center().y() - half, Box.center().y() + half};
        }
        // A capsule: the union of its two end discs and its band, each convex.
        double low = INFINITY, high = -INFINITY;
        for (QPointF end : {From, To}) {
            const double dx = at - end.x();
            if (std::abs(dx) <= Radius) {
                const double half = std::sqrt(Radius * Radius - dx * dx);
                low = std::min(low, end.y() - half);
                high = std::max(high, end.y() + half);
            }
        }
        const QPointF d = To - From;
        const double length = std::hypot(d.x(), d.y());
        if (length > 0) {
            const QPointF along = d / length, across(-along.y(), along.x());
            // (at - From.x) × e.x + (y - From.y) × e.y within [lo, hi], for y.
            double bandLow = -INFINITY, bandHigh = INFINITY;
            auto within = [&](QPointF e, double lo, double hi) {
                const double fixed = (at - From.x()) * e.x();
                if (std::abs(e.y()) < 1e-12) {
                    if (fixed < lo || fixed > hi)
                        bandLow = INFINITY;
                    return;
                }
                double y1 = (lo - fixed) / e.y(), y2 = (hi - fixed) / e.y();
                if (y1 > y2)
                    std::swap(y1, y2);
                bandLow = std::max(bandLow, From.y() + y1);
                bandHigh = std::min(bandHigh, From.y() + y2);
            };
            within(along, 0, length);
            within(across, -Radius, Radius);
            if (bandLow <= bandHigh) {
                low = std::min(low, bandLow);
                high = std::max(high, bandHigh);
            }
        }
        if (low > high)
            return std::nullopt;
        return std::pair{low, high};
    }

    bool Contains(QPointF p) const
    {
        const auto chord = Down(p.x());
        return chord && p.y() >= chord->first && p.y() <= chord->second;
    }
};

// Parametric angle where the ray from the ellipse's centre through (px, py) meets it, as the
// canvas strokes arcs.
qreal RayAngle(const QRectF &box, qreal px, qreal py)
{
    const qreal rx = box.width() / 2, ry = box.height() / 2;
    const qreal dx = px - box.center().x(), dy = py - box.center().y();
    if (rx <= 0 || ry <= 0 || (dx == 0 && dy == 0))
        return 0;
    return qRadiansToDegrees(std::atan2(-dy / ry, dx / rx));
}

QPainterPath StrokeOutline(const QPainterPath &centre, int pen)
{
    QPainterPathStroker stroker;
    stroker.setWidth(pen);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centre).translated(0.5, 0.5);
}

// What the object, drawn at scale s and sheet offset off (mm), painted white: a white
// object's stroke (with its inside for an ellipse), or the inside of any ellipse within its
// stroke. Canvas pixel centres lie at + 0.5 in pixel edges.
WhiteShape WhiteOf(const DrawingObject &o, double s, double off)
{
    auto px = [s](double x) { return double(Round(s * x)); };
    auto py = [s, off](double y) { return double(Round(s * (y - off))); };
    const int pen = std::max(1, Round(s * o.PenWidth));
    const bool white = (o.Colour & 0xFFFFFF) == ColourWhite;
    const QPointF centre(0.5, 0.5);
    WhiteShape shape;
    switch (o.Kind) {
    case KindEllipse: {
        const QRectF box = QRectF(QPointF(px(o.X1), py(o.Y1)), QPointF(px(o.X2) - 1, py(o.Y2) - 1)).normalized();
        const double grow = white ? pen / 2.0 : -pen / 2.0; // with its stroke, or inside it
        shape.Box = box.adjusted(-grow, -grow, grow, grow).translated(centre);
        if (shape.Box.width() > 0 && shape.Box.height() > 0)
            shape.Is = WhiteShape::Kind::Ellipse;
        return shape;
    }
    case KindLine:
        if (!white)
            return shape;
        shape.From = QPointF(px(o.X1), py(o.Y1)) + centre;
        shape.To = QPointF(px(o.X2), py(o.Y2)) + centre;
        if (shape.From == shape.To && pen <= 1) { // a one-pixel dot
            shape.Is = WhiteShape::Kind::Square;
            shape.Box = QRectF(shape.From - centre, QSizeF(1, 1));
        } else {
            shape.Is = WhiteShape::Kind::Capsule;
            shape.Radius = pen / 2.0;
        }
        return shape;
    case KindArc: {
        if (!white)
            return shape;
        const QRectF box = QRectF(QPointF(px(o.X1), py(o.Y1)), QPointF(px(o.X2) - 1, py(o.Y2) - 1)).normalized();
        const qreal start = RayAngle(box, px(o.X3), py(o.Y3));
        qreal sweep = RayAngle(box, px(o.X4), py(o.Y4)) - start;
        while (sweep <= 0)
            sweep += 360;
        QPainterPath arc;
        arc.arcMoveTo(box, start);
        arc.arcTo(box, start, sweep);
        shape.Is = WhiteShape::Kind::Outline;
        shape.Outline = StrokeOutline(arc, pen);
        return shape;
    }
    case KindBezier: {
        if (!white)
            return shape;
        QPainterPath curve(QPointF(px(o.X1), py(o.Y1)));
        curve.cubicTo(px(o.X2), py(o.Y2), px(o.X3), py(o.Y3), px(o.X4), py(o.Y4));
        shape.Is = WhiteShape::Kind::Outline;
        shape.Outline = StrokeOutline(curve, pen);
        return shape;
    }
    default: break;
    }
    return shape;
}

// The paper lines of one family again, within a convex white shape, on whole pixels. A white
// object's soft edge is covered too (outward), so the lines show no light gaps where it
// ended; inside an ellipse only what lies wholly within, never over its own stroke.
void RefillConvex(Canvas &canvas, const PaperPieces &pieces, const WhiteShape &shape, bool outward, QPoint origin,
                  uint32_t colour)
{
    std::vector<QRectF> inside;
    auto pieceOf = [outward](const WhiteShape &across, const QRectF &band) -> std::optional<QRectF> {
        const auto left = across.Down(band.left()), right = across.Down(band.right());
        double top, bottom;
        if (outward) {
            const auto one = left ? left : right;
            const auto other = right ? right : left;
            if (!one)
                return std::nullopt;
            top = std::floor(std::min(one->first, other->first));
            bottom = std::ceil(std::max(one->second, other->second));
        } else {
            if (!left || !right)
                return std::nullopt;
            top = std::ceil(std::max(left->first, right->first));
            bottom = std::floor(std::min(left->second, right->second));
        }
        top = std::max(top, band.top());
        bottom = std::min(bottom, band.bottom());
        if (top >= bottom)
            return std::nullopt;
        return QRectF(band.left(), top, band.width(), bottom - top);
    };
    for (const QRectF &column : pieces.Columns)
        if (const auto piece = pieceOf(shape, column))
            inside.push_back(piece->translated(origin));
    const WhiteShape transposed = shape.Transposed();
    for (const QRectF &row : pieces.Rows)
        if (const auto piece = pieceOf(transposed, QRectF(row.y(), row.x(), row.height(), row.width())))
            inside.push_back(QRectF(piece->y(), piece->x(), piece->height(), piece->width()).translated(origin));
    for (const QRectF &dot : pieces.Squares)
        if (shape.Contains(dot.center()))
            inside.push_back(dot.translated(origin));
    if (!inside.empty())
        canvas.FillRects(inside, colour);
    for (const QRectF &dot : pieces.RoundDots)
        if (shape.Contains(dot.center()))
            FillRound(canvas, dot.translated(origin), colour);
}

// The same for an arc or a curve, through its outline.
void RefillOutline(Canvas &canvas, const PaperPieces &pieces, const QPainterPath &outline, QPoint origin,
                   uint32_t colour)
{
    QPainterPath paper;
    paper.setFillRule(Qt::WindingFill); // crossing lines overlap and stay filled
    for (const auto *rects : {&pieces.Columns, &pieces.Rows, &pieces.Squares})
        for (const QRectF &rect : *rects)
            paper.addRect(rect);
    for (const QRectF &dot : pieces.RoundDots)
        paper.addEllipse(dot);
    const QPainterPath inside = paper.intersected(outline);
    if (!inside.isEmpty())
        canvas.FillArea(inside.translated(origin), colour);
}

// The page within the sheet's frame: where a part of the sheet lies, or where an area painted
// white lies. A page not yet rendered is grey.
void DrawPage(Canvas &canvas, const SheetPaper &paper, const QRectF &part, const QPainterPath *area = nullptr)
{
    const QRectF frame = QRectF(paper.Inside).intersected(paper.PageRect).intersected(part);
    if (frame.isEmpty())
        return;
    if (!area) {
        if (paper.Page.isNull())
            canvas.FillRects({frame.translated(paper.Origin)}, PageWaitingGrey);
        else
            canvas.DrawImage(paper.PageRect.translated(paper.Origin), paper.Page, frame.translated(paper.Origin));
        return;
    }
    const QRectF bounds = area->boundingRect();
    if (!bounds.intersects(frame))
        return;
    QPainterPath inside = *area;
    if (!frame.contains(bounds)) { // cut by the sheet's frame or the page's edge
        QPainterPath within;
        within.addRect(frame);
        inside = area->intersected(within);
    }
    inside.translate(paper.Origin);
    if (inside.isEmpty())
        return;
    if (paper.Page.isNull())
        canvas.FillArea(inside, PageWaitingGrey);
    else
        canvas.DrawImage(paper.PageRect.translated(paper.Origin), paper.Page, frame.translated(paper.Origin), &inside);
}

} // namespace

QPainterPath WhiteArea(const DrawingObject &o, double s, double off)
{
    const WhiteShape white = WhiteOf(o, s, off);
    QPainterPath area;
    switch (white.Is) {
    case WhiteShape::Kind::None: break;
    case WhiteShape::Kind::Square: area.addRect(white.Box); break;
    case WhiteShape::Kind::Ellipse: area.addEllipse(white.Box); break;
    case WhiteShape::Kind::Outline: area = white.Outline; break;
    case WhiteShape::Kind::Capsule: {
        QPainterPath axis(white.From);
        axis.lineTo(white.To);
        QPainterPathStroker stroker;
        stroker.setWidth(2 * white.Radius);
        stroker.setCapStyle(Qt::RoundCap);
        area = stroker.createStroke(axis);
        if (white.From == white.To)
            area.addEllipse(white.From, white.Radius, white.Radius);
        break;
    }
    }
    return area;
}

void DrawPaper(Canvas &canvas, const SheetPaper &paper, const QRect &part)
{
    if (paper.HasPage)
        DrawPage(canvas, paper, QRectF(part));
    // A little beyond the part: a line just outside it still shades the part's edge pixels.
    const QRectF area = QRectF(part.adjusted(-2, -2, 2, 2).intersected(paper.Inside));
    for (const PaperLevel &level : LevelsOf(paper.Kind)) {
        const PaperPieces pieces = LevelPieces(level, paper.PixelsPerMm, area);
        std::vector<QRectF> rects;
        for (const auto *part : {&pieces.Columns, &pieces.Rows, &pieces.Squares})
            for (const QRectF &rect : *part)
                rects.push_back(rect.translated(paper.Origin));
        if (!rects.empty())
            canvas.FillRects(rects, level.Colour);
        // A dot at a time: one path of many dots fills far more slowly.
        for (const QRectF &dot : pieces.RoundDots)
            FillRound(canvas, dot.translated(paper.Origin), level.Colour);
    }
}

void RevealPaper(Canvas &canvas, const SheetPaper &paper, const DrawingObject &o, double off)
{
    if (paper.IsBlank())
        return;
    if (o.Kind != KindEllipse && (o.Colour & 0xFFFFFF) != ColourWhite)
        return;
    const WhiteShape white = WhiteOf(o, paper.PixelsPerMm, off);
    if (white.Is == WhiteShape::Kind::None)
        return;
    if (paper.HasPage) {
        const QPainterPath area = WhiteArea(o, paper.PixelsPerMm, off);
        DrawPage(canvas, paper, QRectF(paper.Inside), &area);
    }
    if (paper.Kind == PaperKind::Plain)
        return;
    // The paper is cut out of the whole object, not of the part of the sheet being drawn: the
    // pieces, and with them the antialiasing where they meet, must not depend on the part, or
    // a part drawn anew would differ from the whole sheet in a shade here and there. The
    // painter's clip keeps the drawing inside the part.
    const QRectF area = white.Bounds().adjusted(-1, -1, 1, 1).intersected(QRectF(paper.Inside));
    if (area.isEmpty())
        return;
    for (const PaperLevel &level : LevelsOf(paper.Kind)) {
        const PaperPieces pieces = LevelPieces(level, paper.PixelsPerMm, area);
        if (pieces.IsEmpty())
            continue;
        if (white.Is == WhiteShape::Kind::Outline)
            RefillOutline(canvas, pieces, white.Outline, paper.Origin, level.Colour);
        else
            RefillConvex(canvas, pieces, white, (o.Colour & 0xFFFFFF) == ColourWhite, paper.Origin, level.Colour);
    }
}

} // namespace velmora
