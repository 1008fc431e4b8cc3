// TDPIForm: the resolution and the sheet of an image export.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace velmora {

class TDPIForm : public QDialog {
    Q_OBJECT
public:
    explicit TDPIForm(QWidget *parent = nullptr);

    // True on OK; the values stay in the edits for the next export.
    bool Execute();
    // Shows the dots per inch only for a format that has pixels (BMP, PNG).
    void AskDpi(bool asked);

    QLabel *DpiLabel = nullptr;
    QSpinBox *DPIED = nullptr;
    QSpinBox *SeiteEd = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *CancelBtn = nullptr; // "Abbrechen": as Escape and the close button
};

} // namespace velmora
