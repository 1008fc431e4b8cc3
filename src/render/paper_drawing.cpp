#include "paper_drawing.h"

#include "document/units.h"

#include <QPainterPathStroker>
#include <QtMath>

#include <algorithm>
#include <cmath>
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

// One family of lines or dots of a paper.
struct PaperLevel {
    double StepMm;
    double WidthMm; // line width, or the diameter of a dot
    uint32_t Colour;
    bool Vertical = true;   // lines across the sheet (or dots)
    bool Horizontal = true; // lines down the sheet
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

// The family's lines (and small dots) inside an area as rectangles, and its round dots; all
// in pixel edges.
struct PaperPieces {
    std::vector<QRectF> Rects;
    std::vector<QRectF> RoundDots; // the boxes of round dots

    QPainterPath Area() const
    {
        QPainterPath all;
        all.setFillRule(Qt::WindingFill); // crossing lines overlap and stay filled
        for (const QRectF &rect : Rects)
            all.addRect(rect);
        for (const QRectF &dot : RoundDots)
            all.addEllipse(dot);
        return all;
    }
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
    auto keep = [&](const QRectF &rect) {
        const QRectF inside = rect.intersected(area);
        if (!inside.isEmpty())
            pieces.Rects.push_back(inside);
    };
    if (level.Dots) {
        const bool square = width < 3; // small dots as whole pixels, crisp on screen
        const double side = square ? std::max(1.0, std::round(width)) : width;
        for (int y : ys)
            for (int x : xs) {
                // A line or dot on pixel p is centred on the middle of that pixel.
                const QRectF dot(x + 0.5 - side / 2, y + 0.5 - side / 2, side, side);
                if (!area.contains(dot.center()))
                    continue;
                if (square)
                    keep(dot);
                else
                    pieces.RoundDots.push_back(dot);
            }
        return pieces;
    }
    if (level.Vertical)
        for (int x : xs)
            keep(QRectF(x + 0.5 - width / 2, area.top(), width, area.height()));
    if (level.Horizontal)
        for (int y : ys)
            keep(QRectF(area.left(), y + 0.5 - width / 2, area.width(), width));
    return pieces;
}

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

// The area the object painted white on the sheet, in pixel edges.
QPainterPath WhiteArea(const DrawingObject &o, double s, double off)
{
    auto px = [s](double x) { return Round(s * x); };
    auto py = [s, off](double y) { return Round(s * (y - off)); };
    const int pen = std::max(1, Round(s * o.PenWidth));
    const bool white = (o.Colour & 0xFFFFFF) == ColourWhite;
    QPainterPath centre; // the stroked line, through pixel centres
    QPainterPath filled; // the white inside of an ellipse
    switch (o.Kind) {
    case KindLine: {
        const QPointF a(px(o.X1), py(o.Y1)), b(px(o.X2), py(o.Y2));
        if (a == b) { // a dot
            if (pen <= 1)
                filled.addRect(QRectF(a, QSizeF(1, 1)));
            else
                filled.addEllipse(a + QPointF(0.5, 0.5), pen / 2.0, pen / 2.0);
            return white ? filled : QPainterPath();
        }
        centre.moveTo(a);
        centre.lineTo(b);
        break;
    }
    case KindArc: {
        const QRectF box = QRectF(QPointF(px(o.X1), py(o.Y1)), QPointF(px(o.X2) - 1.0, py(o.Y2) - 1.0)).normalized();
        const qreal start = RayAngle(box, px(o.X3), py(o.Y3));
        qreal sweep = RayAngle(box, px(o.X4), py(o.Y4)) - start;
        while (sweep <= 0)
            sweep += 360;
        centre.arcMoveTo(box, start);
        centre.arcTo(box, start, sweep);
        break;
    }
    case KindEllipse: {
        const QRectF box = QRectF(QPointF(px(o.X1), py(o.Y1)), QPointF(px(o.X2) - 1.0, py(o.Y2) - 1.0)).normalized();
        centre.addEllipse(box);
        // Ellipses are filled white: inside the stroke the paper shows in any case.
        const QRectF inner = box.adjusted(pen / 2.0, pen / 2.0, -pen / 2.0, -pen / 2.0);
        if (inner.width() > 0 && inner.height() > 0)
            filled.addEllipse((white ? box : inner).translated(0.5, 0.5));
        break;
    }
    case KindBezier:
        centre.moveTo(px(o.X1), py(o.Y1));
        centre.cubicTo(px(o.X2), py(o.Y2), px(o.X3), py(o.Y3), px(o.X4), py(o.Y4));
        break;
    default:
        return {};
    }
    if (!white)
        return filled;
    QPainterPathStroker stroker;
    stroker.setWidth(pen);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath area = stroker.createStroke(centre).translated(0.5, 0.5);
    if (!filled.isEmpty())
        area = area.united(filled);
    return area;
}

} // namespace

void DrawPaper(Canvas &canvas, const SheetPaper &paper, const QRect &part)
{
    const QRectF area = QRectF(part.intersected(paper.Inside));
    for (const PaperLevel &level : LevelsOf(paper.Kind)) {
        PaperPieces pieces = LevelPieces(level, paper.PixelsPerMm, area);
        for (QRectF &rect : pieces.Rects)
            rect.translate(paper.Origin);
        if (!pieces.Rects.empty())
            canvas.FillRects(pieces.Rects, level.Colour);
        // A dot at a time: one path of many dots fills far more slowly.
        for (const QRectF &dot : pieces.RoundDots) {
            QPainterPath round;
            round.addEllipse(dot.translated(paper.Origin));
            canvas.FillArea(round, level.Colour);
        }
    }
}

void RevealPaper(Canvas &canvas, const SheetPaper &paper, const DrawingObject &o, double off, const QRect &part)
{
    if (paper.Kind == PaperKind::Plain)
        return;
    if (o.Kind != KindEllipse && (o.Colour & 0xFFFFFF) != ColourWhite)
        return;
    const QPainterPath white = WhiteArea(o, paper.PixelsPerMm, off);
    if (white.isEmpty())
        return;
    const QRectF area = white.boundingRect().intersected(QRectF(part.intersected(paper.Inside)));
    for (const PaperLevel &level : LevelsOf(paper.Kind)) {
        const PaperPieces pieces = LevelPieces(level, paper.PixelsPerMm, area);
        if (!pieces.Rects.empty() || !pieces.RoundDots.empty())
            canvas.FillArea(pieces.Area().intersected(white).translated(paper.Origin), level.Colour);
    }
}

void RevealPaperOnSurface(Canvas &surface, PaperKind kind, const ViewGeometry &view, double pageHeightInch,
                          const DrawingObject &o)
{
    if (kind == PaperKind::Plain)
        return;
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect onSurface = view.SheetOnSurface(sheet);
        if (onSurface.isEmpty())
            continue;
        const SheetPaper paper{kind, view.PixelsPerMm, QRect(1, 1, view.PageWidthPx - 2, view.PageHeightPx - 2),
                               onSurface.topLeft()};
        RevealPaper(surface, paper, o, SheetOffsetMm(sheet, pageHeightInch), paper.Inside);
    }
}

} // namespace velmora
