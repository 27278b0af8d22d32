// Program entry: the main window and the dialogs it reuses, then the event loop.

#include "DPIForm.h"
#include "MainForm.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quirindo"));

    quirindo::ui::TMainForm mainForm(QCoreApplication::applicationFilePath());
    quirindo::ui::TDPIForm dpiForm(&mainForm);
    mainForm.show();

    // A drawing named on the command line (as a file manager passes it) is
    // opened once the window stands.
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) mainForm.OpenFileFromPath(args.at(1));

    return QApplication::exec();
}
