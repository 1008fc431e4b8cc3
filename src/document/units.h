// Millimetres, inches and pixels: the one place where the drawing's units meet the screen.
#pragma once

#include <cstdint>

namespace velmora {

// The program's single conversion constant between millimetres and inches.
inline constexpr double MmPerInch = 25.39995;

// Angles: degrees on the sheet, radians for the maths, converted in extended precision.
inline constexpr long double Pi = 3.141592653589793238462643383279502884L; // as std::numbers::pi_v
inline constexpr long double DegToRad(long double degrees) { return degrees * Pi / 180; }
inline constexpr long double RadToDeg(long double radians) { return radians * 180 / Pi; }

// Margin above and to the left of the first sheet on the drawing surface.
inline constexpr int PointerMarginPx = 5;

// Round half to even into a 32-bit integer. NaN gives 0; values beyond the 32-bit
// range saturate, so damaged files or extreme zooms never cause undefined behaviour.
int Round(long double value);

// Round half away from zero, saturating like Round.
int RoundHalfAway(long double value);

// Truncate toward zero, saturating like Round.
int Trunc(long double value);

// s: pixels per millimetre at zoom percent z on a screen of dpi logical pixels per inch.
double PixelsPerMmFor(double zoomPercent, double dpi);

// Sheet width or height in pixels: Round(z * (dpi * inches) / 100).
int SheetPx(double zoomPercent, double dpi, double inches);

// Point size of a text of `size` points at zoom percent z: Round(size x z / 100), halves to
// even, worked out on integers so that an exact half is never pushed either way.
int ZoomedPointSize(int size, int zoomPercent);

// Top of sheet i in the global millimetre space.
double SheetOffsetMm(int sheet, double pageHeightInch);

struct MmPoint {
    double x = 0;
    double y = 0;
};

// Surface pixel of the pointer to global millimetres (the margin taken off first).
MmPoint PointerToMm(int surfaceX, int surfaceY, double pixelsPerMm);

// Sheet under a press at surface row y; truncates toward zero, so the margin above
// the first sheet still belongs to sheet 0. A sheet height of 0 or less gives 0.
int ActivePageFor(int surfaceY, int pageHeightPx);

} // namespace velmora
