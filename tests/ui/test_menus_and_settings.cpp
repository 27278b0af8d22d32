// The menus, tool menu and settings strip: items, order, radio groups, start
// checks, bounds and the small handlers behind them.

#include "ColorSwatch.h"
#include "DPIForm.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <cstdlib>

namespace quirindo::test {
namespace {

// Captions of a menu in order, separators as "-".
QStringList Captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text().remove(QLatin1Char('&')));
    return out;
}

QStringList Checked(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        if (a->isChecked()) out << a->text().remove(QLatin1Char('&'));
    return out;
}

} // namespace

TEST_F(MainFormTest, MainMenuItemsInOrder) {
    QStringList menus;
    for (const QAction* a : Form->MainMenu->actions())
        menus << a->text().remove(QLatin1Char('&'));
    EXPECT_EQ(menus, (QStringList{"Datei", "Bearbeiten", "Ansicht", "Sprache"}));
    EXPECT_EQ(Captions(Form->Datei1),
              (QStringList{"Neu", "-", "Öffnen...", "Zuletzt geöffnet", "Speichern",
                           "Speichern unter...",
                           "Als Bild exportieren...", "Als DXF Datei exportieren...",
                           "Als PDF exportieren...", "Als SVG exportieren...", "-",
                           "Seite einrichten...", "Druckvorschau...", "Drucken...",
                           "Drucker einrichten...", "-",
                           "Beenden"}));
    EXPECT_EQ(Captions(Form->Ansicht1),
              (QStringList{"Leiste für Zahleneingabe", "Lineal", "Winkelmesser", "Zirkel", "-",
                           "Zoll Angaben für das Lineal", "-", "Einrasten",
                           "Instrumente holen"}));
    EXPECT_EQ(Checked(Form->Ansicht1),
              (QStringList{"Lineal", "Winkelmesser", "Zirkel", "Einrasten"}));
    EXPECT_EQ(Captions(Form->Sprache1),
              (QStringList{"Deutsch", "English", "Italiano", "-", "Übersetzen..."}));
    EXPECT_EQ(Checked(Form->Sprache1), (QStringList{"Deutsch"}));
    EXPECT_EQ(Form->Neu1->shortcut(), QKeySequence(QKeySequence::New));
    EXPECT_EQ(Form->Speichernunter1->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(Form->Beenden1->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    QStringList hints;
    for (const QAction* a : Form->CommandBar->actions())
        hints << a->toolTip();
    EXPECT_EQ(hints,
              (QStringList{"Neu", "Öffnen...", "Speichern", "Speichern unter...",
                           "Seite einrichten", "Drucken...", "Drucker einrichten...", "Beenden"}));
}

TEST_F(MainFormTest, ToolMenuStructureAndStartChecks) {
    QStringList tools;
    QList<QMenu*> menus;
    for (QAction* a : Form->ToolMenu->actions()) {
        auto* button = qobject_cast<QToolButton*>(Form->ToolMenu->widgetForAction(a));
        ASSERT_NE(button, nullptr);
        tools << button->defaultAction()->text();
        menus << button->menu();
    }
    EXPECT_EQ(tools, (QStringList{"Direkt", "Lineal", "Winkelmesser", "Zirkel", "Kurven",
                                  "Bleistift", "Radierer", "Text", "Objekte", "Hand", "Zoom"}));
    ASSERT_EQ(menus.size(), 11);
    EXPECT_EQ(Captions(menus[1]),
              (QStringList{"Verschieben", "Drehen", "An Lineal entlang zeichnen",
                           "Quer zum Lineal zeichnen"}));
    EXPECT_EQ(Captions(menus[2]),
              (QStringList{"Verschieben", "Drehen", "Gradzahl mit Bleistift markieren"}));
    EXPECT_EQ(Captions(menus[3]), (QStringList{"Verschieben", "Zirkelspanne", "Kreisbogen zeichnen",
                                               "Kreis zeichnen"}));
    EXPECT_EQ(Captions(menus[7]),
              (QStringList{"Text hinzufügen", "Ändern...", "Löschen", "Verschieben"}));
    EXPECT_EQ(Captions(menus[8]), (QStringList{"Löschen", "Letzes Objekt löschen", "Verschieben"}));
    for (int i : {0, 4, 5, 6, 9, 10})
        EXPECT_EQ(menus[i], nullptr) << i;

    EXPECT_EQ(Form->ToolGroup->checkedAction(), Form->Lineal1);
    EXPECT_EQ(Checked(menus[1]), (QStringList{"Verschieben"}));
    for (int i : {2, 3, 7, 8})
        EXPECT_TRUE(Checked(menus[i]).isEmpty()) << i;
    EXPECT_FALSE(Form->ZirkelKreiszeichnen1->isCheckable());
    EXPECT_FALSE(Form->ObjekteLetzesObjektlschen1->isCheckable());
}

TEST_F(MainFormTest, ToolChecksFollowTheRadioGroups) {
    const int paints = Form->PaintRequests;
    Form->Bleistift1->trigger();
    EXPECT_TRUE(Form->Bleistift1->isChecked());
    EXPECT_FALSE(Form->Lineal1->isChecked());
    // The submenu keeps its own choice while another tool is active.
    EXPECT_TRUE(Form->LinealVerschieben1->isChecked());

    Form->LinealDrehen1->trigger();
    EXPECT_TRUE(Form->Lineal1->isChecked());
    EXPECT_FALSE(Form->Bleistift1->isChecked());
    EXPECT_TRUE(Form->LinealDrehen1->isChecked());
    EXPECT_FALSE(Form->LinealVerschieben1->isChecked());

    Form->TextTextlschen1->trigger();
    EXPECT_TRUE(Form->Text1->isChecked());
    EXPECT_TRUE(Form->LinealDrehen1->isChecked());
    EXPECT_GE(Form->PaintRequests, paints + 3);

    // Choosing the checked sub-item again keeps it checked.
    Form->TextTextlschen1->trigger();
    EXPECT_TRUE(Form->TextTextlschen1->isChecked());
}

TEST_F(MainFormTest, SettingsStripBoundsAndStartValues) {
    EXPECT_EQ(Form->zoomed->minimum(), 1);
    EXPECT_EQ(Form->zoomed->maximum(), 300);
    EXPECT_EQ(Form->zoomed->singleStep(), 10);
    EXPECT_EQ(Form->zoomed->value(), 100);
    EXPECT_DOUBLE_EQ(Form->StrichEd->minimum(), 0.01);
    EXPECT_DOUBLE_EQ(Form->StrichEd->maximum(), 100);
    EXPECT_DOUBLE_EQ(Form->StrichEd->singleStep(), 0.1);
    EXPECT_EQ(Form->StrichEd->decimals(), 2);
    EXPECT_DOUBLE_EQ(Form->StrichEd->value(), 0.1);
    EXPECT_DOUBLE_EQ(Form->RadierEd->value(), 2.0);
    EXPECT_EQ(Form->PageAnz->minimum(), 1);
    EXPECT_EQ(Form->PageAnz->maximum(), 10);
    EXPECT_EQ(Form->PageAnz->value(), 1);
    EXPECT_EQ(Form->PenColor(), 0);
    EXPECT_EQ(Form->Shape1->geometry(), QRect(176, 20, 25, 25));
    EXPECT_EQ(Form->zoomed->geometry(), QRect(8, 24, 65, 21));
    EXPECT_EQ(Form->PageAnz->geometry(), QRect(392, 24, 65, 21));
    EXPECT_TRUE(Form->NumericPanel->isHidden());
    EXPECT_EQ(Form->LinXEd->decimals(), 2);
    EXPECT_EQ(Form->LinXEd->singleStep(), 1.0);
    EXPECT_LT(Form->LinXEd->minimum(), -1e9);
}

TEST_F(MainFormTest, PageCountMarksChangedZoomDoesNot) {
    Form->zoomed->setValue(120);
    EXPECT_FALSE(Form->Changed);
    Form->PageAnz->setValue(2);
    EXPECT_TRUE(Form->Changed);
    EXPECT_TRUE(Form->windowTitle().endsWith(QStringLiteral("*]")));
}

TEST_F(MainFormTest, SpinBoxesReadTextAsTheUserTypedIt) {
    Form->zoomed->Editor()->setText(QStringLiteral("abc"));
    EXPECT_EQ(Form->zoomed->Value(), 1); // not a number: the minimum
    Form->StrichEd->Editor()->setText(QStringLiteral(""));
    EXPECT_DOUBLE_EQ(Form->StrichEd->Value(), 0.01);
    Form->LinXEd->Editor()->setText(QStringLiteral("x"));
    EXPECT_DOUBLE_EQ(Form->LinXEd->Value(), 0.0); // unbounded fields read 0
}

TEST_F(MainFormTest, NumericPanelMovesInstrumentsButUpdateEdsDoesNot) {
    Form->Instruments.LinX = 12.3456;
    const int paints = Form->PaintRequests;
    Form->UpdateEds();
    EXPECT_EQ(Form->Instruments.LinX, 12.3456); // the field shows 12.35, the value keeps its precision
    EXPECT_EQ(Form->LinXEd->text(), QLocale().toString(12.35, 'f', 2));
    EXPECT_EQ(Form->PaintRequests, paints);

    Form->linwed->Editor()->setText(QStringLiteral("4"));
    EXPECT_EQ(Form->Instruments.LinW, 4.0);
    Form->linwed->Editor()->setText(QStringLiteral("45"));
    EXPECT_EQ(Form->Instruments.LinW, 45.0);
    EXPECT_EQ(Form->PaintRequests, paints + 2);
    EXPECT_FALSE(Form->Changed);

    Form->LeistefrZahleneingabe1->trigger();
    EXPECT_FALSE(Form->NumericPanel->isHidden());
    Form->LeistefrZahleneingabe1->trigger();
    EXPECT_TRUE(Form->NumericPanel->isHidden());
}

TEST_F(MainFormTest, WheelScrollsTwentyPixelsWithinRange) {
    Form->resize(400, 300);
    Form->show();
    Form->PaintBox1->resize(800, 3000);
    QApplication::processEvents();
    QScrollBar* bar = Form->ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    Form->FormMouseWheelUp();
    EXPECT_EQ(bar->value(), 0);
    Form->FormMouseWheelDown();
    Form->FormMouseWheelDown();
    EXPECT_EQ(bar->value(), 40);
    Form->FormMouseWheelUp();
    EXPECT_EQ(bar->value(), 20);
    EXPECT_EQ(Form->ScrollBox1->horizontalScrollBar()->value(), 0);
}

TEST(DPIForm, LayoutAndBounds) {
    ui::TDPIForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("DPI festlegen"));
    // 243 x 156, wider only where the font makes a label longer.
    EXPECT_EQ(form.height(), 156);
    EXPECT_GE(form.width(), 243);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    form.show();
    for (const QLabel* label : form.findChildren<QLabel*>())
        EXPECT_LE(label->x() + label->width(), form.width()) << label->text().toStdString();
    const auto* ok = form.findChild<QPushButton*>(QStringLiteral("OKBtn"));
    ASSERT_NE(ok, nullptr);
    EXPECT_LE(std::abs(2 * ok->x() + ok->width() - form.width()), 1) << "OK stays centred";
    EXPECT_EQ(form.DPIED->minimum(), 10);
    EXPECT_EQ(form.DPIED->maximum(), 4000);
    EXPECT_EQ(form.DPIED->singleStep(), 10);
    EXPECT_EQ(form.DPIED->value(), 150);
    EXPECT_EQ(form.SeiteEd->maximum(), 100000);
    EXPECT_EQ(form.SeiteEd->value(), 1);
}

TEST(FileDialogFilter, SourcePairsBecomeQtFilters) {
    EXPECT_EQ(ui::QtFilterFromPairs(QStringLiteral("Zeichnungen (*.qrd)|*.qrd")),
              QStringLiteral("Zeichnungen (*.qrd)"));
    EXPECT_EQ(ui::QtFilterFromPairs(QStringLiteral("Bilder|*.bmp;*.png|Alle (*.*)|*.*")),
              QStringLiteral("Bilder (*.bmp *.png);;Alle (*.*)"));
}

} // namespace quirindo::test
