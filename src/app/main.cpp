// Program entry: the main window and the dialogs it reuses, then the event loop.

#include "AddTextForm.h"
#include "CommandLine.h"
#include "MainForm.h"
#include "TranslateForm.h"
#include "Translation.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <cstring>

namespace {

// Exports from the command line need fonts but no window and no display.
int RunWithoutWindow(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return quirindo::ui::RunCommandLine(QCoreApplication::arguments(), out, err);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) return RunWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quirindo"));
    // Ties the window to its desktop entry and icon on the desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tavren.Quirindo"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tavren.Quirindo")));

    quirindo::ui::TMainForm mainForm(QCoreApplication::applicationFilePath());
    // The page setup and resolution dialogs belong to the window.
    mainForm.CreateOutputDialogs();
    quirindo::ui::TAddTextForm addTextForm(&mainForm);
    mainForm.SetAddTextForm(&addTextForm);
    quirindo::ui::TTranslateForm translateForm(mainForm.translate->Table(), &mainForm);
    mainForm.SetTranslateForm(&translateForm);
    mainForm.show();

    // A drawing named on the command line (as a file manager passes it) is
    // opened once the window stands.
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) mainForm.OpenFileFromPath(args.at(1));

    return QApplication::exec();
}
