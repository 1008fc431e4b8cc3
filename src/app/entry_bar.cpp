// The numeric entry bar: the nine values of the instrument placement as decimal edits.
#include "main_form.h"

#include <QLabel>
#include <QLineEdit>

namespace velmora {

namespace {

constexpr double Unlimited = 1e12;

} // namespace

struct TMainForm::EntryRow {
    const char *edit;
    const char *label;
    const char *unit;
    double InstrumentPlacement::*value;
    DecimalEdit *TMainForm::*field;
};

const std::vector<TMainForm::EntryRow> &TMainForm::EntryRows()
{
    static const std::vector<EntryRow> rows = {
        {"LinXEd", "Lineal x:", "mm", &InstrumentPlacement::RulerX, &TMainForm::LinXEd},
        {"Linyed", "Lineal y:", "mm", &InstrumentPlacement::RulerY, &TMainForm::Linyed},
        {"linwed", "Linealdrehung:", "°", &InstrumentPlacement::RulerAngle, &TMainForm::linwed},
        {"WinkXed", "Winkelmesser x:", "mm", &InstrumentPlacement::ProtractorX, &TMainForm::WinkXed},
        {"WinkYEd", "Winkelmesser y:", "mm", &InstrumentPlacement::ProtractorY, &TMainForm::WinkYEd},
        {"WinkWEd", "Winkelmesserdrehung:", "°", &InstrumentPlacement::ProtractorAngle, &TMainForm::WinkWEd},
        {"ZirkXed", "Zirkel x:", "mm", &InstrumentPlacement::CompassX, &TMainForm::ZirkXed},
        {"ZirkYed", "Zirkel y:", "mm", &InstrumentPlacement::CompassY, &TMainForm::ZirkYed},
        {"ZirksEd", "Zirkelspanne:", "mm", &InstrumentPlacement::CompassSpan, &TMainForm::ZirksEd},
    };
    return rows;
}

void TMainForm::CreateEntryBar()
{
    Panel2 = new QToolBar(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setMovable(false);
    Panel2->setFloatable(false);
    auto *panel = new QWidget(Panel2);
    panel->setFixedSize(121, 8 + 9 * 40);
    QFont small = panel->font(); // long labels such as "Winkelmesserdrehung:" fit the narrow bar
    small.setPointSizeF(small.pointSizeF() * 0.85);
    int row = 0;
    for (const EntryRow &entry : EntryRows()) {
        const int top = 4 + row * 40;
        auto *label = new QLabel(QString::fromUtf8(entry.label), panel);
        label->setObjectName(QStringLiteral("EntryLabel%1").arg(row + 1));
        label->setGeometry(2, top, 119, 16);
        label->setFont(small);
        auto *edit = new DecimalEdit(entry.edit, -Unlimited, Unlimited, 1, State.Placement.*entry.value, panel);
        edit->setGeometry(4, top + 16, 88, 22);
        auto *unit = new QLabel(QString::fromUtf8(entry.unit), panel);
        unit->setObjectName(QStringLiteral("EntryUnit%1").arg(row + 1));
        unit->setGeometry(96, top + 18, 22, 18);
        this->*entry.field = edit;
        if (entry.field == &TMainForm::WinkWEd)
            connect(edit, &DecimalEdit::TextEdited, this, &TMainForm::WinkWEdChange);
        else
            connect(edit, &DecimalEdit::TextEdited, this,
                    [this, value = entry.value, edit] { EntryEdChange(value, edit); });
        ++row;
    }
    Panel2->addWidget(panel);
    addToolBar(Qt::LeftToolBarArea, Panel2);
    Panel2->setVisible(false);
}

void TMainForm::UpdateEds()
{
    State.UpdatingEdits = true;
    for (const EntryRow &entry : EntryRows()) {
        DecimalEdit *edit = this->*entry.field;
        // An edit whose text already says the value keeps it, so a value being typed is not
        // rewritten under the cursor.
        if (edit->TypedValue() != State.Placement.*entry.value || edit->text().isEmpty())
            edit->setValue(State.Placement.*entry.value);
    }
    State.UpdatingEdits = false;
}

void TMainForm::EntryEdChange(double InstrumentPlacement::*value, DecimalEdit *edit)
{
    if (State.UpdatingEdits)
        return;
    State.Placement.*value = edit->TypedValue();
    PaintBox1Paint();
}

void TMainForm::WinkWEdChange()
{
    if (State.UpdatingEdits)
        return;
    State.Placement.ProtractorAngle = WinkWEd->TypedValue();
    PaintBox1Paint();
    UpdateEds();
}

void TMainForm::LeistefrZahleneingabe1Click()
{
    Panel2->setVisible(LeistefrZahleneingabe1->isChecked());
}

} // namespace velmora
