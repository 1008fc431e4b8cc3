#include "sheet_renderer.h"

#include "compass_drawing.h"
#include "object_index.h"
#include "paper_drawing.h"
#include "protractor_drawing.h"
#include "ruler_drawing.h"
#include "set_square_drawing.h"

#include "document/drawing_state.h"
#include "document/change_journal.h"
#include "document/stroke_runs.h"
#include "render/canvas/text_metrics.h"
#include "worksheet/page_images.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora {

namespace {

// Round (half to even, saturating) of a double, without the long double library call: adding
// and taking away 2^52 rounds in the same to-nearest-even mode, exactly.
inline int RoundPx(double v)
{
    if (!(std::abs(v) < 2147483647.0))
        return Round(v);
    return int(v >= 0 ? (v + 0x1p52) - 0x1p52 : (v - 0x1p52) + 0x1p52);
}

// Largest character height handed to the font engine; larger sizes come only from
// damaged files and would make the engine crawl.
constexpr int MaxTextPixelHeight = 16384;

// Text boxes far outside any sheet are pulled in to where rectangle arithmetic cannot overflow.
constexpr int FarPx = 1 << 29;

// The whole of a sheet, as the part of it that is drawn.
const QRect WholeSheet(QPoint(-FarPx, -FarPx), QPoint(FarPx, FarPx));

QRect TextBoxOnSheet(const TextObject &text, double s, double off)
{
    const int left = std::clamp(Round(s * text.Left), -FarPx, FarPx);
    const int top = std::clamp(Round(s * (text.Top - off)), -FarPx, FarPx);
    const int right = std::clamp(Round(s * text.Right), -FarPx, FarPx);
    const int bottom = std::clamp(Round(s * (text.Bottom - off)), -FarPx, FarPx);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// The one write a paint makes into the drawing, and why the painters take it writable: a
// text's right and bottom edge are part of its stored record (the file keeps them, the hit
// tests and the kept pictures use them), and only the font engine at the paint's scale can
// measure them. StoreTextExtent writes those two edges and nothing else; every other change
// of the records goes through an edit transaction, which the painters cannot reach.
void StoreMeasuredBox(DrawingState &state, int i, const QRect &measured, double s, double off)
{
    state.StoreTextExtent(i, (double(measured.left()) + measured.width()) / s,
                          (double(measured.top()) + measured.height()) / s + off);
}

// The drawing's paper on a sheet of the view, inside the frame, with the sheet's page of the
// worksheet: for the screen the picture at hand, for output one rendered at its resolution.
SheetPaper PaperOfSheet(const DrawingState &state, const ViewGeometry &view, int sheet, double deviceScale,
                        bool screen)
{
    SheetPaper paper;
    paper.Kind = state.Paper;
    paper.PixelsPerMm = view.PixelsPerMm;
    paper.Inside = QRect(1, 1, view.PageWidthPx - 2, view.PageHeightPx - 2);
    if (state.Background && sheet >= 0 && sheet < int(state.Background->Pages.size())) {
        const WorksheetPage &page = state.Background->Pages[size_t(sheet)];
        paper.HasPage = true;
        paper.PageRect = QRectF(0, 0, page.WidthMm * view.PixelsPerMm, page.HeightMm * view.PixelsPerMm);
        PageImages &images = PageImagesOf(state.Background);
        const double scale = view.PixelsPerMm * deviceScale;
        paper.Page = screen ? images.ForScreen(sheet, scale).Image : images.ForOutput(sheet, scale);
    }
    return paper;
}

// Object first, or the lines first..last of one stroke drawn as one line.
void DrawShape(Canvas &canvas, const TDynaArray<DrawingObject> &objects, int first, int last, double s, double off)
{
    const DrawingObject &o = objects.At(first);
    const int width = Round(s * o.PenWidth);
    canvas.SetPenWidth(width == 0 ? 1 : width);
    canvas.SetPenColour(o.Colour);
    auto px = [s](double x) { return RoundPx(s * x); };
    auto py = [s, off](double y) { return RoundPx(s * (y - off)); };
    if (last > first) {
        std::vector<QPoint> points{QPoint(px(o.X1), py(o.Y1))};
        for (int i = first; i <= last; ++i)
            points.push_back(QPoint(px(objects.At(i).X2), py(objects.At(i).Y2)));
        canvas.Polyline(points);
        return;
    }
    switch (o.Kind) {
    case KindLine:
        canvas.MoveTo(px(o.X1), py(o.Y1));
        canvas.LineTo(px(o.X2), py(o.Y2));
        break;
    case KindArc:
        canvas.Arc(px(o.X1), py(o.Y1), px(o.X2), py(o.Y2), px(o.X3), py(o.Y3), px(o.X4), py(o.Y4));
        break;
    case KindEllipse:
        canvas.Ellipse(px(o.X1), py(o.Y1), px(o.X2), py(o.Y2));
        break;
    case KindBezier:
        canvas.MoveTo(px(o.X1), py(o.Y1));
        canvas.BezierTo(px(o.X2), py(o.Y2), px(o.X3), py(o.Y3), px(o.X4), py(o.Y4));
        break;
    default:
        break;
    }
}

// Objects first..last, drawn together: a single object, the lines of a stroke, or white lines
// one after another (each stroke as one line). On paper, what they painted white shows the
// paper again within part, once where they overlap.
void DrawTogether(Canvas &canvas, const TDynaArray<DrawingObject> &objects, int first, int last, double s, double off,
                  const SheetPaper *paper, const QRect &part)
{
    for (int i = first; i <= last;) {
        int end = i;
        while (end < last && ContinuesStroke(objects.At(end), objects.At(end + 1)))
            ++end;
        DrawShape(canvas, objects, i, end, s, off);
        i = end + 1;
    }
    if (paper)
        RevealPaper(canvas, *paper, std::span(&objects.At(first), size_t(last - first + 1)), off, part);
}

// Every object from first to the end of the list.
void DrawAllFrom(Canvas &canvas, const TDynaArray<DrawingObject> &objects, int first, double s, double off,
                 const SheetPaper *paper, const QRect &part)
{
    for (int i = std::max(0, first); i < objects.Count;) {
        int last = i;
        while (last + 1 < objects.Count && DrawnTogether(objects.At(last), objects.At(last + 1)))
            ++last;
        DrawTogether(canvas, objects, i, last, s, off, paper, part);
        i = last + 1;
    }
}

// The objects found in a part (ascending indices), in list order. Of objects drawn together
// only those from the first found to the last found are drawn, with one more at each end, so
// the joints, ends and paper in the part are those of the whole.
void DrawFound(Canvas &canvas, const TDynaArray<DrawingObject> &objects, const std::vector<int> &hits, double s,
               double off, const SheetPaper *paper, const QRect &part)
{
    for (size_t h = 0; h < hits.size();) {
        const int i = hits[h];
        int first = i, end = i;
        if (first > 0 && DrawnTogether(objects.At(first - 1), objects.At(first)))
            --first;
        while (end + 1 < objects.Count && DrawnTogether(objects.At(end), objects.At(end + 1)))
            ++end;
        while (h < hits.size() && hits[h] <= end)
            ++h;
        DrawTogether(canvas, objects, first, std::min(hits[h - 1] + 1, end), s, off, paper, part);
    }
}

} // namespace

FontSpec TextFont(const TextObject &text, int zoomPercent, double dpiY)
{
    FontSpec font;
    font.Face = FontNameString(text);
    int points = ZoomedPointSize(std::min(text.Size, MaxTextPoints), zoomPercent);
    if (points == 0)
        points = 1;
    font.PixelHeight = std::min(RoundHalfAway(static_cast<long double>(points) * dpiY / 72), MaxTextPixelHeight);
    font.Weight = (text.Style & StyleBold) ? 700 : 400;
    font.Italic = text.Style & StyleItalic;
    font.Underline = text.Style & StyleUnderline;
    font.StrikeOut = text.Style & StyleStrikeOut;
    font.Charset = text.Charset;
    font.Pitch = text.Pitch;
    font.Colour = uint32_t(text.Colour);
    return font;
}

namespace {

// Objects and texts; on paper, each object that painted white shows the paper again.
void DrawObjectsOnPaper(Canvas &canvas, DrawingState &state, int sheet, double s, int zoomPercent, double dpiY,
                        const SheetCulling *culling, const SheetPaper *paper)
{
    const double off = SheetOffsetMm(sheet, state.PageHeightInch);
    const SheetPass pass = culling ? culling->Pass : SheetPass::Everything;
    canvas.SetPenColour(ColourBlack);
    if (pass == SheetPass::TextsOnly) {
        // the objects lie drawn already
    } else if (culling && culling->Index) {
        // Only the objects whose box meets the visible part, still in list order. Two
        // pixels of slack cover rounding and the 1-pixel minimum pen.
        const QRect v = culling->VisiblePx;
        const double slack = 2 / s;
        std::vector<int> hits;
        culling->Index->Query(v.left() / s - slack, v.top() / s + off - slack, (v.right() + 1) / s + slack,
                              (v.bottom() + 1) / s + off + slack, hits);
        DrawFound(canvas, state.Objects, hits, s, off, paper, v);
    } else {
        DrawAllFrom(canvas, state.Objects, 0, s, off, paper, culling ? culling->VisiblePx : WholeSheet);
    }

    // The stored boxes were measured on another sheet at the same scale: on this one they
    // may be off by the rounding of the sheet offset, a pixel or two. Glyphs may lean out of
    // a text's box by a part of its height: a large text is drawn from further away.
    for (int i = 0; pass != SheetPass::UnderTexts && i < state.Texts.Count; ++i) {
        const TextObject &text = state.Texts.At(i);
        const FontSpec font = TextFont(text, zoomPercent, dpiY);
        QRect textPart;
        if (culling) {
            const int reach = std::max(culling->TextReachPx, font.PixelHeight / 2);
            textPart = culling->VisiblePx.adjusted(-reach, -reach, reach, reach);
            if (!TextBoxOnSheet(text, s, off).normalized().adjusted(-4, -4, 5, 5).intersects(textPart))
                continue;
        }
        canvas.SetFont(font);
        canvas.SetBackgroundTransparent(true);
        const QString content = TextString(text);
        const QRect measured = canvas.MeasureText(TextBoxOnSheet(text, s, off), content);
        if (!culling || measured.intersects(textPart))
            canvas.DrawText(measured, content);
        if (!culling)
            StoreMeasuredBox(state, i, measured, s, off);
    }
}

} // namespace

void DrawObjects(Canvas &canvas, DrawingState &state, int sheet, double s, int zoomPercent, double dpiY,
                 const SheetCulling *culling)
{
    DrawObjectsOnPaper(canvas, state, sheet, s, zoomPercent, dpiY, culling, nullptr);
}

void DrawObjectsOnTop(Canvas &canvas, const DrawingState &state, const ViewGeometry &view, int sheet, int first,
                      const QRect &part)
{
    // The canvas as the sheet's rendering leaves it for its objects.
    canvas.SetBrushColour(ColourWhite);
    canvas.SetPenColour(ColourBlack);
    canvas.SetPenWidth(1);
    const double off = SheetOffsetMm(sheet, state.PageHeightInch);
    const SheetPaper paper = PaperOfSheet(state, view, sheet, canvas.DeviceScale(), true);
    const SheetPaper *onPaper = paper.IsBlank() ? nullptr : &paper;
    // Only the objects whose box meets the part (with the slack of a culled rendering): a
    // long stroke grown by a line is drawn where it grew, not along its whole length.
    const double s = view.PixelsPerMm, slack = 2 / s;
    const double left = part.left() / s - slack, top = part.top() / s + off - slack;
    const double right = (part.right() + 1) / s + slack, bottom = (part.bottom() + 1) / s + off + slack;
    std::vector<int> hits;
    for (int i = std::max(0, first); i < state.Objects.Count; ++i) {
        const MmBox b = ObjectInkBox(state.Objects.At(i));
        if (std::min(b.Left, b.Right) <= right && std::max(b.Left, b.Right) >= left &&
            std::min(b.Top, b.Bottom) <= bottom && std::max(b.Top, b.Bottom) >= top)
            hits.push_back(i);
    }
    DrawFound(canvas, state.Objects, hits, s, off, onPaper, part);
}

void MeasureTexts(DrawingState &state, int sheet, double s, int zoomPercent, double dpiY)
{
    const double off = SheetOffsetMm(sheet, state.PageHeightInch);
    for (int i = 0; i < state.Texts.Count; ++i) {
        const TextObject &text = state.Texts.At(i);
        const QRect box = TextBoxOnSheet(text, s, off);
        const QSize size = TextMetrics::Shared().Measure(TextFont(text, zoomPercent, dpiY), TextString(text));
        StoreMeasuredBox(state, i, QRect(box.topLeft(), size), s, off);
    }
}

void RenderSheetDrawing(Canvas &canvas, DrawingState &state, const ViewGeometry &view, int sheet,
                        const SheetCulling *culling)
{
    canvas.SetBrushColour(ColourWhite);
    canvas.SetPenColour(ColourBlack);
    canvas.SetPenWidth(1);
    if (culling && culling->Pass == SheetPass::TextsOnly) {
        DrawObjects(canvas, state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY, culling);
        return;
    }
    canvas.Rectangle(0, 0, view.PageWidthPx, view.PageHeightPx);
    const SheetPaper paper =
        PaperOfSheet(state, view, sheet, canvas.DeviceScale(), culling && culling->PageAsAtHand);
    if (paper.IsBlank()) {
        DrawObjects(canvas, state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY, culling);
        return;
    }
    DrawPaper(canvas, paper, culling ? culling->VisiblePx : paper.Inside);
    DrawObjectsOnPaper(canvas, state, sheet, view.PixelsPerMm, view.Zoom, view.DpiY, culling, &paper);
}

void RenderSheetInstruments(Canvas &canvas, const DrawingState &state, const ViewGeometry &view, const SheetView &show)
{
    canvas.SetPenColour(ColourGrey);
    canvas.SetPenWidth(1);
    const InstrumentPlacement &p = state.Placement;
    if (show.Ruler)
        DrawRuler(canvas, {p.RulerX, p.RulerY, p.RulerAngle}, view.PixelsPerMm, view.PageWidthPx, view.PageHeightPx,
                  show.InchLabels);
    if (show.Protractor)
        DrawProtractor(canvas, {p.ProtractorX, p.ProtractorY, p.ProtractorAngle, p.ProtractorDiameter},
                       view.PixelsPerMm);
    if (show.Compass)
        DrawCompass(canvas, {p.CompassX, p.CompassY, p.CompassSpan, p.CompassAngle}, view.PixelsPerMm);
    if (show.SetSquare)
        DrawSetSquare(canvas, {p.SetSquareX, p.SetSquareY, p.SetSquareAngle}, view.PixelsPerMm);
}

void RenderSheet(Canvas &canvas, DrawingState &state, const ViewGeometry &view, int sheet, const SheetView &show,
                 const SheetCulling *culling)
{
    RenderSheetDrawing(canvas, state, view, sheet, culling);
    RenderSheetInstruments(canvas, state, view, show);
}

} // namespace velmora
