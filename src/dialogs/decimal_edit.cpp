#include "decimal_edit.h"

#include <QLineEdit>
#include <QRegularExpression>

namespace velmora {

namespace {

// Enough decimals that a stored value survives the spin box's own rounding.
constexpr int StoredDecimals = 20;

} // namespace

DecimalEdit::DecimalEdit(const char *name, double minimum, double maximum, double step, double value, QWidget *parent)
    : QDoubleSpinBox(parent)
{
    setObjectName(QString::fromLatin1(name));
    setDecimals(StoredDecimals);
    setRange(minimum, maximum);
    setSingleStep(step);
    setValue(value);
    setKeyboardTracking(true);
    announced_ = lineEdit()->text();
    connect(lineEdit(), &QLineEdit::textChanged, this, &DecimalEdit::NoteText);
    connect(this, &QDoubleSpinBox::textChanged, this, &DecimalEdit::NoteText);
}

void DecimalEdit::NoteText()
{
    const QString text = lineEdit()->text();
    if (text == announced_)
        return;
    announced_ = text;
    emit TextEdited();
}

void DecimalEdit::stepBy(int steps)
{
    // A text that is no number stands for 0, so the arrows step from 0 (the spin box itself
    // would only put its previous value back).
    QString text = lineEdit()->text();
    int pos = 0;
    if (validate(text, pos) != QValidator::Acceptable) {
        fixup(text);
        if (validate(text, pos) == QValidator::Acceptable) {
            const QSignalBlocker quiet(lineEdit());
            lineEdit()->setText(text);
        }
    }
    QDoubleSpinBox::stepBy(steps);
    NoteText();
}

void DecimalEdit::focusOutEvent(QFocusEvent *event)
{
    QDoubleSpinBox::focusOutEvent(event); // may put a finished value's text in place
    NoteText();
}

void DecimalEdit::fixup(QString &input) const
{
    bool ok = false;
    Format().toDouble(input.trimmed(), &ok);
    if (!ok)
        input = textFromValue(0);
}

QLocale DecimalEdit::Format() const
{
    QLocale format = locale();
    format.setNumberOptions(QLocale::OmitGroupSeparator);
    return format;
}

QString DecimalEdit::textFromValue(double value) const
{
    return Format().toString(value, 'f', 2);
}

double DecimalEdit::valueFromText(const QString &text) const
{
    bool ok = false;
    const double value = Format().toDouble(text.trimmed(), &ok);
    return ok ? value : 0;
}

double DecimalEdit::TypedValue() const
{
    const QString text = lineEdit()->text();
    if (text == textFromValue(value()))
        return value(); // stepped or set: all its decimals, not only the two shown
    return valueFromText(text);
}

QValidator::State DecimalEdit::validate(QString &input, int &) const
{
    const QString text = input.trimmed();
    // A sign, digits and one decimal separator, in any stage of typing.
    const QRegularExpression partial(QStringLiteral("^-?\\d*(%1\\d*)?$")
                                         .arg(QRegularExpression::escape(Format().decimalPoint())));
    if (!partial.match(text).hasMatch())
        return QValidator::Invalid;
    bool ok = false;
    const double value = Format().toDouble(text, &ok);
    if (!ok)
        return QValidator::Intermediate;
    return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

} // namespace velmora
