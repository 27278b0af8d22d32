#include "UserDialogs.h"

#include "Canvas.h"
#include "FontChooser.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QMessageBox>
#include <QStringList>

namespace quirindo::ui {

QString QtFilterFromPairs(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Descriptions usually show their patterns already; Qt reads the
        // patterns from the parentheses, so add them only when missing.
        if (description.contains(QLatin1Char('(')) && description.endsWith(QLatin1Char(')')))
            entries << description;
        else
            entries << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty()) entries << parts.last();
    return entries.join(QStringLiteral(";;"));
}

TAnswer TQtUserDialogs::AskYesNoCancel(const QString& caption, const QString& text) {
    const auto button = QMessageBox::question(
        FParent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    if (button == QMessageBox::Yes) return TAnswer::Yes;
    if (button == QMessageBox::No) return TAnswer::No;
    return TAnswer::Cancel;
}

QString FilterSuffix(const QString& qtFilter) {
    // "PNG-Dateien (*.png)" -> "png"; a pattern like "*" or "*.*" has none.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const auto match = pattern.match(qtFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

void PrepareFileDialog(QFileDialog& dialog, const TFileDialogRequest& request) {
    dialog.setWindowTitle(request.Title);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setNameFilter(QtFilterFromPairs(request.Filter));
    // A name typed without an extension gets the one of the filter chosen,
    // so the file's type follows the filter.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const QString suffix = FilterSuffix(f);
        if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    });
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!request.Directory.isEmpty() && QFileInfo(request.Directory).isDir())
        dialog.setDirectory(request.Directory);
    if (!request.SuggestedName.isEmpty()) dialog.selectFile(request.SuggestedName);
}

std::optional<QString> TQtUserDialogs::AskSaveFileName(const TFileDialogRequest& request) {
    QFileDialog dialog(FParent);
    PrepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile); // the folder must exist; Qt checks it
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

std::optional<QString> TQtUserDialogs::AskOpenFileName(const TFileDialogRequest& request) {
    QFileDialog dialog(FParent);
    PrepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void TQtUserDialogs::ShowError(const QString& caption, const QString& text) {
    QMessageBox::critical(FParent, caption, text);
}

std::optional<std::int32_t> TQtUserDialogs::AskColor(std::int32_t initial) {
    const QColor chosen = QColorDialog::getColor(QColorFromTColor(initial), FParent);
    if (!chosen.isValid()) return {};
    return TColorFromQColor(chosen);
}

std::optional<tools::TTextFont> TQtUserDialogs::AskTextFont(const tools::TTextFont& initial) {
    TFontChooser chooser(initial, FParent);
    if (chooser.exec() != QDialog::Accepted) return {};
    return chooser.SelectedFont();
}

} // namespace quirindo::ui
