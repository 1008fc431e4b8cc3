#include "outline_fill.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The fill, the cut of curves and the placing of points are built twice: for every x86-64
// processor, and for those with AVX2, BMI and FMA (most made since 2013), where the same code
// runs a quarter faster. The file is compiled without contracting products and sums into fused
// ones, so both builds give the very same pixels.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TWO_BUILDS 1
#define FOR_NEWER_PROCESSORS __attribute__((target("arch=x86-64-v3")))
#else
#define TWO_BUILDS 0
#endif
// Built into each build's functions, so that their helpers follow the processor they run on.
#define BUILT_IN [[gnu::always_inline]]

namespace velmora::outline {

namespace {

// Outline points are held in 1/64 device pixel, as the painter's rasteriser holds them.
constexpr double Subpixel = 64;

// The integer at or below v, for values well inside the int range (cheaper than std::floor,
// which is a library call on the base instruction set).
inline int FloorInt(double v)
{
    const int i = int(v);
    return i - (v < i);
}

#if defined(__SSE2__)
// std::round of two values below 2^51 in size: rounded to even by adding and taking away
// 1.5 * 2^52, a tie then moved away from zero; the sign of a zero is kept.
inline __m128d RoundHalfAway(__m128d t)
{
    const __m128d sign = _mm_set1_pd(-0.0), magic = _mm_set1_pd(0x1.8p52), half = _mm_set1_pd(0.5);
    const __m128d even = _mm_sub_pd(_mm_add_pd(t, magic), magic);
    const __m128d tie = _mm_cmpeq_pd(_mm_andnot_pd(sign, _mm_sub_pd(t, even)), half);
    const __m128d away = _mm_add_pd(t, _mm_or_pd(half, _mm_and_pd(sign, t)));
    const __m128d rounded = _mm_or_pd(_mm_and_pd(tie, away), _mm_andnot_pd(tie, even));
    return _mm_or_pd(_mm_andnot_pd(sign, rounded), _mm_and_pd(sign, t));
}
#endif

// a when c holds, else b, without a branch (either is as likely).
inline double Select(bool c, double a, double b)
{
    uint64_t ia, ib;
    std::memcpy(&ia, &a, sizeof a);
    std::memcpy(&ib, &b, sizeof b);
    const uint64_t mask = -uint64_t(c);
    const uint64_t r = (ia & mask) | (ib & ~mask);
    double out;
    std::memcpy(&out, &r, sizeof out);
    return out;
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
    const int c = std::abs(int(std::clamp(area, -2.0, 2.0) * 256 + (1e-6 + 1024)) - 1024);
    return c > 255 ? 255 : c;
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

// Exact area coverage of the contours, one pixel row at a time. Each edge piece inside a row
// adds its height (cover) to its cell and the part of the cell left of it (area); a pixel's
// coverage is the cover of all cells to its left plus its own cover minus its own area. The
// cells touched in a row are marked in a bitmap, so the sweep finds them in column order
// without sorting.
class RowCoverage {
public:
    // The cells and marks are zero between outlines (each row's sweep empties what it used),
    // so only a wider outline than any before, or one left unfinished, clears them.
    RowCoverage(int left, int right) : left_(left), right_(right)
    {
        Buffers &b = Storage();
        const size_t cells = size_t(right - left) + 1, words = cells / 64 + 1;
        if (!b.Clean || b.Cells.size() < cells || b.Marks.size() < words) {
            b.Cells.assign(std::max(cells, b.Cells.size()), Cell{});
            b.Marks.assign(std::max(words, b.Marks.size()), 0);
        }
        b.Clean = false;
        cells_ = b.Cells.data() - left;
        marks_ = b.Marks.data();
        clean_ = &b.Clean;
    }

    // Every row swept: the cells are all zero again.
    void Finish() { *clean_ = true; }

    // The piece of an edge from (xa, ya) to (xb, yb) within the row (ya <= yb, both in 0..1);
    // Inside when it lies between the row's left and right.
    template <bool Inside> BUILT_IN void Add(const Edge &e, double xa, double ya, double xb, double yb)
    {
        if (ya == yb)
            return;
        if (Inside) {
            Walk(xa, ya, xb, yb, e.DyDx, e.Sign);
            return;
        }
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

    // Paints each covered pixel of the row, then empties it: blend(x, coverage 1..255) for a
    // pixel an edge crossed, blendRun(x, count, coverage) for those between.
    template <typename Blend, typename BlendRun> BUILT_IN void Sweep(Blend &&blend, BlendRun &&blendRun)
    {
        double cover = leftCover_;
        int x = left_;
        for (unsigned w = firstWord_; w <= lastWord_; ++w) {
            uint64_t bits = marks_[w];
            marks_[w] = 0;
            while (bits) {
                const int c = left_ + int(w * 64 + unsigned(__builtin_ctzll(bits)));
                bits &= bits - 1;
                if (x < c)
                    if (const int coverage = Coverage(cover))
                        blendRun(x, c - x, coverage);
                Cell &cell = cells_[c];
                if (const int coverage = Coverage(cover + cell.Cover - cell.Area))
                    blend(c, coverage);
                cover += cell.Cover;
                cell = Cell{};
                x = c + 1;
            }
        }
        if (x < right_)
            if (const int coverage = Coverage(cover))
                blendRun(x, right_ - x, coverage);
        firstWord_ = ~0u;
        lastWord_ = 0;
        leftCover_ = 0;
    }

private:
    inline void Deposit(int column, double xa, double xb, double dy)
    {
        Cell &cell = cells_[column];
        cell.Cover += dy;
        cell.Area += dy * ((xa + xb) * 0.5 - column);
        const unsigned i = unsigned(column - left_);
        marks_[i / 64] |= uint64_t(1) << (i % 64);
    }

    // Notes the words of the marks that the cells first..last lie in.
    inline void Reach(int first, int last)
    {
        firstWord_ = std::min(firstWord_, unsigned(first - left_) / 64);
        lastWord_ = std::max(lastWord_, unsigned(last - left_) / 64);
    }

    // A piece within [left, right] crossing the cells between xa and xb.
    BUILT_IN void Walk(double xa, double ya, double xb, double yb, double dydx, double sign)
    {
        const int top = right_ - 1;
        // Pieces lie right of left_, which is no less than zero: the cut is the floor.
        const int ca = std::min(int(xa), top), cb = std::min(int(xb), top);
        double x = xa, y = ya;
        if (cb >= ca) {
            for (int c = ca; c < cb; ++c) {
                const double nx = c + 1, ny = ya + (nx - xa) * dydx;
                Deposit(c, x, nx, (ny - y) * sign);
                x = nx;
                y = ny;
            }
            Deposit(cb, x, xb, (yb - y) * sign);
            Reach(ca, cb);
        } else {
            for (int c = ca; c > cb; --c) {
                const double nx = c, ny = ya + (xa - nx) * dydx;
                Deposit(c, x, nx, (ny - y) * sign);
                x = nx;
                y = ny;
            }
            Deposit(cb, x, xb, (yb - y) * sign);
            Reach(cb, ca);
        }
    }

    // Kept from outline to outline, so drawing allocates nothing.
    struct Buffers {
        std::vector<Cell> Cells;
        std::vector<uint64_t> Marks;
        bool Clean = false;
    };
    static Buffers &Storage()
    {
        thread_local Buffers buffers;
        return buffers;
    }

    int left_, right_;
    Cell *cells_;
    uint64_t *marks_;
    bool *clean_;
    unsigned firstWord_ = ~0u, lastWord_ = 0;
    double leftCover_ = 0;
};

// The pieces of the active edges within the row from y0 to y1; the edges that end in it
// leave the active ones (the others keep their order).
template <bool Inside>
BUILT_IN inline void AddPieces(RowCoverage &row, const Edge **active, size_t &count, double y0, double y1)
{
    size_t kept = 0;
    for (size_t i = 0; i < count; ++i) {
        const Edge *e = active[i];
        const double ya = std::max(y0, e->Y0), yb = std::min(y1, e->Y1);
        // At the edge's own ends its own points, so the rows of one outline meet exactly.
        const double xa = e->X0 + (ya - e->Y0) * e->DxDy;
        const double xb = Select(yb == e->Y1, e->X1, e->X0 + (yb - e->Y0) * e->DxDy);
        row.Add<Inside>(*e, xa, ya - y0, xb, yb - y0);
        active[kept] = e;
        kept += e->Y1 > y1;
    }
    count = kept;
}

// AddCurve's cut; Culled when pieces may lie wholly outside the rows.
template <bool Culled>
BUILT_IN inline void CutCurve(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3, double tolerance, const Rows &rows)
{
    struct Piece {
        Point P[4];
        int Depth;
    };
    // The piece at hand is held here; the second halves wait on the stack.
    Piece b{{p0, p1, p2, p3}, 9}, stack[10];
    int waiting = 0;
    for (;;) {
        bool done;
        // The chords of a piece lie within the hull of its control points.
        if (Culled && (std::max({b.P[0].Y, b.P[1].Y, b.P[2].Y, b.P[3].Y}) < rows.Top ||
                       std::min({b.P[0].Y, b.P[1].Y, b.P[2].Y, b.P[3].Y}) > rows.Bottom)) {
            done = true;
        } else {
            const double dx = b.P[3].X - b.P[0].X, dy = b.P[3].Y - b.P[0].Y;
            double length = std::abs(dx) + std::abs(dy), off;
            if (length > 1) {
                off = std::abs(dx * (b.P[0].Y - b.P[1].Y) - dy * (b.P[0].X - b.P[1].X)) +
                      std::abs(dx * (b.P[0].Y - b.P[2].Y) - dy * (b.P[0].X - b.P[2].X));
            } else {
                off = std::abs(b.P[0].X - b.P[1].X) + std::abs(b.P[0].Y - b.P[1].Y) +
                      std::abs(b.P[0].X - b.P[2].X) + std::abs(b.P[0].Y - b.P[2].Y);
                length = 1;
            }
            done = off < tolerance * length || b.Depth == 0;
        }
        if (done) {
            out.push_back(b.P[3]);
            if (waiting == 0)
                return;
            b = stack[--waiting];
            continue;
        }
        // Halve the curve: the first half is cut next, the second waits.
        const Point m01 = (b.P[0] + b.P[1]) * 0.5, m12 = (b.P[1] + b.P[2]) * 0.5, m23 = (b.P[2] + b.P[3]) * 0.5;
        const Point a = (m01 + m12) * 0.5, c = (m12 + m23) * 0.5, mid = (a + c) * 0.5;
        const int depth = b.Depth - 1;
        stack[waiting++] = {{mid, c, m23, b.P[3]}, depth};
        b = {{b.P[0], m01, a, mid}, depth};
    }
}

BUILT_IN inline void AddCurveIn(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3, double tolerance,
                                const Rows &rows)
{
    // No piece of a curve whose hull lies within the rows can leave them.
    if (std::min({p0.Y, p1.Y, p2.Y, p3.Y}) >= rows.Top && std::max({p0.Y, p1.Y, p2.Y, p3.Y}) <= rows.Bottom)
        CutCurve<false>(out, p0, p1, p2, p3, tolerance, rows);
    else
        CutCurve<true>(out, p0, p1, p2, p3, tolerance, rows);
}

BUILT_IN inline void ToDeviceIn(Contours &contours, double scale, QPointF offset)
{
#if defined(__SSE2__)
    // Both coordinates of a point at once: half a million points a picture.
    const __m128d factor = _mm_set1_pd(scale), shift = _mm_set_pd(offset.y(), offset.x());
    const __m128d subpixel = _mm_set1_pd(Subpixel), pixel = _mm_set1_pd(1 / Subpixel);
    const __m128d sign = _mm_set1_pd(-0.0), limit = _mm_set1_pd(0x1p51);
    for (Point &p : contours.Points) {
        const __m128d t = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(_mm_loadu_pd(&p.X), factor), shift), subpixel);
        if (_mm_movemask_pd(_mm_cmplt_pd(_mm_andnot_pd(sign, t), limit)) == 3) {
            _mm_storeu_pd(&p.X, _mm_mul_pd(RoundHalfAway(t), pixel));
            continue;
        }
        double v[2];
        _mm_storeu_pd(v, t);
        p = {std::round(v[0]) / Subpixel, std::round(v[1]) / Subpixel};
    }
#else
    for (Point &p : contours.Points)
        p = {std::round((p.X * scale + offset.x()) * Subpixel) / Subpixel,
             std::round((p.Y * scale + offset.y()) * Subpixel) / Subpixel};
#endif
}

BUILT_IN inline void FillIn(QImage &image, const QRect &clip, const Contours &contours, QRgb colour)
{
    thread_local std::vector<Edge> edges;
    thread_local std::vector<uint32_t> firstOfRow, byRow;
    thread_local std::vector<const Edge *> active;
    edges.clear();
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
    // The edges a row crosses, in the order they were taken up (room for all of them).
    active.resize(edges.size());
    size_t activeCount = 0;
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
    // Every point between the row's ends: no piece needs cutting there.
    const bool inside = leftmost >= firstColumn && rightmost < lastColumn + 1;
    const uint fill = colour;
    for (int y = firstRow; y <= lastRow; ++y) {
        const double y0 = y, y1 = y + 1.0;
        const size_t r = size_t(y - firstRow);
        for (uint32_t k = firstOfRow[r]; k < firstOfRow[r + 1]; ++k) {
            const Edge &e = edges[byRow[k]];
            if (e.Y1 > y0)
                active[activeCount++] = &e;
        }
        if (inside)
            AddPieces<true>(row, active.data(), activeCount, y0, y1);
        else
            AddPieces<false>(row, active.data(), activeCount, y0, y1);
        uint *line = reinterpret_cast<uint *>(bits + y * bytesPerLine);
        row.Sweep([&](int x, int coverage) { line[x] = ByteMul(fill, uint(coverage)) + ByteMul(line[x], uint(255 - coverage)); },
                  [&](int x, int count, int coverage) {
            if (coverage == 255) { // a plain loop, which the compiler writes several pixels at a time
                uint *run = line + x;
                for (int i = 0; i < count; ++i)
                    run[i] = fill;
                return;
            }
            const uint ink = ByteMul(fill, uint(coverage)), keep = uint(255 - coverage);
            for (int i = x; i < x + count; ++i)
                line[i] = ink + ByteMul(line[i], keep);
        });
    }
    row.Finish();
}

#if TWO_BUILDS
FOR_NEWER_PROCESSORS void AddCurveNewer(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3,
                                        double tolerance, const Rows &rows)
{
    AddCurveIn(out, p0, p1, p2, p3, tolerance, rows);
}
FOR_NEWER_PROCESSORS void ToDeviceNewer(Contours &contours, double scale, QPointF offset)
{
    ToDeviceIn(contours, scale, offset);
}
FOR_NEWER_PROCESSORS void FillNewer(QImage &image, const QRect &clip, const Contours &contours, QRgb colour)
{
    FillIn(image, clip, contours, colour);
}

bool HasNewerProcessor()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("x86-64-v3");
}
// Decided when the program starts; only tests change it, while nothing draws.
std::atomic<bool> newerBuild{HasNewerProcessor()};
#endif

bool Newer()
{
#if TWO_BUILDS
    return newerBuild.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

} // namespace

void AddCurve(std::vector<Point> &out, Point p0, Point p1, Point p2, Point p3, double tolerance, const Rows &rows)
{
#if TWO_BUILDS
    if (Newer())
        return AddCurveNewer(out, p0, p1, p2, p3, tolerance, rows);
#endif
    AddCurveIn(out, p0, p1, p2, p3, tolerance, rows);
}

void ToDevice(Contours &contours, double scale, QPointF offset)
{
#if TWO_BUILDS
    if (Newer())
        return ToDeviceNewer(contours, scale, offset);
#endif
    ToDeviceIn(contours, scale, offset);
}

void Fill(QImage &image, const QRect &clip, const Contours &contours, QRgb colour)
{
#if TWO_BUILDS
    if (Newer())
        return FillNewer(image, clip, contours, colour);
#endif
    FillIn(image, clip, contours, colour);
}

bool UseNewerProcessorBuild(bool use)
{
#if TWO_BUILDS
    newerBuild = use && HasNewerProcessor();
#else
    Q_UNUSED(use);
#endif
    return Newer();
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
