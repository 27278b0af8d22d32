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
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTableView>

namespace quirindo::ui {
namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

void TMainForm::OpenTranslationTable() {
    translate = std::make_unique<TTranslation>();
    translate->OpenTranslationTable(LocalPath(TranslationTablePath()));
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
    if (!ReadOptionsFile(LocalPath(OptionsPath()), language)) return;
    StartLanguage = language;
    LanguageMenuGuard = true;
    if (language == kLanguageGerman) Deutsch1->setChecked(true);
    if (language == kLanguageEnglish) English1->setChecked(true);
    if (language == kLanguageItalian) Italiano1->setChecked(true);
    LanguageMenuGuard = false;
}

bool TMainForm::SaveOptions() {
    std::string error;
    if (WriteOptionsFile(LocalPath(OptionsPath()), translate->LanguageColumn(), error)) return true;
    // A restart would bring back the old language: say so instead of
    // asking for one.
    FDialogs->ShowError(Message(msgTitle),
                        Tr("Die Sprache konnte nicht gespeichert werden, denn die Datei %1 kann "
                           "nicht geschrieben werden: %2. Das Programm startet weiter in der "
                           "bisherigen Sprache.")
                            .arg(QDir::toNativeSeparators(OptionsPath()), Reason(error)));
    return false;
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
}

} // namespace quirindo::ui
