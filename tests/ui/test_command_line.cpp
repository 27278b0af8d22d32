// The exports from the command line: through the function the program entry
// calls, and through the real program started without any display.

#include "CommandLine.h"
#include "DrawingFile.h"
#include "DxfNumber.h"
#include "DxfTextMeasure.h"
#include "FileIO.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <fstream>
#include <gtest/gtest.h>
#include <cmath>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace quirindo::test {
namespace {

class CommandLine : public ::testing::Test {
protected:
    // A drawing with one 100 mm line across page 1 at y = 50 mm.
    QString WriteDrawing(const char* name) {
        TDrawing drawing;
        TDrawObject* o = drawing.Objects.Append();
        o->Kind = okLine;
        o->Width = 0.5;
        o->X1 = 50;
        o->Y1 = 50;
        o->X2 = 150;
        o->Y2 = 50;
        drawing.AppendText(u"Maß", "Arial")->Size = 12;
        const auto bytes = SaveDrawing(drawing, TDrawingSettings{});
        std::string error;
        EXPECT_TRUE(WriteFileAtomically(Dir.File(name), bytes, error));
        return Q(name);
    }
    QString Q(const char* name) const { return QString::fromStdString(Dir.File(name)); }

    // The 100 mm line at y = 50 mm alone, with the given page count.
    void WriteLineDrawing(const char* name, double pageCount) {
        TDrawing drawing;
        TDrawObject* o = drawing.Objects.Append();
        o->Kind = okLine;
        o->X1 = 50;
        o->Y1 = 50;
        o->X2 = 150;
        o->Y2 = 50;
        TDrawingSettings settings;
        settings.PageCount = pageCount;
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(Dir.File(name), SaveDrawing(drawing, settings), error));
    }

    int Run(QStringList args) {
        Out.clear();
        Err.clear();
        QTextStream out(&Out), err(&Err);
        args.prepend(QStringLiteral("quirindo"));
        return ui::RunCommandLine(args, out, err);
    }

    TTempDir Dir;
    QString Out, Err;
};

TEST_F(CommandLine, RecognisesOnlyOptions) {
    EXPECT_TRUE(ui::IsCommandLineRequest({"quirindo", "--help"}));
    EXPECT_FALSE(ui::IsCommandLineRequest({"quirindo", "drawing.qrd"}));
    EXPECT_FALSE(ui::IsCommandLineRequest({"quirindo"}));
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_TRUE(Out.contains(QStringLiteral("--export-dxf")));
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_TRUE(Out.startsWith(QStringLiteral("Quirindo ")));
    EXPECT_EQ(Run({"--bogus"}), 2);
    EXPECT_TRUE(Err.contains(QStringLiteral("--bogus")));
    EXPECT_EQ(Run({"--export-dxf", "only-one.qrd"}), 2);
}

TEST_F(CommandLine, ExportsDxfLikeTheMenuCommand) {
    const QString in = WriteDrawing("in.qrd");
    ASSERT_EQ(Run({"--export-dxf", in, Q("out.dxf")}), 0) << Err.toStdString();
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(Dir.File("out.dxf"), bytes, error));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("ENTITIES\r\n"), std::string::npos);
    EXPECT_NE(text.find("POLYLINE\r\n"), std::string::npos);
    EXPECT_NE(text.find("Ma\xDF\r\n"), std::string::npos);  // Windows-1252
    EXPECT_NE(text.find("\r\n247\r\n"), std::string::npos); // y = 297 - 50
}

TEST_F(CommandLine, ExportsPicturesAtTheChosenResolution) {
    const QString in = WriteDrawing("in.qrd");
    ASSERT_EQ(Run({"--export-image", in, Q("p.bmp")}), 0) << Err.toStdString();
    const QImage bmp(Q("p.bmp"));
    ASSERT_FALSE(bmp.isNull());
    EXPECT_EQ(bmp.size(), QSize(1240, 1754)); // A4 at 150 dpi
    ASSERT_EQ(Run({"--export-image", in, Q("p.png"), "--dpi", "100", "--page", "1"}), 0)
        << Err.toStdString();
    const QImage png(Q("p.png"));
    ASSERT_EQ(png.size(), QSize(827, 1169));
    // The 100 mm line: dark at its middle, white beside its ends.
    const int y = qRound(50 * 100 / kMmPerInch);
    EXPECT_LT(qGray(png.pixel(qRound(100 * 100 / kMmPerInch), y)), 100);
    EXPECT_EQ(qGray(png.pixel(qRound(40 * 100 / kMmPerInch), y)), 255);
}

TEST_F(CommandLine, FailuresSayWhyAndExitNonZero) {
    const QString in = WriteDrawing("in.qrd");
    EXPECT_EQ(Run({"--export-dxf", Q("missing.qrd"), Q("o.dxf")}), 1);
    EXPECT_TRUE(Err.contains(QStringLiteral("missing.qrd")));
    { std::ofstream(Dir.File("damaged.qrd"), std::ios::binary) << "\xFF\xFF\xFF\xFF"; }
    EXPECT_EQ(Run({"--export-image", Q("damaged.qrd"), Q("o.bmp")}), 1);
    EXPECT_TRUE(Err.contains(QStringLiteral("damaged")));
    EXPECT_EQ(Run({"--export-dxf", in, Q("no/such/folder/o.dxf")}), 1);
    EXPECT_TRUE(Err.contains(QStringLiteral("o.dxf")));
    EXPECT_EQ(Run({"--export-image", in, Q("no/such/folder/o.png")}), 1);
    EXPECT_EQ(Run({"--export-image", in, Q("o.bmp"), "--page", "2"}), 1);
    EXPECT_TRUE(Err.contains(QStringLiteral("page 2")));
    EXPECT_EQ(Run({"--export-image", in, Q("o.bmp"), "--dpi", "5"}), 2);
    EXPECT_EQ(Run({"--export-image", in, Q("o.gif")}), 2);
    EXPECT_FALSE(QFileInfo::exists(Q("o.bmp")));
}

// An export whose output is its own input would destroy the drawing: it is
// refused however the output is named (the same path, another spelling, a
// symbolic or a hard link), and the drawing stays as it was.
TEST_F(CommandLine, RefusesToExportOntoItsInput) {
    const QString in = WriteDrawing("in.qrd");
    const QByteArray drawing = [&] {
        QFile file(in);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(drawing.isEmpty());
    ASSERT_TRUE(QFile::link(in, Q("symbolic.dxf")));
    ASSERT_EQ(::link(Dir.File("in.qrd").c_str(), Dir.File("hard.dxf").c_str()), 0);
    ASSERT_EQ(::link(Dir.File("in.qrd").c_str(), Dir.File("hard.png").c_str()), 0);
    const QString spelledOtherwise = QString::fromStdString(
        (Dir.Path() / "." / ".." / Dir.Path().filename() / "in.qrd").string());
    for (const QString& out : {in, spelledOtherwise, Q("symbolic.dxf"), Q("hard.dxf")}) {
        EXPECT_EQ(Run({"--export-dxf", in, out}), 2) << out.toStdString();
        EXPECT_TRUE(Err.contains(QStringLiteral("input"))) << Err.toStdString();
    }
    EXPECT_EQ(Run({"--export-image", in, Q("hard.png")}), 2);
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), drawing);
    EXPECT_EQ(QFileInfo(Q("hard.dxf")).size(), drawing.size());

    // A different file is written as ever.
    EXPECT_EQ(Run({"--export-dxf", in, Q("out.dxf")}), 0) << Err.toStdString();
}

// An export that fails part way (here at a file size limit) leaves the file
// it was to replace as it was and no partial or temporary file beside it.
TEST_F(CommandLine, AFailedExportLeavesThePreviousFile) {
    TDrawing drawing;
    for (int i = 0; i < 100; ++i) {
        TDrawObject* o = drawing.Objects.Append();
        o->Kind = okEllipse;
        o->X1 = 10 + i;
        o->Y1 = 10;
        o->X2 = 60 + i;
        o->Y2 = 60;
    }
    std::string error;
    ASSERT_TRUE(
        WriteFileAtomically(Dir.File("big.qrd"), SaveDrawing(drawing, TDrawingSettings{}), error));
    const QStringList outputs = {"out.dxf", "out.bmp", "out.png"};
    for (const QString& name : outputs) {
        QFile file(Q(name.toUtf8().constData()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("previous");
    }
    const QList<QStringList> commands = {
        {"--export-dxf", Q("big.qrd"), Q("out.dxf")},
        {"--export-image", Q("big.qrd"), Q("out.bmp")},
        {"--export-image", Q("big.qrd"), Q("out.png"), "--dpi", "300"}};
    for (const QStringList& command : commands) {
        QProcess program;
        // At most a few kilobytes per file; a write beyond fails instead of
        // ending the program.
        program.start(QStringLiteral("/bin/sh"),
                      QStringList{"-c", "trap '' XFSZ; ulimit -f 16 && exec \"$0\" \"$@\"",
                                  QStringLiteral(QUIRINDO_PROGRAM)} +
                          command);
        ASSERT_TRUE(program.waitForFinished(120000));
        EXPECT_EQ(program.exitCode(), 1) << command.join(' ').toStdString();
        // The system's reason, not a shrug.
        const QByteArray said = program.readAllStandardError();
        EXPECT_TRUE(said.contains("cannot write")) << said.toStdString();
        EXPECT_TRUE(said.trimmed().endsWith(": file too large")) << said.toStdString();
        EXPECT_FALSE(said.contains("nknown")) << said.toStdString();
    }
    for (const QString& name : outputs) {
        QFile file(Q(name.toUtf8().constData()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("previous")) << name.toStdString();
    }
    QStringList files = QDir(QString::fromStdString(Dir.Path().string())).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{"big.qrd", "out.bmp", "out.dxf", "out.png"}));
}

// The command line takes a stored page count of 2.6 as the window does
// (three pages, not two) and gives its reasons in English.
TEST_F(CommandLine, PageCountAndReasonsAgreeWithTheWindow) {
    WriteLineDrawing("pages.qrd", 2.6);
    std::string error;
    ASSERT_EQ(Run({"--export-dxf", Q("pages.qrd"), Q("pages.dxf")}), 0) << Err.toStdString();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(Dir.File("pages.dxf"), bytes, error)) << error;
    const std::string dxf(bytes.begin(), bytes.end());
    // y grows upwards from the foot of the last page: 3 x 297 - 50.
    EXPECT_NE(dxf.find("\r\n20\r\n841\r\n"), std::string::npos);
    EXPECT_EQ(Run({"--export-image", Q("pages.qrd"), Q("p3.bmp"), "--page", "3"}), 0)
        << Err.toStdString();

    { std::ofstream(Dir.File("negative.qrd"), std::ios::binary) << "\xFF\xFF\xFF\xFF"; }
    EXPECT_EQ(Run({"--export-dxf", Q("negative.qrd"), Q("n.dxf")}), 1);
    EXPECT_TRUE(Err.endsWith(QStringLiteral(": negative object count\n"))) << Err.toStdString();
    EXPECT_EQ(Run({"--export-dxf", Q("missing.qrd"), Q("m.dxf")}), 1);
    EXPECT_TRUE(Err.endsWith(QStringLiteral(": no such file or directory\n"))) << Err.toStdString();
    for (const char* picture : {"no/such/p.png", "no/such/p.bmp"}) {
        EXPECT_EQ(Run({"--export-image", Q("pages.qrd"), Q(picture)}), 1);
        EXPECT_TRUE(Err.endsWith(QStringLiteral(": no such file or directory\n")))
            << Err.toStdString();
    }
}

TEST_F(CommandLine, TheProgramExportsWithoutAnyDisplay) {
    const QString in = WriteDrawing("in.qrd");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    // A user whose numbers have a decimal comma still gets a full stop.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUIRINDO_PROGRAM), {"--export-dxf", in, Q("p.dxf")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(Dir.File("p.dxf"), bytes, error)) << error;
    const std::string text(bytes.begin(), bytes.end());
    // The capital height of the size-12 text as the page's font gives it,
    // with a full stop.
    TDrawing same;
    TTextObject* t = same.AppendText(u"Ma\u00DF", "Arial");
    t->Size = 12;
    const std::string height =
        FormatDxfNumber(DxfTextMeasure(TTextFontResolver(), 96.0)(*t).CapHeight);
    ASSERT_NE(height.find('.'), std::string::npos) << height;
    EXPECT_NE(text.find("\r\n 40\r\n" + height + "\r\n"), std::string::npos) << height;
    EXPECT_EQ(text.find(','), std::string::npos);

    program.start(QStringLiteral(QUIRINDO_PROGRAM),
                  {"--export-image", Q("missing.qrd"), Q("x.png")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains("missing.qrd"));
}

// The real program as a user starts it; returns its exit code.
int RunProgram(const QStringList& args, QByteArray* said = nullptr) {
    QProcess program;
    program.start(QStringLiteral(QUIRINDO_PROGRAM), args);
    if (!program.waitForFinished(120000)) return -1;
    if (said) *said = program.readAllStandardError();
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

// Page counts far beyond the ten pages (2^31 and more) mean ten
// pages for the exporting program as they do in the window: the DXF puts a
// line 50 mm below the top of page 1 at 10 x 297 - 50.
TEST_F(CommandLine, HugePageCountsMeanTenPagesInTheProgramToo) {
    for (const double count : {2147483648.0, 4294967296.5, 1e300}) {
        SCOPED_TRACE(count);
        WriteLineDrawing("many.qrd", count);
        std::string error;
        QByteArray said;
        ASSERT_EQ(RunProgram({"--export-dxf", Q("many.qrd"), Q("many.dxf")}, &said), 0)
            << said.toStdString();
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(Dir.File("many.dxf"), bytes, error)) << error;
        const std::string dxf(bytes.begin(), bytes.end());
        EXPECT_NE(dxf.find("\r\n20\r\n2920\r\n"), std::string::npos);
        // Page 10 exists, page 11 does not.
        EXPECT_EQ(RunProgram({"--export-image", Q("many.qrd"), Q("p10.bmp"), "--dpi", "10",
                              "--page", "10"}),
                  0);
        EXPECT_EQ(RunProgram({"--export-image", Q("many.qrd"), Q("p11.bmp"), "--dpi", "10",
                              "--page", "11"}),
                  1);
    }
}

// Picture exports onto something that is no regular file (a named pipe, or
// through a link a device) are refused and leave it what it was.
TEST_F(CommandLine, PicturesAreNotWrittenOverPipesOrDevices) {
    const QString in = WriteDrawing("in.qrd");
    const std::string fifo = Dir.File("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(fifo.c_str(), Dir.File("pipe.bmp").c_str()), 0);
    for (const char* target : {"pipe.png", "pipe.bmp"}) {
        QByteArray said;
        EXPECT_EQ(RunProgram({"--export-image", in, Q(target), "--dpi", "20"}, &said), 1)
            << target;
        EXPECT_TRUE(said.trimmed().endsWith(": not a regular file")) << said.toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << target << " replaced the pipe";
    }
    if (::geteuid() != 0) GTEST_SKIP() << "only root may make a device node";
    // A node like /dev/null, reached through a link with a picture's name.
    const std::string device = Dir.File("null");
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    ASSERT_EQ(::symlink(device.c_str(), Dir.File("dev.bmp").c_str()), 0);
    ASSERT_EQ(::symlink(device.c_str(), Dir.File("dev.png").c_str()), 0);
    for (const char* target : {"dev.bmp", "dev.png"}) {
        EXPECT_EQ(RunProgram({"--export-image", in, Q(target), "--dpi", "20"}), 1) << target;
        struct stat st {};
        ASSERT_EQ(::lstat(device.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << target << " replaced the device";
        EXPECT_EQ(st.st_rdev, ::makedev(1, 3));
    }
    QStringList files = QDir(QString::fromStdString(Dir.Path().string()))
                            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot);
    files.sort();
    EXPECT_EQ(files, (QStringList{"dev.bmp", "dev.png", "in.qrd", "null", "pipe.bmp", "pipe.png"}));
}

} // namespace
} // namespace quirindo::test

namespace quirindo::test {
namespace {

// PDF, SVG and numbered pictures from the command line: the same files as
// from the menu, pages chosen as asked, mistakes refused before writing.
TEST_F(CommandLine, ExportsPdfSvgAndNumberedPictures) {
    WriteLineDrawing("two.qrd", 2);
    const QString in = Q("two.qrd");
    ASSERT_EQ(Run({"--export-pdf", in, Q("all.pdf")}), 0) << Err.toStdString();
    ASSERT_EQ(Run({"--export-pdf", in, Q("one.pdf"), "--pages", "2-2"}), 0) << Err.toStdString();
    const auto pdfPages = [](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return -1;
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
        return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
    };
    EXPECT_EQ(pdfPages(Q("all.pdf")), 2);
    EXPECT_EQ(pdfPages(Q("one.pdf")), 1);

    ASSERT_EQ(Run({"--export-svg", in, Q("p2.svg"), "--page", "2"}), 0) << Err.toStdString();
    QFile svg(Q("p2.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.contains("width=\"210mm\"")) << text.left(600).toStdString();
    EXPECT_TRUE(text.contains("viewBox=\"0 0 210 297"));

    ASSERT_EQ(Run({"--export-image", in, Q("p.png"), "--dpi", "30", "--pages", "1-2"}), 0)
        << Err.toStdString();
    EXPECT_FALSE(QImage(Q("p-1.png")).isNull());
    EXPECT_FALSE(QImage(Q("p-2.png")).isNull());
    EXPECT_FALSE(QFileInfo::exists(Q("p.png")));

    // Pages the drawing lacks, ranges that are none, options of another
    // command: refused, and nothing written.
    EXPECT_EQ(Run({"--export-pdf", in, Q("x.pdf"), "--pages", "2-3"}), 1);
    EXPECT_TRUE(Err.contains(QStringLiteral("page 3"))) << Err.toStdString();
    EXPECT_EQ(Run({"--export-pdf", in, Q("x.pdf"), "--pages", "2-1"}), 2);
    EXPECT_EQ(Run({"--export-svg", in, Q("x.svg"), "--page", "1-2"}), 2);
    EXPECT_EQ(Run({"--export-svg", in, Q("x.svg"), "--dpi", "100"}), 2);
    EXPECT_EQ(Run({"--export-image", in, Q("x.png"), "--page", "1", "--pages", "1-2"}), 2);
    EXPECT_EQ(Run({"--export-svg", in, Q("x.svg"), "--page", "0"}), 2);
    EXPECT_FALSE(QFileInfo::exists(Q("x.pdf")));
    EXPECT_FALSE(QFileInfo::exists(Q("x.svg")));
    EXPECT_FALSE(QFileInfo::exists(Q("x-1.png")));
}

} // namespace
} // namespace quirindo::test
