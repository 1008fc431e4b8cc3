// The band under the menus with the drawing's settings: zoom, pen width and colour, eraser
// size and the number of sheets. It shows the session's settings and announces what the
// user changes; it keeps no value of its own.
#pragma once

#include "colour_swatch.h"

#include "dialogs/decimal_edit.h"
#include "session/drawing_settings.h"

#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>

namespace velmora {

class SettingsBar : public QToolBar {
    Q_OBJECT
public:
    explicit SettingsBar(QWidget *parent);

    // Shows the settings without announcing them as the user's changes.
    void Show(const DrawingSettings &settings);

    QSpinBox *zoomEdit = nullptr;
    DecimalEdit *penWidthEdit = nullptr;
    ColourSwatch *colourSwatch = nullptr;
    QPushButton *colourButton = nullptr;
    DecimalEdit *eraserEdit = nullptr;
    QSpinBox *pageCountEdit = nullptr;

signals:
    void ZoomEdited(int percent);
    void PenWidthEdited(double mm);
    void EraserSizeEdited(double mm);
    void PageCountEdited(int count);
    // The swatch or the colour button was pressed: the colour dialog is wanted.
    void ColourWanted();
};

} // namespace velmora
