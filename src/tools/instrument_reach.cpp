#include "instrument_reach.h"

#include "document/set_square.h"
#include "document/units.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora {

namespace {

// Distance of (x, y) from the segment (x1, y1)-(x2, y2).
double SegmentDistance(double x, double y, double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((x - x1) * dx + (y - y1) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy));
}

double Rad(double degrees) { return double(DegToRad(degrees)); }

} // namespace

bool OnCompassNeedle(const InstrumentPlacement &p, double x, double y, double toleranceMm)
{
    return std::hypot(x - p.CompassX, y - p.CompassY) <= toleranceMm;
}

bool OnCompassLead(const InstrumentPlacement &p, double x, double y, double toleranceMm)
{
    const double a = Rad(p.CompassAngle);
    return std::hypot(x - (p.CompassX + std::cos(a) * p.CompassSpan), y - (p.CompassY + std::sin(a) * p.CompassSpan)) <=
           toleranceMm;
}

bool InstrumentReaches(const InstrumentPlacement &p, Instrument which, double x, double y, double toleranceMm,
                       double lengthMm)
{
    switch (which) {
    case Instrument::Ruler: {
        // The strip is 10 mm wide, on the side the scale's ticks point to.
        const double a = Rad(p.RulerAngle);
        const double dx = x - p.RulerX, dy = y - p.RulerY;
        const double along = dx * std::cos(a) + dy * std::sin(a);
        const double across = -dx * std::sin(a) + dy * std::cos(a);
        return along >= -toleranceMm && along <= lengthMm + toleranceMm && across >= -toleranceMm &&
               across <= 10 + toleranceMm;
    }
    case Instrument::Protractor:
        return std::hypot(x - p.ProtractorX, y - p.ProtractorY) <= p.ProtractorDiameter / 2 + toleranceMm;
    case Instrument::Compass: {
        // The needle, the centre line to the lead and the legs around the hinge 3 mm either side.
        const double a = Rad(p.CompassAngle);
        const double lx = p.CompassX + std::cos(a) * p.CompassSpan, ly = p.CompassY + std::sin(a) * p.CompassSpan;
        return SegmentDistance(x, y, p.CompassX, p.CompassY, lx, ly) <= 3 + toleranceMm;
    }
    case Instrument::SetSquare: {
        // The triangle: the long side through the 0 point, the right angle on the body's side.
        const double a = Rad(p.SetSquareAngle);
        const double dx = x - p.SetSquareX, dy = y - p.SetSquareY;
        const double along = dx * std::cos(a) + dy * std::sin(a);
        const double across = -dx * std::sin(a) + dy * std::cos(a);
        return across >= -toleranceMm &&
               std::fabs(along) + across <= set_square::HalfLong + toleranceMm * std::numbers::sqrt2;
    }
    }
    return false;
}

} // namespace velmora
