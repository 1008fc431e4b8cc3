#include "text_layouts.h"

#include "text_metrics.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QtMath>

namespace velmora {

size_t qHash(const TextLayouts::Key &key, size_t seed)
{
    return qHashMulti(seed, key.Font.Face, key.Font.PixelHeight, key.Font.Weight, key.Font.Italic, key.Font.Pitch,
                      key.Text, key.DpiX, key.DpiY, int(key.Direction));
}

namespace {

// Texts whose look the painter alone gives: a mnemonic's underline, or several length variants.
bool NeedsPainter(const QString &text)
{
    return text.contains(QLatin1Char('&')) || text.contains(QChar(0x9C));
}

} // namespace

TextLayouts::Layout TextLayouts::Prepare(const QFont &font, Qt::LayoutDirection direction, const QString &text)
{
    // As the painter lays out a text in a rectangle: line breaks become line separators, tabs
    // and carriage returns spaces; lines begin on whole pixels, a leading apart.
    QString shown = NormaliseLineBreaks(text);
    for (QChar &c : shown) {
        if (c == QLatin1Char('\n'))
            c = QChar::LineSeparator;
        else if (c == QLatin1Char('\t') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    auto layout = std::make_shared<QTextLayout>(shown, font);
    QTextOption option = layout->textOption();
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    if (shown.isEmpty())
        return layout;
    const qreal leading = QFontMetricsF(font).leading();
    qreal height = -leading;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(0x01000000);
        height = qCeil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
    }
    layout->endLayout();
    return layout;
}

bool TextLayouts::Draw(QPainter &painter, const FontSpec &font, const QString &text, const QPointF &topLeft)
{
    QPaintDevice *device = painter.device();
    if (font.Underline || font.StrikeOut || !device || device->devType() != QInternal::Image ||
        !painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Raster ||
        painter.backgroundMode() != Qt::TransparentMode || painter.layoutDirection() == Qt::RightToLeft ||
        NeedsPainter(text))
        return false;
    FontSpec shape = font;
    shape.Colour = 0;
    shape.Escapement = 0;
    const Key key{shape, text, device->logicalDpiX(), device->logicalDpiY(), painter.layoutDirection()};
    Layout layout;
    if (auto it = young_.constFind(key); it != young_.constEnd()) {
        layout = *it;
    } else {
        if (auto old = old_.constFind(key); old != old_.constEnd())
            layout = *old;
        else
            layout = Prepare(painter.font(), painter.layoutDirection(), text);
        if (youngBytes_ >= YoungBytes) {
            old_ = std::move(young_);
            young_ = {};
            youngBytes_ = 0;
        }
        young_.insert(key, layout);
        youngBytes_ += BytesOf(text);
    }
    if (painter.pen().style() == Qt::NoPen)
        return true; // the painter draws no text without a pen
    for (int i = 0; i < layout->lineCount(); ++i)
        layout->lineAt(i).draw(&painter, topLeft);
    return true;
}

TextLayouts &TextLayouts::Shared()
{
    thread_local TextLayouts layouts;
    // The main thread's layouts hold fonts: they go with the application, before its fonts do.
    static const bool dropAtExit = [] {
        qAddPostRoutine([] {
            Shared().young_.clear();
            Shared().old_.clear();
            Shared().youngBytes_ = 0;
        });
        return true;
    }();
    Q_UNUSED(dropAtExit);
    return layouts;
}

} // namespace velmora
