// Language choice and start-up: options.dat, the first showing, the
// language menu and its restart prompt, and the interface translation pass.

#include "Localisation.h"
#include "LocalisationFixture.h"
#include "Messages.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace quirindo::test {
namespace {

using ui::TranslateComponents;

const std::string kRestartIt = "Chiudere il programma e riavviarlo.";

// A table knowing the menu title "Datei", the two messages of the restart
// prompt and the drawing filter in English and Italian.
TRows SmallTable() {
    return {
        {"Datei", "File", "File"},
        {"Bitte schließen Sie das Programm und starten Sie es erneut!",
         "Please close the program and start it again.", kRestartIt},
        {"TAVREN Quirindo 1.0", "Quirindo (English)", "Quirindo (italiano)"},
        {"Zeichnungen (*.qrd)|*.qrd", "Drawings (*.qrd)|*.qrd", "Disegni (*.qrd)|*.qrd"},
        {"Zeichnungen (*.qrd)", "WRONG: looked up in parts", "SBAGLIATO"},
        {"unbenannt.qrd", "untitled.qrd", "senza titolo.qrd", "spare.qrd"},
    };
}

QStringList CheckedLanguages(const ui::TMainForm& form) {
    QStringList checked;
    for (QAction* a : {form.Deutsch1, form.English1, form.Italiano1})
        if (a->isChecked()) checked << a->text().remove(QLatin1Char('&'));
    return checked;
}

// ---------------------------------------------------------------------------
// options.dat on its own

TEST(OptionsFile, DecodesTheLanguageAndFallsBackToEnglish) {
    using B = std::vector<std::uint8_t>;
    EXPECT_EQ(LanguageFromOptionsBytes(B{0, 0, 0, 0}), 0);
    EXPECT_EQ(LanguageFromOptionsBytes(B{1, 0, 0, 0}), 1);
    EXPECT_EQ(LanguageFromOptionsBytes(B{2, 0, 0, 0}), 2);
    EXPECT_EQ(LanguageFromOptionsBytes(B{18, 0, 0, 0}), 18);
    EXPECT_EQ(LanguageFromOptionsBytes(B{0, 1, 0, 0}), 1) << "256 names no column";
    EXPECT_EQ(LanguageFromOptionsBytes(B{19, 0, 0, 0}), 1);
    EXPECT_EQ(LanguageFromOptionsBytes(B{0xFF, 0xFF, 0xFF, 0xFF}), 1) << "-1";
    EXPECT_EQ(LanguageFromOptionsBytes(B{}), 1);
    EXPECT_EQ(LanguageFromOptionsBytes(B{0, 0, 0}), 1) << "shorter than 4 bytes";
    EXPECT_EQ(LanguageFromOptionsBytes(B{2, 0, 0, 0, 7}), 2) << "only 4 bytes count";
    EXPECT_EQ(OptionsBytes(2), (B{2, 0, 0, 0}));
    EXPECT_EQ(OptionsBytes(0), (B{0, 0, 0, 0}));
}

TEST(OptionsFile, MissingFileIsNotReadAndWritingCreatesIt) {
    TTempDir dir;
    const std::string path = dir.File("options.dat");
    int language = 7;
    EXPECT_FALSE(ReadOptionsFile(path, language));
    EXPECT_EQ(language, 7);
    ASSERT_TRUE(WriteOptionsFile(path, 2));
    EXPECT_EQ(ReadBytes(path), (std::vector<std::uint8_t>{2, 0, 0, 0}));
    ASSERT_TRUE(ReadOptionsFile(path, language));
    EXPECT_EQ(language, 2);
    EXPECT_FALSE(WriteOptionsFile(dir.File("no/such/folder/options.dat"), 1));
}

// A language locked by an administrator: the file cannot be written, but it
// is still read; choosing another language leaves it as it is and says the
// choice cannot be kept instead of promising it after a restart.
TEST_F(LocalisationTest, WriteProtectedOptionsFileIsStillRead) {
    Table(SmallTable());
    Options({0, 0, 0, 0});
    TUnwritableDir locked(Dir.File("options.dat")); // chmod, or chattr +i for root
    const int fd = ::open(Dir.File("options.dat").c_str(), O_WRONLY);
    if (fd >= 0) {
        ::close(fd);
        GTEST_SKIP() << "cannot write-protect a file here";
    }
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, 0);
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("Deutsch")});
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("Datei"));

    Form->Italiano1->trigger();
    EXPECT_TRUE(Prompts.isEmpty());
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QString::fromStdString(Dir.File("options.dat"))))
        << Fake->Errors[0].toStdString();
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

// options.dat that no one can write (here a folder of that name): the
// message names the file and the reason, in the language just chosen.
TEST_F(LocalisationTest, LanguageThatCannotBeStoredSaysSoInTheNewLanguage) {
    TRows rows = SmallTable();
    rows.push_back({"Die Sprache konnte nicht gespeichert werden, denn die Datei %1 kann nicht "
                    "geschrieben werden: %2. Das Programm startet weiter in der bisherigen "
                    "Sprache.",
                    "EN %1: %2", "IT %1: %2"});
    rows.push_back({"ist ein Ordner", "is a directory", "è una cartella"});
    Table(rows);
    std::filesystem::create_directory(Dir.File("options.dat"));
    StartAndShow(); // unreadable: English
    ASSERT_EQ(Form->StartLanguage, 1);

    Form->Italiano1->trigger();
    EXPECT_TRUE(Prompts.isEmpty());
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_EQ(Fake->Errors[0],
              QStringLiteral("IT %1: è una cartella").arg(QString::fromStdString(Dir.File("options.dat"))));
    EXPECT_TRUE(Form->Italiano1->isChecked());

    std::filesystem::remove(Dir.File("options.dat"));
    Form->English1->trigger(); // writable again: the usual prompt
    EXPECT_EQ(Prompts.size(), 1);
    EXPECT_EQ(Fake->Errors.size(), 1);
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

// ---------------------------------------------------------------------------
// First showing

TEST_F(LocalisationTest, FreshStartIsEnglishAndWritesNothing) {
    Table(SmallTable());
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, 1);
    EXPECT_EQ(Form->translate->LanguageColumn(), 1);
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("English")});
    EXPECT_TRUE(Form->AnsichtZollAngabenfrdasLineal1->isChecked());
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("File"));
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Quirindo (English) - [untitled.qrd]"));
    EXPECT_FALSE(HasOptionsFile());
    EXPECT_TRUE(Prompts.isEmpty());
    EXPECT_TRUE(Fake->Errors.isEmpty());

    // Every message has its row now, and texts the table lacked were added.
    std::set<std::string> german;
    for (const auto& row : ReadTranslationTable(Dir.File("translate.dbf")))
        german.insert(row[0]);
    int count = 0;
    const int* ids = MessageIds(count);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(german.count(GermanMessageText(ids[i]))) << GermanMessageText(ids[i]);
    EXPECT_TRUE(german.count("Neu"));
    EXPECT_TRUE(german.count("Leiste für Zahleneingabe"));
}

TEST_F(LocalisationTest, GermanStartTranslatesNothing) {
    Table(SmallTable());
    Options({0, 0, 0, 0});
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, 0);
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("Deutsch")});
    EXPECT_FALSE(Form->AnsichtZollAngabenfrdasLineal1->isChecked());
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("Datei"));
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("TAVREN Quirindo 1.0 - [unbenannt.qrd]"));
    // No pass ran, so no interface text was collected; only the messages.
    for (const auto& row : ReadTranslationTable(Dir.File("translate.dbf")))
        EXPECT_NE(row[0], "Neu");
}

TEST_F(LocalisationTest, SpareColumnsAndBadNumbers) {
    Table(SmallTable());
    Options({3, 0, 0, 0});
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, 3);
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("English")});
    EXPECT_TRUE(Form->windowTitle().endsWith(QStringLiteral("[spare.qrd]")));

    Form.reset();
    Options({19, 0, 0, 0});
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, 1);
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("File"));

    Form.reset();
    Options({2, 0});
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, 1) << "a short file counts as English";
}

TEST_F(LocalisationTest, SecondShowingChangesNothing) {
    Table(SmallTable());
    StartAndShow();
    const auto rowsAfterFirst = ReadTranslationTable(Dir.File("translate.dbf")).size();
    Form->hide();
    Form->FormShow();
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("File"));
    // A second pass would have looked up the English texts as German ones.
    EXPECT_EQ(ReadTranslationTable(Dir.File("translate.dbf")).size(), rowsAfterFirst);
}

TEST_F(LocalisationTest, UnusableTableIsReportedAndTheProgramRunsUntranslated) {
    WriteBytes(Dir.File("translate.dbf"), {0x03, 'n', 'o', 't', ' ', 'a', ' ', 't', 'a', 'b'});
    StartAndShow();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QString::fromStdString(Dir.File("translate.dbf"))));
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("Datei"));
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("English")});
    EXPECT_EQ(ReadBytes(Dir.File("translate.dbf")).size(), 10u) << "the file is left alone";
}

// ---------------------------------------------------------------------------
// Language menu

TEST_F(LocalisationTest, ChoosingItalianPromptsInItalianAndSavesTheNumber) {
    Table(SmallTable());
    StartAndShow();
    Form->Italiano1->trigger();
    ASSERT_EQ(Prompts.size(), 1);
    EXPECT_EQ(Prompts[0],
              QStringLiteral("Quirindo (italiano)|") + QString::fromStdString(kRestartIt));
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("Italiano")});
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("File")) << "the menus wait for the restart";
    EXPECT_EQ(Form->StartLanguage, 1);
    // Texts looked up from now on come from the new column.
    Form->SetChanged();
    EXPECT_TRUE(Form->windowTitle().contains(QStringLiteral("senza titolo.qrd*")));

    Form->Deutsch1->trigger();
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Prompts.last(), QStringLiteral("TAVREN Quirindo 1.0|Bitte schließen Sie das Programm "
                                             "und starten Sie es erneut!"));

    // The checked item again: prompt and file once more.
    Form->Deutsch1->trigger();
    EXPECT_EQ(Prompts.size(), 3);
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("Deutsch")});
    Form->English1->trigger();
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST_F(LocalisationTest, GuardKeepsLoadOptionsFromPromptingOrWriting) {
    Table(SmallTable());
    Options({2, 0, 0, 0});
    StartAndShow();
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("Italiano")});
    std::filesystem::remove(Dir.File("options.dat"));
    Form->LoadOptions(); // checks "English" as it starts: no click
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("English")});
    EXPECT_TRUE(Prompts.isEmpty());
    EXPECT_FALSE(HasOptionsFile());

    Form->LanguageMenuGuard = true;
    Form->SpracheItaliano1Click();
    Form->LanguageMenuGuard = false;
    EXPECT_TRUE(Prompts.isEmpty());
    EXPECT_FALSE(HasOptionsFile());
    EXPECT_EQ(CheckedLanguages(*Form), QStringList{QStringLiteral("English")});
}

TEST_F(LocalisationTest, DrawingFilterIsLookedUpWhole) {
    Table(SmallTable());
    StartAndShow();
    Form->Speichernunter1Click(); // the fake dialog cancels
    EXPECT_EQ(Fake->LastSpec.Filter, QStringLiteral("Drawings (*.qrd)|*.qrd"));
}

// ---------------------------------------------------------------------------
// The pass over single widgets, with a lookup that records what it is asked.

class TranslationPass : public ::testing::Test {
protected:
    QString Lookup(const QString& german) {
        Asked << german;
        return Dictionary.value(german, german);
    }
    void Run(QObject* root) {
        TranslateComponents(root, [this](const QString& s) { return Lookup(s); });
    }

    QMap<QString, QString> Dictionary{
        {"Fenster", "Window"},    {"Abbrechen", "Cancel"},
        {"Hinweis", "Hint"},      {"Eins", "One"},
        {"Zwei", "Two"},          {"Drei", "Three"},
        {"Titel", "Title"},       {"Zelle", "WRONG"},
        {"Datei", "File"},        {"Neu", "New"},
        {"Öffnen...", "Open..."}, {"Zeile a", "Line a"},
        {"Zeile b", "Line b"},    {"Eingabe", "Input"},
        {"Gruppe", "Group"},      {"Wahl", "Choice"},
        {"Zahl", "Number"},       {"Knopf", "Button"},
        {"Eigen", "Own"},         {"Kurz", "A much longer translation than before"},
    };
    QStringList Asked;
};

TEST_F(TranslationPass, TranslatesEachKindOfWidgetOnce) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Fenster"));
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), &window);
    auto* hinted = new QPushButton(QStringLiteral("Knopf"), &window);
    hinted->setToolTip(QStringLiteral("Hinweis"));
    auto* combo = new QComboBox(&window);
    combo->addItems({QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Drei")});
    combo->setCurrentIndex(2);
    auto* grid = new QTableWidget(3, 3, &window);
    grid->setHorizontalHeaderLabels({QStringLiteral("Titel"), QStringLiteral("Datei"), QString()});
    grid->setItem(1, 0, new QTableWidgetItem(QStringLiteral("Zelle")));
    auto* memo = new QPlainTextEdit(QStringLiteral("Zeile a\nZeile b"), &window);
    auto* edit = new QLineEdit(QStringLiteral("Eingabe"), &window);
    auto* group = new QGroupBox(QStringLiteral("Gruppe"), &window);
    auto* check = new QCheckBox(QStringLiteral("Wahl"), group);
    auto* spin = new QSpinBox(&window);
    spin->setRange(0, 1000);
    spin->setValue(123);
    spin->setToolTip(QStringLiteral("Zahl"));
    auto* label = new QLabel(QStringLiteral("Datei"), &window);
    auto* placed = new QLabel(QStringLiteral("Kurz"), &window);
    placed->adjustSize();

    Run(&window);

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Window"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(cancel->toolTip().isEmpty());
    EXPECT_EQ(hinted->text(), QStringLiteral("Button"));
    EXPECT_EQ(hinted->toolTip(), QStringLiteral("Hint"));
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("One"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Three"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("Three"));
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Title"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("File"));
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("Zelle")) << "only the titles change";
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Line a\nLine b"));
    EXPECT_EQ(memo->document()->blockCount(), 2);
    EXPECT_EQ(edit->text(), QStringLiteral("Input"));
    EXPECT_EQ(group->title().remove(QLatin1Char('&')), QStringLiteral("Group"));
    EXPECT_EQ(check->text(), QStringLiteral("Choice"));
    EXPECT_EQ(spin->value(), 123);
    EXPECT_EQ(spin->toolTip(), QStringLiteral("Number"));
    EXPECT_EQ(label->text(), QStringLiteral("File"));
    EXPECT_GE(placed->width(), placed->sizeHint().width()) << "a longer text is not cut off";

    // Every text once; translations are never looked up again, and the
    // insides of the spin box (its number) and the grid are left alone.
    EXPECT_EQ(Asked.count(QStringLiteral("Datei")), 2); // the label and a grid title
    EXPECT_EQ(Asked.count(QStringLiteral("Eins")), 1);
    for (const QString& text : Asked) {
        EXPECT_FALSE(Dictionary.values().contains(text)) << text.toStdString();
        EXPECT_NE(text, QStringLiteral("123"));
        EXPECT_NE(text, QStringLiteral("Zelle"));
    }
}

TEST_F(TranslationPass, MenusAndActionsKeepShortcutsAndOwnTooltipsOnly) {
    QWidget window;
    auto* bar = new QMenuBar(&window);
    QMenu* file = bar->addMenu(QStringLiteral("Datei"));
    QAction* neu = file->addAction(QStringLiteral("Neu"));
    neu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* open = file->addAction(QStringLiteral("Öffnen..."));
    file->addSeparator();
    // An action owned by the window and shown by a tool button, as the tool
    // menu does, and one with a tooltip of its own.
    auto* group = new QActionGroup(&window);
    auto* shared = new QAction(QStringLiteral("Neu"), &window);
    group->addAction(shared);
    auto* button = new QToolButton(&window);
    button->setDefaultAction(shared);
    auto* own = new QAction(QStringLiteral("Datei"), &window);
    own->setToolTip(QStringLiteral("Eigen"));
    // An action without an owner, reached only through the menu's list.
    QAction orphan(QStringLiteral("Drei"));
    file->addAction(&orphan);

    Run(&window);

    EXPECT_EQ(file->title().remove(QLatin1Char('&')), QStringLiteral("File"));
    EXPECT_EQ(neu->text(), QStringLiteral("New"));
    EXPECT_EQ(neu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(open->text(), QStringLiteral("Open..."));
    EXPECT_EQ(open->toolTip(), QStringLiteral("Open")) << "still follows the text";
    EXPECT_EQ(shared->text(), QStringLiteral("New"));
    EXPECT_EQ(button->text(), QStringLiteral("New"));
    EXPECT_EQ(own->toolTip(), QStringLiteral("Own"));
    EXPECT_EQ(orphan.text(), QStringLiteral("Three"));
    EXPECT_EQ(Asked.count(QStringLiteral("Neu")), 2);   // two actions, once each
    EXPECT_EQ(Asked.count(QStringLiteral("Datei")), 2); // the menu and `own`
    EXPECT_FALSE(Asked.contains(QStringLiteral("Öffnen"))) << "derived tooltip looked up";
    EXPECT_FALSE(Asked.contains(QString())) << "empty texts are not looked up";
    for (const QString& text : Asked)
        EXPECT_FALSE(Dictionary.values().contains(text)) << text.toStdString();
}

TEST_F(TranslationPass, MarkedWidgetsKeepTheirTexts) {
    QWidget window;
    auto* unicode = new QPlainTextEdit(QStringLiteral("Zeile a"), &window);
    unicode->setProperty(ui::kNoTranslateProperty, true);
    auto* box = new QWidget(&window);
    box->setProperty(ui::kNoTranslateProperty, true);
    auto* inner = new QLabel(QStringLiteral("Datei"), box);
    auto* emptyMemo = new QPlainTextEdit(&window);
    Run(&window);
    EXPECT_EQ(unicode->toPlainText(), QStringLiteral("Zeile a"));
    EXPECT_EQ(inner->text(), QStringLiteral("Datei"));
    EXPECT_TRUE(emptyMemo->toPlainText().isEmpty());
    EXPECT_TRUE(Asked.isEmpty());
}

} // namespace
} // namespace quirindo::test
