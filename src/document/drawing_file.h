// The drawing file (.vlm): both record lists as raw little-endian images, each text's two
// strings, then the instrument placement and the view and pen settings. Older files end
// after the four visibility bytes; the paper continues the newer generation only when it is
// not plain (or when chunks follow it); after the paper come the chunks of later features
// (drawing_file_chunks.h). No magic number, no version, no checksum.
//
// For the window:
//   - open:  LoadDrawingFile(path, drawing, settings, &opened) into a drawing of its own; on
//            anything but None keep the drawing on the screen and say
//            DrawingFileErrorText(error) (translated) after what failed: for OutOfMemory that
//            is "nicht genug Arbeitsspeicher";
//   - save:  SaveDrawingFile(path, drawing, settings) streams to the disk through QSaveFile;
//            FileOutcome::Fault OutOfMemory means the old file is whole and the drawing as it
//            was (OutOfMemoryText(), translated);
//   - a recovery copy cut short: SalvageDrawingFile gives the whole objects and texts before
//     the damage, and the damage itself.
#pragma once

#include "drawing_file_chunks.h"
#include "safe_file.h"
#include "set_square.h"

#include "drawing_state.h"
#include "worksheet.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>

namespace velmora {

// The tags of the chunks this program reads: the set square's ("GEOD").
std::vector<ChunkTag> KnownChunkTags();

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
    // The chunks after the paper, in file order: written each when its data is not empty
    // (with the tail and the paper field, 0 for plain paper, before them); read back only for
    // the tags in WantedChunks, every other tag is skipped.
    DrawingFileChunks Chunks;
    // The tags whose chunks the reader keeps: every tag this program knows (a feature that
    // stores a chunk adds its tag here).
    std::vector<ChunkTag> WantedChunks = KnownChunkTags();
    // Keeps every chunk, known or not: a drawing opened to be saved again keeps what a newer
    // program added to it.
    bool KeepEveryChunk = false;
};

// The number of sheets a stored page count stands for, wherever the drawing is shown or
// exported: rounded half to even and limited to 1 to 10 sheets.
int SheetCountOf(const DrawingFileSettings &settings);

inline constexpr int SettingsBytesOld = 96;  // fields 5 to 20
inline constexpr int SettingsBytesTail = 32; // fields 21 to 24
inline constexpr int SettingsBytesPaper = 4; // the paper's number, after field 24
inline constexpr int ChunkHeaderBytes = 8;   // a chunk's tag and length

// Writes the file for the drawing's records and these settings to out as it goes (the object
// records straight from their list): the file is never held in memory whole. False when out
// did not take every byte. Allocation failures are thrown (std::bad_alloc).
bool WriteDrawingFile(QIODevice &out, const DrawingState &drawing, const DrawingFileSettings &settings);

// The whole file in memory, for small drawings and tests.
QByteArray WriteDrawingFile(const DrawingState &drawing, const DrawingFileSettings &settings);

// Saves the drawing at path safely: streamed into a file beside it that replaces it only when
// every byte reached the disk. A failure of any kind (OutOfMemory included) leaves the old
// file and the drawing as they were.
FileOutcome SaveDrawingFile(const QString &path, const DrawingState &drawing, const DrawingFileSettings &settings);

enum class DrawingFileError {
    None,
    Truncated,       // ends inside a record, a string or the settings
    BadCount,        // a negative count, or more records than the file can hold
    BadLength,       // a negative string length, or longer than the file
    NotFinite,       // a coordinate or setting that is NaN or infinite
    BadSheetSize,    // a sheet side outside MinSheetSideMm to MaxSheetSideMm
    BadPaper,        // a paper number that no paper has
    OutOfMemory,     // the lists or a string could not take the records
    CannotOpen,      // the file could not be opened
    TooLarge,        // more records than the program's lists can hold
    ReadFailed,      // the file could not be read completely
    BadChunkTag,     // after the paper, a chunk whose tag is not four letters or digits
    ChunkTruncated,  // a chunk's head cut short, or its length past the end of the file
    BadWorksheet,    // the worksheet's chunk holds no sound worksheet (worksheet.h)
};

// Why a file was refused, in the program's German (to be translated by the window): a phrase
// that follows a colon, such as "das Papier ist von keiner bekannten Art". Empty for None.
QString DrawingFileErrorText(DrawingFileError error);

// Reads a whole file into an empty drawing and its settings. Nothing is read past the end
// of the data and nothing is allocated beyond what the data can hold; on an error the
// drawing may hold a part of the records and must be thrown away.
DrawingFileError ReadDrawingFile(const QByteArray &data, DrawingState &into, DrawingFileSettings &settings);

// Reads the regular file at path (never a FIFO or a device) straight into the drawing's lists,
// with the checks of ReadDrawingFile; the settings keep the values a file does not hold.
// Every size the writer writes is read: memory is bounded by what the drawing needs, as
// every count is checked against the bytes the file holds before anything is allocated.
// opened, when given, says why the file could not be opened or read.
DrawingFileError LoadDrawingFile(const QString &path, DrawingState &into, DrawingFileSettings &settings,
                                 FileOutcome *opened = nullptr);

// What a damaged file still holds (a recovery copy cut short): every whole, sound object and
// text before the damage, and the settings when all of them up to the paper were read sound
// (otherwise they stay as given); chunks before the damage are kept too.
struct SalvagedDrawing {
    DrawingFileError Damage = DrawingFileError::None; // None: the file is whole
    bool SettingsRead = false;
};
SalvagedDrawing SalvageDrawingFile(const QByteArray &data, DrawingState &into, DrawingFileSettings &settings);
SalvagedDrawing SalvageDrawingFile(const QString &path, DrawingState &into, DrawingFileSettings &settings,
                                   FileOutcome *opened = nullptr);

} // namespace velmora
