// Font creation and text measuring shared by every canvas, with a cache so that the
// measuring every paint does for every text costs a lookup once a text is known.
#pragma once

#include "canvas.h"

#include <QFont>
#include <QHash>
#include <QSize>

namespace velmora {

QFont MakeFont(const FontSpec &wanted);

// Text as the canvas draws and measures it: CR LF and lone CR become line breaks.
QString NormaliseLineBreaks(const QString &text);

class TextMetrics {
public:
    // Extent of the text in pixels: widest line by the sum of line heights.
    QSize Measure(const FontSpec &font, const QString &text);
    int Width(const FontSpec &font, const QString &text);
    int Ascent(const FontSpec &font);

    static TextMetrics &Shared();

private:
    struct Key {
        FontSpec Font;
        QString Text;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed);

    static FontSpec Shape(const FontSpec &font); // what decides the size: no colour, no turn

    QHash<Key, QSize> sizes_;
    QHash<Key, int> widths_;
    QHash<Key, int> ascents_; // keyed with an empty text
};

} // namespace velmora
