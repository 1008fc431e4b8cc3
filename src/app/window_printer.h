// The window's printer: made when first needed (asking the print system at start would slow
// it), set up in the print system's dialog, and printing the sheets its print dialog chose.
#pragma once

#include <QPrinter>

#include <memory>
#include <optional>

namespace velmora {

class DocumentSession;

class WindowPrinter {
public:
    QPrinter &Printer();
    // The printable part of the printer's page in millimetres; without a printer of the
    // system the printer prints to PDF, whose page counts as well.
    std::optional<QSizeF> PrintablePageMm();
    // "Drucker einrichten...": the same printers as "Drucken...", printing to a PDF among them;
    // its button (`keep`) keeps the choice, which the next "Drucken..." offers. It prints nothing.
    void SetUp(QWidget *window, const QString &title, const QString &keep);
    // "Drucken...": the sheets chosen in the print dialog, on the printer chosen there.
    void Print(QWidget *window, DocumentSession &session);

private:
    std::unique_ptr<QPrinter> printer_;
};

} // namespace velmora
