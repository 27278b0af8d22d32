// The recovery copy of an unsaved drawing: written while the drawing has
// changes, gone with a save, "Neu", opening and closing, restored byte for
// byte after a kill, never taken from a program still running, written on
// SIGTERM and SIGHUP; stale temporary files and the file-size limit.

#include "DrawingFile.h"
#include "FileIO.h"
#include "MainFormFixture.h"
#include "Messages.h"
#include "Recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace quirindo::test {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(path, bytes, error)) << path << ": " << error;
    return bytes;
}

// A process id that no process has: a child that has ended and been reaped.
pid_t DeadProcessId() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

class Recovery : public MainFormTest {
protected:
    static std::string StateDir() { return RecoveryDirectory(); }

    // The recovery copies in the state folder, by name.
    static QStringList Copies() {
        return QDir(QString::fromStdString(StateDir()))
            .entryList({QStringLiteral("copy-*.qrc")}, QDir::Files, QDir::Name);
    }

    // Writes the copy now and waits for it, as the timer would a moment later.
    void FlushCopy(ui::TMainForm& form) {
        form.RecoveryCopy->WriteNow();
        form.RecoveryCopy->Wait();
        QCoreApplication::processEvents(); // delivers a failure report
    }

    // The stores of `drawing` as the file writes them.
    static std::vector<std::uint8_t> Stores(TDrawing& drawing) {
        return SaveDrawing(drawing, TDrawingSettings{});
    }

    // A second window, as a second program would have it.
    std::unique_ptr<ui::TMainForm> AnotherWindow(TFakeDialogs*& fake) {
        auto form = std::make_unique<ui::TMainForm>(ProgramPath());
        auto dialogs = std::make_unique<TFakeDialogs>();
        fake = dialogs.get();
        form->SetDialogs(std::move(dialogs));
        form->FormShow();
        return form;
    }

    // Starts the child program; returns once it has edited its drawing.
    bool StartChild(QProcess& child, const char* drawingName, bool wait) {
        QStringList args{ProgramPath(), Path("expected.bin"), Path(drawingName)};
        if (wait) args << QStringLiteral("wait");
        child.start(QStringLiteral(QUIRINDO_RECOVERY_CHILD), args);
        if (!child.waitForStarted(30000)) return false;
        QElapsedTimer clock;
        clock.start();
        while (!child.canReadLine() && clock.elapsed() < 60000)
            if (!child.waitForReadyRead(1000) && child.state() == QProcess::NotRunning) break;
        return child.readLine().trimmed() == "edited";
    }
};

// An edited drawing in a program that is killed comes back byte for byte at
// the next start, with its name and the changed mark; while that program
// ran, no other window took its copy.
TEST_F(Recovery, KilledProgramsDrawingIsRestoredByteForByte) {
    QProcess child;
    ASSERT_TRUE(StartChild(child, "plan.qrd", false)) << child.readAllStandardError().toStdString();
    // The copy follows the edits by itself within a couple of seconds.
    QElapsedTimer clock;
    clock.start();
    while (Copies().isEmpty() && clock.elapsed() < 20000) QThread::msleep(50);
    // (It appears by a rename, so it is complete once it is listed.)
    ASSERT_EQ(Copies().size(), 1);

    // A program starting beside the running one leaves its copy alone.
    Form->StartUp(QString());
    EXPECT_TRUE(Fake->Questions.isEmpty()) << Fake->Questions.join('\n').toStdString();
    EXPECT_EQ(Copies().size(), 1);

    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(30000));

    TFakeDialogs* fake = nullptr;
    auto restarted = AnotherWindow(fake);
    fake->Answers = {ui::TAnswer::Yes};
    restarted->StartUp(QString());
    ASSERT_EQ(fake->Questions.size(), 1);
    EXPECT_TRUE(fake->Questions.front().contains(QStringLiteral("plan.qrd")))
        << fake->Questions.front().toStdString();
    EXPECT_EQ(Stores(*restarted->Drawing), ReadBytes(Dir.File("expected.bin")));
    EXPECT_EQ(restarted->Drawing->Objects.Count(), 250);
    EXPECT_EQ(restarted->FileName, Path("plan.qrd"));
    EXPECT_TRUE(restarted->Changed);
    EXPECT_TRUE(restarted->windowTitle().endsWith(QStringLiteral("plan.qrd*]")))
        << restarted->windowTitle().toStdString();
    // Edits go into the restored drawing, and undoing them back to it keeps
    // the "*": the restored drawing is not the one on disk.
    TDrawObject line{};
    line.X2 = 10.0;
    ASSERT_TRUE(restarted->DrawingEditor->AppendObject(line, "Linie"));
    EXPECT_EQ(restarted->Drawing->Objects.Count(), 251);
    restarted->Rueckgaengig1Click();
    EXPECT_EQ(Stores(*restarted->Drawing), ReadBytes(Dir.File("expected.bin")));
    EXPECT_TRUE(restarted->Changed);
    EXPECT_TRUE(restarted->windowTitle().endsWith(QStringLiteral("plan.qrd*]")));
    // The restored drawing is now the restarting program's own copy: the
    // dead one's is gone, and the window that was running all along is not
    // offered this one either.
    const QStringList copies = Copies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies.front().startsWith(QStringLiteral("copy-%1-").arg(::getpid())));
    Form->StartUp(QString());
    EXPECT_TRUE(Fake->Questions.isEmpty());

    // Saving it ends the need for a copy.
    restarted->SaveFile();
    EXPECT_TRUE(fake->Errors.isEmpty()) << fake->Errors.join('\n').toStdString();
    EXPECT_TRUE(Copies().isEmpty());
}

// SIGTERM and SIGHUP write the copy (the delay before a copy is set far
// beyond the test) and end the program; the next start offers it, and "No"
// discards it.
TEST_F(Recovery, TerminationSignalsWriteTheCopyFirst) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QProcess child;
        ASSERT_TRUE(StartChild(child, "signalled.qrd", true))
            << child.readAllStandardError().toStdString();
        EXPECT_TRUE(Copies().isEmpty());
        ::kill(static_cast<pid_t>(child.processId()), signal);
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 128 + signal);
        ASSERT_EQ(Copies().size(), 1);

        TFakeDialogs* fake = nullptr;
        auto restarted = AnotherWindow(fake);
        if (signal == SIGTERM) {
            fake->Answers = {ui::TAnswer::Yes};
            restarted->StartUp(QString());
            EXPECT_EQ(Stores(*restarted->Drawing), ReadBytes(Dir.File("expected.bin")));
        } else {
            fake->Answers = {ui::TAnswer::No};
            restarted->StartUp(QString());
            EXPECT_EQ(restarted->Drawing->Objects.Count(), 0);
            EXPECT_FALSE(restarted->Changed);
        }
        EXPECT_EQ(fake->Questions.size(), 1);
        // Closed without saving: neither the copy nor its lock file is left.
        fake->Answers = {ui::TAnswer::No};
        EXPECT_TRUE(restarted->close());
        restarted.reset();
        EXPECT_TRUE(Copies().isEmpty());
        EXPECT_TRUE(QDir(QString::fromStdString(StateDir()))
                        .entryList({QStringLiteral("copy-*")}, QDir::Files)
                        .isEmpty());
    }
}

// The copy holds the unsaved drawing and its name, and goes whenever the
// drawing stops being unsaved: save, "Neu", opening another file, closing.
TEST_F(Recovery, CopyFollowsTheUnsavedDrawingOnly) {
    AddLine();
    FlushCopy(*Form);
    ASSERT_EQ(Copies().size(), 1);
    {
        std::string name;
        std::vector<std::uint8_t> file;
        ASSERT_TRUE(ParseRecoveryCopy(
            ReadBytes(Form->RecoveryCopy->Path().toStdString()), name, file));
        EXPECT_EQ(name, "");
        TDrawing copy;
        TDrawingSettings settings;
        LoadDrawing(file, copy, settings);
        EXPECT_EQ(Stores(copy), Stores(*Form->Drawing));
    }

    Fake->SaveNames = {Path("saved.qrd")};
    ASSERT_TRUE(Form->SaveFile());
    Form->RecoveryCopy->Wait();
    EXPECT_TRUE(Copies().isEmpty()) << "after save";

    AddLine();
    FlushCopy(*Form);
    EXPECT_EQ(Copies().size(), 1);
    Fake->Answers = {ui::TAnswer::No};
    Form->Neu1Click();
    Form->RecoveryCopy->Wait();
    EXPECT_TRUE(Copies().isEmpty()) << "after Neu";

    AddLine();
    FlushCopy(*Form);
    EXPECT_EQ(Copies().size(), 1);
    Fake->Answers = {ui::TAnswer::No};
    Fake->OpenNames = {Path("saved.qrd")};
    ASSERT_TRUE(Form->OpenFile());
    Form->RecoveryCopy->Wait();
    EXPECT_TRUE(Copies().isEmpty()) << "after open";

    AddLine();
    FlushCopy(*Form);
    EXPECT_EQ(Copies().size(), 1);
    Fake->Answers = {ui::TAnswer::No};
    EXPECT_TRUE(Form->close());
    Form->RecoveryCopy->Wait();
    EXPECT_TRUE(Copies().isEmpty()) << "after close";
    EXPECT_TRUE(Fake->Errors.isEmpty()) << Fake->Errors.join('\n').toStdString();
}

// A copy that cannot be written is reported once, naming it, and the
// drawing goes on being edited.
TEST_F(Recovery, UnwritableCopyIsReportedOnce) {
    {
        std::ofstream blocker(Dir.File("state-file"));
        blocker << "not a folder";
    }
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(Dir.File("state-file")));
    TFakeDialogs* fake = nullptr;
    auto form = AnotherWindow(fake);
    for (int i = 0; i < 3; ++i) {
        TDrawObject* o = form->Drawing->Objects.Append();
        o->Kind = okLine;
        form->SetChanged();
        FlushCopy(*form);
    }
    ASSERT_EQ(fake->Errors.size(), 1);
    EXPECT_TRUE(fake->Errors.front().contains(form->RecoveryCopy->Path()))
        << fake->Errors.front().toStdString();
    EXPECT_TRUE(fake->Errors.front().contains(
        QString::fromStdString(TranslatedReason(SystemErrorReason(ENOTDIR)))))
        << fake->Errors.front().toStdString();
    EXPECT_EQ(form->Drawing->Objects.Count(), 3);
    EXPECT_TRUE(form->Changed);
}

// Several left-over copies are offered newest first; after one is restored
// the older one stays for the next start. A damaged copy is reported and set
// aside instead of being offered again.
TEST_F(Recovery, SeveralCopiesNewestFirstDamagedSetAside) {
    const std::string dir = StateDir();
    std::filesystem::create_directories(dir);
    const auto writeCopy = [&](const char* id, const char* name, int lines, std::time_t when) {
        TDrawing drawing;
        for (int i = 0; i < lines; ++i) drawing.Objects.Append()->Kind = okLine;
        const std::string path = dir + "/copy-" + id + ".qrc";
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(
            path, RecoveryCopyBytes(name, SaveDrawing(drawing, TDrawingSettings{})), error));
        const timespec times[2] = {{when, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    };
    writeCopy("1-aaaaaa", "/old.qrd", 1, 1000000000);
    writeCopy("2-bbbbbb", "/new.qrd", 2, 1100000000);
    {
        std::ofstream cut(dir + "/copy-3-cccccc.qrc", std::ios::binary);
        cut << "QUIRINDO-RECOVERY\n\x05";
    }
    Fake->Answers = {ui::TAnswer::Yes};
    EXPECT_TRUE(Form->OfferRecoveredDrawings());
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors.front().contains(QStringLiteral("copy-3-cccccc.qrc")));
    ASSERT_EQ(Fake->Questions.size(), 1);
    EXPECT_TRUE(Fake->Questions.front().contains(QStringLiteral("new.qrd")));
    EXPECT_EQ(Form->FileName, QStringLiteral("/new.qrd"));
    EXPECT_EQ(Form->Drawing->Objects.Count(), 2);
    EXPECT_TRUE(std::filesystem::exists(dir + "/copy-1-aaaaaa.qrc"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/copy-2-bbbbbb.qrc"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/copy-3-cccccc.qrc"));
    EXPECT_TRUE(std::filesystem::exists(dir + "/copy-3-cccccc.qrc.damaged"));

    // The next start: only the old one is left to ask about.
    TFakeDialogs* fake = nullptr;
    auto next = AnotherWindow(fake);
    fake->Answers = {ui::TAnswer::Cancel};
    EXPECT_FALSE(next->OfferRecoveredDrawings());
    ASSERT_EQ(fake->Questions.size(), 1);
    EXPECT_TRUE(fake->Questions.front().contains(QStringLiteral("old.qrd")));
    EXPECT_TRUE(fake->Errors.isEmpty());
    EXPECT_TRUE(std::filesystem::exists(dir + "/copy-1-aaaaaa.qrc")) << "Cancel keeps it";
}

// Temporary files that a killed save or export left (in the state folder and
// beside an opened drawing) go at start when their process has ended; those
// of a running process stay.
TEST_F(Recovery, StaleTemporaryFilesGoAtStart) {
    const std::string state = StateDir();
    std::filesystem::create_directories(state);
    std::filesystem::create_directories(Dir.Path() / "drawings");
    const std::string drawing = (Dir.Path() / "drawings" / "plan.qrd").string();
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(drawing, Stores(*Form->Drawing), error));
    const pid_t dead = DeadProcessId();
    const auto temporary = [](const std::string& folder, const char* name, long pid) {
        const std::string path = folder + "/." + name + ".quirindo-tmp-" + std::to_string(pid) +
                                 "-Ab12Cd";
        std::ofstream(path) << "part";
        return path;
    };
    const std::string staleCopy = temporary(state, "copy-1-aaaaaa.qrc", dead);
    const std::string staleExport = temporary((Dir.Path() / "drawings").string(), "plan.png", dead);
    const std::string running = temporary((Dir.Path() / "drawings").string(), "b.bmp", ::getpid());

    EXPECT_TRUE(Form->StartUp(QString::fromStdString(drawing)));
    EXPECT_FALSE(std::filesystem::exists(staleCopy));
    EXPECT_FALSE(std::filesystem::exists(staleExport));
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_EQ(Form->FileName, QString::fromStdString(drawing));
}

// A PNG export beyond the file-size limit (ulimit -f) ends with the system's
// reason instead of the program being killed by SIGXFSZ part-way.
TEST(RecoveryProgram, FileSizeLimitIsReportedNotFatal) {
    TTempDir dir;
    TDrawing drawing;
    for (int i = 0; i < 200; ++i) {
        TDrawObject* o = drawing.Objects.Append();
        o->Kind = okLine;
        o->Width = 1;
        o->X1 = i;
        o->Y1 = 10;
        o->X2 = 200 - i;
        o->Y2 = 280;
    }
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("big.qrd"),
                                    SaveDrawing(drawing, TDrawingSettings{}), error));
    for (const char* out : {"out.png", "out.bmp"}) {
        QProcess program;
        // No trap here: the program itself must not die of the signal.
        program.start(QStringLiteral("/bin/sh"),
                      QStringList{"-c", "ulimit -f 16 && exec \"$0\" \"$@\"",
                                  QStringLiteral(QUIRINDO_PROGRAM), "--export-image",
                                  QString::fromStdString(dir.File("big.qrd")),
                                  QString::fromStdString(dir.File(out)), "--dpi", "300"});
        ASSERT_TRUE(program.waitForFinished(120000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << out;
        EXPECT_EQ(program.exitCode(), 1) << out;
        const QByteArray said = program.readAllStandardError();
        EXPECT_TRUE(said.contains(out)) << said.toStdString();
        EXPECT_TRUE(said.trimmed().endsWith(": file too large")) << said.toStdString();
        EXPECT_FALSE(std::filesystem::exists(dir.File(out)));
    }
}

} // namespace
} // namespace quirindo::test
