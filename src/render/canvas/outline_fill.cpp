#include "outline_fill.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora::outline {

namespace {

// Outline points are held in 1/64 device pixel, as the painter's rasteriser holds them.
constexpr double Subpixel = 64;
// How many rows ahead the pixels under the edges are fetched.
constexpr int PrefetchRows = 6;

// The integer at or below v, for values well inside the int range (cheaper than std::floor,
// which is a library call on the base instruction set).
inline int FloorInt(double v)
{
    const int i = int(v);
    return i - (v < i);
}

// std::round for values well inside the 64-bit range, without the library call: the
// fraction v - trunc(v) is exact, and the sign of a zero is kept.
inline double RoundHalfAway(double v)
{
    if (!(std::abs(v) < 0x1p52))
        return std::round(v);
    const double whole = double(int64_t(v)), fraction = v - whole;
    // Chosen without branches: a point's fraction is as likely one way as the other.
    const double up = fraction >= 0.5 ? 1.0 : 0.0, down = fraction <= -0.5 ? 1.0 : 0.0;
    return std::copysign(whole + up - down, v);
}

// One pixel's blend of an opaque colour at 8-bit coverage, as the painter blends it.
inline uint ByteMul(uint x, uint a)
{
    quint64 t = ((quint64(x) | (quint64(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00ff00ff00ff00ffULL;
    return uint(t) | uint(t >> 24);
}

// The painter's 8-bit coverage of a signed area: its integer area shifted down, made positive.
inline int Coverage(double area)
{
    // Areas lie within a pixel or two either way: shifted up, truncation is the floor.
    return std::min(255, std::abs(int(std::clamp(area, -2.0, 2.0) * 256 + (1e-6 + 1024)) - 1024));
}

// An edge of the outline from top to bottom; Sign tells whether the outline runs down it.
struct Edge {
    double X0, Y0, X1, Y1; // Y0 < Y1
    double DxDy, DyDx;     // DyDx is |dy/dx|, infinite for a vertical edge
    double Sign;
};

// A pixel's share of the row's edges: their height in it and the part of the pixel left of them.
struct Cell {
    double Cover = 0, Area = 0;
};

// A run of cells an edge touched in the current row.
struct Span {
    int First, Last;
};

// Exact area coverage of the contours, one pixel row at a time. Each edge piece inside a row
// adds its height (cover) to its cell and the part of the cell left of it (area); a pixel's
// coverage is the cover of all cells to its left plus its own cover minus its own area.
class RowCoverage {
public:
    // The cells are zero between outlines (each row's sweep empties what it used), so only a
    // wider outline than any before, or one left unfinished, clears them.
    RowCoverage(int left, int right) : left_(left), right_(right)
    {
        Buffers &b = Storage();
        const size_t cells = size_t(right - left) + 1;
        if (!b.Clean || b.Cells.size() < cells)
            b.Cells.assign(std::max(cells, b.Cells.size()), Cell{});
        b.Clean = false;
        b.Spans.clear();
        cells_ = b.Cells.data() - left;
        spans_ = &b.Spans;
        clean_ = &b.Clean;
    }

    // Every row swept: the cells are all zero again.
    void Finish() { *clean_ = true; }

    // The piece of an edge from (xa, ya) to (xb, yb) within the row (ya <= yb, both in 0..1).
    void Add(const Edge &e, double xa, double ya, double xb, double yb)
    {
        if (ya == yb)
            return;
        const double l = left_, r = right_;
        if (xa < l || xb < l) {
            if (xa < l && xb < l) {
                leftCover_ += (yb - ya) * e.Sign;
                return;
            }
            const double y = ya + (l - xa) * (yb - ya) / (xb - xa);
            if (xa < l) {
                leftCover_ += (y - ya) * e.Sign;
                xa = l;
                ya = y;
            } else {
                leftCover_ += (yb - y) * e.Sign;
                xb = l;
                yb = y;
            }
        }
        if (xa >= r && xb >= r)
            return;
        if (xa > r || xb > r) {
            const double y = ya + (r - xa) * (yb - ya) / (xb - xa);
            if (xa > r) {
                xa = r;
                ya = y;
            } else {
                xb = r;
                yb = y;
            }
        }
        Walk(xa, ya, xb, yb, e.DyDx, e.Sign);
    }

    // Paints each covered pixel of the row (blend(x, count, coverage 1..255)), then empties it.
    template <typename Blend> void Sweep(Blend &&blend)
    {
        std::vector<Span> &spans = *spans_;
        // Few spans a row: sorted by insertion, joined where they meet.
        for (size_t i = 1; i < spans.size(); ++i)
            for (size_t j = i; j > 0 && spans[j].First < spans[j - 1].First; --j)
                std::swap(spans[j], spans[j - 1]);
        double cover = leftCover_;
        int x = left_;
        for (size_t i = 0; i < spans.size();) {
            const int first = std::max(spans[i].First, x);
            int last = spans[i].Last;
            for (++i; i < spans.size() && spans[i].First <= last + 1; ++i)
                last = std::max(last, spans[i].Last);
            if (last < first)
                continue;
            if (x < first)
                if (const int coverage = Coverage(cover))
                    blend(x, first - x, coverage);
            for (int c = first; c <= last; ++c) {
                Cell &cell = cells_[c];
                if (const int coverage = Coverage(cover + cell.Cover - cell.Area))
                    blend(c, 1, coverage);
                cover += cell.Cover;
                cell = Cell{};
            }
            x = last + 1;
        }
        if (x < right_)
            if (const int coverage = Coverage(cover))
                blend(x, right_ - x, coverage);
        spans.clear();
        leftCover_ = 0;
    }

private:
    inline void Deposit(int column, double xa, double xb, double dy)
    {
        Cell &cell = cells_[column];
        cell.Cover += dy;
        cell.Area += dy * ((xa + xb) * 0.5 - column);
    }

    // A piece within [left, right] crossing the cells between xa and xb.
    void Walk(double xa, double ya, double xb, double yb, double dydx, double sign)
    {
        const int top = right_ - 1;
        const int ca = std::min(FloorInt(xa), top), cb = std::min(FloorInt(xb), top);
        if (ca == cb) {
            Deposit(ca, xa, xb, (yb - ya) * sign);
            spans_->push_back({ca, ca});
            return;
        }
        double x = xa, y = ya;
        if (cb > ca) {
            for (int c = ca; c < cb; ++c) {
                const double nx = c + 1, ny = ya + (nx - xa) * dydx;
                Deposit(c, x, nx, (ny - y) * sign);
                x = nx;
                y = ny;
            }
            Deposit(cb, x, xb, (yb - y) * sign);
            spans_->push_back({ca, cb});
        } else {
            for (int c = ca; c > cb; --c) {
                const double nx = c, ny = ya + (xa - nx) * dydx;
                Deposit(c, x, nx, (ny - y) * sign);
                x = nx;
                y = ny;
            }
            Deposit(cb, x, xb, (yb - y) * sign);
            spans_->push_back({cb, ca});
        }
    }

    // Kept from outline to outline, so drawing allocates nothing.
    struct Buffers {
        std::vector<Cell> Cells;
        std::vector<Span> Spans;
        bool Clean = false;
    };
    static Buffers &Storage()
    {
        thread_local Buffers buffers;
        return buffers;
    }

    int left_, right_;
    Cell *cells_;
    std::vector<Span> *spans_;
    bool *clean_;
    double leftCover_ = 0;
};

} // namespace

void AddCurve(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3, double tolerance, const Rows &rows)
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
        // The chords of a piece lie within the hull of its control points.
        if (std::max({b.P[0].Y, b.P[1].Y, b.P[2].Y, b.P[3].Y}) < rows.Top ||
            std::min({b.P[0].Y, b.P[1].Y, b.P[2].Y, b.P[3].Y}) > rows.Bottom) {
            out.push_back(b.P[3]);
            --top;
            continue;
        }
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

void ToDevice(Contours &contours, double scale, QPointF offset)
{
    for (Point &p : contours.Points) {
        p.X = RoundHalfAway((p.X * scale + offset.x()) * Subpixel) / Subpixel;
        p.Y = RoundHalfAway((p.Y * scale + offset.y()) * Subpixel) / Subpixel;
    }
}

void Fill(QImage &image, const QRect &clip, const Contours &contours, QRgb colour)
{
    thread_local std::vector<Edge> edges;
    thread_local std::vector<uint32_t> firstOfRow, byRow;
    thread_local std::vector<const Edge *> active;
    edges.clear();
    active.clear();
    if (contours.Points.empty())
        return;
    const double clipTop = clip.top(), clipBottom = clip.bottom() + 1.0;
    double top = contours.Points[0].Y, bottom = top, leftmost = contours.Points[0].X, rightmost = leftmost;
    size_t begin = 0;
    for (size_t end : contours.Ends) {
        for (size_t i = begin; i < end; ++i) {
            const Point p = contours.Points[i], q = contours.Points[i + 1 < end ? i + 1 : begin];
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
            leftmost = std::min(leftmost, p.X);
            rightmost = std::max(rightmost, p.X);
            // Level edges cover nothing; those wholly above or below the clip no pixel in it.
            if (p.Y == q.Y || std::max(p.Y, q.Y) <= clipTop || std::min(p.Y, q.Y) >= clipBottom)
                continue;
            const bool down = p.Y < q.Y;
            const Point a = down ? p : q, b = down ? q : p;
            const double dxdy = (b.X - a.X) / (b.Y - a.Y);
            edges.push_back({a.X, a.Y, b.X, b.Y, dxdy, std::abs(1 / dxdy), down ? 1.0 : -1.0});
        }
        begin = end;
    }
    const int firstRow = std::max(clip.top(), int(std::floor(top)));
    const int lastRow = std::min(clip.bottom(), int(std::ceil(bottom)) - 1);
    const int firstColumn = std::max(clip.left(), int(std::floor(leftmost)));
    const int lastColumn = std::min(clip.right(), int(std::ceil(rightmost)));
    if (firstRow > lastRow || firstColumn > lastColumn || edges.empty())
        return;
    // The edges by the row they start in (those above the first row in it), in outline order:
    // each row takes up those that start in it, with no sorting.
    const int rows = lastRow - firstRow + 1;
    auto rowOf = [&](const Edge &e) { return std::clamp(FloorInt(e.Y0) - firstRow, 0, rows); };
    firstOfRow.assign(size_t(rows) + 2, 0);
    for (const Edge &e : edges)
        ++firstOfRow[size_t(rowOf(e)) + 2];
    for (size_t r = 2; r < firstOfRow.size(); ++r)
        firstOfRow[r] += firstOfRow[r - 1];
    byRow.resize(edges.size());
    for (uint32_t i = 0; i < edges.size(); ++i)
        byRow[firstOfRow[size_t(rowOf(edges[i])) + 1]++] = i;

    // Pixels of this image alone: pixels shared with another copy are copied first, so that
    // copy stays as it was. A painter's image is never shared while it paints (TargetOf makes
    // sure), so these are the very pixels the painter draws on.
    uchar *const bits = image.bits();
    if (!bits)
        return; // no memory for a copy of its own
    const qsizetype bytesPerLine = image.bytesPerLine();
    RowCoverage row(firstColumn, lastColumn + 1);
    // The pixels an edge crosses in row y, at both ends of its piece there, asked for ahead.
    auto prefetch = [&](const Edge &e, int y) {
        const double ya = std::max(double(y), e.Y0), yb = std::min(y + 1.0, e.Y1);
        if (ya >= yb)
            return;
        const uchar *pixels = bits + y * bytesPerLine;
        for (double at : {ya, yb})
            __builtin_prefetch(pixels + size_t(std::clamp(FloorInt(e.X0 + (at - e.Y0) * e.DxDy), firstColumn,
                                                          lastColumn)) * 4, 1);
    };
    // The first rows have no rows before them to ask in.
    for (uint32_t k = firstOfRow[0]; k < firstOfRow[std::min(rows, PrefetchRows)]; ++k)
        for (int y = std::max(firstRow, FloorInt(edges[byRow[k]].Y0)); y < firstRow + PrefetchRows; ++y)
            prefetch(edges[byRow[k]], y);
    double firstEnd = bottom; // where the first active edge ends
    const uint fill = colour;
    for (int y = firstRow; y <= lastRow; ++y) {
        const double y0 = y, y1 = y + 1.0;
        if (firstEnd <= y0) {
            active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge *e) { return e->Y1 <= y0; }),
                         active.end());
            firstEnd = bottom;
            for (const Edge *e : active)
                firstEnd = std::min(firstEnd, e->Y1);
        }
        const size_t r = size_t(y - firstRow);
        for (uint32_t k = firstOfRow[r]; k < firstOfRow[r + 1]; ++k) {
            const Edge &e = edges[byRow[k]];
            if (e.Y1 <= y0)
                continue;
            active.push_back(&e);
            firstEnd = std::min(firstEnd, e.Y1);
        }
        for (const Edge *e : active) {
            const double ya = std::max(y0, e->Y0), yb = std::min(y1, e->Y1);
            const double xa = ya == e->Y0 ? e->X0 : e->X0 + (ya - e->Y0) * e->DxDy;
            const double xb = yb == e->Y1 ? e->X1 : e->X0 + (yb - e->Y0) * e->DxDy;
            row.Add(*e, xa, ya - y0, xb, yb - y0);
        }
        // The rows a line crosses lie a page apart, beyond the processor's own prefetching:
        // ask for where the edges will be a few rows down, so the pixels are there in time.
        if (y + PrefetchRows <= lastRow)
            for (const Edge *e : active)
                prefetch(*e, y + PrefetchRows);
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
    row.Finish();
}

bool TargetOf(QPainter &painter, QRgb colour, Target &target, const QRect &needed)
{
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return false;
    QImage &image = *static_cast<QImage *>(engine->paintDevice());
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    // Pixels shared with another copy of the image would be copied away from the ones the
    // painter draws on: the painter draws then.
    if (!image.isDetached())
        return false;
    if (!painter.testRenderHint(QPainter::Antialiasing) || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || qAlpha(colour) != 255)
        return false;
    const QTransform &t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() != t.m22() || !(t.m11() > 0))
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
    if (!needed.isNull())
        clip &= needed;
    target = {&image, clip, t.m11(), QPointF(t.dx(), t.dy())};
    return true;
}

bool WithinLimits(const Target &target, QRectF logicalBounds)
{
    const double s = target.Scale;
    for (double v : {logicalBounds.left() * s + target.Offset.x(), logicalBounds.right() * s + target.Offset.x(),
                     logicalBounds.top() * s + target.Offset.y(), logicalBounds.bottom() * s + target.Offset.y()})
        if (!(std::abs(v) < CoordinateLimit))
            return false;
    return true;
}

} // namespace velmora::outline
