// libFuzzer target for the drawing-file reader: any bytes must be either read or refused,
// without reading past the end, unbounded allocation or undefined behaviour; a drawing that
// was read writes out to a file that reads back to the same drawing.
#include "document/drawing_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace velmora;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    DrawingState drawing;
    DrawingFileSettings settings;
    if (ReadDrawingFile(bytes, drawing, settings) != DrawingFileError::None)
        return 0;
    const QByteArray written = WriteDrawingFile(drawing, settings);
    DrawingState again;
    DrawingFileSettings againSettings;
    if (ReadDrawingFile(written, again, againSettings) != DrawingFileError::None ||
        WriteDrawingFile(again, againSettings) != written)
        std::abort();
    return 0;
}
