#include "paper_drawing.h"

#include "render/canvas/painter_canvas.h"

#include "document/units.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
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
constexpr int PageWaitingGrey = 230; // the grey of a page whose picture is not yet rendered

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

// A line with round ends, in pixel edges: the ink of a line drawn with a round pen.
struct Capsule {
    QPointF From, To; // its axis
    double Radius = 0;

    QRectF Bounds() const
    {
        return QRectF(From, To).normalized().adjusted(-Radius, -Radius, Radius, Radius);
    }

    Capsule Transposed() const { return {QPointF(From.y(), From.x()), QPointF(To.y(), To.x()), Radius}; }

    // The part of the line x = at inside it, as [low, high] in y: the union of its two end
    // discs and its band, each convex.
    std::optional<std::pair<double, double>> Down(double at) const
    {
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

// Where an object painted white, in pixel edges: a square (a one-pixel dot), an ellipse (its
// inside, or a white ellipse with its stroke), or lines with round ends (a white line, the
// lines of a white stroke, and arcs and curves as the short lines their centre line is cut into).
struct WhiteShape {
    enum class Kind { None, Square, Ellipse, Capsules } Is = Kind::None;
    QRectF Box; // a square, or an ellipse's box
    std::vector<Capsule> Capsules;

    QRectF Bounds() const
    {
        if (Is == Kind::Square || Is == Kind::Ellipse)
            return Box;
        QRectF all;
        for (const Capsule &c : Capsules)
            all |= c.Bounds();
        return all;
    }

    // The part of the line x = at inside the square or the ellipse, as [low, high] in y.
    std::optional<std::pair<double, double>> Down(double at) const
    {
        if (Is == Kind::Square) {
            if (at < Box.left() || at > Box.right())
                return std::nullopt;
            return std::pair{Box.top(), Box.bottom()};
        }
        const double a = Box.width() / 2, b = Box.height() / 2, u = (at - Box.center().x()) / a;
        if (a <= 0 || b <= 0 || std::abs(u) > 1)
            return std::nullopt;
        const double half = b * std::sqrt(1 - u * u);
        return std::pair{Box.center().y() - half, Box.center().y() + half};
    }

    WhiteShape Transposed() const
    {
        WhiteShape t = *this;
        t.Box = QRectF(Box.y(), Box.x(), Box.height(), Box.width());
        for (Capsule &c : t.Capsules)
            c = c.Transposed();
        return t;
    }

    bool Contains(QPointF p) const
    {
        if (Is == Kind::Capsules)
            return std::any_of(Capsules.begin(), Capsules.end(), [&](const Capsule &c) { return c.Contains(p); });
        const auto chord = Down(p.x());
        return chord && p.y() >= chord->first && p.y() <= chord->second;
    }
};

// How closely the short lines follow an arc's or a curve's centre line, in pixels.
constexpr double CurveTolerancePx = 0.02;
// Curves longer than this many pixels (beyond any sheet) are not cut finer.
constexpr int MaxCurvePieces = 1 << 16;

// The centre line of a path of curves (as the canvas strokes it), cut into short lines whose
// ends lie on it and whose middles stray from it by at most the tolerance.
std::vector<QPointF> CentreLine(const QPainterPath &path)
{
    std::vector<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || e.isLineTo()) {
            points.push_back(e);
            continue;
        }
        if (!e.isCurveTo() || i + 2 >= path.elementCount() || points.empty())
            continue;
        const QPointF p0 = points.back(), p1 = e, p2 = path.elementAt(i + 1), p3 = path.elementAt(i + 2);
        i += 2;
        // A cubic strays from the chord of n even steps by at most 1/8 × (its second
        // differences' bound) / n².
        const QPointF d1 = p0 - 2 * p1 + p2, d2 = p1 - 2 * p2 + p3;
        const double bend = 6 * std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y()));
        const int steps = std::clamp(int(std::ceil(std::sqrt(bend / (8 * CurveTolerancePx)))), 1, MaxCurvePieces);
        for (int k = 1; k <= steps; ++k) {
            const double t = double(k) / steps, u = 1 - t;
            points.push_back(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
        }
    }
    return points;
}

WhiteShape CapsulesAlong(const std::vector<QPointF> &points, double radius)
{
    WhiteShape shape;
    if (points.empty())
        return shape;
    shape.Is = WhiteShape::Kind::Capsules;
    if (points.size() == 1)
        shape.Capsules.push_back({points[0], points[0], radius});
    for (size_t k = 1; k < points.size(); ++k)
        shape.Capsules.push_back({points[k - 1], points[k], radius});
    return shape;
}

// What the objects, drawn at scale s and sheet offset off (mm), painted white: a white
// object's stroke (with its inside for an ellipse), the inside of any ellipse within its
// stroke, or white lines one after another. Canvas pixel centres lie at + 0.5 in pixel edges.
WhiteShape WhiteOf(std::span<const DrawingObject> objects, double s, double off)
{
    const DrawingObject &o = objects.front();
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
    case KindLine: {
        if (!white)
            return shape;
        const QPointF from = QPointF(px(o.X1), py(o.Y1)) + centre, to = QPointF(px(o.X2), py(o.Y2)) + centre;
        if (objects.size() == 1 && from == to && pen <= 1) { // a one-pixel dot
            shape.Is = WhiteShape::Kind::Square;
            shape.Box = QRectF(from - centre, QSizeF(1, 1));
            return shape;
        }
        shape.Is = WhiteShape::Kind::Capsules;
        for (const DrawingObject &line : objects) {
            const int width = std::max(1, Round(s * line.PenWidth));
            shape.Capsules.push_back({QPointF(px(line.X1), py(line.Y1)) + centre,
                                      QPointF(px(line.X2), py(line.Y2)) + centre, width / 2.0});
        }
        return shape;
    }
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
        return CapsulesAlong(CentreLine(arc.translated(centre)), pen / 2.0);
    }
    case KindBezier: {
        if (!white)
            return shape;
        QPainterPath curve(QPointF(px(o.X1), py(o.Y1)));
        curve.cubicTo(px(o.X2), py(o.Y2), px(o.X3), py(o.Y3), px(o.X4), py(o.Y4));
        return CapsulesAlong(CentreLine(curve.translated(centre)), pen / 2.0);
    }
    default: break;
    }
    return shape;
}

// The paper lines of one family again, within a convex white shape, on whole pixels. A white
// object's soft edge is covered too (outward), so the lines show no light gaps where it
// ended; inside an ellipse only what lies wholly within, never over its own stroke.
template <typename Chord>
std::optional<QRectF> PieceOf(const Chord &across, const QRectF &band, bool outward)
{
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
}

// The pieces of lines down (columns, sorted by x) that lines with round ends cover, each
// stretch of a column once: where the lines of a stroke overlap, the paper is not drawn twice.
void CapsulePieces(const std::vector<QRectF> &columns, const std::vector<Capsule> &capsules,
                   std::vector<QRectF> &out)
{
    if (columns.empty())
        return;
    const double top = columns.front().top(), bottom = columns.front().bottom();
    std::vector<std::vector<std::pair<double, double>>> spans(columns.size());
    for (const Capsule &c : capsules) {
        const QRectF bounds = c.Bounds();
        if (bounds.bottom() < top || bounds.top() > bottom)
            continue;
        auto first = std::lower_bound(columns.begin(), columns.end(), bounds.left(),
                                      [](const QRectF &column, double x) { return column.right() < x; });
        for (auto it = first; it != columns.end() && it->left() <= bounds.right(); ++it)
            if (const auto piece = PieceOf(c, *it, true))
                spans[size_t(it - columns.begin())].push_back({piece->top(), piece->bottom()});
    }
    for (size_t k = 0; k < columns.size(); ++k) {
        auto &along = spans[k];
        std::sort(along.begin(), along.end());
        for (size_t i = 0; i < along.size();) {
            double top = along[i].first, bottom = along[i].second;
            for (++i; i < along.size() && along[i].first <= bottom; ++i)
                bottom = std::max(bottom, along[i].second);
            out.push_back(QRectF(columns[k].left(), top, columns[k].width(), bottom - top));
        }
    }
}

QRectF TransposedRect(const QRectF &r)
{
    return QRectF(r.y(), r.x(), r.height(), r.width());
}

// Which dots have their centre inside the shape. For lines with round ends the dots are
// taken column by column (sorted across, then down): each line gives its chord in each
// column it spans, and each column's dots are swept once along its chords, so the cost
// follows the lines and the dots, not their product (a long white curve is thousands of
// short lines, a wide one covers every dot).
std::vector<bool> DotsInside(const std::vector<QRectF> &dots, const WhiteShape &shape)
{
    std::vector<bool> inside(dots.size(), false);
    if (shape.Is != WhiteShape::Kind::Capsules) {
        for (size_t k = 0; k < dots.size(); ++k)
            inside[k] = shape.Contains(dots[k].center());
        return inside;
    }
    std::vector<size_t> order(dots.size());
    for (size_t k = 0; k < dots.size(); ++k)
        order[k] = k;
    auto centre = [&](size_t k) { return dots[k].center(); };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::pair(centre(a).x(), centre(a).y()) < std::pair(centre(b).x(), centre(b).y());
    });
    // Each column: its x and its first place in `order`.
    std::vector<std::pair<double, size_t>> columns;
    for (size_t at = 0; at < order.size(); ++at)
        if (columns.empty() || centre(order[at]).x() != columns.back().first)
            columns.push_back({centre(order[at]).x(), at});
    std::vector<std::vector<std::pair<double, double>>> chords(columns.size());
    for (const Capsule &c : shape.Capsules) {
        const QRectF bounds = c.Bounds();
        auto column = std::lower_bound(columns.begin(), columns.end(), bounds.left(),
                                       [](const std::pair<double, size_t> &col, double x) { return col.first < x; });
        for (; column != columns.end() && column->first <= bounds.right(); ++column)
            if (const auto chord = c.Down(column->first))
                chords[size_t(column - columns.begin())].push_back(*chord);
    }
    for (size_t k = 0; k < columns.size(); ++k) {
        std::vector<std::pair<double, double>> &along = chords[k];
        std::sort(along.begin(), along.end());
        const size_t end = k + 1 < columns.size() ? columns[k + 1].second : order.size();
        size_t chord = 0;
        double reach = -INFINITY; // the lowest end of the chords begun above the dot
        for (size_t at = columns[k].second; at < end; ++at) {
            const double y = centre(order[at]).y();
            for (; chord < along.size() && along[chord].first <= y; ++chord)
                reach = std::max(reach, along[chord].second);
            inside[order[at]] = y <= reach;
        }
    }
    return inside;
}

// The paper of one family again where the white shape lies.
void Refill(Canvas &canvas, const PaperPieces &pieces, const WhiteShape &shape, bool outward, QPoint origin,
            uint32_t colour)
{
    std::vector<QRectF> inside;
    if (shape.Is == WhiteShape::Kind::Capsules) {
        CapsulePieces(pieces.Columns, shape.Capsules, inside);
        std::vector<QRectF> rows, found;
        for (const QRectF &row : pieces.Rows)
            rows.push_back(TransposedRect(row));
        std::sort(rows.begin(), rows.end(), [](const QRectF &a, const QRectF &b) { return a.left() < b.left(); });
        CapsulePieces(rows, shape.Transposed().Capsules, found);
        for (const QRectF &piece : found)
            inside.push_back(TransposedRect(piece));
    } else {
        for (const QRectF &column : pieces.Columns)
            if (const auto piece = PieceOf(shape, column, outward))
                inside.push_back(*piece);
        const WhiteShape transposed = shape.Transposed();
        for (const QRectF &row : pieces.Rows)
            if (const auto piece = PieceOf(transposed, TransposedRect(row), outward))
                inside.push_back(TransposedRect(*piece));
    }
    for (QRectF &piece : inside)
        piece.translate(origin);
    const std::vector<bool> squares = DotsInside(pieces.Squares, shape), rounds = DotsInside(pieces.RoundDots, shape);
    for (size_t k = 0; k < pieces.Squares.size(); ++k)
        if (squares[k])
            inside.push_back(pieces.Squares[k].translated(origin));
    if (!inside.empty())
        canvas.FillRects(inside, colour);
    for (size_t k = 0; k < pieces.RoundDots.size(); ++k)
        if (rounds[k])
            FillRound(canvas, pieces.RoundDots[k].translated(origin), colour);
}

// Where a white shape lies, in sheet pixel edges: its square or ellipse, or its lines with round
// ends (overlapping pieces fill once).
QPainterPath ShapeArea(const WhiteShape &white)
{
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    switch (white.Is) {
    case WhiteShape::Kind::None: break;
    case WhiteShape::Kind::Square: area.addRect(white.Box); break;
    case WhiteShape::Kind::Ellipse: area.addEllipse(white.Box); break;
    case WhiteShape::Kind::Capsules:
        for (const Capsule &c : white.Capsules) {
            const QPointF d = c.To - c.From;
            const double length = std::hypot(d.x(), d.y());
            if (length > 0) {
                const QPointF across = QPointF(-d.y(), d.x()) / length * c.Radius;
                area.addPolygon(QPolygonF({c.From + across, c.To + across, c.To - across, c.From - across}));
                area.closeSubpath();
            }
            area.addEllipse(c.From, c.Radius, c.Radius);
            if (length > 0)
                area.addEllipse(c.To, c.Radius, c.Radius);
        }
        break;
    }
    return area;
}

// The page within the sheet's frame: where a part of the sheet lies, or where an area painted
// white lies within that part. A page not yet rendered is grey.
void DrawPage(Canvas &canvas, const SheetPaper &paper, const QRectF &part, const QPainterPath *area = nullptr)
{
    const QRectF frame = QRectF(paper.Inside).intersected(paper.PageRect).intersected(part);
    if (frame.isEmpty() || (area && !area->boundingRect().intersects(frame)))
        return;
    static const QImage grey = [] {
        QImage one(1, 1, QImage::Format_RGB32);
        one.fill(QColor(PageWaitingGrey, PageWaitingGrey, PageWaitingGrey));
        return one;
    }();
    std::optional<QPainterPath> moved;
    if (area)
        moved = area->translated(paper.Origin);
    canvas.DrawImage(paper.PageRect.translated(paper.Origin), paper.Page.isNull() ? grey : paper.Page,
                     frame.translated(paper.Origin), moved ? &*moved : nullptr);
}

} // namespace

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

void RevealPaper(Canvas &canvas, const SheetPaper &paper, std::span<const DrawingObject> objects, double off,
                 const QRect &part)
{
    if (paper.IsBlank() || objects.empty())
        return;
    const DrawingObject &o = objects.front();
    if (o.Kind != KindEllipse && (o.Colour & 0xFFFFFF) != ColourWhite)
        return;
    WhiteShape white = WhiteOf(objects, paper.PixelsPerMm, off);
    if (white.Is == WhiteShape::Kind::None)
        return;
    // Only the part being drawn: each line of the paper is cut out of the whole shape on its
    // own (its own pixels do not depend on the part), so a part drawn anew shows the same
    // pixels as the whole sheet, and the cost follows what the part holds.
    const QRectF area = white.Bounds()
                            .adjusted(-1, -1, 1, 1)
                            .intersected(QRectF(paper.Inside))
                            .intersected(QRectF(part.adjusted(-2, -2, 2, 2)));
    if (area.isEmpty())
        return;
    // Of a long stroke or curve only the lines that reach the area.
    const QRectF reach = area.adjusted(-2, -2, 2, 2);
    std::erase_if(white.Capsules, [&](const Capsule &c) { return !c.Bounds().intersects(reach); });
    if (white.Is == WhiteShape::Kind::Capsules && white.Capsules.empty())
        return;
    if (paper.HasPage) { // the page first, the paper's lines over it
        const QPainterPath shape = ShapeArea(white);
        DrawPage(canvas, paper, area, &shape);
    }
    for (const PaperLevel &level : LevelsOf(paper.Kind)) {
        const PaperPieces pieces = LevelPieces(level, paper.PixelsPerMm, area);
        if (!pieces.IsEmpty())
            Refill(canvas, pieces, white, (o.Colour & 0xFFFFFF) == ColourWhite, paper.Origin, level.Colour);
    }
}

} // namespace velmora
