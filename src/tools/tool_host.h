// What the tools need from the window: the drawing, the chosen tool, the controls' values,
// the surface to draw previews on, scrolling, and the calls that follow a change. The main
// window implements it; tests implement it without a display.
#pragma once

#include "tool_selection.h"

#include "document/drawing_state.h"
#include "render/canvas.h"

#include <QString>

namespace velmora {

struct ScrollState {
    int H = 0, V = 0;                   // scroll positions
    int RangeH = 0, RangeV = 0;         // the surface's width and height
    int ViewportW = 0, ViewportH = 0;   // the visible part of the scroll box
};

class ToolHost {
public:
    virtual ~ToolHost() = default;

    virtual DrawingState &State() = 0;
    virtual ToolSelection Selection() const = 0;

    // The whole repaint of the drawing surface; it also wipes what was drawn on Surface().
    virtual void Repaint() = 0;
    // Draws over what the surface shows, in surface pixels, until the next repaint.
    virtual Canvas &Surface() = 0;
    virtual void SetChanged() = 0;
    virtual void UpdateEds() = 0;
    virtual void ShowStatus(const QString &text) = 0;

    virtual double PenWidth() const = 0;    // mm
    virtual uint32_t PenColour() const = 0; // platform colour value
    virtual double EraserSize() const = 0;  // mm

    virtual int Zoom() const = 0;
    // Sets the zoom edit as typing would: rounded half to even, limited to 1 to 300; its
    // change handler repaints and resizes the surface.
    virtual void SetZoom(double percent) = 0;
    virtual ScrollState Scroll() const = 0;
    virtual void SetScroll(int h, int v) = 0; // horizontal first, then vertical
};

} // namespace velmora
