// A decimal spin edit that shows two decimals but keeps the value it was given exactly, so
// values read from a drawing file are written back unchanged. Its text is read as a number
// in the locale's format; a text that is no number counts as 0.
#pragma once

#include <QDoubleSpinBox>

namespace velmora {

class DecimalEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    DecimalEdit(const char *name, double minimum, double maximum, double step, double value, QWidget *parent);

    // The number the text says now (0 when it says none).
    double TypedValue() const;

    QString textFromValue(double value) const override;
signals:
    // Every change of the text: typed, stepped or set, also when it is no number yet.
    void TextEdited();

public:
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &input, int &pos) const override;

private:
    QLocale Format() const;
};

} // namespace velmora
