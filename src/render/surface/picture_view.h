// The view the surface's kept pictures were rendered for: the sheets' pixel geometry, the
// sheet size and the paper of the drawing, and the device pixels per logical pixel. A kept
// picture shows the drawing right only in the same view; in any other it is drawn anew.
#pragma once

#include "document/paper.h"
#include "render/sheet/view_geometry.h"

#include <QtGlobal>

namespace velmora {

class DrawingState;

struct PictureView {
    ViewGeometry Geometry;
    double PageWidthInch = 0, PageHeightInch = 0; // where each sheet lies in millimetres
    PaperKind Paper = PaperKind::Plain;
    qreal Ratio = 1; // device pixels per logical pixel of the pictures

    bool operator==(const PictureView &) const = default;
};

PictureView PictureViewOf(const DrawingState &state, const ViewGeometry &geometry, qreal ratio);

} // namespace velmora
