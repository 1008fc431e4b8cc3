#include "page_setup_form.h"

#include "document/drawing_state.h"
#include "document/units.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

QPushButton *Button(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// The number an edit says, or none when its text is no number. An edit whose text was not
// changed gives its exact value, not the two decimals it shows.
std::optional<double> Typed(const DecimalEdit *edit)
{
    const QString text = edit->findChild<QLineEdit *>()->text().trimmed();
    if (text == edit->textFromValue(edit->value()))
        return edit->value();
    QLocale format = edit->locale();
    bool ok = false;
    const double value = format.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

TSeiteEinrichtenForm::TSeiteEinrichtenForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SeiteEinrichtenForm"));
    setWindowTitle(QStringLiteral("Seite einrichten"));
    ShowMessage = [this](const QString &text) { QMessageBox::warning(this, windowTitle(), text); };

    mmcheck = new QRadioButton(QStringLiteral("mm"), this);
    mmcheck->setObjectName(QStringLiteral("mmcheck"));
    zollcheck = new QRadioButton(QStringLiteral("Zoll"), this);
    zollcheck->setObjectName(QStringLiteral("zollcheck"));
    mmcheck->setChecked(true);
    // No range limit of its own: what cannot be a size is refused at OK.
    breited = new DecimalEdit("breited", -1e9, 1e9, 0.1, 210, this);
    hoched = new DecimalEdit("hoched", -1e9, 1e9, 0.1, 297, this);
    auto *widthLabel = new QLabel(QStringLiteral("Breite:"), this);
    widthLabel->setObjectName(QStringLiteral("Label1"));
    auto *heightLabel = new QLabel(QStringLiteral("Höhe:"), this);
    heightLabel->setObjectName(QStringLiteral("Label2"));
    widthLabel->setBuddy(breited); // the edits are named by their labels
    heightLabel->setBuddy(hoched);
    BitBtnXP2 = Button("BitBtnXP2", QStringLiteral("A4 Hochformat"), this);
    BitBtnXP3 = Button("BitBtnXP3", QStringLiteral("A4 Querformat"), this);
    BitBtnXP4 = Button("BitBtnXP4", QStringLiteral("A3 Hochformat"), this);
    BitBtnXP5 = Button("BitBtnXP5", QStringLiteral("A3 Querformat"), this);
    VonDruckerBtn = Button("VonDruckerBtn", QStringLiteral("Vom Druckertreiber übernehmen"), this);
    auto *paperLabel = new QLabel(QStringLiteral("Papier:"), this);
    paperLabel->setObjectName(QStringLiteral("PapierLabel"));
    PapierBox = new QComboBox(this);
    PapierBox->setObjectName(QStringLiteral("PapierBox"));
    for (PaperKind kind : PaperKinds)
        PapierBox->addItem(PaperName(kind), int(kind));
    paperLabel->setBuddy(PapierBox);
    BitBtnXP1 = Button("BitBtnXP1", QStringLiteral("OK"), this);
    BitBtnXP1->setDefault(true);
    CancelBtn = Button("CancelBtn", QStringLiteral("Abbrechen"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(mmcheck, 0, 0);
    grid->addWidget(zollcheck, 0, 1);
    grid->addWidget(widthLabel, 1, 0);
    grid->addWidget(breited, 1, 1);
    grid->addWidget(heightLabel, 2, 0);
    grid->addWidget(hoched, 2, 1);
    grid->addWidget(paperLabel, 3, 0);
    grid->addWidget(PapierBox, 3, 1);
    auto *presets = new QGridLayout;
    presets->addWidget(BitBtnXP2, 0, 0);
    presets->addWidget(BitBtnXP3, 0, 1);
    presets->addWidget(BitBtnXP4, 1, 0);
    presets->addWidget(BitBtnXP5, 1, 1);
    presets->addWidget(VonDruckerBtn, 2, 0, 1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(presets);
    auto *ok = new QHBoxLayout;
    ok->addStretch(1);
    ok->addWidget(BitBtnXP1);
    ok->addWidget(CancelBtn);
    layout->addLayout(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtnXP2, &QPushButton::clicked, this, [this] { Preset(210, 297); });
    connect(BitBtnXP3, &QPushButton::clicked, this, [this] { Preset(297, 210); });
    connect(BitBtnXP4, &QPushButton::clicked, this, [this] { Preset(297, 420); });
    connect(BitBtnXP5, &QPushButton::clicked, this, [this] { Preset(420, 297); });
    connect(VonDruckerBtn, &QPushButton::clicked, this, &TSeiteEinrichtenForm::VonDruckerBtnClick);
    connect(BitBtnXP1, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP1Click);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TSeiteEinrichtenForm::Preset(double widthMm, double heightMm)
{
    mmcheck->setChecked(true);
    breited->setValue(widthMm);
    hoched->setValue(heightMm);
}

void TSeiteEinrichtenForm::VonDruckerBtnClick()
{
    const std::optional<QSizeF> page = PrintablePageMm ? PrintablePageMm() : std::nullopt;
    if (!page) {
        ShowMessage(Translate(QStringLiteral("Es ist kein Drucker eingerichtet.")));
        return;
    }
    Preset(Round(page->width()), Round(page->height()));
}

void TSeiteEinrichtenForm::BitBtnXP1Click()
{
    const auto width = Typed(breited), height = Typed(hoched);
    if (!width || !height || *width <= 0 || *height <= 0) {
        ShowMessage(Translate(QStringLiteral("Breite und Höhe müssen Zahlen größer als 0 sein.")));
        return;
    }
    // The sizes the exporter and the drawing file take, checked on the inches to be stored.
    const double toInch = mmcheck->isChecked() ? MmPerInch : 1;
    if (!SheetSideWithinLimits(*width / toInch) || !SheetSideWithinLimits(*height / toInch)) {
        ShowMessage(Translate(QStringLiteral("Breite und Höhe müssen zwischen 0,1 und 5080 mm (200 Zoll) liegen.")));
        return;
    }
    accept();
}

bool TSeiteEinrichtenForm::Execute(double &widthInch, double &heightInch, PaperKind &paper)
{
    PapierBox->setCurrentIndex(std::max(0, PapierBox->findData(int(paper))));
    mmcheck->setChecked(true);
    breited->setValue(widthInch * MmPerInch);
    hoched->setValue(heightInch * MmPerInch);
    adjustSize();
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    if (exec() != QDialog::Accepted)
        return false;
    const double width = *Typed(breited), height = *Typed(hoched);
    widthInch = mmcheck->isChecked() ? width / MmPerInch : width;
    heightInch = mmcheck->isChecked() ? height / MmPerInch : height;
    paper = PaperFromNumber(PapierBox->currentData().toInt()).value_or(PaperKind::Plain);
    return true;
}

} // namespace velmora
