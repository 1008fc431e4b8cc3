#include "recording_canvas.h"

#include "render/canvas/text_metrics.h"

namespace velmora {

namespace {

QString Hex(uint32_t colour)
{
    return QString::number(colour, 16).rightJustified(6, QLatin1Char('0')).toUpper();
}

bool IsStateOp(const QString &op)
{
    static const QStringList state = {QStringLiteral("PenColour"), QStringLiteral("PenWidth"),
                                      QStringLiteral("PenStyle"),  QStringLiteral("BrushColour"),
                                      QStringLiteral("BrushStyle"), QStringLiteral("Font"),
                                      QStringLiteral("Transparent"), QStringLiteral("MeasureText"),
                                      QStringLiteral("Clip"),        QStringLiteral("NoClip")};
    return state.contains(op.section(QLatin1Char(' '), 0, 0));
}

} // namespace

void RecordingCanvas::Add(const QString &op, std::initializer_list<int> values, const QString &text)
{
    QStringList numbers;
    for (int v : values)
        numbers << QString::number(v);
    QString line = op;
    if (!numbers.isEmpty())
        line += QLatin1Char(' ') + numbers.join(QLatin1Char(','));
    if (!text.isNull())
        line += QStringLiteral(" \"") + text + QLatin1Char('"');
    Ops << line;
}

void RecordingCanvas::SetPenColour(uint32_t colour)
{
    Ops << QStringLiteral("PenColour ") + Hex(colour);
}

void RecordingCanvas::SetPenWidth(int width)
{
    Add(QStringLiteral("PenWidth"), {width});
}

void RecordingCanvas::SetPenStyle(PenStyle style)
{
    Add(QStringLiteral("PenStyle"), {int(style)});
}

void RecordingCanvas::SetBrushColour(uint32_t colour)
{
    Ops << QStringLiteral("BrushColour ") + Hex(colour);
}

void RecordingCanvas::SetBrushStyle(BrushStyle style)
{
    Add(QStringLiteral("BrushStyle"), {int(style)});
}

void RecordingCanvas::SetFont(const FontSpec &font)
{
    Font = font;
    Ops << QStringLiteral("Font \"%1\" %2 w%3 e%4 %5%6%7 %8")
               .arg(font.Face)
               .arg(font.PixelHeight)
               .arg(font.Weight)
               .arg(font.Escapement)
               .arg(font.Italic ? QStringLiteral("i") : QString())
               .arg(font.Underline ? QStringLiteral("u") : QString())
               .arg(font.StrikeOut ? QStringLiteral("s") : QString())
               .arg(Hex(font.Colour));
}

void RecordingCanvas::SetBackgroundTransparent(bool transparent)
{
    Add(QStringLiteral("Transparent"), {transparent ? 1 : 0});
}

void RecordingCanvas::MoveTo(int x, int y)
{
    Add(QStringLiteral("MoveTo"), {x, y});
}

void RecordingCanvas::LineTo(int x, int y)
{
    Add(QStringLiteral("LineTo"), {x, y});
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Add(QStringLiteral("Rectangle"), {x1, y1, x2, y2});
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Add(QStringLiteral("Ellipse"), {x1, y1, x2, y2});
}

void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Add(QStringLiteral("Arc"), {x1, y1, x2, y2, x3, y3, x4, y4});
}

void RecordingCanvas::BezierTo(int cx1, int cy1, int cx2, int cy2, int x, int y)
{
    Add(QStringLiteral("BezierTo"), {cx1, cy1, cx2, cy2, x, y});
}

void RecordingCanvas::Polyline(const std::vector<QPoint> &points)
{
    QStringList at;
    for (const QPoint &p : points)
        at << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    Ops << QStringLiteral("Polyline ") + at.join(QLatin1Char(' '));
}

QRect RecordingCanvas::MeasureText(const QRect &box, const QString &text)
{
    const QSize size = TextMetrics::Shared().Measure(Font, text);
    const QRect measured(box.left(), box.top(), size.width(), size.height());
    Add(QStringLiteral("MeasureText"), {box.left(), box.top()}, text);
    return measured;
}

void RecordingCanvas::DrawText(const QRect &box, const QString &text)
{
    Add(QStringLiteral("DrawText"), {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()},
        text);
}

void RecordingCanvas::TextOut(int x, int y, const QString &text)
{
    Add(QStringLiteral("TextOut"), {x, y}, text);
}

int RecordingCanvas::TextWidth(const QString &text)
{
    return TextMetrics::Shared().Width(Font, text);
}

void RecordingCanvas::CopyImage(int x, int y, const QImage &image)
{
    Add(QStringLiteral("CopyImage"), {x, y, int(image.width()), int(image.height())});
}

void RecordingCanvas::DrawImage(const QRectF &target, const QImage &image, const QRectF &within,
                                const QPainterPath *clip)
{
    const QRect box = (target & within).toAlignedRect();
    Add(QStringLiteral("DrawImage"), {box.left(), box.top(), box.left() + box.width(), box.top() + box.height(),
                                      int(image.width()), int(image.height()), clip ? 1 : 0});
}

void RecordingCanvas::FillArea(const QPainterPath &area, uint32_t colour)
{
    // The area's extent in whole pixels and its colour; the shape itself is checked in pixels.
    const QRect box = area.boundingRect().toAlignedRect();
    Add(QStringLiteral("FillArea"), {box.left(), box.top(), box.left() + box.width(), box.top() + box.height(),
                                     int(colour)});
}

void RecordingCanvas::FillRects(const std::vector<QRectF> &rects, uint32_t colour)
{
    for (const QRectF &rect : rects) {
        const QRect box = rect.toAlignedRect();
        Add(QStringLiteral("FillRect"), {box.left(), box.top(), box.left() + box.width(), box.top() + box.height(),
                                         int(colour)});
    }
}

void RecordingCanvas::SetClipRect(const QRect &rect)
{
    Add(QStringLiteral("Clip"), {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()});
}

void RecordingCanvas::ResetClip()
{
    Ops << QStringLiteral("NoClip");
}

QStringList RecordingCanvas::Shapes() const
{
    QStringList shapes;
    for (const QString &op : Ops)
        if (!IsStateOp(op))
            shapes << op;
    return shapes;
}

QStringList RecordingCanvas::Drawn() const
{
    QString penWidth = QStringLiteral("1"), penColour = QStringLiteral("000000"), penStyle;
    QString brushColour = QStringLiteral("unset");
    bool brushClear = false;
    QStringList drawn;
    for (const QString &op : Ops) {
        const QString kind = op.section(QLatin1Char(' '), 0, 0), value = op.section(QLatin1Char(' '), 1);
        if (kind == QLatin1String("PenWidth"))
            penWidth = value;
        else if (kind == QLatin1String("PenColour"))
            penColour = value;
        else if (kind == QLatin1String("PenStyle"))
            penStyle = value == QString::number(int(PenStyle::Solid)) ? QString() : QStringLiteral(" style ") + value;
        else if (kind == QLatin1String("BrushColour"))
            brushColour = value;
        else if (kind == QLatin1String("BrushStyle"))
            brushClear = value == QString::number(int(BrushStyle::Clear));
        if (IsStateOp(op))
            continue;
        QString line = op + QStringLiteral(" pen ") + penWidth + QLatin1Char(' ') + penColour + penStyle;
        if (kind == QLatin1String("Rectangle") || kind == QLatin1String("Ellipse"))
            line += QStringLiteral(" brush ") + (brushClear ? QStringLiteral("clear") : brushColour);
        drawn << line;
    }
    return drawn;
}

} // namespace velmora
