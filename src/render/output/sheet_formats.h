// Sheets written in the format a file name chooses: BMP, PNG, PDF or SVG.
#pragma once

#include "sheet_export.h"

#include <QIODevice>
#include <QString>

#include <optional>

namespace velmora {

class DrawingState;

enum class SheetFormat { Bmp, Png, Pdf, Svg };

// The format a file name's extension chooses (any case); none for another extension.
std::optional<SheetFormat> SheetFormatOf(const QString &path);

// Writes sheets of the drawing in the format: a PDF holds sheets first to last, a page each,
// at true scale, with the creator and the title (the drawing's name) named; an image holds
// sheet `first` at dpi; an SVG holds sheet `first` at true size (dpi does not apply).
ExportError WriteSheets(QIODevice &out, SheetFormat format, DrawingState &state, int pageCount, int first, int last,
                        double dpi, const QString &creator, const QString &title);

} // namespace velmora
