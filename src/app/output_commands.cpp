// Page setup, printer setup, printing and image export.
#include "main_form.h"

#include "file_messages.h"
#include "render/output/sheet_formats.h"

#include <QFileInfo>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace velmora {

QPrinter &TMainForm::CurrentPrinter()
{
    if (!Printer) // made when first needed: asking the print system at start would slow it
        Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *Printer;
}

std::optional<QSizeF> TMainForm::PrintablePageMm()
{
    // Without a printer of the system the printer prints to PDF, whose page counts as well.
    QPrinter &printer = CurrentPrinter();
    const int resolution = printer.resolution();
    if (resolution <= 0)
        return std::nullopt;
    const QRect printable = printer.pageLayout().paintRectPixels(resolution);
    return QSizeF(double(printable.width()) / resolution * MmPerInch, double(printable.height()) / resolution * MmPerInch);
}

void TMainForm::DateiSeiteeinrichten1Click()
{
    double width = State.PageWidthInch, height = State.PageHeightInch;
    PaperKind paper = State.Paper;
    if (!SeiteEinrichtenForm->Execute(width, height, paper))
        return;
    const double widthBefore = State.PageWidthInch, heightBefore = State.PageHeightInch;
    const PaperKind paperBefore = State.Paper;
    Recorder.Begin(State, QStringLiteral("Seite einrichten"));
    State.PageWidthInch = width;
    State.PageHeightInch = height;
    State.Paper = paper;
    State.TouchContent(); // every sheet is drawn anew
    Recorder.PageSetupChanged(widthBefore, heightBefore, paperBefore);
    CommitEdit();
    SetChanged();
    PaintBox1Paint();
}

void TMainForm::Druckereinrichten1Click()
{
    // The same printers as "Drucken...", printing to a PDF file among them.
    QPrintDialog setup(&CurrentPrinter(), this);
    setup.setWindowTitle(Translation.TranslateString(QStringLiteral("Drucker einrichten")));
    setup.setOption(QAbstractPrintDialog::PrintPageRange, false);
    setup.exec();
    PaintBox1Paint();
}

QString TMainForm::DrawingName()
{
    const QString name = State.FileName.isEmpty() ? Translation.ProgramMessage(Message::Untitled) : State.FileName;
    return QFileInfo(name).completeBaseName();
}

void TMainForm::DateiDrucken1Click()
{
    QPrinter &printer = CurrentPrinter();
    const int sheets = PageAnz->value();
    printer.setFromTo(1, sheets);
    printer.setDocName(DrawingName()); // the job's name, and the title of a PDF
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, sheets);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int first = printer.printRange() == QPrinter::PageRange ? std::max(1, printer.fromPage()) : 1;
    const int last = printer.printRange() == QPrinter::PageRange ? std::min(sheets, printer.toPage()) : sheets;
    if (PaintSheetsOnPages(printer, State, sheets, first - 1, last - 1) == ExportError::BadSheetSize)
        ShowSheetSizeError();
    PaintBox1Paint();
}

bool TMainForm::ExportSheet(const QString &path, int sheet, int dpi)
{
    ExportError error = ExportError::None;
    // Any other extension gets a BMP, the export dialog's own format.
    const FileOutcome written = WriteFileSafely(path, [&](QIODevice &file) {
        error = WriteSheets(file, SheetFormatOf(path).value_or(SheetFormat::Bmp), State, PageAnz->value(), sheet, sheet,
                            dpi, CaptionBase, DrawingName());
        return error == ExportError::None;
    });
    if (written.Ok())
        return true;
    if (error == ExportError::TooLarge)
        ShowError(Translation.TranslateString(
            QStringLiteral("Das Bild wäre zu groß. Wählen Sie weniger DPI oder das BMP-Format.")));
    else if (error == ExportError::BadSheetSize)
        ShowSheetSizeError();
    else
        ShowError(FileFaultMessage(Translation, QStringLiteral("Das Bild konnte nicht gespeichert werden:"), path, written));
    return false;
}

void TMainForm::ShowSheetSizeError()
{
    ShowError(Translation.TranslateString(QStringLiteral(
                  "Die Seitengröße %1 × %2 mm kann nicht ausgegeben werden; wählen Sie unter „Seite einrichten“ "
                  "eine Größe von 0,1 bis 5080 mm."))
                  .arg(QLocale().toString(State.PageWidthInch * MmPerInch, 'g', 4),
                       QLocale().toString(State.PageHeightInch * MmPerInch, 'g', 4)));
}

void TMainForm::DateiAlsBildexportieren1Click()
{
    if (!DPIForm->Execute())
        return;
    const int number = DPIForm->SeiteEd->value();
    const int sheets = PageAnz->value();
    if (number > sheets) {
        ShowError(sheets == 1 ? Translation.TranslateString(QStringLiteral("Die Zeichnung hat nur eine Seite."))
                              : Translation.TranslateString(QStringLiteral("Die Zeichnung hat nur %1 Seiten.")).arg(sheets));
        return;
    }
    const QString path = AskSaveFileName(*SaveDialog2);
    if (!path.isEmpty())
        ExportSheet(path, number - 1, DPIForm->DPIED->value());
}

} // namespace velmora
