// The numeric entry panel: nine fields mirroring the instrument values in
// both directions, with a guard so the two directions never feed each other.

#include "MainForm.h"
#include "SpinEdits.h"

#include <QLabel>

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
        label->move(4, 8 + 40 * k);
        auto* unit = new QLabel(QString::fromUtf8(f.Unit), NumericPanel);
        unit->move(96, 24 + 40 * k);
        auto* edit = new TFloatSpinEdit(NumericPanel, -kNoBound, kNoBound, 1.0, 0.0);
        edit->setObjectName(QString::fromLatin1(f.Name));
        edit->setGeometry(4, 24 + 40 * k, 89, 21);
        *f.Edit = edit;
        double* value = f.Value;
        const bool rewritesAll = f.RewritesAll;
        // Every keystroke moves the instrument at once.
        connect(edit, &QDoubleSpinBox::textChanged, this, [this, edit, value, rewritesAll] {
            if (UpdatingEds) return;
            *value = edit->Value();
            PaintBox1Paint();
            if (rewritesAll) UpdateEds();
        });
        ++k;
    }
    NumericPanel->setMinimumHeight(24 + 40 * k);
}

void TMainForm::UpdateEds() {
    UpdatingEds = true;
    LinXEd->setValue(Instruments.LinX);
    Linyed->setValue(Instruments.LinY);
    linwed->setValue(Instruments.LinW);
    WinkXed->setValue(Instruments.WinkX);
    WinkYEd->setValue(Instruments.WinkY);
    WinkWEd->setValue(Instruments.WinkW);
    ZirkXed->setValue(Instruments.ZirkX);
    ZirkYed->setValue(Instruments.ZirkY);
    ZirksEd->setValue(Instruments.ZirkS);
    UpdatingEds = false;
}

} // namespace quirindo::ui
