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
    const TextObject &t = host_.Drawing().Texts.At(i);
    return PointInBox(x, y, Round(t.Left * s), Round(t.Top * s), Round(t.Right * s), Round(t.Bottom * s));
}

void TextTool::DrawOver(int i, int dx, int dy, bool dragged)
{
    const TextObject &text = host_.Drawing().Texts.At(i);
    DrawText(text, dragged ? uint32_t(text.Colour) : ColourRed, dx, dy);
}

void TextTool::MoveBy(EditTransaction &edit, int i, double dx, double dy)
{
    TextObject &text = edit.ChangeText(i);
    text.Left += dx;
    text.Right += dx;
    text.Top += dy;
    text.Bottom += dy;
}

void TextTool::Remove(EditTransaction &edit, int i)
{
    edit.DeleteText(i);
}

void TextTool::PressAdd(int x, int y)
{
    const double s = host_.View().PixelsPerMm();
    AddAt(x / s, y / s);
}

void TextTool::AddAt(double leftMm, double topMm)
{
    QString content;
    if (!host_.EditText(nullptr, content))
        return;
    EditTransaction &edit = host_.BeginEdit(QStringLiteral("Text hinzufügen"));
    if (TextObject *text = edit.AppendText()) {
        // Right and bottom follow when the text is painted and measured.
        text->Left = text->Right = leftMm;
        text->Top = text->Bottom = topMm;
        SetTextString(*text, content);
        ApplyFont(*text, host_.NewTextFont());
    }
    edit.Commit();
}

void TextTool::PressChange()
{
    if (!HoverValid())
        return;
    hover_.Active = false;
    const int index = hover_.Index;
    const TextObject &text = host_.Drawing().Texts.At(index);
    const QString current = TextString(text);
    TextFontChoice &font = host_.NewTextFont();
    font.Name = FontNameString(text);
    font.Size = text.Size;
    font.Colour = uint32_t(text.Colour);
    font.Charset = text.Charset;
    font.Pitch = text.Pitch;
    font.Style = text.Style;
    QString changed;
    if (!host_.EditText(&current, changed) || index >= host_.Drawing().Texts.Count) {
        host_.WipePreviews(); // the highlight
        return;
    }
    EditTransaction &edit = host_.BeginEdit(QStringLiteral("Text ändern"));
    TextObject &same = edit.ChangeText(index);
    SetTextString(same, changed);
    ApplyFont(same, host_.NewTextFont());
    edit.Commit();
}

} // namespace velmora
