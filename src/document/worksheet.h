// A worksheet: a PDF or a picture whose pages are the backgrounds of the drawing's sheets.
// The drawing keeps the worksheet's own bytes (not a path) and, for each sheet from the first,
// the page shown there and its size, so one drawing file is the whole piece of work. Each
// page lies at true size at its sheet's top-left corner, under the paper and the drawing.
//
// In the drawing file it is the chunk "WSHT" (little-endian, like the rest of the file):
//   int32 kind (1 PDF, 2 picture), int32 page count P (1 to 10),
//   P times: int32 page number in the document (from 1), double width, double height (mm,
//   as shown: after the page's rotation or the picture's orientation),
//   int32 password length L (0 to 1024), L bytes (the PDF's opening password, Latin-1),
//   int32 byte count N (at least 1), N bytes: the worksheet's file.
// Bytes after these belong to later versions and are skipped.
#pragma once

#include "drawing_file_chunks.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

namespace velmora {

inline constexpr ChunkTag WorksheetChunk = MakeChunkTag("WSHT");

enum class WorksheetKind { Pdf = 1, Picture = 2 };

struct WorksheetPage {
    int Number = 1; // in the document, from 1
    double WidthMm = 0, HeightMm = 0;
    bool operator==(const WorksheetPage &) const = default;
};

// The drawing's sheets take at most this many pages.
inline constexpr int MaxWorksheetPages = 10;
// A worksheet file larger than this is not taken (it is kept whole in every drawing file).
inline constexpr int64_t MaxWorksheetBytes = int64_t(256) << 20;
inline constexpr int MaxWorksheetPasswordBytes = 1024;

struct Worksheet {
    WorksheetKind Kind = WorksheetKind::Pdf;
    QByteArray Bytes;
    QByteArray Password;
    std::vector<WorksheetPage> Pages; // sheet i shows Pages[i]
    bool operator==(const Worksheet &) const = default;
};

// Never changed once made: the drawing, its copies for undo and the renderers share it.
using SharedWorksheet = std::shared_ptr<const Worksheet>;

QByteArray WorksheetChunkData(const Worksheet &worksheet);
// Nothing when the data is not a whole, sound worksheet.
std::optional<Worksheet> ReadWorksheetChunk(const QByteArray &data);

} // namespace velmora
