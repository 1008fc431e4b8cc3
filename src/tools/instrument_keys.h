// The instruments worked from the keyboard: the arrows move the current tool's instrument by
// 1 mm, Ctrl with Left or Right turns it by 1 degree, Ctrl with Up or Down opens and closes the
// compass by 1 mm; with Shift every step is a tenth. Each press lands exactly where typing the
// value into the entry bar would.
#pragma once

#include "tool_host.h"

#include <Qt>

#include <optional>

namespace velmora {

// The instrument a tool works with; none for the tools without one.
std::optional<Instrument> InstrumentOfTool(Tool tool);

struct InstrumentStep {
    double Dx = 0, Dy = 0; // mm on the sheet
    double Turn = 0;       // degrees, clockwise on the sheet
    double Span = 0;       // mm, the compass's opening
};

// The step an arrow key gives the instrument; none for any other key.
std::optional<InstrumentStep> KeyStep(Instrument which, int key, Qt::KeyboardModifiers modifiers);

// A value after a step, rounded to the billionth: ten steps of 0.1 from a typed value end on
// the value that typing their sum gives, not on the sum's binary rest.
double SteppedValue(double value, double step);

// Moves, turns or opens the instrument by the step; the compass's span stays at 0 or above.
void ApplyStep(InstrumentPlacement &placement, Instrument which, const InstrumentStep &step);

// A key on the drawing surface: true when the current tool's instrument took it, which then
// lies at its new place on the surface and in the entry bar at once. False (the key may scroll
// the view) for a tool without an instrument, for a hidden instrument and for other keys.
bool StepByKey(ToolHost &host, int key, Qt::KeyboardModifiers modifiers);

} // namespace velmora
