// Output of the drawing's sheets: on the pages of a printer or a PDF, as an image file, and
// on the clipboard.
#pragma once

#include <QString>

class QPagedPaintDevice;

namespace velmora {

class DocumentSession;

class OutputCommands {
public:
    explicit OutputCommands(DocumentSession &session) : session_(session) {}

    // Sheets first to last (from 0) on the device's pages at true scale; says so when the
    // sheet cannot be a page.
    void PrintSheets(QPagedPaintDevice &device, int first, int last);
    // "Als Bild exportieren...": first the file, proposed under the drawing's name in the
    // format last exported (BMP at first); empty when the user cancelled.
    QString AskExportPath();
    // Whether the file's format needs dots per inch: BMP and PNG (and any other extension,
    // which gets a BMP); PDF and SVG keep the sheet's true size without.
    static bool AsksDpi(const QString &path);
    // Then sheet `number` (from 1) at dpi to that file, in the format its extension names.
    void ExportImage(const QString &path, int number, int dpi);
    // Writes sheet `sheet` (from 0) to path as BMP, PNG, PDF or SVG by its extension; says
    // what failed.
    bool ExportSheet(const QString &path, int sheet, int dpi);
    // "Seite kopieren": sheet `sheet` (from 0) on the clipboard as a picture at 300 dpi and as
    // SVG, both at the sheet's true size.
    void CopySheet(int sheet);

private:
    void ShowSheetSizeError(); // the sheet is too small or too large for paper or an image

    DocumentSession &session_;
    QString lastSuffix_ = QStringLiteral("bmp"); // the format of the last export
};

} // namespace velmora
