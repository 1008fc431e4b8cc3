// The numeric entry bar: the values of the instrument placement as decimal edits. It
// shows the placement and announces every value the user types; the instrument follows at
// once.
#pragma once

#include "dialogs/decimal_edit.h"
#include "document/drawing_state.h"

#include <QToolBar>

#include <vector>

namespace velmora {

// One value of the placement.
using PlacementValue = double InstrumentPlacement::*;

class EntryBar : public QToolBar {
    Q_OBJECT
public:
    explicit EntryBar(const InstrumentPlacement &initial, QWidget *parent);

    // Shows the placement. An edit whose text already says its value keeps that text, so a
    // value being typed is not rewritten under the cursor.
    void Show(const InstrumentPlacement &placement);

    DecimalEdit *rulerXEdit = nullptr, *rulerYEdit = nullptr, *rulerAngleEdit = nullptr;
    DecimalEdit *protractorXEdit = nullptr, *protractorYEdit = nullptr, *protractorAngleEdit = nullptr;
    DecimalEdit *compassXEdit = nullptr, *compassYEdit = nullptr, *compassSpanEdit = nullptr;
    DecimalEdit *setSquareXEdit = nullptr, *setSquareYEdit = nullptr, *setSquareAngleEdit = nullptr;

signals:
    // The user typed a value of the placement (a text that is no number counts as 0).
    void Typed(velmora::PlacementValue value, double typed);

private:
    struct Row {
        const char *edit, *label, *unit;
        PlacementValue value;
        DecimalEdit *EntryBar::*field;
    };
    static const std::vector<Row> &Rows();

    bool showing_ = false; // set while the edits are filled from the placement
};

} // namespace velmora
