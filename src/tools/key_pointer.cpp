#include "key_pointer.h"

#include "instrument_keys.h"

#include <algorithm>

namespace velmora {

std::optional<QPointF> KeyPointerStep(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers other = modifiers & ~(Qt::AltModifier | Qt::ShiftModifier | Qt::KeypadModifier);
    if (!modifiers.testFlag(Qt::AltModifier) || other)
        return std::nullopt;
    const double step = modifiers.testFlag(Qt::ShiftModifier) ? 0.1 : 1.0;
    switch (key) {
    case Qt::Key_Left: return QPointF(-step, 0);
    case Qt::Key_Right: return QPointF(step, 0);
    case Qt::Key_Up: return QPointF(0, -step);
    case Qt::Key_Down: return QPointF(0, step);
    default: return std::nullopt;
    }
}

void MoveKeyPointer(KeyPointer &pointer, QPointF step, double widthMm, double heightMm)
{
    pointer.X = std::clamp(SteppedValue(pointer.X, step.x()), 0.0, std::max(0.0, widthMm));
    pointer.Y = std::clamp(SteppedValue(pointer.Y, step.y()), 0.0, std::max(0.0, heightMm));
}

} // namespace velmora
