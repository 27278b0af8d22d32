#include "SpinEdits.h"

#include <QLineEdit>
#include <limits>

namespace quirindo::ui {

namespace {
constexpr double kUnboundedLimit = 1e12;
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
    bool ok = false;
    const double typed = locale().toDouble(lineEdit()->text().trimmed(), &ok);
    if (!ok) return Unbounded() ? 0.0 : minimum();
    return typed;
}

} // namespace quirindo::ui
