// The drawing file (.vlm): both record lists as raw little-endian images, each text's two
// strings, then the instrument placement and the view and pen settings. Older files end
// after the four visibility bytes; the paper continues the newer generation only when it is
// not plain. No magic number, no version, no checksum.
#pragma once

#include "safe_file.h"

#include "drawing_state.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace velmora {

// What the file holds besides the records: the instruments' placement, the settings and the view switches.
struct DrawingFileSettings {
    InstrumentPlacement Placement; // all but the protractor's size and the compass angle
    double Zoom = 100;
    double PenWidth = 0.1;
    uint32_t PenColour = 0;
    bool EntryBarShown = false;
    bool RulerShown = true;
    bool ProtractorShown = true;
    bool CompassShown = true;
    // The newer generation's tail; absent in older files.
    bool HasTail = true;
    double EraserSize = 2;
    double PageWidthInch = A4WidthInch;
    double PageHeightInch = A4HeightInch;
    double PageCount = 1;
    // The continuation after the newer generation's tail: present only for paper that is
    // not plain; a file whose tail ends there has plain paper.
    PaperKind Paper = PaperKind::Plain;
};

// The number of sheets a stored page count stands for, wherever the drawing is shown or
// exported: rounded half to even and limited to 1 to 10 sheets.
int SheetCountOf(const DrawingFileSettings &settings);

inline constexpr int SettingsBytesOld = 96;  // fields 5 to 20
inline constexpr int SettingsBytesTail = 32; // fields 21 to 24
inline constexpr int SettingsBytesPaper = 4; // the paper's number, after field 24

// The whole file for the drawing's records and these settings.
QByteArray WriteDrawingFile(const DrawingState &drawing, const DrawingFileSettings &settings);

enum class DrawingFileError {
    None,
    Truncated,       // ends inside a record, a string or the settings
    BadCount,        // a negative count, or more records than the file can hold
    BadLength,       // a negative string length, or longer than the file
    NotFinite,       // a coordinate or setting that is NaN or infinite
    BadSheetSize,    // a sheet width or height of zero or less
    BadPaper,        // a paper number that no paper has
    OutOfMemory,     // the lists could not take the records
    CannotOpen,      // the file could not be opened
    TooLarge,        // larger than any drawing can be
    ReadFailed,      // the file could not be read completely
};

// Reads a whole file into an empty drawing and its settings. Nothing is read past the end
// of the data and nothing is allocated beyond what the data can hold; on an error the
// drawing may hold a part of the records and must be thrown away.
DrawingFileError ReadDrawingFile(const QByteArray &data, DrawingState &into, DrawingFileSettings &settings);

// The largest file taken for a drawing; a larger one is refused before it is read.
inline constexpr qint64 MaxDrawingFileBytes = qint64(1) << 30;

// Reads the regular file at path (never a FIFO or a device, never more than
// MaxDrawingFileBytes) and checks it as ReadDrawingFile does; the settings keep the values a
// file does not hold. opened, when given, says why the file could not be read.
DrawingFileError LoadDrawingFile(const QString &path, DrawingState &into, DrawingFileSettings &settings,
                                 FileOutcome *opened = nullptr);

} // namespace velmora
