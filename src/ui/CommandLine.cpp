#include "CommandLine.h"

#include "BitmapExport.h"
#include "DrawingFile.h"
#include "DxfTextMeasure.h"
#include "VectorExport.h"
#include "DxfWriter.h"
#include "FileIO.h"
#include "Messages.h"
#include "PageRenderer.h"

#include <QFileInfo>
#include <QMap>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <memory>

namespace quirindo::ui {
namespace {

constexpr double kScreenDpi = 96.0; // text sizes count in pixels at zoom 100

const char* const kUsage =
    "Usage:\n"
    "  quirindo [DRAWING.qrd]                 open the window (with a drawing)\n"
    "  quirindo --export-dxf IN.qrd OUT.dxf   write the drawing as DXF\n"
    "  quirindo --export-image IN.qrd OUT.bmp|OUT.png [--dpi N] [--page N | --pages A-B]\n"
    "                                         write one page as a picture\n"
    "                                         (dpi 10 to 4000, default 150;\n"
    "                                         page from 1, default 1); with\n"
    "                                         --pages one numbered file a page\n"
    "                                         (OUT-1.png, OUT-2.png, ...)\n"
    "  quirindo --export-pdf IN.qrd OUT.pdf [--pages A-B]\n"
    "                                         write the pages (default all) as PDF\n"
    "  quirindo --export-svg IN.qrd OUT.svg [--page N]\n"
    "                                         write one page (default 1) as SVG\n"
    "  quirindo --help | --version\n";

struct TLoaded {
    std::unique_ptr<TDrawing> Drawing = std::make_unique<TDrawing>();
    TDrawingSettings Settings;
};

// The command line has no translation table: reasons come in English.
QString English(const std::string& germanReason) {
    return QString::fromStdString(EnglishReason(germanReason));
}

bool Load(const QString& path, TLoaded& loaded, QTextStream& err) {
    std::string reason;
    switch (LoadDrawingFile(path.toStdString(), *loaded.Drawing, loaded.Settings, reason)) {
    case TLoadResult::Ok:
        return true;
    case TLoadResult::CannotRead:
    case TLoadResult::OutOfMemory:
        err << "quirindo: cannot open " << path << ": " << English(reason) << "\n";
        return false;
    case TLoadResult::Damaged:
        err << "quirindo: " << path << " is damaged or not a drawing: " << English(reason) << "\n";
        return false;
    }
    return false;
}

// An export onto its own input would destroy the drawing it is made from;
// a link or another spelling of the path is the same file.
bool RefuseOwnInput(const QString& in, const QString& out, QTextStream& err) {
    if (!SameFile(in.toStdString(), out.toStdString())) return false;
    err << "quirindo: " << out << " is the input drawing " << in
        << "; choose another file for the export\n";
    return true;
}

int ExportDxf(const QString& in, const QString& out, QTextStream& err) {
    if (RefuseOwnInput(in, out, err)) return 2;
    TLoaded loaded;
    if (!Load(in, loaded, err)) return 1;
    std::string error;
    TDxfWriteOptions options;
    options.TextMeasure = DxfTextMeasure(TTextFontResolver(), kScreenDpi);
    if (!WriteDxfFile(out.toStdString(), *loaded.Drawing, PageCountOf(loaded.Settings),
                      loaded.Settings.PageHeightInch, error, options)) {
        err << "quirindo: cannot write " << out << ": " << English(error) << "\n";
        return 1;
    }
    return 0;
}

// "K" or "A-B", pages from 1; false for anything else.
bool ParsePages(const QString& text, int& first, int& last) {
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() > 2) return false;
    bool ok1 = false, ok2 = false;
    first = parts[0].trimmed().toInt(&ok1);
    last = parts.size() == 2 ? parts[1].trimmed().toInt(&ok2) : first;
    if (parts.size() == 1) ok2 = ok1;
    return ok1 && ok2 && first >= 1 && last >= first;
}

// The options after IN and OUT: each name from `allowed` with its value.
bool ParseOptions(const QStringList& args, const QStringList& allowed,
                  QMap<QString, QString>& options, QTextStream& err) {
    for (qsizetype i = 2; i < args.size(); i += 2) {
        if (!allowed.contains(args[i]) || i + 1 >= args.size()) {
            err << "quirindo: unexpected argument " << args[i] << "\n" << kUsage;
            return false;
        }
        options[args[i]] = args[i + 1];
    }
    return true;
}

bool PagesExist(int first, int last, int pages, QTextStream& err) {
    const int missing = first < 1 || first > pages ? first : last;
    if (missing >= 1 && missing <= pages) return true;
    err << "quirindo: there is no page " << missing << "; the drawing has " << pages
        << (pages == 1 ? " page\n" : " pages\n");
    return false;
}

int ExportImage(const QStringList& args, QTextStream& err) {
    // args: IN OUT [--dpi N] [--page N | --pages A-B]
    if (args.size() < 2) {
        err << kUsage;
        return 2;
    }
    QMap<QString, QString> options;
    if (!ParseOptions(args, {QStringLiteral("--dpi"), QStringLiteral("--page"), QStringLiteral("--pages")},
                      options, err))
        return 2;
    bool ok = true;
    const int dpi = options.contains(QStringLiteral("--dpi"))
                        ? options[QStringLiteral("--dpi")].toInt(&ok)
                        : 150;
    if (!ok) {
        err << "quirindo: the resolution must be a whole number\n" << kUsage;
        return 2;
    }
    int first = 1, last = 1;
    const bool numbered = options.contains(QStringLiteral("--pages"));
    if (numbered && options.contains(QStringLiteral("--page"))) {
        err << "quirindo: give either --page or --pages\n" << kUsage;
        return 2;
    }
    bool pagesOk = true;
    if (numbered) {
        pagesOk = ParsePages(options[QStringLiteral("--pages")], first, last);
    } else if (options.contains(QStringLiteral("--page"))) {
        // A single page keeps its number as given; one below 1 is reported
        // as missing once the drawing is read.
        first = last = options[QStringLiteral("--page")].toInt(&pagesOk);
    }
    if (!pagesOk) {
        err << "quirindo: pages are numbered from 1, as N or A-B\n" << kUsage;
        return 2;
    }
    if (dpi < 10 || dpi > 4000) {
        err << "quirindo: the resolution must lie between 10 and 4000 dpi\n";
        return 2;
    }
    const QString out = args[1];
    const auto format = output::PictureFormatOf(out);
    if (!format) {
        err << "quirindo: the picture must be a .bmp or .png file: " << out << "\n";
        return 2;
    }
    QStringList files;
    for (int page = first; page <= last; ++page)
        files << (numbered ? output::NumberedPageFile(out, page) : out);
    for (const QString& file : files)
        if (RefuseOwnInput(args[0], file, err)) return 2;
    TLoaded loaded;
    if (!Load(args[0], loaded, err)) return 1;
    if (!PagesExist(first, last, PageCountOf(loaded.Settings), err)) return 1;
    output::TBitmapJob job;
    job.Dpi = dpi;
    job.PageWidthInch = loaded.Settings.PageWidthInch;
    job.PageHeightInch = loaded.Settings.PageHeightInch;
    job.ScreenDpi = kScreenDpi;
    for (int page = first; page <= last; ++page) {
        job.Page = page - 1;
        const QString& file = files[page - first];
        QString error;
        if (!output::WritePagePicture(file, *format, *loaded.Drawing, job, error)) {
            err << "quirindo: cannot write " << file << ": " << error << "\n";
            return 1;
        }
    }
    return 0;
}

// --export-pdf IN OUT [--pages A-B] and --export-svg IN OUT [--page N].
int ExportVector(const QStringList& args, bool pdf, QTextStream& err) {
    if (args.size() < 2) {
        err << kUsage;
        return 2;
    }
    const QString option = pdf ? QStringLiteral("--pages") : QStringLiteral("--page");
    QMap<QString, QString> options;
    if (!ParseOptions(args, {option}, options, err)) return 2;
    int first = 1, last = 1;
    bool all = pdf;
    if (options.contains(option)) {
        all = false;
        if (!ParsePages(options[option], first, last) || (!pdf && first != last)) {
            err << "quirindo: pages are numbered from 1, as " << (pdf ? "N or A-B" : "N") << "\n"
                << kUsage;
            return 2;
        }
    }
    const QString out = args[1];
    if (RefuseOwnInput(args[0], out, err)) return 2;
    TLoaded loaded;
    if (!Load(args[0], loaded, err)) return 1;
    const int pages = PageCountOf(loaded.Settings);
    if (all) last = pages;
    if (!PagesExist(first, last, pages, err)) return 1;
    output::TVectorJob job;
    job.PageWidthInch = loaded.Settings.PageWidthInch;
    job.PageHeightInch = loaded.Settings.PageHeightInch;
    job.ScreenDpi = kScreenDpi;
    job.FirstPage = first - 1;
    job.LastPage = last - 1;
    job.Title = QFileInfo(args[0]).completeBaseName();
    QString error;
    const bool written = pdf ? output::WritePdf(out, *loaded.Drawing, job, error)
                             : output::WriteSvg(out, *loaded.Drawing, job, error);
    if (!written) {
        err << "quirindo: cannot write " << out << ": " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace

bool IsCommandLineRequest(const QStringList& arguments) {
    return arguments.size() > 1 && arguments[1].startsWith(QLatin1String("--"));
}

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    // Without a translation table the reasons the writers look up are given
    // in English, like the rest of what the command line says.
    struct TEnglishReasons {
        TEnglishReasons()
            : Previous(SetTranslator([](const std::string& german) { return EnglishReason(german); })) {}
        ~TEnglishReasons() { SetTranslator(std::move(Previous)); }
        TEnglishReasons(const TEnglishReasons&) = delete;
        TEnglishReasons& operator=(const TEnglishReasons&) = delete;
        TTranslator Previous;
    } englishReasons;
    const QString command = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (command == QLatin1String("--help")) {
        out << kUsage;
        return 0;
    }
    if (command == QLatin1String("--version")) {
        out << "Quirindo " << QUIRINDO_VERSION << "\n";
        return 0;
    }
    if (command == QLatin1String("--export-dxf")) {
        if (rest.size() != 2) {
            err << kUsage;
            return 2;
        }
        return ExportDxf(rest[0], rest[1], err);
    }
    if (command == QLatin1String("--export-image")) return ExportImage(rest, err);
    if (command == QLatin1String("--export-pdf")) return ExportVector(rest, true, err);
    if (command == QLatin1String("--export-svg")) return ExportVector(rest, false, err);
    err << "quirindo: unknown option " << command << "\n" << kUsage;
    return 2;
}

} // namespace quirindo::ui
