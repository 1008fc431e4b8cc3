#include "text_tool.h"

#include "hit_tests.h"

#include "document/cp1252.h"
#include "document/units.h"
#include "render/sheet_renderer.h"

namespace velmora {

namespace {

void ApplyFont(TextObject &text, const TextFontChoice &font)
{
    const QByteArray name = UnicodeToCp1252(font.Name);
    SetFontName(text, name.constData(), int(name.size()));
    text.Size = font.Size;
    text.Colour = int32_t(font.Colour);
    text.Charset = font.Charset;
    text.Pitch = font.Pitch;
    text.Style = font.Style;
}

} // namespace

void TextTool::DrawText(const TextObject &text, uint32_t colour, int dx, int dy)
{
    const DrawingState &state = host_.State();
    const double s = state.PixelsPerMm;
    FontSpec font = TextFont(text, host_.Zoom(), host_.ScreenDpiY());
    font.Colour = colour;
    Canvas &surface = host_.Surface();
    surface.SetFont(font);
    surface.SetBackgroundTransparent(true);
    const QRect box(QPoint(Round(text.Left * s) + PointerMarginPx + dx, Round(text.Top * s) + PointerMarginPx + dy),
                    QPoint(Round(text.Right * s) + PointerMarginPx + dx - 1,
                           Round(text.Bottom * s) + PointerMarginPx + dy - 1));
    const QString content = TextString(text);
    surface.DrawText(surface.MeasureText(box, content), content);
}

void TextTool::HoverScan(int x, int y)
{
    drag_.HoverFound = false;
    TDynaArray<TextObject> &texts = host_.State().Texts;
    const double s = host_.State().PixelsPerMm;
    for (int n = texts.Count - 1; n >= 0; --n) {
        const TextObject &t = *texts.Select(n);
        if (!PointInBox(x, y, Round(t.Left * s), Round(t.Top * s), Round(t.Right * s), Round(t.Bottom * s)))
            continue;
        host_.Repaint();
        DrawText(texts.At(n), ColourRed, 0, 0);
        drag_.HoverFound = drag_.HoverActive = true;
        drag_.HoverIndex = n;
        drag_.HoverIn = DragState::HoverList::Texts;
        return;
    }
    if (drag_.HoverActive) {
        drag_.HoverActive = false;
        host_.Repaint();
    }
}

bool TextTool::HoverValid() const
{
    return drag_.HoverActive && drag_.HoverIn == DragState::HoverList::Texts && drag_.HoverIndex >= 0 &&
           drag_.HoverIndex < host_.State().Texts.Count;
}

void TextTool::PressAdd(int x, int y)
{
    QString content;
    if (!host_.EditText(nullptr, content))
        return;
    DrawingState &state = host_.State();
    host_.Edits().Begin(state, QStringLiteral("Text hinzufügen"));
    TextObject *text = state.Texts.Append();
    if (!text) {
        host_.CommitEdit();
        return;
    }
    *text = TextObject{}; // a reused slot keeps no stale strings or bytes
    host_.SetChanged();
    text->Left = text->Right = x / state.PixelsPerMm;
    text->Top = text->Bottom = y / state.PixelsPerMm;
    SetTextString(*text, content);
    ApplyFont(*text, host_.NewTextFont());
    host_.Repaint(); // measures the new text's box
    host_.CommitEdit();
}

void TextTool::PressChange()
{
    if (!HoverValid())
        return;
    drag_.HoverActive = false;
    TextObject &text = *host_.State().Texts.Select(drag_.HoverIndex);
    const QString current = TextString(text);
    TextFontChoice &font = host_.NewTextFont();
    font.Name = FontNameString(text);
    font.Size = text.Size;
    font.Colour = uint32_t(text.Colour);
    font.Charset = text.Charset;
    font.Pitch = text.Pitch;
    font.Style = text.Style;
    QString changed;
    if (host_.EditText(&current, changed) && drag_.HoverIndex < host_.State().Texts.Count) {
        host_.Edits().Begin(host_.State(), QStringLiteral("Text ändern"));
        host_.Edits().WillChangeText(drag_.HoverIndex);
        TextObject &same = *host_.State().Texts.Select(drag_.HoverIndex);
        SetTextString(same, changed);
        ApplyFont(same, host_.NewTextFont());
        host_.SetChanged();
        host_.Repaint();
        host_.CommitEdit();
    }
    host_.Repaint();
}

void TextTool::PressDelete()
{
    if (!HoverValid())
        return;
    drag_.HoverActive = false;
    host_.Edits().Begin(host_.State(), QStringLiteral("Text löschen"));
    host_.Edits().WillDeleteText(drag_.HoverIndex);
    if (!host_.State().DeleteText(drag_.HoverIndex)) {
        host_.Edits().End(); // nothing was deleted
        return;
    }
    host_.SetChanged();
    host_.CommitEdit();
    host_.Repaint();
}

void TextTool::PressMove(int x, int y)
{
    if (!HoverValid())
        return;
    drag_.TextDragging = true;
    drag_.AnchorX = x;
    drag_.AnchorY = y;
}

void TextTool::DragMove(int x, int y)
{
    host_.Repaint();
    if (drag_.HoverIndex < host_.State().Texts.Count) {
        const TextObject &text = *host_.State().Texts.Select(drag_.HoverIndex);
        DrawText(text, uint32_t(text.Colour), x - drag_.AnchorX, y - drag_.AnchorY);
    }
}

void TextTool::ReleaseMove(int x, int y)
{
    DrawingState &state = host_.State();
    if (drag_.HoverIndex < state.Texts.Count) {
        host_.Edits().Begin(state, QStringLiteral("Text verschieben"));
        host_.Edits().WillChangeText(drag_.HoverIndex);
        TextObject &text = *state.Texts.Select(drag_.HoverIndex);
        const double dx = (x - drag_.AnchorX) / state.PixelsPerMm, dy = (y - drag_.AnchorY) / state.PixelsPerMm;
        text.Left += dx;
        text.Right += dx;
        text.Top += dy;
        text.Bottom += dy;
        host_.SetChanged();
        host_.CommitEdit();
    }
    drag_.TextDragging = false;
    host_.Repaint();
}

} // namespace velmora
