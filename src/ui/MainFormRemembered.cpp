// What the window remembers between runs: the folder of the file dialogs,
// the drawings opened last, the ruler's unit and the window's place.

#include "MainForm.h"
#include "Messages.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace quirindo::ui {

QString TMainForm::DialogFolder() const {
    if (!FileName.isEmpty()) return QFileInfo(FileName).absolutePath();
    const QString last = Remembered->LastFolder();
    return QFileInfo(last).isDir() ? last : QString();
}

QString TMainForm::SuggestedName(const QString& suffix) const {
    const QString name = FileName.isEmpty() ? Message(msgUnnamed) : FileName;
    return QFileInfo(name).completeBaseName() + QLatin1Char('.') + suffix;
}

void TMainForm::RememberFolderOf(const QString& path) {
    Remembered->SetLastFolder(QFileInfo(path).absolutePath());
    Remembered->Sync();
}

void TMainForm::RememberDrawing(const QString& path) {
    if (path.isEmpty()) return;
    Remembered->AddRecentFile(path);
    Remembered->Sync();
    ZuletztGeoeffnet1->menuAction()->setEnabled(true);
}

void TMainForm::FillRecentMenu() {
    // Built as the menu opens, so that the interface translation never sees
    // (and never collects) file names.
    ZuletztGeoeffnet1->clear();
    const QStringList files = Remembered->RecentFiles();
    int number = 0;
    for (const QString& path : files) {
        ++number;
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(shown)
                                         : QStringLiteral("%1 %2").arg(number).arg(shown);
        QAction* item = ZuletztGeoeffnet1->addAction(text);
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { (void)OpenRecentFile(path); });
    }
    ZuletztGeoeffnet1->menuAction()->setEnabled(!files.isEmpty());
}

bool TMainForm::OpenRecentFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        Remembered->RemoveRecentFile(path);
        Remembered->Sync();
        ZuletztGeoeffnet1->menuAction()->setEnabled(!Remembered->RecentFiles().isEmpty());
        FDialogs->ShowError(ErrorCaption(),
                            Tr("Die Datei %1 gibt es nicht mehr. Sie wurde aus der Liste der "
                               "zuletzt geöffneten Zeichnungen entfernt.")
                                .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!MayReplaceDrawing()) return false;
    const bool result = OpenFileFromPath(path);
    PaintBox1Paint();
    return result;
}

} // namespace quirindo::ui
