// The drawing: instrument placement, sheet size and paper, and the two record lists. The
// lists are read here and written only through an EditTransaction (edit_transaction.h),
// which notes every change in the change journal and in the undo record together; the file
// reader and the history's undo and redo are the only other writers.
#pragma once

#include "change_journal.h"
#include "dyna_array.h"
#include "paper.h"
#include "records.h"
#include "units.h"
#include "worksheet.h"

#include <QByteArray>

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
    // The set square's 0 point (the middle of its long side) and the long side's direction:
    // in a new drawing it lies wholly on the first sheet, the right angle below the long side.
    double SetSquareX = 105;
    double SetSquareY = 150;
    double SetSquareAngle = 0;
};

inline constexpr double A4WidthInch = 210 / MmPerInch;
inline constexpr double A4HeightInch = 297 / MmPerInch;

// A sheet's sides lie from a tenth of a millimetre to 5080 mm (200 inches, the largest PDF
// page): the page setup takes no other size, and a file holding another is damaged.
inline constexpr double MinSheetSideMm = 0.1;
inline constexpr double MaxSheetSideMm = 5080;
// A side in inches, measured as the exporter measures it (times MmPerInch); NaN is outside.
bool SheetSideWithinLimits(double inches);

struct DrawingFileRecords;

class DrawingState {
    // The records themselves; the public members below show them for reading.
    TextObject *CurrentText = nullptr; // the texts' cursor, for releasing their strings
    TDynaArray<DrawingObject> objects_;
    TDynaArray<TextObject> texts_{&CurrentText};
    ChangeJournal changes_;
    uint64_t contentRevision_ = 0;

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

    // The record lists, for reading.
    const TDynaArray<DrawingObject> &Objects = objects_;
    const TDynaArray<TextObject> &Texts = texts_;
    // What the changes of the record lists did, in order: the kept pictures follow it.
    const ChangeJournal &Changes = changes_;

    // Releases every text's strings (font name, then text), empties both lists and lets the
    // worksheet go.
    void ClearRecords();
    // Takes over the records and the worksheet of another drawing (a file read in full); that
    // drawing gets this one's and releases them when it goes.
    void TakeRecords(DrawingState &from);

    // Bumped by every change the journal does not describe (a drawing read or emptied, the
    // sheet size); together with the lists' versions it tells caches of the rendered drawing
    // when to rebuild.
    uint64_t ContentRevision() const { return contentRevision_; }

    // Stores the right and bottom edge that painting text i measured: derived from its
    // contents and font, so no change of the drawing (no journal note, no step of the
    // history). The painters' only write.
    void StoreTextExtent(int i, double right, double bottom);

private:
    friend class EditTransaction;
    friend class DrawingEdit;
    friend struct DrawingFileRecords; // the file reader, filling a fresh drawing

    // Changes of the record lists, each noted in the journal. Null or false when the list
    // could not grow or shrink (nothing changed then).
    DrawingObject *AppendObject();
    DrawingObject *InsertObject(int i);
    bool DeleteObject(int i);
    // Object i, to be changed in place by the caller.
    DrawingObject &ChangeObject(int i);
    TextObject *AppendText();
    TextObject *InsertText(int i);
    // Text i, to be changed in place by the caller.
    TextObject &ChangeText(int i);
    // Deletes text i after releasing its strings; false when i is out of range or the
    // list could not shrink (the text then keeps its strings).
    bool DeleteText(int i);
    // A change of the sheet: every sheet is drawn anew.
    void TouchContent() { ++contentRevision_; }
};

} // namespace velmora
