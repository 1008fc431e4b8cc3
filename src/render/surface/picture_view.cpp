#include "picture_view.h"

#include "document/drawing_state.h"

namespace velmora {

PictureView PictureViewOf(const DrawingState &state, const ViewGeometry &geometry, qreal ratio)
{
    return {geometry, state.PageWidthInch, state.PageHeightInch, state.Paper, ratio};
}

} // namespace velmora
