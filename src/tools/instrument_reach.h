// Where an instrument lies under a finger: the outline of each instrument as it is drawn,
// widened by a tolerance, in sheet-local millimetres.
#pragma once

#include "instrument_pose.h"

#include <optional>

namespace velmora {

// Within toleranceMm of the instrument's body: the ruler's strip from its reference point
// along its scale edge (lengthMm long), the protractor's disc, the compass's needle, legs
// and lead.
bool InstrumentReaches(const InstrumentPlacement &p, Instrument which, double xMm, double yMm, double toleranceMm,
                       double lengthMm);

// The compass's needle point and its lead's point within toleranceMm.
bool OnCompassNeedle(const InstrumentPlacement &p, double xMm, double yMm, double toleranceMm);
bool OnCompassLead(const InstrumentPlacement &p, double xMm, double yMm, double toleranceMm);

} // namespace velmora
