// TSeiteEinrichtenForm: the sheet size in millimetres or inches, four presets and the size
// of the printer's printable page. The numbers are read in the unit checked at OK; closing
// the window cancels.
#pragma once

#include "decimal_edit.h"

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

    // Shows the dialog for a sheet of the given size; true with the new size on OK.
    bool Execute(double &widthInch, double &heightInch);

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
    QPushButton *BitBtnXP1 = nullptr;

    void VonDruckerBtnClick();
    void BitBtnXP1Click();

private:
    void Preset(double widthMm, double heightMm);
};

} // namespace velmora
