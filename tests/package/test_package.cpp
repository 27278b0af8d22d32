// The Debian package as a user gets it: built with cpack, unpacked into a
// scratch root (or installed with dpkg -i when CI=true), and then the
// installed program, its desktop entry, file type, icons, AppStream data and
// man page are checked with the desktop's own tools.

#include "DbfTable.h"
#include "DrawingFile.h"
#include "FileIO.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace quirindo::test {
namespace {

namespace fs = std::filesystem;

const QString kAppId = QStringLiteral("org.tavren.Quirindo");

struct TRun {
    int ExitCode = -1;
    QString Out, Err;
};

// Runs a program (no shell) and waits up to two minutes for it.
TRun RunProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    TRun run;
    if (!process.waitForStarted()) {
        run.Err = program + QStringLiteral(": ") + process.errorString();
        return run;
    }
    if (!input.isEmpty()) process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) process.kill();
    process.waitForFinished();
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err += QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The value of `key` in the [Desktop Entry] group.
QString DesktopValue(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (line.startsWith(key + QLatin1Char('='))) return line.mid(key.size() + 1);
    return {};
}

// Rows of a translation table: German text -> the other columns.
std::map<std::string, std::vector<std::string>> TableRows(const std::string& path) {
    std::map<std::string, std::vector<std::string>> rows;
    TDbfTable table;
    if (!table.Open(path, true)) return rows;
    for (table.First(); !table.Eof(); table.Next()) {
        std::vector<std::string> row;
        for (std::size_t c = 1; c < table.Fields().size(); ++c)
            row.push_back(table.FieldText(static_cast<int>(c)));
        rows.emplace(table.FieldText(0), row);
    }
    return rows;
}

class Package : public ::testing::Test {
protected:
    // The package_build test has made the package and installed it: into
    // the system when CI=true, else unpacked into a scratch root.
    static void SetUpTestSuite() {
        const QString dir = QStringLiteral(QUIRINDO_PACKAGE_DIR);
        Deb = dir + QStringLiteral("/quirindo.deb");
        Root = qEnvironmentVariable("CI") == QLatin1String("true") ? QStringLiteral("/")
                                                                   : dir + QStringLiteral("/root");
    }

    void SetUp() override {
        ASSERT_TRUE(QFile::exists(Deb)) << "run the package_build test first";
        ASSERT_TRUE(QFile::exists(Program())) << Program().toStdString();
    }

    static QString Installed(const QString& path) { return QDir(Root).filePath(path); }
    static QString Program() { return Installed(QStringLiteral("usr/bin/quirindo")); }

    static inline QString Deb, Root;
    TTempDir Dir;
};

TEST_F(Package, DeclaresWhatTheProgramNeeds) {
    const TRun depends =
        RunProgram(QStringLiteral("dpkg-deb"), {"-f", Deb, "Depends", "Recommends"});
    ASSERT_EQ(depends.ExitCode, 0) << depends.Err.toStdString();
    for (const char* library : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6",
                                "libqt6widgets6", "libqt6printsupport6"})
        EXPECT_TRUE(depends.Out.contains(QLatin1String(library)))
            << library << " missing from " << depends.Out.toStdString();
    EXPECT_TRUE(depends.Out.contains(QLatin1String("Recommends: qt6-translations-l10n")))
        << depends.Out.toStdString();
}

TEST_F(Package, InstalledProgramShowsItsVersionAndExportsDxf) {
    const TRun version = RunProgram(Program(), {"--version"});
    EXPECT_EQ(version.ExitCode, 0) << version.Err.toStdString();
    EXPECT_EQ(version.Out, QStringLiteral("Quirindo " QUIRINDO_VERSION "\n"));

    TDrawing drawing;
    TDrawObject* o = drawing.Objects.Append();
    o->Kind = okLine;
    o->Width = 0.5;
    o->X1 = 20;
    o->Y1 = 30;
    o->X2 = 120;
    o->Y2 = 30;
    std::string error;
    ASSERT_TRUE(
        WriteFileAtomically(Dir.File("in.qrd"), SaveDrawing(drawing, TDrawingSettings{}), error))
        << error;
    const TRun exported =
        RunProgram(Program(), {"--export-dxf", QString::fromStdString(Dir.File("in.qrd")),
                               QString::fromStdString(Dir.File("out.dxf"))});
    ASSERT_EQ(exported.ExitCode, 0) << exported.Err.toStdString();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(Dir.File("out.dxf"), bytes, error)) << error;
    const std::string dxf(bytes.begin(), bytes.end());
    EXPECT_NE(dxf.find("ENTITIES\r\n"), std::string::npos);
    EXPECT_NE(dxf.find("POLYLINE\r\n"), std::string::npos);
    EXPECT_NE(dxf.find("\r\n267\r\n"), std::string::npos) << "y = 297 - 30 mm";
}

// The installed program finds the table shipped in share/quirindo and,
// started as a user, copies it into the user's data folder, writing
// nothing beside itself.
TEST_F(Package, InstalledProgramStartsWithTheShippedTable) {
    const std::string shipped =
        Installed(QStringLiteral("usr/share/quirindo/translate.dbf")).toStdString();
    const auto shippedRows = TableRows(shipped);
    ASSERT_GT(shippedRows.size(), 100u) << "the shipped table holds the translations";
    ASSERT_EQ(shippedRows.at("Datei").at(0), "File");

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(Dir.File("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(Dir.File("data")));
    const fs::path userTable = Dir.Path() / "data" / "quirindo" / "translate.dbf";
    QProcess window;
    window.setProcessEnvironment(env);
    window.start(Program(), {});
    ASSERT_TRUE(window.waitForStarted()) << window.errorString().toStdString();
    // The copy appears at start; the first showing then adds the texts the
    // table lacks. Give it time, then end the window.
    for (int i = 0; i < 300 && !fs::exists(userTable); ++i)
        QThread::msleep(100);
    QThread::msleep(1500);
    window.kill();
    window.waitForFinished();

    ASSERT_TRUE(fs::exists(userTable)) << window.readAllStandardError().toStdString();
    const auto userRows = TableRows(userTable.string());
    for (const auto& [german, translations] : shippedRows) {
        ASSERT_TRUE(userRows.count(german)) << german;
        EXPECT_EQ(userRows.at(german), translations) << german;
    }
    const QDir bin(Installed(QStringLiteral("usr/bin")));
    EXPECT_FALSE(bin.exists(QStringLiteral("translate.dbf")));
    EXPECT_FALSE(bin.exists(QStringLiteral("options.dat")));
}

TEST_F(Package, DesktopEntryOpensQrdFilesWithTheInstalledProgram) {
    const QString desktop =
        Installed(QStringLiteral("usr/share/applications/") + kAppId + QStringLiteral(".desktop"));
    const TRun validate = RunProgram(QStringLiteral("desktop-file-validate"), {desktop});
    EXPECT_EQ(validate.ExitCode, 0) << (validate.Out + validate.Err).toStdString();
    EXPECT_TRUE(validate.Out.isEmpty()) << "no hints either: " << validate.Out.toStdString();

    const QStringList exec = DesktopValue(desktop, QStringLiteral("Exec")).split(QLatin1Char(' '));
    ASSERT_EQ(exec.size(), 2);
    EXPECT_TRUE(QFile::exists(Installed(QStringLiteral("usr/bin/") + exec[0])));
    EXPECT_EQ(exec[1], QStringLiteral("%f")) << "the file manager passes the drawing";

    // The shared MIME database built from the installed type maps *.qrd to
    // the type the desktop entry handles.
    const QString mime = QString::fromStdString(Dir.File("mime"));
    QDir().mkpath(mime + QStringLiteral("/packages"));
    ASSERT_TRUE(QFile::copy(
        Installed(QStringLiteral("usr/share/mime/packages/") + kAppId + QStringLiteral(".xml")),
        mime + QStringLiteral("/packages/") + kAppId + QStringLiteral(".xml")));
    const TRun update = RunProgram(QStringLiteral("update-mime-database"), {mime});
    ASSERT_EQ(update.ExitCode, 0) << update.Err.toStdString();
    QFile globs(mime + QStringLiteral("/globs2"));
    ASSERT_TRUE(globs.open(QIODevice::ReadOnly));
    const QString mimeTypes = DesktopValue(desktop, QStringLiteral("MimeType"));
    const QRegularExpression qrd(QStringLiteral("^\\d+:([^:]+):\\*\\.qrd$"),
                                 QRegularExpression::MultilineOption);
    const auto match = qrd.match(QString::fromUtf8(globs.readAll()));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_TRUE(mimeTypes.split(QLatin1Char(';')).contains(match.captured(1)))
        << mimeTypes.toStdString() << " lacks " << match.captured(1).toStdString();
}

TEST_F(Package, IconsInEverySizeAndValidAppStreamData) {
    const QString desktop =
        Installed(QStringLiteral("usr/share/applications/") + kAppId + QStringLiteral(".desktop"));
    const QString icon = DesktopValue(desktop, QStringLiteral("Icon"));
    const QString hicolor = Installed(QStringLiteral("usr/share/icons/hicolor/"));
    EXPECT_TRUE(
        QFile::exists(hicolor + QStringLiteral("scalable/apps/") + icon + QStringLiteral(".svg")));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString png =
            hicolor + QStringLiteral("%1x%1/apps/").arg(size) + icon + QStringLiteral(".png");
        EXPECT_EQ(QImageReader(png).size(), QSize(size, size)) << png.toStdString();
    }

    const QString metainfo =
        Installed(QStringLiteral("usr/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"));
    const TRun validate =
        RunProgram(QStringLiteral("appstreamcli"), {"validate", "--no-net", metainfo});
    EXPECT_EQ(validate.ExitCode, 0) << (validate.Out + validate.Err).toStdString();
    QFile file(metainfo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(xml.contains(QStringLiteral("<launchable type=\"desktop-id\">") + kAppId +
                             QStringLiteral(".desktop</launchable>")));
}

// Every option the program's --help names is explained in the man page,
// which renders without a warning.
TEST_F(Package, ManPageDescribesEveryOption) {
    const QString page = Installed(QStringLiteral("usr/share/man/man1/quirindo.1.gz"));
    const TRun source = RunProgram(QStringLiteral("gzip"), {"-dc", page});
    ASSERT_EQ(source.ExitCode, 0) << source.Err.toStdString();
    const TRun rendered = RunProgram(QStringLiteral("groff"), {"-man", "-ww", "-Tascii", "-P-cbou"},
                                     source.Out.toUtf8());
    ASSERT_EQ(rendered.ExitCode, 0);
    EXPECT_TRUE(rendered.Err.isEmpty()) << rendered.Err.toStdString();

    const TRun help = RunProgram(Program(), {"--help"});
    ASSERT_EQ(help.ExitCode, 0);
    const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    int options = 0;
    for (const auto& m : option.globalMatch(help.Out)) {
        ++options;
        // Explained: named as an option with its own paragraph.
        EXPECT_TRUE(rendered.Out.contains(QStringLiteral("\n       ") + m.captured(0)))
            << m.captured(0).toStdString();
    }
    EXPECT_GE(options, 6);
}

} // namespace
} // namespace quirindo::test
