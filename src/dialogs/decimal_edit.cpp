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
    connect(lineEdit(), &QLineEdit::textChanged, this, &DecimalEdit::TextEdited);
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
    return valueFromText(lineEdit()->text());
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
