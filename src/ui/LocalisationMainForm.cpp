// The main window's part of localisation: the translation table, the
// language menu with options.dat, the first-show translation pass and the
// translation editor command.

#include "Localisation.h"
#include "MainForm.h"
#include "Messages.h"
#include "Options.h"
#include "TranslateForm.h"
#include "TranslateModel.h"
#include "Translation.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTableView>
#include <QTranslator>

namespace quirindo::ui {
namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString TMainForm::TranslationTablePath() const {
    return QFile::decodeName(ProgramFiles.TablePath.c_str());
}

void TMainForm::OpenTranslationTable() {
    const std::string programDir = LocalPath(ProgramDir);
    ProgramFiles = ChooseProgramFiles(programDir, IsWritableDirectory(programDir),
                                      TUserFolders::FromEnvironment());
    // Without a folder of the user's own the table serves read-only and the
    // language is not kept; the program still works, so nothing is said.
    std::string ignored;
    (void)PrepareUserFiles(ProgramFiles, ignored);
    translate = std::make_unique<TTranslation>();
    translate->OpenTranslationTable(ProgramFiles.TablePath);
    translate->InstallAsTranslator();
}

void TMainForm::ReportTranslationTable() {
    // Read-only is a normal installation and needs no word; no table at all
    // means the program runs untranslated and the user should know why.
    // Without a table nothing can be translated, so the text is English,
    // the language a first start would have shown.
    if (!translate || translate->TableState() != TTranslation::TTableState::None) return;
    FDialogs->ShowError(
        Message(msgTitle),
        QStringLiteral("The translation table %1 cannot be used: %2\n\nQuirindo goes on "
                       "without translations and does not collect new texts.")
            .arg(TranslationTablePath(), QString::fromStdString(translate->TableMessage())));
}

void TMainForm::LoadOptions() {
    StartLanguage = kLanguageEnglish;
    translate->SetLanguageColumn(kLanguageEnglish);
    LanguageMenuGuard = true;
    English1->setChecked(true);
    LanguageMenuGuard = false;

    int language = kLanguageEnglish;
    if (!ReadOptionsFile(ProgramFiles.OptionsPath, language) &&
        (ProgramFiles.DefaultOptionsPath.empty() ||
         !ReadOptionsFile(ProgramFiles.DefaultOptionsPath, language)))
        return;
    StartLanguage = language;
    LanguageMenuGuard = true;
    if (language == kLanguageGerman) Deutsch1->setChecked(true);
    if (language == kLanguageEnglish) English1->setChecked(true);
    if (language == kLanguageItalian) Italiano1->setChecked(true);
    LanguageMenuGuard = false;
}

bool TMainForm::SaveOptions() {
    std::string error;
    if (WriteOptionsFile(ProgramFiles.OptionsPath, translate->LanguageColumn(), error)) return true;
    // A restart would bring back the old language: say so instead of
    // asking for one.
    FDialogs->ShowError(
        Message(msgTitle),
        Tr("Die Sprache konnte nicht gespeichert werden, denn die Datei %1 kann "
           "nicht geschrieben werden: %2. Das Programm startet weiter in der "
           "bisherigen Sprache.")
            .arg(QDir::toNativeSeparators(QFile::decodeName(ProgramFiles.OptionsPath.c_str())),
                 Reason(error)));
    return false;
}

bool TMainForm::LoadQtTranslations(int language) {
    QString code;
    if (language == kLanguageGerman) code = QStringLiteral("de");
    if (language == kLanguageItalian) code = QStringLiteral("it");
    if (code.isEmpty()) return false; // English, or a spare column Qt knows nothing of
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + code,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    QtTranslator = std::move(translator);
    return true;
}

void TMainForm::ShowRestartPrompt() {
    const QString caption = Message(msgTitle);
    const QString text = Message(msgRestart);
    if (ShowInformation)
        ShowInformation(caption, text);
    else
        QMessageBox::information(this, caption, text);
}

void TMainForm::LanguageClick(QAction* item, int language) {
    if (LanguageMenuGuard) return;
    item->setChecked(true);
    translate->SetLanguageColumn(language);
    // Fetched after the switch, so the prompt (or the message that the
    // choice cannot be kept) speaks the chosen language.
    if (SaveOptions()) ShowRestartPrompt();
}

void TMainForm::SpracheDeutsch1Click() {
    LanguageClick(Deutsch1, kLanguageGerman);
}
void TMainForm::SpracheEnglish1Click() {
    LanguageClick(English1, kLanguageEnglish);
}
void TMainForm::SpracheItaliano1Click() {
    LanguageClick(Italiano1, kLanguageItalian);
}

void TMainForm::SetTranslateForm(TTranslateForm* form) {
    TranslateForm = form;
}

void TMainForm::Sprachebersetzen1Click() {
    if (!TranslateForm) return;
    for (int c = 0; c < TranslateForm->Model->columnCount(); ++c)
        TranslateForm->DBGrid1->setColumnWidth(c, 300);
    TranslateForm->exec();
    ShowRestartPrompt();
}

void TMainForm::TranslateApplication() {
    TranslateComponents(ApplicationWindows(this), [this](const QString& german) {
        return QString::fromStdString(translate->TranslateUtf8(german.toStdString()));
    });
    FitNumericPanel();
    // The settings strip is placed by hand like a dialog.
    MakeRoomBesideLabels(SettingsStrip);
    FitFixedWindowToLabels(SettingsStrip);
}

} // namespace quirindo::ui
