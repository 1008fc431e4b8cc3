// velmora-export: renders sheets of a drawing to BMP, PNG, PDF or SVG files without a display.
#include "document/drawing_file.h"
#include "document/file_names.h"
#include "document/safe_file.h"
#include "document/units.h"
#include "render/output/sheet_formats.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <new>

using namespace velmora;

namespace {

const char *const Usage =
    "Usage: velmora-export DRAWING.vlm [--dpi N] [--page K | --all] [-o OUT.bmp|OUT.png|OUT.pdf|OUT.svg]\n"
    "\n"
    "Renders sheets of a Velmora drawing without the instruments.\n"
    "  --dpi N     resolution of BMP and PNG images, 10 to 4000 pixels per inch (default 150)\n"
    "  --page K    the sheet to export, counted from 1 (default 1)\n"
    "  --all       every sheet: one PDF with a page per sheet, or numbered files OUT-1.png, OUT-2.png, ...\n"
    "  -o OUT      the output file; its extension chooses the format (default: the drawing's name with .png)\n"
    "              PDF pages and SVG pictures have the sheet's size in millimetres (--dpi does not apply)\n"
    "  --help      this text\n"
    "\n"
    "Exit status: 0 done, 1 the drawing could not be read or the output not written (also for lack of\n"
    "memory), 2 a bad argument.\n";

int Fail(int status, const QString &message)
{
    std::fprintf(stderr, "velmora-export: %s\n", qPrintable(message));
    if (status == 2)
        std::fprintf(stderr, "Try 'velmora-export --help'.\n");
    return status;
}

QString ErrorText(DrawingFileError error)
{
    switch (error) {
    case DrawingFileError::Truncated: return QStringLiteral("the file ends too early");
    case DrawingFileError::BadCount: return QStringLiteral("a count of objects or texts does not fit the file");
    case DrawingFileError::BadLength: return QStringLiteral("a text is longer than the file");
    case DrawingFileError::NotFinite: return QStringLiteral("it holds a value that is not a number");
    case DrawingFileError::BadSheetSize: return QStringLiteral("its sheet size is not between 0.1 and 5080 mm");
    case DrawingFileError::BadPaper: return QStringLiteral("its paper is of no known kind");
    case DrawingFileError::OutOfMemory: return QStringLiteral("there is not enough memory");
    case DrawingFileError::CannotOpen: return QStringLiteral("it cannot be opened");
    case DrawingFileError::TooLarge: return QStringLiteral("it has more objects or texts than the program can hold");
    case DrawingFileError::ReadFailed: return QStringLiteral("it could not be read completely");
    case DrawingFileError::BadChunkTag: return QStringLiteral("an appended section has no valid name");
    case DrawingFileError::ChunkTruncated: return QStringLiteral("an appended section is cut short");
    case DrawingFileError::BadWorksheet: return QStringLiteral("its worksheet is damaged");
    case DrawingFileError::None: break;
    }
    return {};
}

bool ParseNumber(const QString &text, int low, int high, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

int Export(const QStringList &args)
{
    QString input, output;
    int dpi = 150, page = 1;
    bool all = false, pageGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == QLatin1String("--dpi")) {
            if (!hasValue || !ParseNumber(args[++i], 10, 4000, dpi))
                return Fail(2, QStringLiteral("--dpi takes a whole number from 10 to 4000"));
        } else if (arg == QLatin1String("--page")) {
            if (!hasValue || !ParseNumber(args[++i], 1, 100000, page))
                return Fail(2, QStringLiteral("--page takes a sheet number from 1"));
            pageGiven = true;
        } else if (arg == QLatin1String("--all")) {
            all = true;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!hasValue)
                return Fail(2, QStringLiteral("-o takes a file name"));
            output = args[++i];
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return Fail(2, QStringLiteral("unknown option %1").arg(ReadableFileName(arg)));
        } else if (input.isEmpty()) {
            input = arg;
        } else {
            return Fail(2, QStringLiteral("more than one drawing given"));
        }
    }
    if (input.isEmpty())
        return Fail(2, QStringLiteral("no drawing given"));
    if (all && pageGiven)
        return Fail(2, QStringLiteral("--page and --all exclude each other"));
    if (output.isEmpty())
        output = QFileInfo(input).path() + QLatin1Char('/') + QFileInfo(input).completeBaseName() + QStringLiteral(".png");
    const std::optional<SheetFormat> format = SheetFormatOf(output);
    if (!format)
        return Fail(2, QStringLiteral("the output must end in .bmp, .png, .pdf or .svg"));

    // Only a regular file is read: a FIFO or a device (/dev/zero) would block or never end.
    DrawingState drawing;
    DrawingFileSettings settings;
    FileOutcome opened;
    const DrawingFileError error = LoadDrawingFile(input, drawing, settings, &opened);
    const QString shownInput = ReadableFileName(input);
    if (!opened.Ok())
        return Fail(1, QStringLiteral("cannot read %1: %2").arg(shownInput, FaultText(opened)));
    if (error == DrawingFileError::OutOfMemory)
        return Fail(1, QStringLiteral("not enough memory to read %1").arg(shownInput));
    if (error != DrawingFileError::None)
        return Fail(1, QStringLiteral("%1 is damaged or not a drawing: %2").arg(shownInput, ErrorText(error)));
    drawing.PageWidthInch = settings.PageWidthInch;
    drawing.PageHeightInch = settings.PageHeightInch;
    drawing.Paper = settings.Paper;
    const int sheets = SheetCountOf(settings);
    if (page > sheets)
        return Fail(2, QStringLiteral("the drawing has %1 sheet(s)").arg(sheets));
    const int first = all ? 1 : page, last = all ? sheets : page;

    // A PDF holds every sheet asked for; images and SVG pictures are a file a sheet.
    const bool pdf = *format == SheetFormat::Pdf;
    if (!ExportableSheetSize(drawing, pdf))
        return Fail(1, QStringLiteral("the sheet size %1 x %2 mm cannot be exported (each side from %3 to %4 mm)")
                           .arg(drawing.PageWidthInch * MmPerInch, 0, 'g', 4)
                           .arg(drawing.PageHeightInch * MmPerInch, 0, 'g', 4)
                           .arg(MinExportSideMm)
                           .arg(MaxPageSideMm));

    // Texts stored larger than the font dialog offers (by another program, or damage) are
    // drawn at its largest size: the picture differs from what the file asks, so say so.
    int larger = 0;
    for (int i = 0; i < drawing.Texts.Count; ++i)
        larger += drawing.Texts.At(i).Size > MaxTextPoints;
    if (larger > 0)
        std::fprintf(stderr, "velmora-export: %d text(s) larger than %d points shown at %d points\n", larger,
                     int(MaxTextPoints), int(MaxTextPoints));

    const QString suffix = QFileInfo(output).suffix().toLower();
    for (int sheet = first; sheet <= (pdf ? first : last); ++sheet) {
        const QString name = all && !pdf ? QFileInfo(output).path() + QLatin1Char('/') +
                                               QFileInfo(output).completeBaseName() + QStringLiteral("-%1.").arg(sheet) +
                                               suffix
                                         : output;
        ExportError rendered = ExportError::None;
        const FileOutcome written = WriteFileSafely(name, [&](QIODevice &out) {
            rendered = WriteSheets(out, *format, drawing, sheets, sheet - 1, pdf ? last - 1 : sheet - 1, dpi,
                                   QStringLiteral("velmora-export"), ReadableFileName(QFileInfo(input).completeBaseName()));
            return rendered == ExportError::None;
        });
        if (rendered == ExportError::TooLarge)
            return Fail(1, QStringLiteral("the image of sheet %1 at %2 DPI is too large for %3").arg(sheet).arg(dpi).arg(suffix));
        if (!written.Ok())
            return Fail(1, QStringLiteral("cannot write %1: %2").arg(ReadableFileName(name), FaultText(written)));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Headless: rendering needs fonts, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // File names as bytes: a name that is not UTF-8 is opened and written as it was given
    // (Qt's own arguments would have turned its stray bytes into U+FFFD).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << FileNameFromBytes(QByteArray(argv[i]));
    // A list that cannot grow is said once, by the message below, not by the list itself.
    DynaArrayCore::SetFailureReporter([](const QString &) {});
    // A drawing or a picture too large for the memory ends with a message, not with an abort.
    try {
        return Export(args);
    } catch (const std::bad_alloc &) {
        return Fail(1, QStringLiteral("not enough memory"));
    }
}
