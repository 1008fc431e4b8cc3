#include "view_geometry.h"

#include "document/units.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

namespace {

int ClampSide(int64_t v)
{
    return int(std::clamp<int64_t>(v, 0, MaxSurfaceSide));
}

} // namespace

ViewGeometry ComputeViewGeometry(int pageCount, int zoom, double dpiX, double dpiY, double pageWidthInch,
                                 double pageHeightInch)
{
    ViewGeometry g;
    g.PageCount = pageCount;
    g.Zoom = zoom;
    g.DpiX = dpiX > 0 ? dpiX : 96;
    g.DpiY = dpiY > 0 ? dpiY : g.DpiX;
    g.PixelsPerMm = PixelsPerMmFor(zoom, g.DpiX);
    g.PageWidthPx = SheetPx(zoom, g.DpiX, pageWidthInch);
    g.PageHeightPx = SheetPx(zoom, g.DpiX, pageHeightInch);
    return g;
}

QSize ViewGeometry::SurfaceSize() const
{
    const int64_t n = std::max(PageCount, 0);
    return QSize(ClampSide(n * (int64_t(PageWidthPx) + 10)), ClampSide(n * int64_t(PageHeightPx) + 10));
}

QRect ViewGeometry::SheetOnSurface(int sheet) const
{
    const int64_t top = PointerMarginPx + int64_t(sheet) * PageHeightPx;
    if (PageWidthPx <= 0 || PageHeightPx <= 0 || top > MaxSurfaceSide)
        return {};
    const int64_t height = std::min<int64_t>(PageHeightPx, MaxSurfaceSide);
    const int64_t width = std::min<int64_t>(PageWidthPx, MaxSurfaceSide);
    return QRect(PointerMarginPx, int(top), int(width), int(height));
}

} // namespace velmora
