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
#include <csignal>
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
    // A write beyond the file-size limit (ulimit -f) then fails with EFBIG,
    // which the program reports with the file's name, instead of killing it
    // part-way through an export or save.
    std::signal(SIGXFSZ, SIG_IGN);
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
    // A logout or kill writes the unsaved drawing's recovery copy first.
    quirindo::ui::InstallTerminationSignals([&mainForm](int signal) { mainForm.EndOnSignal(signal); });
    mainForm.show();

    // Once the window stands: the drawings a crash left behind, then a
    // drawing named on the command line (as a file manager passes it).
    const QStringList args = QCoreApplication::arguments();
    mainForm.StartUp(args.size() > 1 ? args.at(1) : QString());

    return QApplication::exec();
}
