// The drawing surface as the window shows it: the transform of the last paint (the scale s,
// the sheets' size in pixels, each sheet 5 pixels in from the surface's corner) and the sheet
// that received the latest press, on which the tools work with the instruments. The window
// owns it and brings the transform up to date with every repaint; nothing here is stored in
// the drawing.
#pragma once

#include "document/units.h"
#include "render/sheet/view_geometry.h"

namespace velmora {

struct SurfaceView {
    ViewGeometry Geometry;
    int ActivePage = 0;      // the sheet of the latest press
    int ActivePageTopPx = 0; // its top, in pixels below the top of sheet 0

    double PixelsPerMm() const { return Geometry.PixelsPerMm; }
    int PageWidthPx() const { return Geometry.PageWidthPx; }
    int PageHeightPx() const { return Geometry.PageHeightPx; }

    // A press at surface row y (margin included) chooses the sheet under it.
    void PressAt(int surfaceY)
    {
        ActivePage = ActivePageFor(surfaceY, Geometry.PageHeightPx);
        ActivePageTopPx = ActivePage * Geometry.PageHeightPx;
    }
};

// What a repaint renders afresh: every sheet, or only the sheet of the latest press (the
// curve's rubber band lies on that sheet alone).
enum class PaintScope { AllSheets, ActiveSheet };

} // namespace velmora
