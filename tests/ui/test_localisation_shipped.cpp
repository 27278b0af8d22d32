// The translations the build ships: started in English or Italian, the
// program shows no German text, and every text it looks up is in the table
// (a text missing from resources/translations.tsv would be appended to
// translate.dbf as a new row and make this test fail).

#include "AddTextForm.h"
#include "FontChooser.h"
#include "DPIForm.h"
#include "Localisation.h"
#include "LocalisationFixture.h"
#include "Messages.h"
#include "SeiteEinrichtenForm.h"
#include "SpinEdits.h"
#include "TranslateForm.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFrame>
#include <QPushButton>
#include <QRegularExpression>
#include <QLabel>
#include <QLayout>
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
            // Menu captions carry their Alt+letter mark.
            const QString read = text.trimmed().remove(QLatin1Char('&'));
            const auto it = translation.constFind(read);
            EXPECT_TRUE(it == translation.constEnd() || it.value() == read)
                << "German text shown: " << text.toStdString();
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

// Every label placed by hand in `container` shows its whole text: it is as
// large as its text needs, lies inside its parent, and no other control of
// the same parent covers any part of it.
void ExpectLabelsReadable(const QWidget* container, const std::string& where) {
    for (const QLabel* label : container->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) continue;
        const QWidget* parent = label->parentWidget();
        if (parent->layout() && parent->layout()->indexOf(label) >= 0) continue;
        const std::string name = where + ": \"" + label->text().toStdString() + "\"";
        const QRect text = label->geometry();
        EXPECT_GE(text.width(), label->sizeHint().width()) << name << " is cut";
        EXPECT_GE(text.height(), label->sizeHint().height()) << name << " is cut";
        EXPECT_TRUE(parent->rect().contains(text)) << name << " sticks out of its parent";
        for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == label || !other->isVisible() ||
                other->metaObject() == &QFrame::staticMetaObject) // the strips behind
                continue;
            EXPECT_FALSE(other->geometry().intersects(text))
                << name << " is covered by " << other->metaObject()->className() << " \""
                << other->objectName().toStdString() << "\"";
        }
    }
}

class ShippedLayout : public LocalisationTest, public ::testing::WithParamInterface<int> {};

// In each shipped language the fixed dialogs, the numeric panel and the
// settings strip show every label whole and uncovered.
TEST_P(ShippedLayout, NoLabelIsCutOrCovered) {
    std::filesystem::copy_file(QUIRINDO_SHIPPED_TRANSLATIONS, Dir.File("translate.dbf"));
    Options({static_cast<std::uint8_t>(GetParam()), 0, 0, 0});
    Start();
    ui::TDPIForm dpiForm(Form.get());
    ui::TSeiteEinrichtenForm pageSetup(Form.get());
    ui::TAddTextForm addText(Form.get());
    Form->show(); // the first showing translates
    Form->LeistefrZahleneingabe1->trigger();
    ASSERT_TRUE(Form->NumericPanel->isVisible());
    ExpectLabelsReadable(Form->NumericPanel, "numeric panel");
    ExpectLabelsReadable(Form->SettingsStrip, "settings strip");
    // The panel's fields still stand under their labels, in one column.
    EXPECT_EQ(Form->WinkWEd->x(), Form->LinXEd->x());
    EXPECT_LT(Form->LinXEd->y(), Form->Linyed->y());
    for (QWidget* dialog : {static_cast<QWidget*>(&dpiForm), static_cast<QWidget*>(&pageSetup),
                            static_cast<QWidget*>(&addText)}) {
        dialog->show();
        ExpectLabelsReadable(dialog, dialog->objectName().toStdString());
        dialog->hide();
    }
    // The page setup's two fields stay aligned beside their labels.
    EXPECT_EQ(pageSetup.breited->x(), pageSetup.hoched->x());
    EXPECT_LE(pageSetup.breited->geometry().right(), pageSetup.width());
}

INSTANTIATE_TEST_SUITE_P(EveryShippedLanguage, ShippedLayout, ::testing::Values(0, 1, 2));

// The font chooser is built when the user asks for it, long after the
// interface was translated; it still speaks the interface language.
TEST_P(ShippedTranslations, FontChooserSpeaksTheInterfaceLanguage) {
    const int language = GetParam();
    std::filesystem::copy_file(QUIRINDO_SHIPPED_TRANSLATIONS, Dir.File("translate.dbf"));
    std::map<QString, QString> translation;
    for (const auto& row : ReadTranslationTable(Dir.File("translate.dbf")))
        translation[QString::fromStdString(row[0])] =
            QString::fromStdString(row[static_cast<std::size_t>(language)]);
    Options({static_cast<std::uint8_t>(language), 0, 0, 0});
    StartAndShow();

    ui::TFontChooser chooser(tools::TTextFont{}, Form.get());
    EXPECT_EQ(chooser.windowTitle(), translation.at(QStringLiteral("Schriftart")));
    EXPECT_EQ(chooser.ColorBtn->text(), translation.at(QStringLiteral("Farbe wählen...")));
    QStringList shown;
    for (const QLabel* label : chooser.findChildren<QLabel*>())
        if (label->parentWidget() == &chooser) shown << label->text();
    for (const QPushButton* button :
         chooser.findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
        shown << button->text();
    EXPECT_TRUE(shown.contains(translation.at(QStringLiteral("Abbrechen"))));
    for (const QString& text : shown) {
        const auto it = translation.find(text);
        EXPECT_TRUE(it == translation.end() || it->second == text)
            << "German text in the font chooser: " << text.toStdString();
    }
}

// The shipped wording reads as one native text: British spelling
// throughout in English, the usual desktop commands, and in Italian one
// impersonal way of addressing the user (infinitives, no "voi" or "Lei"),
// with file names as a user would type them.
TEST(ShippedWording, OneSpellingOneFormOfAddressAndDesktopTerms) {
    const TRows rows = ReadTranslationTable(QUIRINDO_SHIPPED_TRANSLATIONS);
    ASSERT_FALSE(rows.empty());
    const QRegularExpression american(QStringLiteral("\\bcolor"),
                                      QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression formal(
        QStringLiteral("\\b(volete|potete|desidera|desiderate|siete|avete|chiudete|"
                       "scegliete|salvate|riavviate|\\w+(?:ate|ete|ite)(?:lo|la|li|le|ne))\\b"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    std::map<std::string, std::vector<std::string>> byGerman;
    for (const auto& row : rows) {
        byGerman[row[0]] = row;
        const QString english = QString::fromStdString(row[1]);
        const QString italian = QString::fromStdString(row[2]);
        EXPECT_FALSE(american.match(english).hasMatch()) << "American spelling: " << row[1];
        EXPECT_FALSE(formal.match(italian).hasMatch()) << "addresses the user as voi/Lei: " << row[2];
        if (english.endsWith(QStringLiteral(".qrd"))) {
            EXPECT_FALSE(italian.contains(QLatin1Char('_'))) << row[2];
        }
    }
    EXPECT_EQ(byGerman.at("Farbe")[1], "Colour");
    EXPECT_EQ(byGerman.at("Beenden")[1], "Quit");
    EXPECT_EQ(byGerman.at("Zurück...")[1], "Close");
    EXPECT_EQ(byGerman.at("Zurück...")[2], "Chiudi");
    // The strip says what its fields set.
    EXPECT_EQ(byGerman.at("Strichstärke:")[2], "Spessore linea:");
    EXPECT_EQ(byGerman.at("Radiergummi:")[2], "Larghezza gomma:");
}

} // namespace
} // namespace quirindo::test
