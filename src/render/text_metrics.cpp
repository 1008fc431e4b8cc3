#include "text_metrics.h"

#include <QFontMetrics>

namespace velmora {

size_t qHash(const TextMetrics::Key &key, size_t seed)
{
    return qHashMulti(seed, key.Font.Face, key.Font.PixelHeight, key.Font.Weight, key.Font.Italic,
                      key.Font.Underline, key.Font.StrikeOut, key.Font.Pitch, key.Text);
}

QFont MakeFont(const FontSpec &wanted)
{
    QFont font(wanted.Face);
    if (wanted.PixelHeight > 0) // a height of 0 asks for the platform's default size
        font.setPixelSize(wanted.PixelHeight);
    font.setWeight(QFont::Weight(qBound(1, wanted.Weight > 0 ? wanted.Weight : 400, 1000)));
    font.setItalic(wanted.Italic);
    font.setUnderline(wanted.Underline);
    font.setStrikeOut(wanted.StrikeOut);
    if (wanted.Pitch == 2) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

QString NormaliseLineBreaks(const QString &text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

FontSpec TextMetrics::Shape(const FontSpec &font)
{
    FontSpec shape = font;
    shape.Colour = 0;
    shape.Escapement = 0;
    return shape;
}

QSize TextMetrics::Measure(const FontSpec &font, const QString &text)
{
    const Key key{Shape(font), text};
    auto it = sizes_.constFind(key);
    if (it != sizes_.constEnd())
        return *it;
    if (sizes_.size() > 20000)
        sizes_.clear();
    const QFontMetrics metrics(MakeFont(font));
    const QSize size = metrics.size(Qt::TextShowMnemonic, NormaliseLineBreaks(text));
    sizes_.insert(key, size);
    return size;
}

int TextMetrics::Width(const FontSpec &font, const QString &text)
{
    const Key key{Shape(font), text};
    auto it = widths_.constFind(key);
    if (it != widths_.constEnd())
        return *it;
    if (widths_.size() > 20000)
        widths_.clear();
    const int width = QFontMetrics(MakeFont(font)).horizontalAdvance(text);
    widths_.insert(key, width);
    return width;
}

int TextMetrics::Ascent(const FontSpec &font)
{
    const Key key{Shape(font), QString()};
    auto it = ascents_.constFind(key);
    if (it != ascents_.constEnd())
        return *it;
    if (ascents_.size() > 1000)
        ascents_.clear();
    const int ascent = QFontMetrics(MakeFont(font)).ascent();
    ascents_.insert(key, ascent);
    return ascent;
}

TextMetrics &TextMetrics::Shared()
{
    static TextMetrics metrics;
    return metrics;
}

} // namespace velmora
