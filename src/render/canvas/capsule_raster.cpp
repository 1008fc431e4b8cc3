#include "capsule_raster.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora {

namespace {

// The handle length of a cubic Bezier quarter circle of radius 1.
constexpr double Kappa = 0.5522847498;
// How finely the painter cuts curves into chords, in device pixels.
constexpr double ChordTolerance = 0.25;
// Outline points are held in 1/64 device pixel, as the painter's rasteriser holds them.
constexpr double Subpixel = 64;
// Device coordinates and widths beyond this (far outside any sheet) are left to the painter.
constexpr double CoordinateLimit = 1 << 22;

// The integer at or below v, for values well inside the int range (cheaper than std::floor,
// which is a library call on the base instruction set).
inline int FloorInt(double v)
{
    const int i = int(v);
    return i - (v < i);
}

struct Point {
    double X, Y;
};

Point operator+(Point p, Point q) { return {p.X + q.X, p.Y + q.Y}; }
Point operator-(Point p, Point q) { return {p.X - q.X, p.Y - q.Y}; }
Point operator*(Point p, double f) { return {p.X * f, p.Y * f}; }

// Appends the chords of the cubic curve from p0 (already in the outline) to p3, cut where the
// control points lie close enough to the chord (the same cut the painter makes), in logical
// coordinates with the tolerance in logical units.
void AddCurve(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3, double tolerance)
{
    struct Piece {
        Point P[4];
        int Depth;
    };
    Piece stack[10];
    int top = 0;
    stack[0] = {{p0, p1, p2, p3}, 9};
    while (top >= 0) {
        Piece &b = stack[top];
        const double dx = b.P[3].X - b.P[0].X, dy = b.P[3].Y - b.P[0].Y;
        double length = std::abs(dx) + std::abs(dy), off;
        if (length > 1) {
            off = std::abs(dx * (b.P[0].Y - b.P[1].Y) - dy * (b.P[0].X - b.P[1].X)) +
                  std::abs(dx * (b.P[0].Y - b.P[2].Y) - dy * (b.P[0].X - b.P[2].X));
        } else {
            off = std::abs(b.P[0].X - b.P[1].X) + std::abs(b.P[0].Y - b.P[1].Y) + std::abs(b.P[0].X - b.P[2].X) +
                  std::abs(b.P[0].Y - b.P[2].Y);
            length = 1;
        }
        if (off < tolerance * length || b.Depth == 0) {
            out.push_back(b.P[3]);
            --top;
            continue;
        }
        // Halve the curve: the first half goes on top of the stack, the second below it.
        const Point m01 = (b.P[0] + b.P[1]) * 0.5, m12 = (b.P[1] + b.P[2]) * 0.5, m23 = (b.P[2] + b.P[3]) * 0.5;
        const Point a = (m01 + m12) * 0.5, c = (m12 + m23) * 0.5, mid = (a + c) * 0.5;
        const int depth = b.Depth - 1;
        const Point start = b.P[0];
        stack[top] = {{mid, c, m23, b.P[3]}, depth};
        stack[top + 1] = {{start, m01, a, mid}, depth};
        ++top;
    }
}

// The outline of the line from a to b with round caps of radius r, in logical coordinates:
// the two sides and each cap as two quarter circles (a full circle when a == b).
void BuildOutline(std::vector<Point> &out, Point a, Point b, double r, double tolerance)
{
    Point d{1, 0};
    const double length = std::hypot(b.X - a.X, b.Y - a.Y);
    if (length > 0)
        d = (b - a) * (1 / length);
    const Point n{d.Y, -d.X};
    const Point nr = n * r, dr = d * r, nk = n * (Kappa * r), dk = d * (Kappa * r);
    out.clear();
    out.push_back(a + nr);
    out.push_back(b + nr);
    AddCurve(out, b + nr, b + nr + dk, b + dr + nk, b + dr, tolerance);
    AddCurve(out, b + dr, b + dr - nk, b - nr + dk, b - nr, tolerance);
    out.push_back(a - nr);
    AddCurve(out, a - nr, a - nr - dk, a - dr - nk, a - dr, tolerance);
    AddCurve(out, a - dr, a - dr + nk, a + nr - dk, a + nr, tolerance);
}

// One pixel's blend of an opaque colour at 8-bit coverage, as the painter blends it.
inline uint ByteMul(uint x, uint a)
{
    quint64 t = ((quint64(x) | (quint64(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00ff00ff00ff00ffULL;
    return uint(t) | uint(t >> 24);
}

// Exact area coverage of a closed outline, one pixel row at a time. Each edge piece inside a
// row adds its height (cover) to its cell and the part of the cell left of it (area); a pixel's
// coverage is the cover of all cells to its left plus its own cover minus its own area.
class RowCoverage {
public:
    RowCoverage(int left, int right) : left_(left), right_(right), cells_(Storage().Cells), touched_(Storage().Touched)
    {
        cells_.assign(size_t(right - left) + 1, Cell{});
        touched_.clear();
    }

    void Add(double x0, double y0, double x1, double y1)
    {
        if (y0 == y1)
            return;
        const double l = left_, r = right_;
        if (x0 < l || x1 < l) {
            if (x0 < l && x1 < l) {
                leftCover_ += y1 - y0;
                return;
            }
            const double y = y0 + (l - x0) * (y1 - y0) / (x1 - x0);
            if (x0 < l) {
                leftCover_ += y - y0;
                x0 = l;
                y0 = y;
            } else {
                leftCover_ += y1 - y;
                x1 = l;
                y1 = y;
            }
        }
        if (x0 >= r && x1 >= r) {
            reachesRight_ = true;
            return;
        }
        if (x0 > r || x1 > r) {
            reachesRight_ = true;
            const double y = y0 + (r - x0) * (y1 - y0) / (x1 - x0);
            if (x0 > r) {
                x0 = r;
                y0 = y;
            } else {
                x1 = r;
                y1 = y;
            }
        }
        Walk(x0, y0, x1, y1);
    }

    // Calls paint(x, count, coverage 1..255) for each run of covered pixels of the row, then
    // empties the row. Between the cells that edges touched the coverage stays the same.
    template <typename Paint> void Sweep(Paint &&paint)
    {
        double cover = leftCover_;
        int x = left_;
        auto run = [&](int to) {
            if (x < to)
                if (const int coverage = Coverage(cover))
                    paint(x, to - x, coverage);
        };
        auto visit = [&](int column) {
            run(column);
            Cell &cell = cells_[size_t(column - left_)];
            if (const int coverage = Coverage(cover + cell.Cover - cell.Area))
                paint(column, 1, coverage);
            cover += cell.Cover;
            cell = Cell{};
            x = column + 1;
        };
        if (!touched_.empty() && last_ - first_ < 4 * int(touched_.size()) + 8) {
            // A short row (a steep line): every cell in turn, untouched ones cost little.
            for (int column = first_; column <= last_; ++column)
                visit(column);
        } else {
            std::sort(touched_.begin(), touched_.end());
            for (int column : touched_)
                visit(column);
        }
        if (reachesRight_)
            run(right_);
        touched_.clear();
        first_ = right_;
        last_ = left_ - 1;
        leftCover_ = 0;
        reachesRight_ = false;
    }

private:
    struct Cell {
        double Cover = 0, Area = 0;
        bool Touched = false;
    };

    // The painter's 8-bit coverage of a signed area: its integer area shifted down, made positive.
    static int Coverage(double area)
    {
        // Areas lie within a pixel or two either way: shifted up, truncation is the floor.
        return std::min(255, std::abs(int(std::clamp(area, -2.0, 2.0) * 256 + (1e-6 + 1024)) - 1024));
    }

    void Deposit(int column, double xa, double xb, double dy)
    {
        column = std::clamp(column, left_, right_ - 1);
        Cell &cell = cells_[size_t(column - left_)];
        if (!cell.Touched) {
            cell.Touched = true;
            touched_.push_back(column);
            first_ = std::min(first_, column);
            last_ = std::max(last_, column);
        }
        cell.Cover += dy;
        cell.Area += dy * ((xa + xb) * 0.5 - column);
    }

    // A piece within [left, right] crossing the cells between x0 and x1.
    void Walk(double x0, double y0, double x1, double y1)
    {
        int c0 = FloorInt(x0), c1 = FloorInt(x1);
        if (c0 == c1 || (x0 == x1)) {
            Deposit(c0, x0, x1, y1 - y0);
            return;
        }
        const double slope = (y1 - y0) / (x1 - x0);
        if (x1 > x0) {
            double x = x0, y = y0;
            for (int c = c0; c < c1; ++c) {
                const double nx = c + 1, ny = y0 + (nx - x0) * slope;
                Deposit(c, x, nx, ny - y);
                x = nx;
                y = ny;
            }
            Deposit(c1, x, x1, y1 - y);
        } else {
            double x = x0, y = y0;
            for (int c = c0; c > c1; --c) {
                const double nx = c, ny = y0 + (nx - x0) * slope;
                Deposit(c, x, nx, ny - y);
                x = nx;
                y = ny;
            }
            Deposit(c1, x, x1, y1 - y);
        }
    }

    // Kept from line to line, so drawing a line allocates nothing.
    struct Buffers {
        std::vector<Cell> Cells;
        std::vector<int> Touched;
    };
    static Buffers &Storage()
    {
        thread_local Buffers buffers;
        return buffers;
    }

    int left_, right_;
    std::vector<Cell> &cells_;
    std::vector<int> &touched_;
    int first_ = right_, last_ = left_ - 1; // the span of touched cells
    double leftCover_ = 0;
    bool reachesRight_ = false;
};

struct Edge {
    double X0, Y0, X1, Y1; // Y0 < Y1
    double DxDy;
    bool Down; // the outline runs from (X0, Y0) to (X1, Y1)
};

void FillOutline(QImage &image, const QRect &clip, const std::vector<Point> &outline, QRgb colour)
{
    thread_local std::vector<Edge> edges;
    thread_local std::vector<const Edge *> active;
    edges.clear();
    active.clear();
    double top = outline[0].Y, bottom = top, leftmost = outline[0].X, rightmost = leftmost;
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point p = outline[i], q = outline[(i + 1) % outline.size()];
        top = std::min(top, p.Y);
        bottom = std::max(bottom, p.Y);
        leftmost = std::min(leftmost, p.X);
        rightmost = std::max(rightmost, p.X);
        if (p.Y < q.Y)
            edges.push_back({p.X, p.Y, q.X, q.Y, (q.X - p.X) / (q.Y - p.Y), true});
        else if (p.Y > q.Y)
            edges.push_back({q.X, q.Y, p.X, p.Y, (p.X - q.X) / (p.Y - q.Y), false});
    }
    const int firstRow = std::max(clip.top(), int(std::floor(top)));
    const int lastRow = std::min(clip.bottom(), int(std::ceil(bottom)) - 1);
    const int firstColumn = std::max(clip.left(), int(std::floor(leftmost)));
    const int lastColumn = std::min(clip.right(), int(std::ceil(rightmost)));
    if (firstRow > lastRow || firstColumn > lastColumn)
        return;
    std::sort(edges.begin(), edges.end(), [](const Edge &e, const Edge &f) { return e.Y0 < f.Y0; });

    RowCoverage row(firstColumn, lastColumn + 1);
    size_t next = 0;
    double firstEnd = bottom; // where the first active edge ends
    const uint fill = colour;
    // Pixels of this image alone: pixels shared with another copy are copied first, so that
    // copy stays as it was. A painter's image is never shared while it paints (DrawCapsule
    // makes sure), so these are the very pixels the painter draws on.
    uchar *const bits = image.bits();
    if (!bits)
        return; // no memory for a copy of its own
    const qsizetype bytesPerLine = image.bytesPerLine();
    for (int y = firstRow; y <= lastRow; ++y) {
        const double y0 = y, y1 = y + 1.0;
        if (firstEnd <= y0) {
            active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge *e) { return e->Y1 <= y0; }),
                         active.end());
            firstEnd = bottom;
            for (const Edge *e : active)
                firstEnd = std::min(firstEnd, e->Y1);
        }
        for (; next < edges.size() && edges[next].Y0 < y1; ++next) {
            if (edges[next].Y1 <= y0)
                continue;
            active.push_back(&edges[next]);
            firstEnd = std::min(firstEnd, edges[next].Y1);
        }
        for (const Edge *e : active) {
            const double ya = std::max(y0, e->Y0), yb = std::min(y1, e->Y1);
            const double xa = ya == e->Y0 ? e->X0 : e->X0 + (ya - e->Y0) * e->DxDy;
            const double xb = yb == e->Y1 ? e->X1 : e->X0 + (yb - e->Y0) * e->DxDy;
            if (e->Down)
                row.Add(xa, ya - y0, xb, yb - y0);
            else
                row.Add(xb, yb - y0, xa, ya - y0);
        }
        uint *line = reinterpret_cast<uint *>(bits + y * bytesPerLine);
        row.Sweep([&](int x, int count, int coverage) {
            if (coverage == 255) {
                std::fill(line + x, line + x + count, fill);
                return;
            }
            const uint ink = ByteMul(fill, uint(coverage)), keep = uint(255 - coverage);
            for (int i = x; i < x + count; ++i)
                line[i] = ink + ByteMul(line[i], keep);
        });
    }
}

} // namespace

void FillCapsule(QImage &image, const QRect &clip, const CapsulePlacement &placement, QPointF a, QPointF b,
                 double width, QRgb colour)
{
    const QRect area = clip & image.rect();
    const double reach = width / 2 * placement.Scale + 2;
    const QPointF da = a * placement.Scale + placement.Offset, db = b * placement.Scale + placement.Offset;
    // Nothing sensible to draw for an empty clip, no width or coordinates beyond any sheet.
    auto sane = [](double v) { return std::abs(v) < CoordinateLimit; };
    if (area.isEmpty() || !(width > 0) || !(placement.Scale > 0) || !sane(reach) || !sane(da.x()) ||
        !sane(da.y()) || !sane(db.x()) || !sane(db.y()))
        return;
    // Lines that cannot reach the clip (most lines of a band of a sheet) cost nothing more.
    if (std::max(da.x(), db.x()) + reach < area.left() || std::min(da.x(), db.x()) - reach > area.right() + 1 ||
        std::max(da.y(), db.y()) + reach < area.top() || std::min(da.y(), db.y()) - reach > area.bottom() + 1)
        return;
    thread_local std::vector<Point> outline;
    BuildOutline(outline, {a.x(), a.y()}, {b.x(), b.y()}, width / 2, ChordTolerance / placement.Scale);
    for (Point &p : outline) {
        p.X = std::round((p.X * placement.Scale + placement.Offset.x()) * Subpixel) / Subpixel;
        p.Y = std::round((p.Y * placement.Scale + placement.Offset.y()) * Subpixel) / Subpixel;
    }
    FillOutline(image, area, outline, colour);
}

bool DrawCapsule(QPainter &painter, QPointF a, QPointF b, double width, QRgb colour)
{
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return false;
    QImage &image = *static_cast<QImage *>(engine->paintDevice());
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    // Pixels shared with another copy of the image would be copied away from the ones the
    // painter draws on: the painter draws the line then.
    if (!image.isDetached())
        return false;
    if (!painter.testRenderHint(QPainter::Antialiasing) || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || qAlpha(colour) != 255)
        return false;
    const QTransform &t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() != t.m22() || !(t.m11() > 0))
        return false;
    const double scale = t.m11();
    if (!(width * scale > 1))
        return false;
    QRect clip = image.rect();
    if (painter.hasClipping()) {
        if (painter.clipRegion().rectCount() > 1)
            return false;
        const QRectF box = t.mapRect(painter.clipBoundingRect());
        const QRect pixels(QPoint(int(std::lround(box.left())), int(std::lround(box.top()))),
                           QPoint(int(std::lround(box.right())) - 1, int(std::lround(box.bottom())) - 1));
        if (std::abs(box.left() - pixels.left()) > 1e-6 || std::abs(box.top() - pixels.top()) > 1e-6 ||
            std::abs(box.right() - pixels.right() - 1) > 1e-6 || std::abs(box.bottom() - pixels.bottom() - 1) > 1e-6)
            return false;
        clip &= pixels;
    }
    // Far beyond what a sheet can hold the painter's own clipping of huge outlines takes over.
    for (QPointF p : {t.map(a), t.map(b)})
        if (!(std::abs(p.x()) < CoordinateLimit && std::abs(p.y()) < CoordinateLimit))
            return false;
    if (!(width * scale < CoordinateLimit))
        return false;
    FillCapsule(image, clip, {scale, QPointF(t.dx(), t.dy())}, a, b, width, colour);
    return true;
}

} // namespace velmora
