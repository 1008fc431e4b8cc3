// libFuzzer target for the drawing-file reader: any bytes must be either read or refused,
// without reading past the end, unbounded allocation or undefined behaviour; a drawing that
// was read writes out to a file that reads back to the same drawing. What a salvage keeps of
// any bytes is itself a sound drawing, and the salvage finds damage exactly where the reader does.
#include "document/drawing_file.h"
#include "document/set_square.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace velmora;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::vector<ChunkTag> wanted{MakeChunkTag("TEST"), SetSquareChunk};

    DrawingState salvaged;
    DrawingFileSettings salvagedSettings;
    salvagedSettings.WantedChunks = wanted;
    const SalvagedDrawing salvage = SalvageDrawingFile(bytes, salvaged, salvagedSettings);
    DrawingState check;
    DrawingFileSettings checkSettings;
    if (ReadDrawingFile(WriteDrawingFile(salvaged, salvagedSettings), check, checkSettings) != DrawingFileError::None)
        std::abort();

    DrawingState drawing;
    DrawingFileSettings settings;
    settings.WantedChunks = wanted;
    const DrawingFileError error = ReadDrawingFile(bytes, drawing, settings);
    if ((error == DrawingFileError::None) != (salvage.Damage == DrawingFileError::None))
        std::abort();
    if (error != DrawingFileError::None)
        return 0;
    // The set square's chunk gives a placement of numbers, or the new drawing's.
    InstrumentPlacement placement;
    bool shown = false;
    SetSquareFromChunks(settings.Chunks, placement, shown);
    if (!std::isfinite(placement.SetSquareX) || !std::isfinite(placement.SetSquareY) ||
        !std::isfinite(placement.SetSquareAngle))
        std::abort();
    const QByteArray written = WriteDrawingFile(drawing, settings);
    DrawingState again;
    DrawingFileSettings againSettings;
    againSettings.WantedChunks = wanted;
    if (ReadDrawingFile(written, again, againSettings) != DrawingFileError::None ||
        WriteDrawingFile(again, againSettings) != written)
        std::abort();
    return 0;
}
