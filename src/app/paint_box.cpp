#include "paint_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

PaintBox::PaintBox(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintBox"));
    setMouseTracking(true);
}

void PaintBox::paintEvent(QPaintEvent *event)
{
    if (!OnPaint)
        return;
    QPainter painter(this);
    OnPaint(painter, event->rect());
}

void PaintBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void PaintBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void PaintBox::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

} // namespace velmora
