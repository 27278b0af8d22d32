#include "CommandLine.h"

#include "BitmapExport.h"
#include "DrawingFile.h"
#include "DxfTextMeasure.h"
#include "DxfWriter.h"
#include "FileIO.h"
#include "Messages.h"
#include "PageRenderer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
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
    "  quirindo --export-image IN.qrd OUT.bmp|OUT.png [--dpi N] [--page N]\n"
    "                                         write one page as a picture\n"
    "                                         (dpi 10 to 4000, default 150;\n"
    "                                         page from 1, default 1)\n"
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

bool WritePng(const QString& path, TDrawing& drawing, const TBitmapJob& job, QString& error) {
    const TPageView view = BitmapPageView(job);
    const QImage image = RenderPageImage(drawing, view, TTextFontResolver(job.WindowText));
    if (image.isNull()) {
        error = QStringLiteral("a picture of %1 x %2 pixels is too large; choose a smaller dpi")
                    .arg(view.WidthPx)
                    .arg(view.HeightPx);
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        error = QStringLiteral("the picture could not be encoded as PNG");
        return false;
    }
    // Like every export: through a temporary file, so that a failure leaves
    // no half picture and the previous file as it was.
    TAtomicFileWriter file;
    if (!file.Open(path.toStdString()) ||
        !file.Write({reinterpret_cast<const std::uint8_t*>(png.constData()),
                     static_cast<std::size_t>(png.size())}) ||
        !file.Commit()) {
        error = QString::fromStdString(TranslatedReason(file.Error()));
        return false;
    }
    return true;
}

int ExportImage(const QStringList& args, QTextStream& err) {
    // args: IN OUT [--dpi N] [--page N]
    if (args.size() < 2) {
        err << kUsage;
        return 2;
    }
    int dpi = 150;
    int page = 1;
    for (qsizetype i = 2; i < args.size(); i += 2) {
        bool ok = false;
        const int value = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
        if (!ok || (args[i] != QLatin1String("--dpi") && args[i] != QLatin1String("--page"))) {
            err << "quirindo: unexpected argument " << args[i] << "\n" << kUsage;
            return 2;
        }
        (args[i] == QLatin1String("--dpi") ? dpi : page) = value;
    }
    if (dpi < 10 || dpi > 4000) {
        err << "quirindo: the resolution must lie between 10 and 4000 dpi\n";
        return 2;
    }
    const QString out = args[1];
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("bmp") && suffix != QLatin1String("png")) {
        err << "quirindo: the picture must be a .bmp or .png file: " << out << "\n";
        return 2;
    }
    if (RefuseOwnInput(args[0], out, err)) return 2;
    TLoaded loaded;
    if (!Load(args[0], loaded, err)) return 1;
    const int pages = PageCountOf(loaded.Settings);
    if (page < 1 || page > pages) {
        err << "quirindo: there is no page " << page << "; the drawing has " << pages
            << (pages == 1 ? " page\n" : " pages\n");
        return 1;
    }
    TBitmapJob job;
    job.Page = page - 1;
    job.Dpi = dpi;
    job.PageWidthInch = loaded.Settings.PageWidthInch;
    job.PageHeightInch = loaded.Settings.PageHeightInch;
    job.ScreenDpi = kScreenDpi;
    QString error;
    const bool ok = suffix == QLatin1String("bmp") ? WritePageBmp(out, *loaded.Drawing, job, error)
                                                   : WritePng(out, *loaded.Drawing, job, error);
    if (!ok) {
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
    err << "quirindo: unknown option " << command << "\n" << kUsage;
    return 2;
}

} // namespace quirindo::ui
