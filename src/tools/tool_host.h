// What the tools need from the window: the drawing, the view of it, the chosen tool, the
// controls' values, the surface to draw previews on, scrolling, and the calls that follow a
// change. The main window implements it; tests implement it without a display.
#pragma once

#include "tool_selection.h"

#include "document/drawing_edit.h"
#include "document/drawing_state.h"
#include "document/text_font_choice.h"
#include "render/canvas/canvas.h"
#include "render/surface/surface_view.h"

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
    // The transform of the last paint and the sheet of the latest press; a press sets the sheet.
    virtual SurfaceView &View() = 0;
    virtual ToolSelection Selection() const = 0;

    // The repaint of the drawing surface; it also wipes what was drawn on Surface() and
    // brings the transform in View() up to date.
    virtual void Repaint(PaintScope scope) = 0;
    void Repaint() { Repaint(PaintScope::AllSheets); }
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
    // Horizontal first, then vertical; the drawing is not repainted meanwhile.
    virtual void SetScroll(int h, int v) = 0;

    // The screen's logical vertical resolution, for the height of texts.
    virtual double ScreenDpiY() const = 0;
    // The font new texts get; the text dialog's font button changes it.
    virtual TextFontChoice &NewTextFont() = 0;
    // Shows the text dialog modally; prefill, when given, replaces what the dialog's memo held.
    // True with the memo's text when the user confirmed.
    virtual bool EditText(const QString *prefill, QString &text) = 0;

    // The history: an action opens a step with Edits().Begin, names the records it changes or
    // deletes in place, and CommitEdit makes what it did one step that can be taken back.
    virtual EditRecorder &Edits() = 0;
    virtual void CommitEdit() = 0;
};

} // namespace velmora
