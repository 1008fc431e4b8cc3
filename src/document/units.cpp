#include "units.h"

#include <climits>
#include <cmath>

namespace velmora {

namespace {

int Saturate(long double integral)
{
    if (std::isnan(integral))
        return 0;
    if (integral >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (integral <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(integral);
}

} // namespace

int Round(long double value)
{
    if (std::isnan(value))
        return 0;
    // rint rounds in the current mode, which the program never changes from to-nearest-even.
    return Saturate(std::rint(value));
}

int RoundHalfAway(long double value)
{
    return Saturate(std::round(value));
}

int Trunc(long double value)
{
    return Saturate(std::trunc(value));
}

double PixelsPerMmFor(double zoomPercent, double dpi)
{
    const long double z = zoomPercent;
    return static_cast<double>(z * (static_cast<long double>(dpi) / MmPerInch) / 100.0L);
}

int SheetPx(double zoomPercent, double dpi, double inches)
{
    const long double z = zoomPercent;
    return Round(z * (static_cast<long double>(dpi) * inches) / 100.0L);
}

int ZoomedPointSize(int size, int zoomPercent)
{
    const int64_t product = int64_t(size) * zoomPercent;
    int64_t quotient = product / 100, remainder = product % 100;
    if (remainder < 0) { // floor division, so the remainder counts up from the quotient
        remainder += 100;
        --quotient;
    }
    if (remainder > 50 || (remainder == 50 && quotient % 2 != 0))
        ++quotient;
    return Saturate(static_cast<long double>(quotient));
}

double SheetOffsetMm(int sheet, double pageHeightInch)
{
    return sheet * pageHeightInch * MmPerInch;
}

MmPoint PointerToMm(int surfaceX, int surfaceY, double pixelsPerMm)
{
    return {(surfaceX - PointerMarginPx) / pixelsPerMm, (surfaceY - PointerMarginPx) / pixelsPerMm};
}

int ActivePageFor(int surfaceY, int pageHeightPx)
{
    if (pageHeightPx <= 0)
        return 0;
    return (static_cast<long long>(surfaceY) - PointerMarginPx) / pageHeightPx;
}

} // namespace velmora
