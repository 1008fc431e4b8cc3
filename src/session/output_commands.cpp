#include "output_commands.h"

#include "document_session.h"
#include "file_messages.h"

#include "render/output/sheet_export.h"
#include "render/output/sheet_formats.h"
#include "render/output/sheet_svg.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// The clipboard holds the whole picture in memory, and programs pasting it may refuse very
// large ones (Qt's image reader stops at 128 MB): sheets from about A2 up are copied at fewer
// dots per inch (still at their true size), so a poster-sized sheet cannot take gigabytes
// and bring the program down with the pupil's drawing.
constexpr double MaxCopyPixels = 30e6;

double CopyDpi(const DrawingState &state)
{
    const double squareInches = state.PageWidthInch * state.PageHeightInch;
    if (!(squareInches * SheetCopyDpi * SheetCopyDpi > MaxCopyPixels))
        return SheetCopyDpi;
    return std::max(1.0, std::floor(std::sqrt(MaxCopyPixels / squareInches)));
}

} // namespace

void OutputCommands::PrintSheets(QPagedPaintDevice &device, int first, int last)
{
    if (PaintSheetsOnPages(device, session_.Document(), session_.Settings().SheetCount, first, last) ==
        ExportError::BadSheetSize)
        ShowSheetSizeError();
}

bool OutputCommands::ExportSheet(const QString &path, int sheet, int dpi)
{
    ExportError error = ExportError::None;
    Translator &translation = session_.Translation();
    const QString creator = translation.ProgramMessage(Message::ProgramTitle), title = session_.DrawingName();
    // Any other extension gets a BMP, the export dialog's own format.
    const FileOutcome written = WriteFileSafely(path, [&](QIODevice &file) {
        error = WriteSheets(file, SheetFormatOf(path).value_or(SheetFormat::Bmp), session_.Document(),
                            session_.Settings().SheetCount, sheet, sheet, dpi, creator, title);
        return error == ExportError::None;
    });
    if (written.Ok())
        return true;
    if (error == ExportError::TooLarge)
        session_.Prompts().ShowError(translation.TranslateString(
            QStringLiteral("Das Bild wäre zu groß. Wählen Sie weniger DPI oder das BMP-Format.")));
    else if (error == ExportError::BadSheetSize)
        ShowSheetSizeError();
    else
        session_.Prompts().ShowError(
            FileFaultMessage(translation, QStringLiteral("Das Bild konnte nicht gespeichert werden:"), path, written));
    return false;
}

void OutputCommands::ShowSheetSizeError()
{
    const DrawingState &drawing = session_.Drawing();
    QLocale limits;
    limits.setNumberOptions(QLocale::OmitGroupSeparator);
    session_.Prompts().ShowError(
        session_.Translation()
            .TranslateString(QStringLiteral("Die Seitengröße %1 × %2 mm kann nicht ausgegeben werden; wählen Sie unter "
                                            "„Seite einrichten“ eine Größe von %3 bis %4 mm."))
            .arg(QLocale().toString(drawing.PageWidthInch * MmPerInch, 'g', 4),
                 QLocale().toString(drawing.PageHeightInch * MmPerInch, 'g', 4), limits.toString(MinExportSideMm),
                 limits.toString(MaxPageSideMm)));
}

QString OutputCommands::AskExportPath()
{
    return session_.Prompts().AskFileName(FileChoice::ExportImage, session_.DrawingName() + QLatin1Char('.') + lastSuffix_);
}

bool OutputCommands::AsksDpi(const QString &path)
{
    const SheetFormat format = SheetFormatOf(path).value_or(SheetFormat::Bmp);
    return format == SheetFormat::Bmp || format == SheetFormat::Png;
}

void OutputCommands::ExportImage(const QString &path, int number, int dpi)
{
    Translator &translation = session_.Translation();
    const int sheets = session_.Settings().SheetCount;
    if (number > sheets) {
        session_.Prompts().ShowError(
            sheets == 1 ? translation.TranslateString(QStringLiteral("Die Zeichnung hat nur eine Seite."))
                        : translation.TranslateString(QStringLiteral("Die Zeichnung hat nur %1 Seiten.")).arg(sheets));
        return;
    }
    if (!ExportSheet(path, number - 1, dpi))
        return;
    const SheetFormat format = SheetFormatOf(path).value_or(SheetFormat::Bmp);
    lastSuffix_ = format == SheetFormat::Png   ? QStringLiteral("png")
                  : format == SheetFormat::Pdf ? QStringLiteral("pdf")
                  : format == SheetFormat::Svg ? QStringLiteral("svg")
                                               : QStringLiteral("bmp");
}

void OutputCommands::CopySheet(int sheet)
{
    DrawingState &drawing = session_.Document();
    const int sheets = session_.Settings().SheetCount;
    sheet = std::clamp(sheet, 0, sheets - 1);
    QImage image;
    ExportError error = SheetImage(drawing, sheets, sheet, CopyDpi(drawing), image);
    QByteArray svg;
    if (error == ExportError::None)
        error = SheetSvg(drawing, sheets, sheet, session_.DrawingName(), svg);
    if (error == ExportError::BadSheetSize) {
        ShowSheetSizeError();
        return;
    }
    if (error != ExportError::None) {
        session_.Prompts().ShowError(
            session_.Translation().TranslateString(QStringLiteral("Die Seite ist zu groß für die Zwischenablage.")));
        return;
    }
    auto *data = new QMimeData;
    data->setImageData(image);
    data->setData(QStringLiteral("image/svg+xml"), svg);
    QGuiApplication::clipboard()->setMimeData(data);
    session_.Prompts().ShowStatus(
        session_.Translation().TranslateString(QStringLiteral("Seite %1 ist in der Zwischenablage.")).arg(sheet + 1));
}

} // namespace velmora
