#include "settings_bar.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace velmora {

namespace {

QLabel *BandLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return label;
}

QSpinBox *IntegerEdit(const char *name, int min, int max, int step, int value, QWidget *parent)
{
    auto *edit = new QSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(min, max);
    edit->setSingleStep(step);
    edit->setValue(value);
    return edit;
}

} // namespace

SettingsBar::SettingsBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("settingsBar"));
    setMovable(false);
    setFloatable(false);
    auto *panel = new QWidget(this);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    const DrawingSettings initial;
    using Limits = SettingLimits;
    zoomEdit = IntegerEdit("zoomEdit", Limits::ZoomMin, Limits::ZoomMax, 10, initial.Zoom, panel);
    penWidthEdit = new DecimalEdit("penWidthEdit", Limits::WidthMin, Limits::WidthMax, 0.1, initial.PenWidth, panel);
    colourSwatch = new ColourSwatch(panel);
    colourButton = new QPushButton(QStringLiteral("Farbe..."), panel);
    colourButton->setObjectName(QStringLiteral("colourButton"));
    eraserEdit = new DecimalEdit("eraserEdit", Limits::WidthMin, Limits::WidthMax, 0.1, initial.EraserSize, panel);
    pageCountEdit = IntegerEdit("pageCountEdit", Limits::SheetsMin, Limits::SheetsMax, 1, initial.SheetCount, panel);

    // Each edit is named by its label, as assistive technology reads it; the unit is its description.
    auto labelled = [&](const char *name, const QString &text, QWidget *edit, int column, int span) {
        QLabel *label = BandLabel(name, text, panel);
        label->setBuddy(edit);
        grid->addWidget(label, 0, column, 1, span);
    };
    labelled("zoomLabel", QStringLiteral("Zoom:"), zoomEdit, 0, 1);
    grid->addWidget(zoomEdit, 1, 0);
    zoomEdit->setAccessibleDescription(QStringLiteral("in Prozent"));
    labelled("penWidthLabel", QStringLiteral("Strichstärke:"), penWidthEdit, 1, 2);
    grid->addWidget(penWidthEdit, 1, 1);
    penWidthEdit->setAccessibleDescription(QStringLiteral("in Millimetern"));
    grid->addWidget(BandLabel("penWidthUnit", QStringLiteral("mm"), panel), 1, 2);
    labelled("colourLabel", QStringLiteral("Stiftfarbe:"), colourButton, 3, 2);
    grid->addWidget(colourSwatch, 1, 3);
    colourSwatch->setAccessibleName(QStringLiteral("Stiftfarbe"));
    grid->addWidget(colourButton, 1, 4);
    colourButton->setAccessibleDescription(QStringLiteral("Stiftfarbe wählen"));
    labelled("eraserLabel", QStringLiteral("Radiergummi:"), eraserEdit, 5, 2);
    grid->addWidget(eraserEdit, 1, 5);
    eraserEdit->setAccessibleDescription(QStringLiteral("in Millimetern"));
    grid->addWidget(BandLabel("eraserUnit", QStringLiteral("mm"), panel), 1, 6);
    labelled("pageCountLabel", QStringLiteral("Seitenanzahl:"), pageCountEdit, 7, 1);
    grid->addWidget(pageCountEdit, 1, 7);
    grid->setColumnStretch(8, 1);
    addWidget(panel);

    connect(zoomEdit, &QSpinBox::valueChanged, this, &SettingsBar::ZoomEdited);
    connect(penWidthEdit, &QDoubleSpinBox::valueChanged, this, &SettingsBar::PenWidthEdited);
    connect(eraserEdit, &QDoubleSpinBox::valueChanged, this, &SettingsBar::EraserSizeEdited);
    connect(pageCountEdit, &QSpinBox::valueChanged, this, &SettingsBar::PageCountEdited);
    connect(colourButton, &QPushButton::clicked, this, &SettingsBar::ColourWanted);
    connect(colourSwatch, &ColourSwatch::Pressed, this, &SettingsBar::ColourWanted);
}

namespace {

// An edit that shows the value already (the user typed it) keeps its text as it is.
template <class Edit, class Value> void ShowValue(Edit *edit, Value value)
{
    if (edit->value() != value)
        edit->setValue(value);
}

} // namespace

void SettingsBar::Show(const DrawingSettings &settings)
{
    const QSignalBlocker quiet(this); // a value shown is no change of the user's
    ShowValue(zoomEdit, settings.Zoom);
    ShowValue(penWidthEdit, settings.PenWidth);
    colourSwatch->SetColour(settings.PenColour);
    ShowValue(eraserEdit, settings.EraserSize);
    ShowValue(pageCountEdit, settings.SheetCount);
}

} // namespace velmora
