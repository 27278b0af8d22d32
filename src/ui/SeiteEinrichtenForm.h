#pragma once
// The page setup dialog: page width and height in millimetres or inches, the
// A4 and A3 presets upright and across, and the printable area of the
// current printer. The dialog only holds the numbers; the page setup command
// of the main window fills it and reads it back.

#include <QDialog>

#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quirindo::ui {

class TFloatSpinEdit;
class TUserDialogs;

// What a printer driver reports: the printable area in printer dots and the
// horizontal resolution.
struct TPrintableArea {
    int WidthDots = 0;
    int HeightDots = 0;
    int DpiX = 0;
};

// The printable area in whole millimetres, halves to even. Both sides use the
// horizontal resolution, as the driver's x resolution is the one it reports
// for its logical inch. Nothing for a resolution or area that is not positive.
[[nodiscard]] std::optional<std::pair<int, int>> PrintableAreaMm(const TPrintableArea& area);

class TSeiteEinrichtenForm : public QDialog {
    Q_OBJECT
public:
    explicit TSeiteEinrichtenForm(QWidget* parent = nullptr);

    QRadioButton* mmcheck = nullptr;
    QRadioButton* zollcheck = nullptr;
    QLabel* Label1 = nullptr;
    TFloatSpinEdit* breited = nullptr;
    QLabel* Label2 = nullptr;
    TFloatSpinEdit* hoched = nullptr;
    QPushButton* BitBtnXP2 = nullptr; // A4 upright
    QPushButton* BitBtnXP3 = nullptr; // A4 across
    QPushButton* BitBtnXP4 = nullptr; // A3 upright
    QPushButton* BitBtnXP5 = nullptr; // A3 across
    QPushButton* VonDruckerBtn = nullptr;
    QPushButton* BitBtnXP1 = nullptr; // OK
    QFrame* Bevel1 = nullptr;

    // Where "Von Druckertreiber übernehmen" asks for the printable area;
    // nothing means there is no printer to ask.
    std::function<std::optional<TPrintableArea>()> PrinterArea;
    // Where that button reports that there is no printer; without it the
    // button does nothing in that case.
    TUserDialogs* Dialogs = nullptr;

    void BitBtnXP2Click();
    void BitBtnXP3Click();
    void BitBtnXP4Click();
    void BitBtnXP5Click();
    void VonDruckerBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Preset(double widthMm, double heightMm);
};

} // namespace quirindo::ui
