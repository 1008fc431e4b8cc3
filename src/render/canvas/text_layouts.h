// Texts laid out and shaped once, then drawn again from the kept layout: a picture of many
// texts, and every picture after it, draws their glyphs without shaping them anew.
#pragma once

#include "canvas.h"

#include <QHash>
#include <QTextLayout>

#include <memory>

class QPainter;

namespace velmora {

class TextLayouts {
public:
    // Draws a text with its top-left corner at `topLeft`, in the painter's pen and font (made
    // from `font` by MakeFont and set on the painter, which the kept layouts are keyed by), with
    // the pixels QPainter::drawText gives it in a rectangle there (aligned left and top,
    // unclipped, '&' marking a mnemonic). False, drawing nothing, for what only the painter
    // draws so: decorations (underline, strike-out, a mnemonic's line), a background, text of
    // several length variants, a right-to-left painter or a device other than an image.
    bool Draw(QPainter &painter, const FontSpec &font, const QString &text, const QPointF &topLeft);

    // The calling thread's layouts: a layout holds the font engines of the thread that shaped it.
    static TextLayouts &Shared();

private:
    struct Key {
        FontSpec Font;
        QString Text;
        int DpiX, DpiY;
        Qt::LayoutDirection Direction; // the painter's: left to right, or each paragraph its own
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed);
    using Layout = std::shared_ptr<const QTextLayout>;
    static Layout Prepare(const QFont &font, Qt::LayoutDirection direction, const QString &text);

    // Two generations, as the measuring cache keeps them: what a paint uses stays while its
    // layouts take less than the young one's memory; all of them take at most twice that.
    static constexpr qsizetype YoungBytes = qsizetype(16) << 20;
    // What a layout takes, about: 600 bytes and 60 for each character (measured).
    static qsizetype BytesOf(const QString &text) { return 600 + 60 * text.size(); }
    QHash<Key, Layout> young_, old_;
    qsizetype youngBytes_ = 0;
};

} // namespace velmora
