// What the tools need from the program around them: the drawing to read, the instruments to
// move, the edit transaction through which every change of the drawing goes, the view, the
// chosen tool, the pen's values, the surface to draw previews on, scrolling and the text
// dialog. The main window implements it; tests implement it without a display.
#pragma once

#include "instrument_pose.h"
#include "tool_selection.h"

#include "document/drawing_state.h"
#include "document/edit_transaction.h"
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

    // The drawing, for reading. Its records change only through BeginEdit.
    virtual const DrawingState &Drawing() const = 0;
    // Where the instruments lie; moving them is no change of the records and no step of the history.
    virtual InstrumentPlacement &Instruments() = 0;
    // Whether the instrument is shown: a finger finds only what it sees.
    virtual bool InstrumentShown(Instrument) const { return true; }
    // Opens the drawing's edit under the name the history shows, or hands out the one that is
    // open (a stroke's segments are one edit). Its Commit makes it one step, marks the
    // drawing changed and shows what changed.
    virtual EditTransaction &BeginEdit(const QString &label) = 0;

    // The transform of the last paint and the sheet of the latest press; a press sets the sheet.
    virtual SurfaceView &View() = 0;
    virtual ToolSelection Selection() const = 0;

    // The instruments or the view changed: the surface shows the drawing as it is now (scope:
    // the sheets painted anew), and what the tools drew over it goes.
    virtual void DrawingChanged(PaintScope scope) = 0;
    void DrawingChanged() { DrawingChanged(PaintScope::AllSheets); }
    // What the tools drew over the surface (previews, highlights) goes; the sheets in scope are
    // painted as they are.
    virtual void WipePreviews(PaintScope scope) = 0;
    void WipePreviews() { WipePreviews(PaintScope::AllSheets); }
    // Draws over what the surface shows, in surface pixels, until the previews are wiped.
    virtual Canvas &Surface() = 0;
    // The entry bar shows the instruments' placement.
    virtual void ShowPlacement() = 0;
    virtual void ShowStatus(const QString &text) = 0;

    virtual double PenWidth() const = 0;    // mm
    virtual uint32_t PenColour() const = 0; // platform colour value
    virtual double EraserSize() const = 0;  // mm

    virtual int Zoom() const = 0;
    // Sets the zoom as typing it would: rounded half to even, limited to 1 to 300; the surface
    // is resized and painted at once.
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
};

} // namespace velmora
