#pragma once
// Spin boxes that behave like the program's number fields: a text that is not
// a number reads as the box's minimum (or as 0 for unbounded fields), and a
// number beyond the bounds is pulled back when the box loses the focus.
// Decimal fields take "." and "," alike as the decimal point, whatever the
// locale, and never as a group separator, so that the number a user types is
// the number the program uses.

#include <QDoubleSpinBox>
#include <QSpinBox>

#include <optional>

namespace quirindo::ui {

// A typed decimal number: an optional sign, digits, at most one decimal
// point written "." or ",". Surrounding blanks are ignored.
struct TTypedDecimal {
    bool WellFormed = false; // only the characters above, in that order
    bool HasDigits = false;  // a number, not just a sign or a point
    bool Negative = false;
    int FractionDigits = 0;
    double Value = 0.0;
};
[[nodiscard]] TTypedDecimal ReadTypedDecimal(const QString& text);

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(QWidget* parent, int minimum, int maximum, int step, int value);
    // The number the box shows; text that is no number gives the minimum.
    int Value() const;
    // The text field, for typing into the box as a user does.
    QLineEdit* Editor() const { return lineEdit(); }
};

class TFloatSpinEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    TFloatSpinEdit(QWidget* parent, double minimum, double maximum, double step, double value,
                   int decimals = 2);
    // The number the box shows, within its bounds; text that is no number
    // gives the minimum, or 0 when the box has no lower bound. Everything
    // that uses the box's number reads it here.
    double Value() const;
    bool Unbounded() const;
    QLineEdit* Editor() const { return lineEdit(); }

    QValidator::State validate(QString& input, int& pos) const override;
    double valueFromText(const QString& text) const override;
    QString textFromValue(double value) const override;
    // Leaves the text alone: Qt's own fixup would drop the locale's group
    // separator, which may be the decimal point the user typed.
    void fixup(QString& input) const override;
};

} // namespace quirindo::ui
