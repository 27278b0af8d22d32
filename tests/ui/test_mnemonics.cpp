// Every menu can be worked from the keyboard in every shipped language:
// each item has an Alt+letter of its own within its menu, chosen from the
// caption the user reads, and Alt with a menu title's letter opens it.

#include "LocalisationFixture.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <map>
#include <string>

namespace quirindo::test {
namespace {

class MenuMnemonics : public LocalisationTest, public ::testing::WithParamInterface<int> {};

std::string Text(const QString& s) {
    return s.toStdString();
}

// Walks one menu and its submenus; every item must carry a letter of its
// own (the letter Qt itself reads from the caption).
void ExpectOwnLetters(const QList<QAction*>& actions, const std::string& where) {
    std::map<int, QString> taken;
    for (const QAction* a : actions) {
        if (a->isSeparator() || a->text().isEmpty()) continue;
        const QKeySequence key = QKeySequence::mnemonic(a->text());
        EXPECT_FALSE(key.isEmpty()) << where << ": no Alt+letter in \"" << Text(a->text()) << "\"";
        if (!key.isEmpty()) {
            const auto [it, fresh] = taken.emplace(key[0].key(), a->text());
            EXPECT_TRUE(fresh) << where << ": \"" << Text(a->text()) << "\" and \""
                               << Text(it->second) << "\" share " << Text(key.toString());
        }
        if (a->menu()) ExpectOwnLetters(a->menu()->actions(), where + " > " + Text(a->text()));
    }
}

TEST_P(MenuMnemonics, EveryItemHasItsOwnLetterAndAltOpensEachMenu) {
    const int language = GetParam();
    std::filesystem::copy_file(QUIRINDO_SHIPPED_TRANSLATIONS, Dir.File("translate.dbf"));
    Options({static_cast<std::uint8_t>(language), 0, 0, 0});
    StartAndShow();
    // An edit names itself in "Bearbeiten"; the rewritten caption keeps its letter.
    Form->PageAnz->setValue(2);
    ASSERT_TRUE(Form->Rueckgaengig1->isEnabled());
    Form->Rueckgaengig1->trigger();
    ASSERT_TRUE(Form->Wiederherstellen1->isEnabled());

    ExpectOwnLetters(Form->MainMenu->actions(), "menu bar");
    for (const QAction* tool : Form->ToolMenu->actions())
        if (tool->menu()) ExpectOwnLetters(tool->menu()->actions(), Text(tool->text()));

    // The file menu's letter is the first of its title in each language.
    const Qt::Key fileKey = language == 0 ? Qt::Key_D : Qt::Key_F;
    EXPECT_EQ(QKeySequence::mnemonic(Form->Datei1->menuAction()->text()),
              QKeySequence(Qt::ALT | fileKey));

    // Each title is tried in a window as the user finds it on start, the
    // menu bar at rest.
    const int titles = static_cast<int>(Form->MainMenu->actions().size());
    for (int i = 0; i < titles; ++i) {
        Form.reset();
        StartAndShow();
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        QAction* title = Form->MainMenu->actions().at(i);
        const QKeySequence key = QKeySequence::mnemonic(title->text());
        if (key.isEmpty()) continue; // reported above
        QTest::keyClick(Form.get(), key[0].key(), Qt::AltModifier);
        QWidget* popup = QApplication::activePopupWidget();
        EXPECT_EQ(popup, title->menu()) << Text(key.toString()) << " for " << Text(title->text());
        if (popup) popup->close();
    }
}

INSTANTIATE_TEST_SUITE_P(GermanEnglishItalian, MenuMnemonics, ::testing::Values(0, 1, 2));

} // namespace
} // namespace quirindo::test
