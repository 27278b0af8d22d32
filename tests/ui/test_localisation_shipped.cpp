// The translations the build ships: started in English or Italian, the
// program shows no German text, and every text it looks up is in the table
// (a text missing from resources/translations.tsv would be appended to
// translate.dbf as a new row and make this test fail).

#include "AddTextForm.h"
#include "DPIForm.h"
#include "Localisation.h"
#include "LocalisationFixture.h"
#include "Messages.h"
#include "SeiteEinrichtenForm.h"
#include "TranslateForm.h"

#include <QAction>
#include <QLabel>
#include <QMap>

#include <filesystem>
#include <map>
#include <sstream>

namespace quirindo::test {
namespace {

class ShippedTranslations : public LocalisationTest, public ::testing::WithParamInterface<int> {
protected:
    // Shows everything a user meets without a real dialog: the windows, the
    // save question, the file dialogs, the file errors and the restart prompt.
    void ExerciseRuntimeTexts() {
        Form->SetChanged();
        Form->Neu1Click();            // the question, answered Cancel
        Form->Speichernunter1Click(); // the save dialog, cancelled
        Fake->OpenNames.push_back(QString::fromStdString(Dir.File("missing.qrd")));
        (void)Form->OpenFile(); // the open dialog, then "cannot be opened"
        WriteBytes(Dir.File("damaged.qrd"), {1, 2, 3});
        (void)Form->OpenFileFromPath(QString::fromStdString(Dir.File("damaged.qrd")));
        Form->FileName = QString::fromStdString(Dir.File("no/such/folder/x.qrd"));
        (void)Form->SaveTheFile();
        (GetParam() == 1 ? Form->English1 : Form->Italiano1)->trigger();
    }
};

TEST_P(ShippedTranslations, NoGermanTextIsLeftAndNoTextIsMissing) {
    const int language = GetParam();
    std::filesystem::copy_file(QUIRINDO_SHIPPED_TRANSLATIONS, Dir.File("translate.dbf"));
    const TRows shipped = ReadTranslationTable(Dir.File("translate.dbf"));
    ASSERT_FALSE(shipped.empty());
    QMap<QString, QString> translation; // German -> this language
    for (const auto& row : shipped) {
        EXPECT_FALSE(row[1].empty() || row[2].empty()) << "untranslated: " << row[0];
        translation.insert(QString::fromStdString(row[0]),
                           QString::fromStdString(row[static_cast<std::size_t>(language)]));
    }

    Options({static_cast<std::uint8_t>(language), 0, 0, 0});
    Start();
    ui::TDPIForm dpiForm(Form.get());
    ui::TSeiteEinrichtenForm pageSetup(Form.get());
    ui::TAddTextForm addText(Form.get());
    ui::TTranslateForm editor(Form->translate->Table(), Form.get());
    Form->SetTranslateForm(&editor);
    Form->FormShow();
    ExerciseRuntimeTexts();

    // Texts the table lacked were appended to it.
    const TRows after = ReadTranslationTable(Dir.File("translate.dbf"));
    std::ostringstream missing;
    for (std::size_t i = shipped.size(); i < after.size(); ++i)
        missing << "\n  " << after[i][0];
    EXPECT_EQ(after.size(), shipped.size())
        << "texts missing from translations.tsv:" << missing.str();

    // What the windows show now: no German text that has a translation.
    QStringList shown;
    ui::TranslateComponents(ui::ApplicationWindows(Form.get()), [&shown](const QString& text) {
        shown << text;
        return text;
    });
    shown << Form->windowTitle().section(QStringLiteral(" - ["), 0, 0) << Fake->Questions
          << Prompts;
    for (const QString& entry : shown)
        for (const QString& text : entry.split(QLatin1Char('|'))) {
            const auto it = translation.constFind(text.trimmed());
            EXPECT_TRUE(it == translation.constEnd() || it.value() == text.trimmed())
                << "German text shown: " << text.toStdString();
        }
    // No translated label sticks out of a dialog of fixed size.
    for (QWidget* dialog : {static_cast<QWidget*>(&dpiForm), static_cast<QWidget*>(&pageSetup),
                            static_cast<QWidget*>(&addText)}) {
        dialog->show();
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->isVisible()) continue;
            const int right = label->mapTo(dialog, QPoint(label->width(), 0)).x();
            EXPECT_LE(right, dialog->width()) << label->text().toStdString();
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
        dialog->hide();
    }
    EXPECT_FALSE(Fake->Errors.isEmpty());
    for (const QString& error : Fake->Errors)
        EXPECT_FALSE(error.startsWith(QStringLiteral("Die Datei"))) << error.toStdString();
}

// The reasons appended to file messages come from the same table: every
// reason the program can give has its translations, the command line's
// English is the table's, and a message ends in the interface language.
TEST_P(ShippedTranslations, ReasonsSpeakTheInterfaceLanguage) {
    const int language = GetParam();
    std::filesystem::copy_file(QUIRINDO_SHIPPED_TRANSLATIONS, Dir.File("translate.dbf"));
    std::map<std::string, std::vector<std::string>> shipped;
    for (const auto& row : ReadTranslationTable(Dir.File("translate.dbf")))
        shipped[row[0]] = row;
    int count = 0;
    const char* const* reasons = ReasonTexts(count);
    ASSERT_GT(count, 20);
    for (int i = 0; i < count; ++i) {
        const auto it = shipped.find(reasons[i]);
        ASSERT_NE(it, shipped.end()) << "no row for " << reasons[i];
        EXPECT_FALSE(it->second[2].empty()) << reasons[i];
        EXPECT_EQ(EnglishReason(reasons[i]), it->second[1]) << reasons[i];
    }

    Options({static_cast<std::uint8_t>(language), 0, 0, 0});
    StartAndShow();
    Fake->Errors.clear();
    WriteBytes(Dir.File("short.qrd"), {0, 0, 0, 0, 0, 0, 0, 0, 1});
    (void)Form->OpenFileFromPath(QString::fromStdString(Dir.File("short.qrd")));
    Form->FileName = QString::fromStdString(Dir.File("no/such/folder/x.qrd"));
    (void)Form->SaveTheFile();
    ASSERT_EQ(Fake->Errors.size(), 2);
    const bool english = language == 1;
    EXPECT_TRUE(Fake->Errors[0].endsWith(english ? QStringLiteral(": unexpected end of file")
                                                 : QStringLiteral(": fine del file inattesa")))
        << Fake->Errors[0].toStdString();
    EXPECT_TRUE(Fake->Errors[1].endsWith(english ? QStringLiteral(": no such file or directory")
                                                 : QStringLiteral(": file o cartella inesistente")))
        << Fake->Errors[1].toStdString();
    EXPECT_EQ(TranslatedReason(SystemErrorReason(4242)),
              english ? "system error 4242" : "errore di sistema n. 4242");
}

INSTANTIATE_TEST_SUITE_P(EnglishAndItalian, ShippedTranslations, ::testing::Values(1, 2));

} // namespace
} // namespace quirindo::test
