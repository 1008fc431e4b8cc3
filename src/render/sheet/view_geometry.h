// The pixel geometry of one paint: scale, sheet size in pixels and where each sheet
// lies on the drawing surface. Derived from the zoom, the screen resolution and the
// sheet size; nothing here is stored in the drawing.
#pragma once

#include <QRect>
#include <QSize>

namespace velmora {

struct ViewGeometry {
    int PageCount = 1;
    int Zoom = 100; // percent
    double DpiX = 96;
    double DpiY = 96;
    double PixelsPerMm = 0; // s
    int PageWidthPx = 0;    // W
    int PageHeightPx = 0;   // H

    // N x (W + 10) by N x H + 10, limited to what a widget can be.
    QSize SurfaceSize() const;
    // Sheet i on the surface: top-left (5, 5 + i x H), W x H; empty when it cannot be placed.
    QRect SheetOnSurface(int sheet) const;

    bool operator==(const ViewGeometry &) const = default;
};

ViewGeometry ComputeViewGeometry(int pageCount, int zoom, double dpiX, double dpiY, double pageWidthInch,
                                 double pageHeightInch);

// Largest side a widget may have.
inline constexpr int MaxSurfaceSide = 16777215;

} // namespace velmora
