// A program run by the recovery tests as a child process: a main window
// (offscreen) that draws lines and texts, names its drawing, writes what the
// stores hold to a file for comparison, says "edited" and runs the event
// loop until it is killed or ends on a signal.
//
// Arguments: program path (its folder holds options.dat), the file for the
// stores' bytes, the drawing's name, and "wait" to keep the copy back for a
// long time (so only a signal can write it).

#include "DrawingFile.h"
#include "FakeDialogs.h"
#include "FileIO.h"
#include "MainForm.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    using namespace quirindo;
    QApplication app(argc, argv);
    if (argc < 4) return 2;
    ui::TMainForm form(QString::fromLocal8Bit(argv[1]));
    form.SetDialogs(std::make_unique<test::TFakeDialogs>());
    form.FormShow();
    ui::InstallTerminationSignals([&form](int signal) { form.EndOnSignal(signal); });
    if (argc > 4 && std::string(argv[4]) == "wait") form.RecoveryCopy->SetDelay(600000);

    form.FileName = QString::fromLocal8Bit(argv[3]);
    for (int i = 0; i < 250; ++i) {
        TDrawObject* o = form.Drawing->Objects.Append();
        o->Kind = i % 3 == 0 ? okEllipse : okLine;
        o->Color = 0x102030 + i;
        o->Width = 0.1 + i / 1000.0;
        o->X1 = 10 + i / 7.0;
        o->Y1 = 20 + i / 3.0;
        o->X2 = 30.125 - i;
        o->Y2 = 40 + i * 1.5;
        form.SetChanged();
    }
    // A text with letters outside Latin-1 and a U+0000 inside it.
    form.Drawing->AppendText(std::u16string(u"Kreis \u03c0 r\u00b2 \u2260 0") + u'\0' + u"end",
                             "Arial");
    form.Drawing->AppendText(u"zweiter Text", "Courier New");
    form.SetChanged();

    std::string error;
    if (!WriteFileAtomically(argv[2], SaveDrawing(*form.Drawing, TDrawingSettings{}), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::printf("edited\n");
    std::fflush(stdout);
    return QApplication::exec();
}
