#include "entry_bar.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace velmora {

namespace {

constexpr double Unlimited = 1e12;

} // namespace

const std::vector<EntryBar::Row> &EntryBar::Rows()
{
    static const std::vector<Row> rows = {
        {"rulerXEdit", "Lineal x:", "mm", &InstrumentPlacement::RulerX, &EntryBar::rulerXEdit},
        {"rulerYEdit", "Lineal y:", "mm", &InstrumentPlacement::RulerY, &EntryBar::rulerYEdit},
        {"rulerAngleEdit", "Linealdrehung:", "°", &InstrumentPlacement::RulerAngle, &EntryBar::rulerAngleEdit},
        {"protractorXEdit", "Winkelmesser x:", "mm", &InstrumentPlacement::ProtractorX, &EntryBar::protractorXEdit},
        {"protractorYEdit", "Winkelmesser y:", "mm", &InstrumentPlacement::ProtractorY, &EntryBar::protractorYEdit},
        {"protractorAngleEdit", "Winkelmesserdrehung:", "°", &InstrumentPlacement::ProtractorAngle,
         &EntryBar::protractorAngleEdit},
        {"compassXEdit", "Zirkel x:", "mm", &InstrumentPlacement::CompassX, &EntryBar::compassXEdit},
        {"compassYEdit", "Zirkel y:", "mm", &InstrumentPlacement::CompassY, &EntryBar::compassYEdit},
        {"compassSpanEdit", "Zirkelspanne:", "mm", &InstrumentPlacement::CompassSpan, &EntryBar::compassSpanEdit},
        {"setSquareXEdit", "Geodreieck x:", "mm", &InstrumentPlacement::SetSquareX, &EntryBar::setSquareXEdit},
        {"setSquareYEdit", "Geodreieck y:", "mm", &InstrumentPlacement::SetSquareY, &EntryBar::setSquareYEdit},
        {"setSquareAngleEdit", "Geodreieckdrehung:", "°", &InstrumentPlacement::SetSquareAngle,
         &EntryBar::setSquareAngleEdit},
    };
    return rows;
}

EntryBar::EntryBar(const InstrumentPlacement &initial, QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("entryBar"));
    setMovable(false);
    setFloatable(false);
    // The rows scroll when the window is too low for all of them.
    auto *rows = new QScrollArea(this);
    rows->setObjectName(QStringLiteral("entryRows"));
    rows->setFrameShape(QFrame::NoFrame);
    rows->setFocusPolicy(Qt::NoFocus); // Tab goes from edit to edit
    rows->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto *panel = new QWidget(rows);
    panel->setFixedSize(121, 8 + int(Rows().size()) * 40);
    QFont small = panel->font(); // long labels such as "Winkelmesserdrehung:" fit the narrow bar
    small.setPointSizeF(small.pointSizeF() * 0.85);
    int row = 0;
    for (const Row &entry : Rows()) {
        const int top = 4 + row * 40;
        auto *label = new QLabel(QString::fromUtf8(entry.label), panel);
        label->setObjectName(QStringLiteral("entryLabel%1").arg(row + 1));
        label->setGeometry(2, top, 119, 16);
        label->setFont(small);
        auto *edit = new DecimalEdit(entry.edit, -Unlimited, Unlimited, 1, initial.*entry.value, panel);
        edit->setGeometry(4, top + 16, 88, 22);
        label->setBuddy(edit); // the edit is named by its label
        edit->setAccessibleDescription(QString::fromUtf8(entry.unit) == QStringLiteral("mm")
                                           ? QStringLiteral("in Millimetern")
                                           : QStringLiteral("in Grad"));
        auto *unit = new QLabel(QString::fromUtf8(entry.unit), panel);
        unit->setObjectName(QStringLiteral("entryUnit%1").arg(row + 1));
        unit->setGeometry(96, top + 18, 22, 18);
        this->*entry.field = edit;
        connect(edit, &DecimalEdit::TextEdited, this, [this, value = entry.value, edit] {
            if (!showing_)
                emit Typed(value, edit->TypedValue());
        });
        ++row;
    }
    rows->setWidget(panel);
    rows->setFixedWidth(panel->width());
    // The bar is the panel's width, and wider by the scroll bar only while that is shown.
    connect(rows->verticalScrollBar(), &QScrollBar::rangeChanged, rows, [rows, panel](int, int max) {
        rows->setFixedWidth(panel->width() + (max > 0 ? rows->verticalScrollBar()->sizeHint().width() : 0));
    });
    addWidget(rows);
}

void EntryBar::Show(const InstrumentPlacement &placement)
{
    showing_ = true;
    for (const Row &entry : Rows()) {
        DecimalEdit *edit = this->*entry.field;
        if (edit->TypedValue() != placement.*entry.value || edit->text().isEmpty())
            edit->setValue(placement.*entry.value);
    }
    showing_ = false;
}

} // namespace velmora
