// A decimal spin edit that shows two decimals but keeps the value it was given exactly, so
// values read from a drawing file are written back unchanged. Its text is read as a number
// in the locale's format; a text that is no number counts as 0. Every change of the text,
// typed, stepped by the arrows, the arrow keys or the wheel, or set, is announced once.
#pragma once

#include <QDoubleSpinBox>

namespace velmora {

class DecimalEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    DecimalEdit(const char *name, double minimum, double maximum, double step, double value, QWidget *parent);

    // The number the text says now (0 when it says none); the exact value while the text
    // shows it.
    double TypedValue() const;

    QString textFromValue(double value) const override;
    void stepBy(int steps) override;
signals:
    // Every change of the text: typed, stepped or set, also when it is no number yet.
    void TextEdited();

public:
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &input, int &pos) const override;
    // A text left as no number becomes 0, the value it stood for (where 0 is allowed).
    void fixup(QString &input) const override;

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    QLocale Format() const;
    // Announces the text when it differs from the one announced last. The spin box changes
    // its text with the line edit's signals blocked, so both its own and the line edit's
    // signals lead here.
    void NoteText();

    QString announced_;
};

} // namespace velmora
