#pragma once
// Spin boxes that behave like the program's number fields: a text that is not
// a number reads as the box's minimum (or as 0 for unbounded fields), and a
// number beyond the bounds is pulled back when the box loses the focus.

#include <QDoubleSpinBox>
#include <QSpinBox>

namespace quirindo::ui {

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
    // The number the box shows; text that is no number gives the minimum,
    // or 0 when the box has no lower bound.
    double Value() const;
    bool Unbounded() const;
    QLineEdit* Editor() const { return lineEdit(); }
};

} // namespace quirindo::ui
