#include "colour_swatch.h"

#include "render/canvas/painter_canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

ColourSwatch::ColourSwatch(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("colourSwatch"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedSize(32, 22);
    setCursor(Qt::PointingHandCursor);
}

void ColourSwatch::SetColour(uint32_t colour)
{
    colour_ = colour; // kept whole: a drawing file's value is written back as it was read
    update();
}

void ColourSwatch::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), ToQColor(colour_));
    painter.end();
    QFrame::paintEvent(event);
}

void ColourSwatch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit Pressed();
}

} // namespace velmora
