#include "text_tool.h"

#include "hit_tests.h"

#include "document/cp1252.h"
#include "document/units.h"
#include "render/sheet/sheet_renderer.h"

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
    const double s = host_.View().PixelsPerMm();
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

bool TextTool::HitsRecord(int i, int x, int y)
{
    const double s = host_.View().PixelsPerMm();
    const TextObject &t = *host_.State().Texts.Select(i);
    return PointInBox(x, y, Round(t.Left * s), Round(t.Top * s), Round(t.Right * s), Round(t.Bottom * s));
}

void TextTool::DrawOver(int i, int dx, int dy, bool dragged)
{
    TDynaArray<TextObject> &texts = host_.State().Texts;
    if (dragged) {
        const TextObject &text = *texts.Select(i);
        DrawText(text, uint32_t(text.Colour), dx, dy);
    } else {
        DrawText(texts.At(i), ColourRed, dx, dy);
    }
}

void TextTool::MoveBy(int i, double dx, double dy)
{
    host_.Edits().WillChangeText(i);
    TextObject &text = host_.State().ChangeText(i);
    text.Left += dx;
    text.Right += dx;
    text.Top += dy;
    text.Bottom += dy;
}

bool TextTool::Remove(int i)
{
    host_.Edits().WillDeleteText(i);
    return host_.State().DeleteText(i);
}

void TextTool::PressAdd(int x, int y)
{
    QString content;
    if (!host_.EditText(nullptr, content))
        return;
    DrawingState &state = host_.State();
    const double s = host_.View().PixelsPerMm();
    host_.Edits().Begin(state, QStringLiteral("Text hinzufügen"));
    TextObject *text = state.AppendText();
    if (!text) {
        host_.CommitEdit();
        return;
    }
    *text = TextObject{}; // a reused slot keeps no stale strings or bytes
    host_.SetChanged();
    text->Left = text->Right = x / s;
    text->Top = text->Bottom = y / s;
    SetTextString(*text, content);
    ApplyFont(*text, host_.NewTextFont());
    host_.Repaint(); // measures the new text's box
    host_.CommitEdit();
}

void TextTool::PressChange()
{
    if (!HoverValid())
        return;
    hover_.Active = false;
    const int index = hover_.Index;
    TextObject &text = *host_.State().Texts.Select(index);
    const QString current = TextString(text);
    TextFontChoice &font = host_.NewTextFont();
    font.Name = FontNameString(text);
    font.Size = text.Size;
    font.Colour = uint32_t(text.Colour);
    font.Charset = text.Charset;
    font.Pitch = text.Pitch;
    font.Style = text.Style;
    QString changed;
    if (host_.EditText(&current, changed) && index < host_.State().Texts.Count) {
        host_.Edits().Begin(host_.State(), QStringLiteral("Text ändern"));
        host_.Edits().WillChangeText(index);
        TextObject &same = host_.State().ChangeText(index);
        SetTextString(same, changed);
        ApplyFont(same, host_.NewTextFont());
        host_.SetChanged();
        host_.Repaint();
        host_.CommitEdit();
    }
    host_.Repaint();
}

} // namespace velmora
