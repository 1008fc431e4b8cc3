// The paint box: the drawing surface inside the scroll box. It only forwards pointer events
// (mouse, fingers, pen and keys) and paint requests; the drawing surface and the window own
// everything it shows. It takes touch itself, so Qt makes no mouse out of a finger.
#pragma once

#include "tools/touch_gestures.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <vector>

namespace velmora {

class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget *parent = nullptr);

    std::function<void(QPainter &painter, const QRect &exposed)> OnPaint;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)> OnMouseUp;
    // The fingers of one touch event (begin: its first); a cancelled touch.
    std::function<void(const std::vector<Finger> &fingers, bool begin)> OnTouch;
    std::function<void()> OnTouchCancel;
    // The pen, at its position with the fractions of a pixel; eraser: its eraser end touches.
    std::function<void(QPointF at, bool eraser)> OnPenDown;
    std::function<void(QPointF at)> OnPenMove;
    std::function<void(QPointF at)> OnPenUp;
    // A key while the surface has the keyboard: true when it was used, else it goes on to the
    // scroll box (the arrows scroll).
    std::function<bool(int key, Qt::KeyboardModifiers modifiers)> OnKey;
    // The mouse moved to a new place over the surface or pressed a button, before its handler.
    std::function<void()> OnMouseCame;
    // The surface took the keyboard (true) or lost it.
    std::function<void(bool focused)> OnFocus;

    // A pen is near the surface: it said it came near and has not left, or it moved within
    // the last second (for tablets that do not say).
    bool PenNear() const;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void tabletEvent(QTabletEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool penInProximity_ = false;
    QElapsedTimer penSeen_;
    QPointF mouseAt_{-1e9, -1e9}; // on the screen: a move event to the same place is no move
};

} // namespace velmora
