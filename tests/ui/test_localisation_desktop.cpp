// The program as installed on a desktop: its options and translation table
// in the user's folders when its own folder cannot be written, and Qt's own
// buttons in the interface language.

#include "LocalisationFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <optional>

namespace quirindo::test {
namespace {

namespace fs = std::filesystem;

TRows ShippedTable() {
    return {
        {"Datei", "File", "File"},
        {"TAVREN Quirindo 1.0", "Quirindo", "Quirindo"},
    };
}

// The user's folders point into the test's scratch folder while alive.
class ScratchUserFolders {
public:
    explicit ScratchUserFolders(const fs::path& root)
        : Config(root / "config"), Data(root / "data"), FOldConfig(Get("XDG_CONFIG_HOME")),
          FOldData(Get("XDG_DATA_HOME")) {
        ::setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
        ::setenv("XDG_DATA_HOME", Data.c_str(), 1);
    }
    ~ScratchUserFolders() {
        Restore("XDG_CONFIG_HOME", FOldConfig);
        Restore("XDG_DATA_HOME", FOldData);
    }
    ScratchUserFolders(const ScratchUserFolders&) = delete;
    ScratchUserFolders& operator=(const ScratchUserFolders&) = delete;
    const fs::path Config, Data;

private:
    static std::optional<std::string> Get(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> FOldConfig, FOldData;
};

using UserFolders = LocalisationTest;

TEST_F(UserFolders, UnwritableProgramFolderKeepsTheLanguageAndCollectsInTheUsersFolders) {
    // Outside the program folder, which is about to be locked.
    const TTempDir home;
    const ScratchUserFolders user(home.Path());
    Table(ShippedTable());
    const auto shippedBytes = ReadBytes(Dir.File("translate.dbf"));
    TUnwritableDir locked(Dir.Path());
    if (!locked.Effective()) GTEST_SKIP() << "cannot make a folder unwritable here";

    const fs::path options = user.Config / "quirindo" / "options.dat";
    const fs::path table = user.Data / "quirindo" / "translate.dbf";
    StartAndShow();
    EXPECT_EQ(Form->Datei1->title().remove(QLatin1Char('&')), QStringLiteral("File")) << "the shipped table was used";
    // The copy collected the texts the shipped table lacked; the shipped
    // table is as it was.
    const TRows rows = ReadTranslationTable(table.string());
    ASSERT_GT(rows.size(), ShippedTable().size());
    EXPECT_EQ(rows[0][1], "File");
    EXPECT_EQ(ReadBytes(Dir.File("translate.dbf")), shippedBytes);

    Form->Italiano1->trigger();
    EXPECT_EQ(ReadBytes(options.string()), (std::vector<std::uint8_t>{2, 0, 0, 0}));
    EXPECT_FALSE(HasOptionsFile()) << "nothing is written beside the program";
    Form.reset();

    // The next start speaks Italian and keeps what the table collected.
    StartAndShow();
    EXPECT_EQ(Form->StartLanguage, kLanguageItalian);
    EXPECT_TRUE(Form->Italiano1->isChecked());
    EXPECT_EQ(ReadTranslationTable(table.string()).size(), rows.size());
}

TEST_F(UserFolders, WritableProgramFolderLeavesTheUsersFoldersAlone) {
    const ScratchUserFolders user(Dir.Path() / "user");
    Table(ShippedTable());
    StartAndShow();
    Form->Deutsch1->trigger();
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_GT(ReadTranslationTable(Dir.File("translate.dbf")).size(), ShippedTable().size());
    EXPECT_FALSE(fs::exists(user.Config));
    EXPECT_FALSE(fs::exists(user.Data));
}

// ---------------------------------------------------------------------------
// Qt's own texts

// The texts of the buttons of the real save question, asked by "Neu" with
// unsaved changes and answered "Cancel".
QStringList SaveQuestionButtons(ui::TMainForm& form) {
    QStringList texts;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll.stop();
        for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
            QAbstractButton* b = box->button(button);
            texts << (b ? b->text().remove(QLatin1Char('&')) : QStringLiteral("(missing)"));
        }
        box->button(QMessageBox::Cancel)->click();
    });
    poll.start();
    form.SetChanged();
    form.Neu1Click();
    EXPECT_TRUE(form.Changed) << "Cancel keeps the drawing";
    return texts;
}

class QtTexts : public LocalisationTest {
protected:
    // A window with Qt's real dialogs, started in `language`.
    void StartIn(std::uint8_t language) {
        Form.reset();
        Options({language, 0, 0, 0});
        Form = std::make_unique<ui::TMainForm>(QString::fromStdString(Dir.File("quirindo")));
        Form->FormShow();
    }
};

TEST_F(QtTexts, SaveQuestionButtonsSpeakTheInterfaceLanguage) {
    Table(ShippedTable());
    StartIn(kLanguageGerman);
    ASSERT_NE(Form->QtTranslator, nullptr)
        << "Qt's translations (qt6-translations-l10n) are missing";
    EXPECT_EQ(SaveQuestionButtons(*Form), (QStringList{"Ja", "Nein", "Abbrechen"}));
    // Key names in the menus as a German keyboard labels them.
    EXPECT_EQ(Form->Neu1->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Strg+N"));

    StartIn(kLanguageItalian);
    EXPECT_EQ(SaveQuestionButtons(*Form), (QStringList{"Sì", "No", "Annulla"}));

    // English, and a window that has gone takes its translations with it.
    StartIn(kLanguageEnglish);
    EXPECT_EQ(Form->QtTranslator, nullptr);
    EXPECT_EQ(SaveQuestionButtons(*Form), (QStringList{"Yes", "No", "Cancel"}));
    EXPECT_EQ(Form->Neu1->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Ctrl+N"));
}

} // namespace
} // namespace quirindo::test
