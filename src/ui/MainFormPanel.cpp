// The numeric entry panel: nine fields mirroring the instrument values in
// both directions, with a guard so the two directions never feed each other.

#include "MainForm.h"
#include "SpinEdits.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

namespace quirindo::ui {
namespace {
constexpr double kNoBound = 1e12;
}

void TMainForm::BuildNumericPanel() {
    struct TField {
        const char* Label;
        const char* Name;
        const char* Unit;
        TFloatSpinEdit** Edit;
        double* Value;
        bool RewritesAll;
    };
    const TField fields[] = {
        {"Lineal x:", "LinXEd", "mm", &LinXEd, &Instruments.LinX, false},
        {"Lineal y:", "Linyed", "mm", &Linyed, &Instruments.LinY, false},
        {"Lineal Rotation:", "linwed", "°", &linwed, &Instruments.LinW, false},
        {"Winkelmesser x:", "WinkXed", "mm", &WinkXed, &Instruments.WinkX, false},
        {"Winkelmesser y:", "WinkYEd", "mm", &WinkYEd, &Instruments.WinkY, false},
        {"Winkelmesser Rotation:", "WinkWEd", "°", &WinkWEd, &Instruments.WinkW, true},
        {"Zirkel x:", "ZirkXed", "mm", &ZirkXed, &Instruments.ZirkX, false},
        {"Zirkel y:", "ZirkYed", "mm", &ZirkYed, &Instruments.ZirkY, false},
        {"Zirkelspanne:", "ZirksEd", "mm", &ZirksEd, &Instruments.ZirkS, false},
    };
    int k = 0;
    for (const TField& f : fields) {
        auto* label = new QLabel(QString::fromUtf8(f.Label), NumericPanel);
        auto* unit = new QLabel(QString::fromUtf8(f.Unit), NumericPanel);
        auto* edit = new TFloatSpinEdit(NumericPanel, -kNoBound, kNoBound, 1.0, 0.0);
        edit->setObjectName(QString::fromLatin1(f.Name));
        PanelRows.push_back({label, edit, unit});
        *f.Edit = edit;
        label->setBuddy(edit); // the field's name for screen readers
        double* value = f.Value;
        const bool rewritesAll = f.RewritesAll;
        // Every keystroke moves the instrument at once, also one that empties
        // the field: the line edit reports each change of the text, while
        // the spin box stays silent until the text is a number again.
        connect(edit->Editor(), &QLineEdit::textChanged, this, [this, edit, value, rewritesAll] {
            if (UpdatingEds) return;
            *value = edit->Value();
            PaintBox1Paint();
            if (rewritesAll) UpdateEds();
        });
        ++k;
    }
    FitNumericPanel();
}

void TMainForm::FitNumericPanel() {
    // The classic places (label at 4, 8 + 40k, an 89 x 21 field 16 pixels
    // below it, the unit at 96) and width 121 are the smallest the panel
    // takes; a font or a translation that needs more gets more.
    constexpr int kLeft = 4, kGap = 3, kFieldWidth = 89, kFieldHeight = 21, kRight = 4;
    int labelHeight = 16;
    for (const TPanelRow& row : PanelRows)
        labelHeight = std::max(labelHeight, row.Label->sizeHint().height());
    const int pitch = std::max(40, labelHeight + kFieldHeight + kGap);
    int width = 121;
    int top = 8;
    for (const TPanelRow& row : PanelRows) {
        row.Label->setGeometry(kLeft, top, row.Label->sizeHint().width(), labelHeight);
        row.Field->setGeometry(kLeft, top + labelHeight, kFieldWidth, kFieldHeight);
        const QSize unit = row.Unit->sizeHint();
        const int unitLeft = kLeft + kFieldWidth + kGap;
        row.Unit->setGeometry(unitLeft, top + labelHeight + (kFieldHeight - unit.height()) / 2,
                              unit.width(), unit.height());
        width = std::max({width, kLeft + row.Label->width() + kRight, unitLeft + unit.width() + kRight});
        top += pitch;
    }
    NumericPanel->setFixedWidth(width);
    NumericPanel->setMinimumHeight(top - pitch + labelHeight + kFieldHeight + 8);
}

namespace {

// Writes `value` into the field unless the field already shows it: a text
// being typed ("12." on the way to "12.5", or an emptied field standing for
// 0) stays as the user left it, caret and all.
void ShowInField(TFloatSpinEdit* edit, double value) {
    const double shownPrecision = 0.5 * std::pow(10.0, -edit->decimals());
    if (std::abs(edit->Value() - value) <= shownPrecision * (1.0 + 1e-9)) return;
    edit->setValue(value);
}

} // namespace

void TMainForm::UpdateEds() {
    UpdatingEds = true;
    ShowInField(LinXEd, Instruments.LinX);
    ShowInField(Linyed, Instruments.LinY);
    ShowInField(linwed, Instruments.LinW);
    ShowInField(WinkXed, Instruments.WinkX);
    ShowInField(WinkYEd, Instruments.WinkY);
    ShowInField(WinkWEd, Instruments.WinkW);
    ShowInField(ZirkXed, Instruments.ZirkX);
    ShowInField(ZirkYed, Instruments.ZirkY);
    ShowInField(ZirksEd, Instruments.ZirkS);
    UpdatingEds = false;
}

} // namespace quirindo::ui
