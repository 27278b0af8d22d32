// Menus, command buttons, settings strip and tool menu of the main window,
// and the small handlers behind them.

#include "ColorSwatch.h"
#include "MainForm.h"
#include "SpinEdits.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <initializer_list>

namespace quirindo::ui {
namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption, bool checkable = false,
                 bool checked = false) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    action->setChecked(checked);
    return action;
}

QLabel* AddLabel(QWidget* parent, const char* caption, int left, int top) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// The desktop theme's picture for a command where the theme has one of
// `themeNames`, else the picture shipped with the program.
QIcon CommandIcon(std::initializer_list<const char*> themeNames, const char* shipped) {
    for (const char* name : themeNames) {
        const QString themeName = QString::fromLatin1(name);
        if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    }
    return QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(shipped) +
                 QStringLiteral(".png"));
}

} // namespace

void TMainForm::BuildMainMenu() {
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu->setNativeMenuBar(false);

    Datei1 = MainMenu->addMenu(QStringLiteral("Datei"));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    Neu1 = AddItem(Datei1, "Neu1", "Neu");
    Datei1->addSeparator();
    ffnen1 = AddItem(Datei1, "ffnen1", "Öffnen...");
    ZuletztGeoeffnet1 = new QMenu(QStringLiteral("Zuletzt geöffnet"), Datei1);
    ZuletztGeoeffnet1->setObjectName(QStringLiteral("ZuletztGeoeffnet1"));
    Datei1->addMenu(ZuletztGeoeffnet1);
    connect(ZuletztGeoeffnet1, &QMenu::aboutToShow, this, &TMainForm::FillRecentMenu);
    Speichern1 = AddItem(Datei1, "Speichern1", "Speichern");
    Speichernunter1 = AddItem(Datei1, "Speichernunter1", "Speichern unter...");
    AlsBildexportieren1 = AddItem(Datei1, "AlsBildexportieren1", "Als Bild exportieren...");
    AlsDXFDateiexportieren1 =
        AddItem(Datei1, "AlsDXFDateiexportieren1", "Als DXF Datei exportieren...");
    AlsPDFexportieren1 = AddItem(Datei1, "AlsPDFexportieren1", "Als PDF exportieren...");
    AlsSVGexportieren1 = AddItem(Datei1, "AlsSVGexportieren1", "Als SVG exportieren...");
    Datei1->addSeparator();
    Seiteeinrichten1 = AddItem(Datei1, "Seiteeinrichten1", "Seite einrichten...");
    Druckvorschau1 = AddItem(Datei1, "Druckvorschau1", "Druckvorschau...");
    Drucken1 = AddItem(Datei1, "Drucken1", "Drucken...");
    Druckereinrichten1 = AddItem(Datei1, "Druckereinrichten1", "Drucker einrichten...");
    Datei1->addSeparator();
    Beenden1 = AddItem(Datei1, "Beenden1", "Beenden");

    Neu1->setShortcut(QKeySequence::New);
    ffnen1->setShortcut(QKeySequence::Open);
    Speichern1->setShortcut(QKeySequence::Save);
    Speichernunter1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Beenden1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Drucken1->setShortcut(QKeySequence::Print);
    connect(Neu1, &QAction::triggered, this, &TMainForm::Neu1Click);
    connect(ffnen1, &QAction::triggered, this, &TMainForm::ffnen1Click);
    connect(Speichern1, &QAction::triggered, this, &TMainForm::Speichern1Click);
    connect(Speichernunter1, &QAction::triggered, this, &TMainForm::Speichernunter1Click);
    connect(Beenden1, &QAction::triggered, this, &TMainForm::Beenden1Click);
    connect(AlsBildexportieren1, &QAction::triggered, this, &TMainForm::AlsBildexportieren1Click);
    connect(AlsDXFDateiexportieren1, &QAction::triggered, this, &TMainForm::DXFExportActionClick);
    connect(Seiteeinrichten1, &QAction::triggered, this, &TMainForm::DateiSeiteeinrichten1Click);
    connect(Drucken1, &QAction::triggered, this, &TMainForm::Drucken1Click);
    connect(AlsPDFexportieren1, &QAction::triggered, this, &TMainForm::AlsPDFexportieren1Click);
    connect(AlsSVGexportieren1, &QAction::triggered, this, &TMainForm::AlsSVGexportieren1Click);
    connect(Druckvorschau1, &QAction::triggered, this, &TMainForm::Druckvorschau1Click);
    connect(Druckereinrichten1, &QAction::triggered, this, &TMainForm::Druckereinrichten1Click);

    BuildEditMenu();

    Ansicht1 = MainMenu->addMenu(QStringLiteral("Ansicht"));
    Ansicht1->setObjectName(QStringLiteral("Ansicht1"));
    LeistefrZahleneingabe1 =
        AddItem(Ansicht1, "LeistefrZahleneingabe1", "Leiste für Zahleneingabe", true, false);
    Lineal2 = AddItem(Ansicht1, "Lineal2", "Lineal", true, true);
    Winkelmesser2 = AddItem(Ansicht1, "Winkelmesser2", "Winkelmesser", true, true);
    Zirkel2 = AddItem(Ansicht1, "Zirkel2", "Zirkel", true, true);
    Ansicht1->addSeparator();
    AnsichtZollAngabenfrdasLineal1 = AddItem(Ansicht1, "AnsichtZollAngabenfrdasLineal1",
                                             "Zoll Angaben für das Lineal", true, false);
    // Qt inverts the check of a checkable item itself; the handlers act on it.
    connect(LeistefrZahleneingabe1, &QAction::triggered, this,
            &TMainForm::LeistefrZahleneingabe1Click);
    connect(Lineal2, &QAction::triggered, this, &TMainForm::Lineal2Click);
    connect(Winkelmesser2, &QAction::triggered, this, &TMainForm::Winkelmesser2Click);
    connect(Zirkel2, &QAction::triggered, this, &TMainForm::Zirkel2Click);
    connect(AnsichtZollAngabenfrdasLineal1, &QAction::triggered, this,
            &TMainForm::AnsichtZollAngabenfrdasLineal1Click);
    BuildExactItems();

    Sprache1 = MainMenu->addMenu(QStringLiteral("Sprache"));
    Sprache1->setObjectName(QStringLiteral("Sprache1"));
    auto* languages = new QActionGroup(this);
    Deutsch1 = AddItem(Sprache1, "Deutsch1", "Deutsch", true, true);
    English1 = AddItem(Sprache1, "English1", "English", true, false);
    Italiano1 = AddItem(Sprache1, "Italiano1", "Italiano", true, false);
    for (QAction* a : {Deutsch1, English1, Italiano1})
        languages->addAction(a);
    Sprache1->addSeparator();
    bersetzen1 = AddItem(Sprache1, "bersetzen1", "Übersetzen...");
    connect(Deutsch1, &QAction::triggered, this, &TMainForm::SpracheDeutsch1Click);
    connect(English1, &QAction::triggered, this, &TMainForm::SpracheEnglish1Click);
    connect(Italiano1, &QAction::triggered, this, &TMainForm::SpracheItaliano1Click);
    connect(bersetzen1, &QAction::triggered, this, &TMainForm::Sprachebersetzen1Click);
}

void TMainForm::BuildCommandBar() {
    CommandBar = new QToolBar(this);
    CommandBar->setObjectName(QStringLiteral("CommandBar1"));
    CommandBar->setIconSize(QSize(18, 18));
    CommandBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct TButton {
        const char* Name;
        const char* Hint;
        const char* Theme;
        QStyle::StandardPixmap Fallback; // the style's picture fits these
        const char* Shipped;             // ... and these have their own
        QAction* MenuItem;
    };
    constexpr auto none = QStyle::SP_CustomBase;
    const TButton buttons[] = {
        {"NeuBtn", "Neu", "document-new", QStyle::SP_FileIcon, nullptr, Neu1},
        {"OeffnenBtn", "Öffnen...", "document-open", QStyle::SP_DialogOpenButton, nullptr, ffnen1},
        {"SpeichernBtn", "Speichern", "document-save", QStyle::SP_DialogSaveButton, nullptr,
         Speichern1},
        {"SpeichernUnterBtn", "Speichern unter...", "document-save-as",
         QStyle::SP_DialogSaveButton, nullptr, Speichernunter1},
        {"SeiteEinrichtenBtn", "Seite einrichten", "document-page-setup", none, "page-setup",
         Seiteeinrichten1},
        {"DruckenBtn", "Drucken...", "document-print", none, "print", Drucken1},
        {"DruckerEinrichtenBtn", "Drucker einrichten...", "printer", none, "printer-setup",
         Druckereinrichten1},
        {"BeendenBtn", "Beenden", "application-exit", QStyle::SP_DialogCloseButton, nullptr,
         Beenden1},
    };
    for (const TButton& b : buttons) {
        const QIcon icon =
            b.Shipped ? CommandIcon({b.Theme}, b.Shipped)
                      : QIcon::fromTheme(QString::fromLatin1(b.Theme),
                                         style()->standardIcon(b.Fallback));
        // The menu item shows the same picture; the button's text is its
        // name for screen readers, while the bar shows the picture only.
        b.MenuItem->setIcon(icon);
        QAction* button = CommandBar->addAction(icon, QString::fromUtf8(b.Hint));
        button->setObjectName(QString::fromLatin1(b.Name));
        button->setToolTip(QString::fromUtf8(b.Hint));
        button->setEnabled(b.MenuItem->isEnabled());
        QAction* item = b.MenuItem;
        connect(button, &QAction::triggered, item, &QAction::trigger);
    }
}

void TMainForm::BuildSettingsStrip() {
    SettingsStrip = new QWidget(this);
    SettingsStrip->setObjectName(QStringLiteral("SettingsPanel"));
    SettingsStrip->setFixedSize(702, 48);

    QLabel* zoomLabel = AddLabel(SettingsStrip, "Zoom:", 8, 4);
    QLabel* widthLabel = AddLabel(SettingsStrip, "Strichstärke:", 80, 4);
    QLabel* colorLabel = AddLabel(SettingsStrip, "Stiftfarbe:", 176, 4);
    QLabel* eraserLabel = AddLabel(SettingsStrip, "Radiergummi:", 296, 4);
    QLabel* pagesLabel = AddLabel(SettingsStrip, "Seitenanzahl:", 392, 4);
    AddLabel(SettingsStrip, "mm", 152, 24);
    AddLabel(SettingsStrip, "mm", 368, 24);

    zoomed = new TSpinEdit(SettingsStrip, 1, 300, 10, 100);
    zoomed->setObjectName(QStringLiteral("zoomed"));
    zoomed->setGeometry(8, 24, 65, 21);
    // A typed zoom applies on Enter or when the box loses the focus, so that
    // typing "100" never shows the pages at 1 and 10 per cent on the way;
    // the arrows apply at once.
    zoomed->setKeyboardTracking(false);
    StrichEd = new TFloatSpinEdit(SettingsStrip, 0.01, 100, 0.1, 0.1);
    StrichEd->setObjectName(QStringLiteral("StrichEd"));
    StrichEd->setGeometry(80, 24, 65, 21);
    Shape1 = new TColorSwatch(SettingsStrip);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(176, 20, 25, 25);
    FarbeBtn = new QPushButton(QStringLiteral("Farbe..."), SettingsStrip);
    FarbeBtn->setObjectName(QStringLiteral("FarbeBtn"));
    FarbeBtn->setIcon(style()->standardIcon(QStyle::SP_DesktopIcon));
    FarbeBtn->setGeometry(208, 20, 75, 25);
    RadierEd = new TFloatSpinEdit(SettingsStrip, 0.01, 100, 0.1, 2.0);
    RadierEd->setObjectName(QStringLiteral("RadierEd"));
    RadierEd->setGeometry(296, 24, 65, 21);
    PageAnz = new TSpinEdit(SettingsStrip, 1, 10, 1, 1);
    PageAnz->setObjectName(QStringLiteral("PageAnz"));
    PageAnz->setGeometry(392, 24, 65, 21);
    // Like the zoom: a typed count applies on Enter or when the box loses the
    // focus, so typing "10" is one change of the drawing, not 1 and then 10.
    PageAnz->setKeyboardTracking(false);

    // Each label names its field for screen readers and Alt+letter users.
    zoomLabel->setBuddy(zoomed);
    widthLabel->setBuddy(StrichEd);
    colorLabel->setBuddy(Shape1);
    eraserLabel->setBuddy(RadierEd);
    pagesLabel->setBuddy(PageAnz);

    connect(zoomed, &QSpinBox::valueChanged, this, &TMainForm::zoomedChange);
    connect(PageAnz, &QSpinBox::valueChanged, this, &TMainForm::PageAnzChange);
    connect(FarbeBtn, &QPushButton::clicked, this, &TMainForm::FarbeBtnClick);
    connect(Shape1, &TColorSwatch::Pressed, this, &TMainForm::Shape1MouseDown);
}

void TMainForm::BuildToolMenu() {
    ToolMenu = new QToolBar(this);
    ToolMenu->setObjectName(QStringLiteral("ToolMenu1"));
    ToolMenu->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolGroup = new QActionGroup(this);
    ToolGroup->setExclusive(true);

    auto topLevel = [this](const char* name, const char* caption, QMenu* menu,
                           QIcon icon = QIcon()) {
        auto* action = new QAction(QString::fromUtf8(caption), this);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        if (!icon.isNull()) action->setIcon(icon);
        ToolGroup->addAction(action);
        auto* button = new QToolButton(ToolMenu);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        if (menu) {
            button->setMenu(menu);
            button->setPopupMode(QToolButton::InstantPopup);
        }
        ToolMenu->addWidget(button);
        return action;
    };
    auto subMenu = [this](const char* name) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto radio = [this](QMenu* menu, QActionGroup* group, const char* name, const char* caption,
                        void (TMainForm::*handler)()) {
        QAction* item = AddItem(menu, name, caption, true, false);
        group->addAction(item);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };

    // Every shown instrument handled at once, as on paper: no menu switch
    // between moving, turning and drawing.
    Direkt1 = topLevel("Direkt1", "Direkt", nullptr);
    Direkt1->setShortcut(QKeySequence(Qt::Key_D));
    Direkt1->setShortcutContext(Qt::WindowShortcut);
    connect(Direkt1, &QAction::triggered, this, &TMainForm::Direkt1Click);

    QMenu* lineal = subMenu("LinealMenu");
    auto* linealGroup = new QActionGroup(this);
    Lineal1 = topLevel("Lineal1", "Lineal", lineal);
    LinealVerschieben1 = radio(lineal, linealGroup, "LinealVerschieben1", "Verschieben",
                               &TMainForm::LinealVerschieben1Click);
    LinealDrehen1 =
        radio(lineal, linealGroup, "LinealDrehen1", "Drehen", &TMainForm::LinealDrehen1Click);
    LinealAnLinealentlangzeichnen1 =
        radio(lineal, linealGroup, "LinealAnLinealentlangzeichnen1", "An Lineal entlang zeichnen",
              &TMainForm::LinealAnLinealentlangzeichnen1Click);
    LinealQuerzumLinealzeichnen1 =
        radio(lineal, linealGroup, "LinealQuerzumLinealzeichnen1", "Quer zum Lineal zeichnen",
              &TMainForm::LinealQuerzumLinealzeichnen1Click);

    QMenu* winkel = subMenu("WinkelmesserMenu");
    auto* winkelGroup = new QActionGroup(this);
    Winkelmesser1 = topLevel("Winkelmesser1", "Winkelmesser", winkel);
    WinkelmesserVerschieben1 = radio(winkel, winkelGroup, "WinkelmesserVerschieben1", "Verschieben",
                                     &TMainForm::WinkelmesserVerschieben1Click);
    WinkelmesserDrehen1 = radio(winkel, winkelGroup, "WinkelmesserDrehen1", "Drehen",
                                &TMainForm::WinkelmesserDrehen1Click);
    WinkelmesserGradzahlmitBleistiftmarkieren1 =
        radio(winkel, winkelGroup, "WinkelmesserGradzahlmitBleistiftmarkieren1",
              "Gradzahl mit Bleistift markieren",
              &TMainForm::WinkelmesserGradzahlmitBleistiftmarkieren1Click);

    QMenu* zirkel = subMenu("ZirkelMenu");
    auto* zirkelGroup = new QActionGroup(this);
    Zirkel1 = topLevel("Zirkel1", "Zirkel", zirkel);
    ZirkelVerschieben1 = radio(zirkel, zirkelGroup, "ZirkelVerschieben1", "Verschieben",
                               &TMainForm::ZirkelVerschieben1Click);
    ZirkelZirkelspanne1 = radio(zirkel, zirkelGroup, "ZirkelZirkelspanne1", "Zirkelspanne",
                                &TMainForm::ZirkelZirkelspanne1Click);
    ZirkelKreisbogenzeichnen1 =
        radio(zirkel, zirkelGroup, "ZirkelKreisbogenzeichnen1", "Kreisbogen zeichnen",
              &TMainForm::ZirkelKreisbogenzeichnen1Click);
    ZirkelKreiszeichnen1 = AddItem(zirkel, "ZirkelKreiszeichnen1", "Kreis zeichnen");

    Kurven1 = topLevel("Kurven1", "Kurven", nullptr,
                       CommandIcon({"draw-bezier-curves", "draw-curve"}, "curve"));
    Bleistift1 = topLevel("Bleistift1", "Bleistift", nullptr);
    Radierer1 = topLevel("Radierer1", "Radierer", nullptr);
    connect(Kurven1, &QAction::triggered, this, &TMainForm::Kurven1Click);
    connect(Bleistift1, &QAction::triggered, this, &TMainForm::Bleistift1Click);
    connect(Radierer1, &QAction::triggered, this, &TMainForm::Radierer1Click);

    QMenu* text = subMenu("TextMenu");
    auto* textGroup = new QActionGroup(this);
    Text1 = topLevel("Text1", "Text", text);
    TextTexthinzufgen1 = radio(text, textGroup, "TextTexthinzufgen1", "Text hinzufügen",
                               &TMainForm::TextTexthinzufgen1Click);
    TextTextndern1 =
        radio(text, textGroup, "TextTextndern1", "Ändern...", &TMainForm::TextTextndern1Click);
    TextTextlschen1 =
        radio(text, textGroup, "TextTextlschen1", "Löschen", &TMainForm::TextTextlschen1Click);
    TextVerschieben1 = radio(text, textGroup, "TextVerschieben1", "Verschieben",
                             &TMainForm::TextVerschieben1Click);

    QMenu* objekte = subMenu("ObjekteMenu");
    auto* objekteGroup = new QActionGroup(this);
    Objekte1 = topLevel("Objekte1", "Objekte", objekte);
    ObjekteLschen1 =
        radio(objekte, objekteGroup, "ObjekteLschen1", "Löschen", &TMainForm::ObjekteLschen1Click);
    ObjekteLetzesObjektlschen1 =
        AddItem(objekte, "ObjekteLetzesObjektlschen1", "Letzes Objekt löschen");
    ObjekteVerschieben1 = radio(objekte, objekteGroup, "ObjekteVerschieben1", "Verschieben",
                                &TMainForm::ObjekteVerschieben1Click);

    Hand1 = topLevel("Hand1", "Hand", nullptr, CommandIcon({"transform-browse", "hand"}, "hand"));
    Zoom1 = topLevel("Zoom1", "Zoom", nullptr, CommandIcon({"zoom-select", "zoom-in"}, "zoom"));
    connect(Hand1, &QAction::triggered, this, &TMainForm::Hand1Click);
    connect(Zoom1, &QAction::triggered, this, &TMainForm::Zoom1Click);

    connect(ZirkelKreiszeichnen1, &QAction::triggered, this, &TMainForm::ZirkelKreiszeichnen1Click);
    connect(ObjekteLetzesObjektlschen1, &QAction::triggered, this,
            &TMainForm::ObjekteLetzesObjektlschen1Click);
    BuildEditShortcuts();
    BuildToolShortcuts();

    Lineal1->setChecked(true);
    LinealVerschieben1->setChecked(true);
}

void TMainForm::MakeControlsAccessible() {
    // Tool bars keep their buttons out of the tab order; these are the only
    // way to some commands, so the keyboard reaches them too, and Space
    // opens a tool's menu as a click does.
    for (QToolBar* bar : {CommandBar, ToolMenu})
        for (QToolButton* button : bar->findChildren<QToolButton*>())
            if (button->defaultAction() && !button->defaultAction()->isSeparator())
                button->setFocusPolicy(Qt::TabFocus);
}

void TMainForm::CheckSubTool(QAction* parent, QAction* item) {
    parent->setChecked(true);
    item->setChecked(true);
    UpdateToolCursor();
    PaintBox1Paint();
}

void TMainForm::CheckTool(QAction* item) {
    item->setChecked(true);
    UpdateToolCursor();
    PaintBox1Paint();
}

void TMainForm::LinealVerschieben1Click() {
    CheckSubTool(Lineal1, LinealVerschieben1);
}
void TMainForm::LinealDrehen1Click() {
    CheckSubTool(Lineal1, LinealDrehen1);
}
void TMainForm::LinealAnLinealentlangzeichnen1Click() {
    CheckSubTool(Lineal1, LinealAnLinealentlangzeichnen1);
}
void TMainForm::LinealQuerzumLinealzeichnen1Click() {
    CheckSubTool(Lineal1, LinealQuerzumLinealzeichnen1);
}
void TMainForm::WinkelmesserVerschieben1Click() {
    CheckSubTool(Winkelmesser1, WinkelmesserVerschieben1);
}
void TMainForm::WinkelmesserDrehen1Click() {
    CheckSubTool(Winkelmesser1, WinkelmesserDrehen1);
}
void TMainForm::WinkelmesserGradzahlmitBleistiftmarkieren1Click() {
    CheckSubTool(Winkelmesser1, WinkelmesserGradzahlmitBleistiftmarkieren1);
}
void TMainForm::ZirkelVerschieben1Click() {
    CheckSubTool(Zirkel1, ZirkelVerschieben1);
}
void TMainForm::ZirkelZirkelspanne1Click() {
    CheckSubTool(Zirkel1, ZirkelZirkelspanne1);
}
void TMainForm::ZirkelKreisbogenzeichnen1Click() {
    CheckSubTool(Zirkel1, ZirkelKreisbogenzeichnen1);
}
void TMainForm::TextTexthinzufgen1Click() {
    CheckSubTool(Text1, TextTexthinzufgen1);
}
void TMainForm::TextTextndern1Click() {
    CheckSubTool(Text1, TextTextndern1);
}
void TMainForm::TextTextlschen1Click() {
    CheckSubTool(Text1, TextTextlschen1);
}
void TMainForm::TextVerschieben1Click() {
    CheckSubTool(Text1, TextVerschieben1);
}
void TMainForm::ObjekteLschen1Click() {
    CheckSubTool(Objekte1, ObjekteLschen1);
}
void TMainForm::ObjekteVerschieben1Click() {
    CheckSubTool(Objekte1, ObjekteVerschieben1);
}
void TMainForm::Kurven1Click() {
    CheckTool(Kurven1);
}
void TMainForm::Bleistift1Click() {
    CheckTool(Bleistift1);
}
void TMainForm::Radierer1Click() {
    CheckTool(Radierer1);
}
void TMainForm::Hand1Click() {
    CheckTool(Hand1);
}
void TMainForm::Zoom1Click() {
    CheckTool(Zoom1);
}

void TMainForm::Lineal2Click() {
    PaintBox1Paint();
}
void TMainForm::Winkelmesser2Click() {
    PaintBox1Paint();
}
void TMainForm::Zirkel2Click() {
    PaintBox1Paint();
}
void TMainForm::AnsichtZollAngabenfrdasLineal1Click() {
    // The drawing file does not keep the unit; the user's choice holds for
    // the next run too.
    Remembered->SetInchLabels(AnsichtZollAngabenfrdasLineal1->isChecked());
    Remembered->Sync();
    PaintBox1Paint();
}

void TMainForm::LeistefrZahleneingabe1Click() {
    NumericPanel->setVisible(LeistefrZahleneingabe1->isChecked());
}

void TMainForm::PageAnzChange() {
    if (FShowingPageSetup || !DrawingEditor) {
        PaintBox1Paint();
        return;
    }
    // The window's page size and the box's new count.
    EditPageSetup(CurrentPageSetup(), "Seitenanzahl ändern");
}

void TMainForm::RunColorDialog() {
    if (const auto chosen = FDialogs->AskColor(Shape1->FillColor())) Shape1->SetFillColor(*chosen);
}

void TMainForm::FarbeBtnClick() {
    RunColorDialog();
}
void TMainForm::Shape1MouseDown() {
    RunColorDialog();
}

std::int32_t TMainForm::PenColor() const {
    return Shape1->FillColor();
}

} // namespace quirindo::ui
