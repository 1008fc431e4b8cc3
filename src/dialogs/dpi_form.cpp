#include "dpi_form.h"

#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

namespace velmora {

TDPIForm::TDPIForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DPIForm"));
    setWindowTitle(QStringLiteral("DPI festlegen"));
    auto *dpiLabel = DpiLabel = new QLabel(QStringLiteral("Exportieren mit so viel DPI (Qualität/Größe):"), this);
    dpiLabel->setObjectName(QStringLiteral("Label1"));
    DPIED = new QSpinBox(this);
    DPIED->setObjectName(QStringLiteral("DPIED"));
    DPIED->setRange(10, 4000);
    DPIED->setSingleStep(10);
    DPIED->setValue(150);
    auto *sheetLabel = new QLabel(QStringLiteral("Welche Seite exportieren?"), this);
    sheetLabel->setObjectName(QStringLiteral("Label2"));
    SeiteEd = new QSpinBox(this);
    SeiteEd->setObjectName(QStringLiteral("SeiteEd"));
    SeiteEd->setRange(1, 100000);
    SeiteEd->setValue(1);
    dpiLabel->setBuddy(DPIED); // the edits are named by their labels
    sheetLabel->setBuddy(SeiteEd);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(dpiLabel);
    layout->addWidget(DPIED);
    layout->addWidget(sheetLabel);
    layout->addWidget(SeiteEd);
    auto *ok = new QHBoxLayout;
    ok->addStretch(1);
    ok->addWidget(BitBtn1);
    ok->addWidget(CancelBtn);
    layout->addLayout(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TDPIForm::AskDpi(bool asked)
{
    DpiLabel->setVisible(asked);
    DPIED->setVisible(asked);
}

bool TDPIForm::Execute()
{
    adjustSize();
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}

} // namespace velmora
