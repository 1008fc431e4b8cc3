// The swatch that shows the pen colour; a press on it opens the colour dialog.
#pragma once

#include <QFrame>

#include <cstdint>

namespace velmora {

class ColourSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget *parent = nullptr);

    uint32_t Colour() const { return colour_; } // platform colour value
    void SetColour(uint32_t colour);

signals:
    void Pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    uint32_t colour_ = 0;
};

} // namespace velmora
