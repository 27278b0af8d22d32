#pragma once
// The resolution dialog of the bitmap export: dots per inch and the page.

#include <QDialog>

class QCheckBox;

namespace quirindo::ui {

class TSpinEdit;

class TDPIForm : public QDialog {
    Q_OBJECT
public:
    explicit TDPIForm(QWidget* parent = nullptr);
    TSpinEdit* DPIED = nullptr;
    TSpinEdit* SeiteEd = nullptr;
    // Every page at once, one numbered file each; the page field is unused.
    QCheckBox* AlleSeitenCheck = nullptr;
};

} // namespace quirindo::ui
