// Opening a worksheet file: a PDF through poppler, or a PNG or JPEG picture through Qt's image
// readers. What the file is comes from its bytes, not its name. The result is a Worksheet
// whose pages are ready to be the drawing's sheets, or the reason why not (a German phrase for
// the window's message).
#pragma once

#include "document/worksheet.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

namespace velmora {

enum class WorksheetProblem {
    None,
    CannotRead,      // the file could not be read
    FileTooLarge,    // larger than MaxWorksheetBytes
    NotAWorksheet,   // neither a PDF nor a picture Qt can read
    Damaged,         // a PDF (or picture) whose contents cannot be read
    NeedsPassword,   // an encrypted PDF, no password given
    WrongPassword,   // an encrypted PDF, the password given does not open it
    NoPages,         // a PDF without a page
    PageTooLarge,    // a page larger than the largest sheet
    PictureTooLarge, // a picture with more pixels than can be decoded safely
    OutOfMemory,
};

// The phrase that follows "Das Arbeitsblatt ... kann nicht geöffnet werden:", in German.
QString WorksheetProblemText(WorksheetProblem problem);

// Pictures larger than this many pixels are refused before they are decoded.
inline constexpr int64_t MaxPicturePixels = int64_t(120) * 1000 * 1000;

struct WorksheetOpening {
    WorksheetProblem Problem = WorksheetProblem::None;
    // Every page of the document, in order (a picture has one); Number from 1.
    Worksheet Document;
};

// A file named as a worksheet (.pdf, .png, .jpg, .jpeg, any case) rather than a drawing: the
// command line, the desktop and a drop open it as a worksheet.
bool IsWorksheetName(const QString &path);

// Reads the file's bytes as a worksheet with all its pages. password opens an encrypted PDF.
WorksheetOpening OpenWorksheetBytes(const QByteArray &bytes, const QByteArray &password = {});
WorksheetOpening OpenWorksheetFile(const QString &path, const QByteArray &password = {});

// The worksheet of count pages from first (from 1) of an opened document, limited to the
// document and to MaxWorksheetPages.
Worksheet ChooseWorksheetPages(const Worksheet &document, int first, int count);

// The sheet size that holds every page (the largest width and the largest height), in mm.
QSizeF WorksheetSheetSizeMm(const Worksheet &worksheet);

} // namespace velmora
