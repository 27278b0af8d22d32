#pragma once
// Exports without a window, for scripts and batch use:
//   quirindo --export-dxf IN.qrd OUT.dxf
//   quirindo --export-image IN.qrd OUT.bmp|OUT.png [--dpi N] [--page N]
//   quirindo --help | --version
// They read the drawing with the same reader and write with the same writers
// as the menu commands.

#include <QStringList>

class QTextStream;

namespace quirindo::ui {

// True when the arguments ask for one of the commands above rather than the
// window (a plain file name opens the window with that drawing).
[[nodiscard]] bool IsCommandLineRequest(const QStringList& arguments);

// Runs the command; messages go to `out` and `err`. Returns the exit code:
// 0 on success, 1 when the work failed, 2 for a misuse of the arguments.
// Needs a QGuiApplication (fonts) but no display.
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace quirindo::ui
