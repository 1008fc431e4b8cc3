#include "paint_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTabletEvent>
#include <QTouchEvent>

namespace velmora {

PaintBox::PaintBox(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintBox"));
    setMouseTracking(true);
    setAttribute(Qt::WA_AcceptTouchEvents);
    // A pen coming near or leaving is told to the application, not to a widget.
    qApp->installEventFilter(this);
}

bool PaintBox::PenNear() const
{
    return penInProximity_ || (penSeen_.isValid() && penSeen_.elapsed() < 1000);
}

bool PaintBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::TabletEnterProximity) {
        penInProximity_ = true;
        penSeen_.start();
    } else if (event->type() == QEvent::TabletLeaveProximity) {
        penInProximity_ = false;
        penSeen_.invalidate();
    }
    return QWidget::eventFilter(watched, event);
}

bool PaintBox::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto *touch = static_cast<QTouchEvent *>(event);
        std::vector<Finger> fingers;
        fingers.reserve(size_t(touch->pointCount()));
        for (const QEventPoint &point : touch->points()) {
            const Finger::Phase phase = point.state() == QEventPoint::Pressed      ? Finger::Phase::Pressed
                                        : point.state() == QEventPoint::Released   ? Finger::Phase::Released
                                        : point.state() == QEventPoint::Stationary ? Finger::Phase::Held
                                                                                   : Finger::Phase::Moved;
            fingers.push_back({point.id(), point.position(), phase});
        }
        if (OnTouch)
            OnTouch(fingers, event->type() == QEvent::TouchBegin);
        event->accept();
        return true;
    }
    case QEvent::TouchCancel:
        if (OnTouchCancel)
            OnTouchCancel();
        event->accept();
        return true;
    default: return QWidget::event(event);
    }
}

void PaintBox::tabletEvent(QTabletEvent *event)
{
    penSeen_.start();
    const bool eraser = event->pointerType() == QPointingDevice::PointerType::Eraser;
    switch (event->type()) {
    case QEvent::TabletPress:
        if (OnPenDown)
            OnPenDown(event->position(), eraser);
        break;
    case QEvent::TabletMove:
        if (OnPenMove)
            OnPenMove(event->position());
        break;
    case QEvent::TabletRelease:
        if (OnPenUp)
            OnPenUp(event->position());
        break;
    default: break;
    }
    event->accept(); // no mouse event made of it
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
    if (OnMouseCame)
        OnMouseCame();
    if (OnMouseDown)
        OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void PaintBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->globalPosition() != mouseAt_) {
        mouseAt_ = event->globalPosition();
        if (OnMouseCame)
            OnMouseCame();
    }
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

namespace velmora {

void PaintBox::keyPressEvent(QKeyEvent *event)
{
    if (OnKey && OnKey(event->key(), event->modifiers()))
        event->accept();
    else
        QWidget::keyPressEvent(event); // ignored: the scroll box scrolls by the arrows
}

void PaintBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (OnFocus)
        OnFocus(true);
}

void PaintBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (OnFocus)
        OnFocus(false);
}

} // namespace velmora
