#include "SeiteEinrichtenForm.h"

#include "DrawingFile.h"
#include "Geometry.h"
#include "Messages.h"
#include "SpinEdits.h"
#include "UserDialogs.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

namespace quirindo::ui {
namespace {

// The fields take any size a page could sensibly have in either unit; the
// page setup command checks the result in millimetres.
constexpr double kFieldMinimum = 0.01;
constexpr double kFieldMaximum = 100000.0;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

TFloatSpinEdit* MakeField(QWidget* parent, const char* name, int left, int top) {
    auto* field = new TFloatSpinEdit(parent, kFieldMinimum, kFieldMaximum, 0.1, 1.0, 2);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(left, top, 121, 21);
    return field;
}

} // namespace

std::optional<std::pair<int, int>> PrintableAreaMm(const TPrintableArea& area) {
    if (area.DpiX <= 0 || area.WidthDots <= 0 || area.HeightDots <= 0) return std::nullopt;
    const double dpi = area.DpiX;
    return std::pair{RoundHalfEven(area.WidthDots / dpi * kMmPerInch),
                     RoundHalfEven(area.HeightDots / dpi * kMmPerInch)};
}

TSeiteEinrichtenForm::TSeiteEinrichtenForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SeiteEinrichtenForm"));
    setWindowTitle(QStringLiteral("Seite einrichten"));
    setFixedSize(487, 248);

    mmcheck = new QRadioButton(QStringLiteral("mm"), this);
    mmcheck->setObjectName(QStringLiteral("mmcheck"));
    mmcheck->setGeometry(8, 8, 113, 17);
    mmcheck->setChecked(true);
    zollcheck = new QRadioButton(QStringLiteral("Zoll"), this);
    zollcheck->setObjectName(QStringLiteral("zollcheck"));
    zollcheck->setGeometry(128, 8, 113, 17);

    Label1 = new QLabel(QStringLiteral("Breite:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 32);
    breited = MakeField(this, "breited", 56, 32);
    Label2 = new QLabel(QStringLiteral("Höhe:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(8, 56);
    hoched = MakeField(this, "hoched", 56, 56);
    // The labels name their fields for screen readers.
    Label1->setBuddy(breited);
    Label2->setBuddy(hoched);

    BitBtnXP2 = MakeButton(this, "BitBtnXP2", "A4 Hochformat", 8, 88, 121, 25);
    BitBtnXP3 = MakeButton(this, "BitBtnXP3", "A4 Querformat", 136, 88, 121, 25);
    BitBtnXP4 = MakeButton(this, "BitBtnXP4", "A3 Hochformat", 8, 120, 121, 25);
    BitBtnXP5 = MakeButton(this, "BitBtnXP5", "A3 Querformat", 136, 120, 121, 25);
    VonDruckerBtn =
        MakeButton(this, "VonDruckerBtn", "Von Druckertreiber übernehmen", 8, 152, 249, 25);
    VonDruckerBtn->setIcon(QIcon::fromTheme(QStringLiteral("printer"),
                                            style()->standardIcon(QStyle::SP_ComputerIcon)));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::StyledPanel);
    Bevel1->setGeometry(0, 248 - 50, 487, 50);
    Bevel1->lower();

    BitBtnXP1 = MakeButton(this, "BitBtnXP1", "OK", 206, 208, 75, 25);
    BitBtnXP1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtnXP1->setDefault(true);

    connect(BitBtnXP1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnXP2, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP2Click);
    connect(BitBtnXP3, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP3Click);
    connect(BitBtnXP4, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP4Click);
    connect(BitBtnXP5, &QPushButton::clicked, this, &TSeiteEinrichtenForm::BitBtnXP5Click);
    connect(VonDruckerBtn, &QPushButton::clicked, this, &TSeiteEinrichtenForm::VonDruckerBtnClick);
}

void TSeiteEinrichtenForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen())
        move(where->availableGeometry().center() - rect().center());
}

void TSeiteEinrichtenForm::Preset(double widthMm, double heightMm) {
    mmcheck->setChecked(true);
    breited->setValue(widthMm);
    hoched->setValue(heightMm);
}

void TSeiteEinrichtenForm::BitBtnXP2Click() {
    Preset(210, 297);
}
void TSeiteEinrichtenForm::BitBtnXP3Click() {
    Preset(297, 210);
}
void TSeiteEinrichtenForm::BitBtnXP4Click() {
    Preset(297, 420);
}
void TSeiteEinrichtenForm::BitBtnXP5Click() {
    Preset(420, 297);
}

void TSeiteEinrichtenForm::VonDruckerBtnClick() {
    const std::optional<TPrintableArea> area = PrinterArea ? PrinterArea() : std::nullopt;
    const auto mm = area ? PrintableAreaMm(*area) : std::nullopt;
    if (!mm) {
        // Without a printer there is nothing to take over; the fields stay.
        if (Dialogs)
            Dialogs->ShowError(windowTitle(),
                               QString::fromStdString(TranslateUtf8(
                                   "Es ist kein Drucker eingerichtet, dessen Seitengröße "
                                   "übernommen werden könnte.")));
        return;
    }
    Preset(mm->first, mm->second);
}

} // namespace quirindo::ui
