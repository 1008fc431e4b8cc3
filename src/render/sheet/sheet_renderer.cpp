#include "sheet_renderer.h"

#include "compass_drawing.h"
#include "object_index.h"
#include "paper_drawing.h"
#include "protractor_drawing.h"
#include "ruler_drawing.h"

#include "document/drawing_state.h"
#include "render/canvas/text_metrics.h"
#include "worksheet/page_images.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora {

namespace {

// Largest character height handed to the font engine; larger sizes come only from
// damaged files and would make the engine crawl.
constexpr int MaxTextPixelHeight = 16384;

// Text boxes far outside any sheet are pulled in to where rectangle arithmetic cannot overflow.
constexpr int FarPx = 1 << 29;

QRect TextBoxOnSheet(const TextObject &text, double s, double off)
{
    const int left = std::clamp(Round(s * text.Left), -FarPx, FarPx);
    const int top = std::clamp(Round(s * (text.Top - off)), -FarPx, FarPx);
    const int right = std::clamp(Round(s * text.Right), -FarPx, FarPx);
    const int bottom = std::clamp(Round(s * (text.Bottom - off)), -FarPx, FarPx);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

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

void DrawObject(Canvas &canvas, const DrawingObject &o, double s, double off, const SheetPaper *paper)
{
    const int width = Round(s * o.PenWidth);
    canvas.SetPenWidth(width == 0 ? 1 : width);
    canvas.SetPenColour(o.Colour);
    auto px = [s](double x) { return Round(s * x); };
    auto py = [s, off](double y) { return Round(s * (y - off)); };
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
    if (paper)
        RevealPaper(canvas, *paper, o, off);
}

} // namespace

FontSpec TextFont(const TextObject &text, int zoomPercent, double dpiY)
{
    FontSpec font;
    font.Face = FontNameString(text);
    int points = ZoomedPointSize(text.Size, zoomPercent);
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
    canvas.SetPenColour(ColourBlack);
    if (culling && culling->Index) {
        // Only the objects whose box meets the visible part, still in list order. Two
        // pixels of slack cover rounding and the 1-pixel minimum pen.
        const QRect v = culling->VisiblePx;
        const double slack = 2 / s;
        std::vector<int> hits;
        culling->Index->Query(v.left() / s - slack, v.top() / s + off - slack, (v.right() + 1) / s + slack,
                              (v.bottom() + 1) / s + off + slack, hits);
        for (int i : hits)
            DrawObject(canvas, state.Objects.At(i), s, off, paper);
    } else {
        for (int i = 0; i < state.Objects.Count; ++i)
            DrawObject(canvas, state.Objects.At(i), s, off, paper);
    }

    // The stored boxes were measured on another sheet at the same scale: on this one they
    // may be off by the rounding of the sheet offset, a pixel or two.
    const int reach = culling ? culling->TextReachPx : 0;
    const QRect textPart = culling ? culling->VisiblePx.adjusted(-reach, -reach, reach, reach) : QRect();
    const QRect nearPart = textPart.adjusted(-4, -4, 4, 4);
    for (int i = 0; i < state.Texts.Count; ++i) {
        const TextObject &text = state.Texts.At(i);
        if (culling && !TextBoxOnSheet(text, s, off).normalized().adjusted(0, 0, 1, 1).intersects(nearPart))
            continue;
        canvas.SetFont(TextFont(text, zoomPercent, dpiY));
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

void DrawObjectsOnTop(Canvas &canvas, const DrawingState &state, const ViewGeometry &view, int sheet, int first)
{
    // The canvas as the sheet's rendering leaves it for its objects.
    canvas.SetBrushColour(ColourWhite);
    canvas.SetPenColour(ColourBlack);
    canvas.SetPenWidth(1);
    const double off = SheetOffsetMm(sheet, state.PageHeightInch);
    const SheetPaper paper = PaperOfSheet(state, view, sheet, canvas.DeviceScale(), true);
    const SheetPaper *onPaper = paper.IsBlank() ? nullptr : &paper;
    for (int i = std::max(0, first); i < state.Objects.Count; ++i)
        DrawObject(canvas, state.Objects.At(i), view.PixelsPerMm, off, onPaper);
}

void RevealSheetsOnSurface(Canvas &surface, const DrawingState &state, const ViewGeometry &view,
                           const DrawingObject &o)
{
    if (state.Paper == PaperKind::Plain && !state.Background)
        return;
    // A line (an eraser stroke) reaches only the sheets its ends and width span.
    const double reach = o.PenWidth + 1;
    const double top = o.Kind == KindLine ? std::min(o.Y1, o.Y2) - reach : -INFINITY;
    const double bottom = o.Kind == KindLine ? std::max(o.Y1, o.Y2) + reach : INFINITY;
    for (int sheet = 0; sheet < view.PageCount; ++sheet) {
        const QRect onSurface = view.SheetOnSurface(sheet);
        const double off = SheetOffsetMm(sheet, state.PageHeightInch);
        if (onSurface.isEmpty() || bottom < off || top > off + state.PageHeightInch * MmPerInch)
            continue;
        SheetPaper paper = PaperOfSheet(state, view, sheet, surface.DeviceScale(), true);
        paper.Origin = onSurface.topLeft();
        RevealPaper(surface, paper, o, off);
    }
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
}

void RenderSheet(Canvas &canvas, DrawingState &state, const ViewGeometry &view, int sheet, const SheetView &show,
                 const SheetCulling *culling)
{
    RenderSheetDrawing(canvas, state, view, sheet, culling);
    RenderSheetInstruments(canvas, state, view, show);
}

} // namespace velmora
