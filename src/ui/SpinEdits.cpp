#include "SpinEdits.h"

#include <QLineEdit>
#include <algorithm>

namespace quirindo::ui {

namespace {
constexpr double kUnboundedLimit = 1e12;
}

TTypedDecimal ReadTypedDecimal(const QString& text) {
    TTypedDecimal typed;
    const QString trimmed = text.trimmed();
    // Rebuilt in the C form for the locale-independent conversion below.
    QString plain;
    plain.reserve(trimmed.size());
    bool point = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i == 0) {
            typed.Negative = c == QLatin1Char('-');
            plain += c;
        } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (point) return typed; // a second point: no number and no group separator
            point = true;
            plain += QLatin1Char('.');
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            typed.HasDigits = true;
            if (point) ++typed.FractionDigits;
            plain += c;
        } else {
            return typed;
        }
    }
    typed.WellFormed = true;
    if (typed.HasDigits) typed.Value = plain.toDouble(); // QString reads the C form
    return typed;
}

TSpinEdit::TSpinEdit(QWidget* parent, int minimum, int maximum, int step, int value)
    : QSpinBox(parent) {
    setRange(minimum, maximum);
    setSingleStep(step);
    setValue(value);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
}

int TSpinEdit::Value() const {
    bool ok = false;
    const int typed = locale().toInt(lineEdit()->text().trimmed(), &ok);
    if (!ok) return minimum();
    return typed;
}

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent, double minimum, double maximum, double step,
                               double value, int decimals)
    : QDoubleSpinBox(parent) {
    setDecimals(decimals);
    setRange(minimum, maximum);
    setSingleStep(step);
    setValue(value);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
}

bool TFloatSpinEdit::Unbounded() const {
    return minimum() <= -kUnboundedLimit;
}

double TFloatSpinEdit::Value() const {
    const TTypedDecimal typed = ReadTypedDecimal(lineEdit()->text());
    if (!typed.WellFormed || !typed.HasDigits) return Unbounded() ? 0.0 : minimum();
    return std::clamp(typed.Value, minimum(), maximum());
}

QValidator::State TFloatSpinEdit::validate(QString& input, int& /*pos*/) const {
    const TTypedDecimal typed = ReadTypedDecimal(input);
    if (!typed.WellFormed || typed.FractionDigits > decimals()) return QValidator::Invalid;
    // An empty field, a sign or a point alone may still become a number.
    if (!typed.HasDigits) return QValidator::Intermediate;
    if (typed.Value > maximum())
        return typed.Negative ? QValidator::Intermediate : QValidator::Invalid;
    // More digits only make a positive number larger, so "0" may yet become
    // "0.5" in a box that starts at 0.01; a negative one only gets smaller.
    if (typed.Value < minimum())
        return typed.Negative ? QValidator::Invalid : QValidator::Intermediate;
    return QValidator::Acceptable;
}

double TFloatSpinEdit::valueFromText(const QString& text) const {
    const TTypedDecimal typed = ReadTypedDecimal(text);
    if (!typed.WellFormed || !typed.HasDigits) return Unbounded() ? 0.0 : minimum();
    return typed.Value;
}

QString TFloatSpinEdit::textFromValue(double value) const {
    QLocale shown = locale();
    // A group separator would read as a decimal point when typed back.
    shown.setNumberOptions(shown.numberOptions() | QLocale::OmitGroupSeparator);
    return shown.toString(value, 'f', decimals());
}

void TFloatSpinEdit::fixup(QString& /*input*/) const {}

} // namespace quirindo::ui
