// The drawing's settings: what the tool bar and the view menu show of it and the drawing file
// keeps with it, as one value. The window shows it and sends each change the user makes to
// the session, which keeps every value within the limits the controls have.
#pragma once

#include "document/drawing_file.h"

#include <cstdint>

namespace velmora {

// The sheet size and the paper of every sheet.
struct PageSetup {
    double WidthInch = A4WidthInch;
    double HeightInch = A4HeightInch;
    PaperKind Paper = PaperKind::Plain;

    bool operator==(const PageSetup &) const = default;
};

struct DrawingSettings {
    int Zoom = 100;          // percent
    double PenWidth = 0.1;   // mm
    uint32_t PenColour = 0;  // platform colour value
    double EraserSize = 2;   // mm
    int SheetCount = 1;
    bool RulerShown = true;
    bool ProtractorShown = true;
    bool CompassShown = true;
    bool SetSquareShown = true; // kept in the drawing file's set square chunk
    bool EntryBarShown = false;
    bool InchLabels = false; // the ruler's inch scale labelled; a view choice, not kept in files
    // As the drawing holds it; a step of the history changes it (DocumentSession::ChangePageSetup).
    PageSetup Page;

    bool operator==(const DrawingSettings &) const = default;
};

struct SettingLimits {
    static constexpr int ZoomMin = 1, ZoomMax = 300;
    static constexpr double WidthMin = 0.01, WidthMax = 100; // pen width and eraser size, mm
    static constexpr int SheetsMin = 1, SheetsMax = 10;
};

int LimitedZoom(double percent); // rounded half to even
double LimitedWidth(double mm);  // pen width or eraser size
int LimitedSheetCount(int count);

// Positions count down across the stack of sheets, so a lower sheet leaves what lies on the
// last ones beyond the stack. The sheets needed (perhaps more than SheetsMax) so that every
// object and text that begins on one of `count` sheets `beforeMm` high still begins on a
// sheet once they are `afterMm` high; never fewer than `count`. What lay beyond before stays so.
int SheetsKeepingRecordsShown(const DrawingState &drawing, int count, double beforeMm, double afterMm);

// The settings a drawing file holds, read into the current ones: values outside the limits
// are brought within them, and an older file without the newer fields keeps the current
// eraser size, sheet size, sheet count and paper.
DrawingSettings SettingsFromFile(const DrawingFileSettings &file, const DrawingSettings &current);
// What the file keeps of the settings and the instruments' placement.
DrawingFileSettings FileSettingsOf(const DrawingSettings &settings, const InstrumentPlacement &placement);

} // namespace velmora
