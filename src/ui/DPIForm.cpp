#include "DPIForm.h"

#include "Localisation.h"
#include "SpinEdits.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace quirindo::ui {

TDPIForm::TDPIForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DPIForm"));
    setWindowTitle(QStringLiteral("DPI festlegen"));
    setFixedSize(243, 156);

    auto* first = new QLabel(QStringLiteral("Exportieren mit soviel DPI (Qualität/Größe):"), this);
    first->move(8, 8);
    DPIED = new TSpinEdit(this, 10, 4000, 10, 150);
    DPIED->setObjectName(QStringLiteral("DPIED"));
    DPIED->setGeometry(8, 32, 121, 21);
    auto* second = new QLabel(QStringLiteral("Welche Seite exportieren?"), this);
    second->move(8, 56);
    SeiteEd = new TSpinEdit(this, 1, 100000, 1, 1);
    SeiteEd->setObjectName(QStringLiteral("SeiteEd"));
    SeiteEd->setGeometry(8, 80, 121, 21);
    AlleSeitenCheck = new QCheckBox(QStringLiteral("Alle Seiten"), this);
    AlleSeitenCheck->setObjectName(QStringLiteral("AlleSeitenCheck"));
    AlleSeitenCheck->setGeometry(136, 80, 100, 21);
    AlleSeitenCheck->setToolTip(QStringLiteral("Jede Seite in eine eigene, nummerierte Datei"));
    connect(AlleSeitenCheck, &QCheckBox::toggled, SeiteEd, &QWidget::setDisabled);
    // The labels name their fields for screen readers.
    first->setBuddy(DPIED);
    second->setBuddy(SeiteEd);

    auto* strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setGeometry(0, 156 - 46, 243, 46);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setGeometry(84, 120, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // The labels are wider in most fonts than the dialog was drawn for.
    FitFixedWindowToLabels(this);
}

} // namespace quirindo::ui
