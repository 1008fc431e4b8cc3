#include "window_printer.h"

#include "document/units.h"
#include "session/document_session.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>

#include <algorithm>

namespace velmora {

QPrinter &WindowPrinter::Printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

std::optional<QSizeF> WindowPrinter::PrintablePageMm()
{
    QPrinter &printer = Printer();
    const int resolution = printer.resolution();
    if (resolution <= 0)
        return std::nullopt;
    const QRect printable = printer.pageLayout().paintRectPixels(resolution);
    return QSizeF(double(printable.width()) / resolution * MmPerInch, double(printable.height()) / resolution * MmPerInch);
}

void WindowPrinter::SetUp(QWidget *window, const QString &title, const QString &keep)
{
    QPrintDialog setup(&Printer(), window);
    setup.setWindowTitle(title);
    setup.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // The print system's dialog says "Drucken"; here it only keeps the choice for "Drucken...".
    for (auto *buttons : setup.findChildren<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(keep);
    setup.exec();
}

void WindowPrinter::Print(QWidget *window, DocumentSession &session)
{
    QPrinter &printer = Printer();
    const int sheets = session.Settings().SheetCount;
    printer.setFromTo(1, sheets);
    printer.setDocName(session.DrawingName()); // the job's name, and the title of a PDF
    QPrintDialog dialog(&printer, window);
    dialog.setMinMax(1, sheets);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    const int first = range ? std::max(1, printer.fromPage()) : 1;
    const int last = range ? std::min(sheets, printer.toPage()) : sheets;
    session.Output.PrintSheets(printer, first - 1, last - 1);
}

} // namespace velmora
