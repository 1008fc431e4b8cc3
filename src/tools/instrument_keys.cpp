#include "instrument_keys.h"

#include <cmath>

namespace velmora {

std::optional<Instrument> InstrumentOfTool(Tool tool)
{
    switch (tool) {
    case Tool::Ruler: return Instrument::Ruler;
    case Tool::Protractor: return Instrument::Protractor;
    case Tool::Compass: return Instrument::Compass;
    case Tool::SetSquare: return Instrument::SetSquare;
    default: return std::nullopt;
    }
}

std::optional<InstrumentStep> KeyStep(Instrument which, int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt; // the desktop's and the menus' keys
    const double step = modifiers.testFlag(Qt::ShiftModifier) ? 0.1 : 1.0;
    const bool turn = modifiers.testFlag(Qt::ControlModifier);
    InstrumentStep result;
    switch (key) {
    case Qt::Key_Left: (turn ? result.Turn : result.Dx) = -step; break;
    case Qt::Key_Right: (turn ? result.Turn : result.Dx) = step; break;
    case Qt::Key_Up:
        if (!turn)
            result.Dy = -step;
        else if (which == Instrument::Compass)
            result.Span = step;
        break;
    case Qt::Key_Down:
        if (!turn)
            result.Dy = step;
        else if (which == Instrument::Compass)
            result.Span = -step;
        break;
    default: return std::nullopt;
    }
    return result;
}

double SteppedValue(double value, double step)
{
    if (step == 0)
        return value;
    const double sum = value + step;
    const double scaled = sum * 1e9;
    // Beyond 2^53 billionths a double holds no finer fraction to round away.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9007199254740992.0)
        return sum;
    const double rounded = std::round(scaled) / 1e9;
    return rounded == 0 ? 0.0 : rounded; // no negative zero in the entry bar
}

void ApplyStep(InstrumentPlacement &placement, Instrument which, const InstrumentStep &step)
{
    const InstrumentPose pose = PoseOf(placement, which);
    pose.X = SteppedValue(pose.X, step.Dx);
    pose.Y = SteppedValue(pose.Y, step.Dy);
    pose.Angle = SteppedValue(pose.Angle, step.Turn);
    if (which == Instrument::Compass && step.Span != 0)
        placement.CompassSpan = std::max(0.0, SteppedValue(placement.CompassSpan, step.Span));
}

bool StepByKey(ToolHost &host, int key, Qt::KeyboardModifiers modifiers)
{
    const std::optional<Instrument> which = InstrumentOfTool(host.Selection().Current);
    if (!which || !host.InstrumentShown(*which))
        return false;
    const std::optional<InstrumentStep> step = KeyStep(*which, key, modifiers);
    if (!step)
        return false;
    ApplyStep(host.Instruments(), *which, *step);
    host.DrawingChanged();
    host.ShowPlacement();
    return true;
}

} // namespace velmora
