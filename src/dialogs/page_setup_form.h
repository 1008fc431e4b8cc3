// TSeiteEinrichtenForm: the sheet size in millimetres or inches, four presets, the size
// of the printer's printable page and the paper of the sheets. The numbers are read in the
// unit checked at OK; "Abbrechen", Escape and closing the window cancel.
#pragma once

#include "decimal_edit.h"

#include "document/paper.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <optional>

namespace velmora {

class TSeiteEinrichtenForm : public QDialog {
    Q_OBJECT
public:
    explicit TSeiteEinrichtenForm(QWidget *parent = nullptr);

    // Shows the dialog for a sheet of the given size and paper; true with the new ones on OK.
    bool Execute(double &widthInch, double &heightInch, PaperKind &paper);

    // The printable page of the current printer in millimetres, none without a printer.
    std::function<std::optional<QSizeF>()> PrintablePageMm;
    // Tells the user what is wrong; tests answer it.
    std::function<void(const QString &text)> ShowMessage;
    std::function<QString(const QString &)> Translate = [](const QString &text) { return text; };

    QRadioButton *mmcheck = nullptr;
    QRadioButton *zollcheck = nullptr;
    DecimalEdit *breited = nullptr;
    DecimalEdit *hoched = nullptr;
    QPushButton *BitBtnXP2 = nullptr, *BitBtnXP3 = nullptr, *BitBtnXP4 = nullptr, *BitBtnXP5 = nullptr;
    QPushButton *VonDruckerBtn = nullptr;
    QComboBox *PapierBox = nullptr; // each item's data is its paper's number
    QPushButton *BitBtnXP1 = nullptr;
    QPushButton *CancelBtn = nullptr; // "Abbrechen": as Escape and the close button, changes nothing

    void VonDruckerBtnClick();
    void BitBtnXP1Click();

private:
    void Preset(double widthMm, double heightMm);
};

} // namespace velmora
