// Font creation and text measuring shared by every canvas, with a cache so that measuring
// a text again (another sheet, the zoom back where it was) costs a lookup.
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

    // The calling thread's cache.
    static TextMetrics &Shared();

private:
    struct Key {
        FontSpec Font;
        QString Text;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed);

    static FontSpec Shape(const FontSpec &font); // what decides the size: no colour, no turn

    // Two generations: when the young one is full it becomes the old one, and what is used
    // from the old one moves back. What a paint uses stays, however many texts it has, and
    // the memory is bounded without ever dropping everything at once.
    template <typename V>
    struct Generations {
        explicit Generations(qsizetype limit) : Limit(limit) {}
        const V *Find(const Key &key);
        void Insert(const Key &key, const V &value);
        qsizetype Limit;
        QHash<Key, V> Young, Old;
    };

    Generations<QSize> sizes_{200000};
    Generations<int> widths_{20000};
    Generations<int> ascents_{1000}; // keyed with an empty text
};

} // namespace velmora
