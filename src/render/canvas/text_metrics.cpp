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

template <typename V>
const V *TextMetrics::Generations<V>::Find(const Key &key)
{
    auto it = Young.constFind(key);
    if (it != Young.constEnd())
        return &*it;
    auto old = Old.constFind(key);
    if (old == Old.constEnd())
        return nullptr;
    const V value = *old;
    Insert(key, value);
    return &*Young.constFind(key);
}

template <typename V>
void TextMetrics::Generations<V>::Insert(const Key &key, const V &value)
{
    if (Young.size() >= Limit) {
        Old = std::move(Young);
        Young = QHash<Key, V>();
    }
    Young.insert(key, value);
}

QSize TextMetrics::Measure(const FontSpec &font, const QString &text)
{
    const Key key{Shape(font), text};
    if (const QSize *known = sizes_.Find(key))
        return *known;
    const QFontMetrics metrics(MakeFont(font));
    const QSize size = metrics.size(Qt::TextShowMnemonic, NormaliseLineBreaks(text));
    sizes_.Insert(key, size);
    return size;
}

int TextMetrics::Width(const FontSpec &font, const QString &text)
{
    const Key key{Shape(font), text};
    if (const int *known = widths_.Find(key))
        return *known;
    const int width = QFontMetrics(MakeFont(font)).horizontalAdvance(text);
    widths_.Insert(key, width);
    return width;
}

int TextMetrics::Ascent(const FontSpec &font)
{
    const Key key{Shape(font), QString()};
    if (const int *known = ascents_.Find(key))
        return *known;
    const int ascent = QFontMetrics(MakeFont(font)).ascent();
    ascents_.Insert(key, ascent);
    return ascent;
}

TextMetrics &TextMetrics::Shared()
{
    // One cache a thread: the bands of a picture are measured and drawn on several.
    thread_local TextMetrics metrics;
    return metrics;
}

} // namespace velmora
