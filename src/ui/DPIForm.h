#pragma once
// The resolution dialog of the bitmap export: dots per inch and the page.

#include <QDialog>

namespace quirindo::ui {

class TSpinEdit;

class TDPIForm : public QDialog {
    Q_OBJECT
public:
    explicit TDPIForm(QWidget* parent = nullptr);
    TSpinEdit* DPIED = nullptr;
    TSpinEdit* SeiteEd = nullptr;
};

} // namespace quirindo::ui
