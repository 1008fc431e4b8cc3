// The keyboard pointer: a point on the sheets that Alt with the arrows moves by 1 mm (with
// Shift by a tenth) and at which Space presses and releases the left button, so that every
// gesture of the mouse can be made from the keyboard.
#pragma once

#include "document/units.h"

#include <QPointF>
#include <Qt>

#include <optional>

namespace velmora {

struct KeyPointer {
    bool Shown = false;
    bool Held = false; // the left button is pressed at it
    double X = 0, Y = 0; // mm from the sheets' left edge and from the top of the first sheet

    QPointF OnSurface(double pixelsPerMm) const
    {
        return {PointerMarginPx + X * pixelsPerMm, PointerMarginPx + Y * pixelsPerMm};
    }
};

// The step in mm that Alt with an arrow gives the keyboard pointer; none for any other key.
std::optional<QPointF> KeyPointerStep(int key, Qt::KeyboardModifiers modifiers);

// Moves the pointer by the step, rounded as typed values are, and keeps it on the sheets
// (widthMm by heightMm, all sheets together).
void MoveKeyPointer(KeyPointer &pointer, QPointF step, double widthMm, double heightMm);

} // namespace velmora
