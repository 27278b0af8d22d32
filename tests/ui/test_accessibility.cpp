// Screen readers and automation see the window through Qt's accessibility
// interface: every control a user can operate there must carry a name, and
// the tool buttons and their menus must work without a mouse.

#include "LocalisationFixture.h"
#include "MainFormFixture.h"

#include "DPIForm.h"
#include "SpinEdits.h"
#include "FontChooser.h"
#include "SeiteEinrichtenForm.h"
#include "TranslateForm.h"
#include "Translation.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace quirindo::test {
namespace {

bool IsInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::MenuItem:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

// Describes every visible, interactive element below `iface` without a name.
// `seen` counts the interactive elements the walk reached.
void CollectNameless(QAccessibleInterface* iface, QStringList& nameless, int& seen,
                     int depth = 0) {
    if (!iface || !iface->isValid() || depth > 40) return;
    const QAccessible::State state = iface->state();
    if (state.invisible) return;
    if (IsInteractive(iface->role())) ++seen;
    if (IsInteractive(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject* object = iface->object();
        nameless << QStringLiteral("%1 (role %2, in %3)")
                        .arg(object ? object->objectName() : QStringLiteral("?"))
                        .arg(static_cast<int>(iface->role()))
                        .arg(object && object->parent() ? object->parent()->objectName()
                                                        : QString());
    }
    for (int i = 0; i < iface->childCount(); ++i)
        CollectNameless(iface->child(i), nameless, seen, depth + 1);
}

QStringList NamelessIn(QWidget* window, int minimumSeen) {
    QStringList nameless;
    int seen = 0;
    CollectNameless(QAccessible::queryAccessibleInterface(window), nameless, seen);
    // A walk that reached too little would prove nothing.
    EXPECT_GE(seen, minimumSeen) << window->metaObject()->className();
    return nameless;
}

QString NameOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

using AccessibilityTest = MainFormTest;

TEST_F(AccessibilityTest, NoControlOfTheMainWindowOrItsDialogsIsNameless) {
    Form->show();
    Form->LeistefrZahleneingabe1->trigger(); // the numeric panel too
    ASSERT_TRUE(Form->NumericPanel->isVisible());
    // Menus, 8 command buttons, 10 tools, 4 settings fields, 9 panel fields.
    EXPECT_EQ(NamelessIn(Form.get(), 31), QStringList());

    // Spin boxes are named by their labels, icon buttons by their hints.
    EXPECT_EQ(NameOf(Form->zoomed), QStringLiteral("Zoom:"));
    EXPECT_EQ(NameOf(Form->ZirksEd), QStringLiteral("Zirkelspanne:"));
    auto* print = Form->CommandBar->widgetForAction(
        Form->CommandBar->findChild<QAction*>(QStringLiteral("DruckenBtn")));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(NameOf(print), QStringLiteral("Drucken")); // Qt drops the dots

    std::vector<QDialog*> dialogs = {&Form->DPIForm(), &Form->SeiteEinrichtenForm(),
                                     &Form->AddTextForm()};
    ui::TTranslateForm editor(Form->translate->Table(), Form.get());
    dialogs.push_back(&editor);
    ui::TFontChooser chooser(Form->TextFont, Form.get());
    dialogs.push_back(&chooser);
    for (QDialog* dialog : dialogs) {
        dialog->show();
        EXPECT_EQ(NamelessIn(dialog, 2), QStringList()) << dialog->metaObject()->className();
        dialog->hide();
    }
}

TEST_F(AccessibilityTest, ToolButtonsAndTheirMenusAreReachableByKeyboard) {
    Form->show();
    QApplication::setActiveWindow(Form.get());
    auto buttonOf = [this](QAction* tool) -> QToolButton* {
        for (QToolButton* b : Form->ToolMenu->findChildren<QToolButton*>())
            if (b->defaultAction() == tool) return b;
        return nullptr;
    };
    QToolButton* lineal = buttonOf(Form->Lineal1);
    QToolButton* winkel = buttonOf(Form->Winkelmesser1);
    ASSERT_NE(lineal, nullptr);
    ASSERT_NE(winkel, nullptr);
    lineal->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(lineal->hasFocus());
    // Tab walks on to the next tool.
    QTest::keyClick(lineal, Qt::Key_Tab);
    EXPECT_TRUE(winkel->hasFocus());

    // Space opens the tool's menu; a key in it chooses an item.
    QWidget* popup = nullptr;
    QTimer::singleShot(0, [&popup] {
        popup = QApplication::activePopupWidget();
        if (popup) {
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
        }
    });
    QTest::keyClick(winkel, Qt::Key_Space);
    EXPECT_EQ(popup, winkel->menu());
    EXPECT_TRUE(Form->Winkelmesser1->isChecked());
    EXPECT_TRUE(Form->WinkelmesserDrehen1->isChecked());
}

using TranslatedAccessibilityTest = LocalisationTest;

TEST_F(TranslatedAccessibilityTest, NamesSpeakTheInterfaceLanguage) {
    Table({{"Drucken...", "Print..."},
           {"Suchtext", "Search text"},
           {"Zoom:", "Scale:"},
           {"Zuletzt geöffnet", "Recent Drawings"}});
    Options({1, 0, 0, 0});
    Start();
    ui::TTranslateForm editor(Form->translate->Table(), Form.get());
    Form->SetTranslateForm(&editor);
    Form->FormShow();
    Form->show();
    auto* print = Form->CommandBar->widgetForAction(
        Form->CommandBar->findChild<QAction*>(QStringLiteral("DruckenBtn")));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(NameOf(print), QStringLiteral("Print"));
    EXPECT_EQ(NameOf(Form->zoomed), QStringLiteral("Scale:"));
    EXPECT_EQ(Form->ZuletztGeoeffnet1->title().remove(QLatin1Char('&')), QStringLiteral("Recent Drawings"));
    editor.show();
    EXPECT_EQ(NameOf(editor.FilterEdit), QStringLiteral("Search text"));
}

class CommandIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        FPaths = QIcon::themeSearchPaths();
        FTheme = QIcon::themeName();
        FFallbackTheme = QIcon::fallbackThemeName();
    }
    void TearDown() override {
        QIcon::setThemeSearchPaths(FPaths);
        QIcon::setFallbackThemeName(FFallbackTheme);
        QIcon::setThemeName(FTheme);
    }
    static QImage Picture(const QIcon& icon) {
        return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
    }
    // The shipped picture through the same pixmap conversion as a shown icon.
    static QImage Shipped(const char* name) {
        const QString path = QStringLiteral(":/icons/%1.png").arg(QLatin1String(name));
        if (QImage(path).isNull()) return {};
        return Picture(QIcon(path));
    }
    QAction* Button(ui::TMainForm& form, const char* name) {
        return form.CommandBar->findChild<QAction*>(QString::fromLatin1(name));
    }
    QString ProgramPath() const {
        return QString::fromStdString((Dir.Path() / "program" / "quirindo").string());
    }

    TTempDir Dir;
    QTemporaryDir Themes;

private:
    QStringList FPaths;
    QString FTheme, FFallbackTheme;
};

TEST_F(CommandIconTest, WithoutAThemeTheCommandsShowTheShippedPictures) {
    QIcon::setThemeSearchPaths({Themes.path()});
    QIcon::setFallbackThemeName(QString());
    QIcon::setThemeName(QStringLiteral("none"));
    std::filesystem::create_directory(Dir.Path() / "program");
    ui::TMainForm form(ProgramPath());

    const struct {
        QIcon Icon;
        const char* Picture;
    } expected[] = {
        {Button(form, "DruckenBtn")->icon(), "print"},
        {Button(form, "SeiteEinrichtenBtn")->icon(), "page-setup"},
        {Button(form, "DruckerEinrichtenBtn")->icon(), "printer-setup"},
        {form.Hand1->icon(), "hand"},
        {form.Kurven1->icon(), "curve"},
        {form.Zoom1->icon(), "zoom"},
        {form.Drucken1->icon(), "print"}, // the menu item shows it as well
    };
    for (const auto& e : expected) {
        const QImage shipped = Shipped(e.Picture);
        ASSERT_FALSE(shipped.isNull()) << e.Picture;
        EXPECT_EQ(Picture(e.Icon), shipped) << e.Picture;
    }
    EXPECT_NE(Shipped("print"), Shipped("page-setup"));
}

TEST_F(CommandIconTest, TheDesktopThemeWinsWhereItHasThePicture) {
    const QString folder = Themes.path() + QStringLiteral("/tester/32x32/actions");
    ASSERT_TRUE(QDir().mkpath(folder));
    {
        QFile index(Themes.path() + QStringLiteral("/tester/index.theme"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=tester\nDirectories=32x32/actions\n\n"
                    "[32x32/actions]\nSize=32\nContext=Actions\nType=Fixed\n");
    }
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(folder + QStringLiteral("/document-print.png")));
    QIcon::setThemeSearchPaths({Themes.path()});
    QIcon::setFallbackThemeName(QString());
    QIcon::setThemeName(QStringLiteral("tester"));
    std::filesystem::create_directory(Dir.Path() / "program");
    ui::TMainForm form(ProgramPath());

    EXPECT_EQ(Picture(Button(form, "DruckenBtn")->icon()),
              red.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // The theme has no page picture: the shipped one stands in.
    EXPECT_EQ(Picture(Button(form, "SeiteEinrichtenBtn")->icon()), Shipped("page-setup"));
}

} // namespace
} // namespace quirindo::test
