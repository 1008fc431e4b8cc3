// The protractor tool: move and turn the protractor, and mark a degree with the pencil
// along the ray from its centre through the press point.
#pragma once

#include "drag_state.h"
#include "tool_host.h"

namespace velmora {

class ProtractorTool {
public:
    ProtractorTool(ToolHost &host, DragState &drag) : host_(host), drag_(drag) {}

    void PressMove(int x, int y);
    void DragMove(int x, int y); // also the release of a move
    void PressTurn(int x, int y);
    void DragTurn(int x, int y);
    void HoverMark(int x, int y);
    void PressMark(int x, int y);
    void DragMark(int x, int y);

private:
    // The projection of pixel point (x, y) onto the mark's ray, in mm from the centre.
    long double AlongMark(int x, int y) const;
    void SetPendingEnds();

    ToolHost &host_;
    DragState &drag_;
};

} // namespace velmora
