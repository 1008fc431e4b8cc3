// The instruments as one kind of thing for the gestures that move and turn them: a position
// and an angle, read and written in the placement's own fields.
#pragma once

#include "document/drawing_state.h"

namespace velmora {

enum class Instrument { Ruler, Protractor, Compass, SetSquare };

// Every instrument, the one drawn on top last: a finger on two that overlap takes the top one.
inline constexpr Instrument AllInstruments[] = {Instrument::Ruler, Instrument::Protractor, Instrument::Compass,
                                               Instrument::SetSquare};

struct InstrumentPose {
    double &X, &Y; // sheet-local mm
    double &Angle; // degrees
};

inline InstrumentPose PoseOf(InstrumentPlacement &p, Instrument which)
{
    switch (which) {
    case Instrument::Protractor: return {p.ProtractorX, p.ProtractorY, p.ProtractorAngle};
    case Instrument::Compass: return {p.CompassX, p.CompassY, p.CompassAngle};
    case Instrument::SetSquare: return {p.SetSquareX, p.SetSquareY, p.SetSquareAngle};
    case Instrument::Ruler: break;
    }
    return {p.RulerX, p.RulerY, p.RulerAngle};
}

} // namespace velmora
