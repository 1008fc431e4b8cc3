// The drawing held by the main window: instrument placement, sheet size and paper, the two record
// lists with their bound cursor variables and the file name. The settings kept in tool-bar
// controls (zoom, pen, eraser, sheet count), the view switches and the view's transform stay
// in the window; this object carries only what has no control.
#pragma once

#include "change_journal.h"
#include "dyna_array.h"
#include "paper.h"
#include "records.h"
#include "units.h"
#include "worksheet.h"

#include <QString>

namespace velmora {

struct InstrumentPlacement {
    double RulerX = 10;
    double RulerY = 90;
    double RulerAngle = 0;
    double ProtractorX = 50;
    double ProtractorY = 50;
    double ProtractorAngle = 0;
    double ProtractorDiameter = 80;
    double CompassX = 150;
    double CompassY = 50;
    double CompassSpan = 40;
    double CompassAngle = 45;
};

inline constexpr double A4WidthInch = 210 / MmPerInch;
inline constexpr double A4HeightInch = 297 / MmPerInch;

// A sheet's sides lie from a tenth of a millimetre to 5080 mm (200 inches, the largest PDF
// page): the page setup takes no other size, and a file holding another is damaged.
inline constexpr double MinSheetSideMm = 0.1;
inline constexpr double MaxSheetSideMm = 5080;
// A side in inches, measured as the exporter measures it (times MmPerInch); NaN is outside.
bool SheetSideWithinLimits(double inches);

class DrawingState {
public:
    DrawingState();
    ~DrawingState();
    DrawingState(const DrawingState &) = delete;
    DrawingState &operator=(const DrawingState &) = delete;

    InstrumentPlacement Placement;
    double PageWidthInch = A4WidthInch;
    double PageHeightInch = A4HeightInch;
    PaperKind Paper = PaperKind::Plain; // the same on every sheet
    // The worksheet whose pages lie under the paper, or null: sheet i shows its page i at
    // true size from the sheet's top-left corner. Opening a worksheet makes a new drawing.
    SharedWorksheet Background;

    // Record lists and the cursor variables they are bound to.
    DrawingObject *CurrentObject = nullptr;
    TextObject *CurrentText = nullptr;
    TDynaArray<DrawingObject> Objects{&CurrentObject};
    TDynaArray<TextObject> Texts{&CurrentText};

    QString FileName;
    bool Modified = false;

    // Set while the entry bar is filled from the placement, so its edits do not write back.
    bool UpdatingEdits = false;

    // Changes of the record lists that the picture of the drawing follows: each is noted in
    // Changes. Null or false when the list could not grow or shrink (nothing changed then).
    DrawingObject *AppendObject();
    DrawingObject *InsertObject(int i);
    bool DeleteObject(int i);
    // Object i (selected), to be changed in place by the caller.
    DrawingObject &ChangeObject(int i);
    TextObject *AppendText();
    TextObject *InsertText(int i);
    // Text i (selected), to be changed in place by the caller.
    TextObject &ChangeText(int i);
    // Deletes text i after releasing its strings; false when i is out of range or the
    // list could not shrink (the text then keeps its strings).
    bool DeleteText(int i);
    // Stores the right and bottom edge that drawing text i measured: derived from its
    // contents and font, so not a change of the drawing.
    void StoreTextExtent(int i, double right, double bottom);
    // Releases every text's strings (font name, then text), empties both lists and lets the
    // worksheet go.
    void ClearRecords();
    // Takes over the records and the worksheet of another drawing (a file read in full); that
    // drawing gets this one's and releases them when it goes.
    void TakeRecords(DrawingState &from);

    // What the record changes above did, in order.
    ChangeJournal Changes;

    // Bumped by every change the journal does not describe (a drawing read or emptied, the
    // sheet size); together with the lists' versions it tells caches of the rendered drawing
    // when to rebuild. Records written in place without ChangeObject or ChangeText must be
    // followed by it, or a kept picture would not show them.
    void TouchContent() { ++contentRevision_; }
    uint64_t ContentRevision() const { return contentRevision_; }

private:
    uint64_t contentRevision_ = 0;
};

} // namespace velmora
