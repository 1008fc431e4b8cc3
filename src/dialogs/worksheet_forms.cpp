#include "worksheet_forms.h"

#include "document/worksheet.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

namespace {

QHBoxLayout *Buttons(QDialog *dialog, QPushButton *ok, QPushButton *cancel)
{
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

TWorksheetPasswordForm::TWorksheetPasswordForm(const TranslateFunction &translate, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WorksheetPasswordForm"));
    setWindowTitle(translate(QStringLiteral("Kennwort des Arbeitsblatts")));
    auto *about = new QLabel(translate(QStringLiteral("Das PDF ist mit einem Kennwort geschützt.")), this);
    WrongLabel = new QLabel(translate(QStringLiteral("Das Kennwort ist falsch. Bitte noch einmal eingeben.")), this);
    WrongLabel->setObjectName(QStringLiteral("WrongLabel"));
    PasswordEd = new QLineEdit(this);
    PasswordEd->setObjectName(QStringLiteral("PasswordEd"));
    PasswordEd->setEchoMode(QLineEdit::Password);
    OkBtn = new QPushButton(translate(QStringLiteral("OK")), this);
    CancelBtn = new QPushButton(translate(QStringLiteral("Abbrechen")), this);
    auto *form = new QFormLayout;
    form->addRow(translate(QStringLiteral("Kennwort:")), PasswordEd);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addWidget(WrongLabel);
    layout->addLayout(form);
    layout->addLayout(Buttons(this, OkBtn, CancelBtn));
}

std::optional<QByteArray> TWorksheetPasswordForm::Ask(bool again)
{
    WrongLabel->setVisible(again);
    PasswordEd->clear();
    PasswordEd->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return PasswordEd->text().toUtf8();
}

TWorksheetPagesForm::TWorksheetPagesForm(const TranslateFunction &translate, QWidget *parent)
    : QDialog(parent), translate_(translate)
{
    setObjectName(QStringLiteral("WorksheetPagesForm"));
    setWindowTitle(translate(QStringLiteral("Seiten des Arbeitsblatts")));
    AboutLabel = new QLabel(this);
    AboutLabel->setWordWrap(true);
    FirstEd = new QSpinBox(this);
    FirstEd->setObjectName(QStringLiteral("FirstEd"));
    CountEd = new QSpinBox(this);
    CountEd->setObjectName(QStringLiteral("CountEd"));
    OkBtn = new QPushButton(translate(QStringLiteral("OK")), this);
    CancelBtn = new QPushButton(translate(QStringLiteral("Abbrechen")), this);
    auto *form = new QFormLayout;
    form->addRow(translate(QStringLiteral("Ab Seite:")), FirstEd);
    form->addRow(translate(QStringLiteral("Anzahl der Seiten:")), CountEd);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(AboutLabel);
    layout->addLayout(form);
    layout->addLayout(Buttons(this, OkBtn, CancelBtn));
    // No more pages than the document has from the first one on.
    connect(FirstEd, &QSpinBox::valueChanged, this, [this](int first) {
        CountEd->setMaximum(std::clamp(FirstEd->maximum() - first + 1, 1, MaxWorksheetPages));
    });
}

std::optional<std::pair<int, int>> TWorksheetPagesForm::Ask(int pages)
{
    AboutLabel->setText(translate_(QStringLiteral("Das PDF hat %1 Seiten, eine Zeichnung höchstens 10 Blätter. "
                                                  "Welche Seiten sollen die Blätter werden?"))
                            .arg(pages));
    FirstEd->setRange(1, std::max(1, pages));
    FirstEd->setValue(1);
    CountEd->setRange(1, std::clamp(pages, 1, MaxWorksheetPages));
    CountEd->setValue(CountEd->maximum());
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair{FirstEd->value(), CountEd->value()};
}

} // namespace velmora
