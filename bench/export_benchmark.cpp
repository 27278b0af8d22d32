// Measures the exports: the DXF writer on 10,000 circles, 10,000 curves and
// 10,000 lines with the fast middle-point search (on all cores and on one)
// against one thread running the 1,999-step scan (the outputs must be
// byte-identical), the same export into a file, and the memory peak of a
// 4000-dpi BMP export of an A4 page (about 33,000 x 46,800 pixels, 4.6 GB).
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/quirindo_export_benchmark [dxf|bmp] [bmp-path]
// ("dxf" or "bmp" runs one part alone; the BMP goes to /tmp unless a path is given.)

#include "BitmapExport.h"
#include "DrawingFile.h"
#include "DxfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>
#include <sys/resource.h>

using namespace quirindo;
using Clock = std::chrono::steady_clock;

namespace {

void Fill(TDrawing& d) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> x(10, 200), y(10, 287), r(1, 30);
    for (int i = 0; i < 10000; ++i) {
        const double cx = x(rng), cy = y(rng), rr = r(rng);
        TDrawObject* c = d.Objects.Append();
        *c = TDrawObject{};
        c->Kind = okEllipse;
        c->Width = 0.1;
        c->X1 = cx - rr;
        c->Y1 = cy - rr;
        c->X2 = cx + rr;
        c->Y2 = cy + rr;
        TDrawObject* b = d.Objects.Append();
        *b = TDrawObject{};
        b->Kind = okBezier;
        b->Width = 0.1;
        b->X1 = x(rng), b->Y1 = y(rng), b->X2 = x(rng), b->Y2 = y(rng);
        b->X3 = x(rng), b->Y3 = y(rng), b->X4 = x(rng), b->Y4 = y(rng);
        TDrawObject* l = d.Objects.Append();
        *l = TDrawObject{};
        l->Kind = okLine;
        l->Width = 0.1;
        l->X1 = x(rng), l->Y1 = y(rng), l->X2 = x(rng), l->Y2 = y(rng);
    }
}

constexpr int kDpi = 4000;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs before the DXF part so that the process's peak memory is the picture's.
bool BenchPicture(const QString& path, output::TPictureFormat format) {
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    TDrawing page;
    Fill(page);
    output::TBitmapJob job;
    job.Dpi = kDpi;
    job.PageWidthInch = 210.0 / kMmPerInch;
    job.PageHeightInch = 297.0 / kMmPerInch;
    QString error;
    const auto start = Clock::now();
    output::TBandStats bands;
    const bool ok = output::WritePagePicture(path, format, page, job, error,
                                             output::kDefaultBandPixels, &bands);
    const double seconds = Seconds(start);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    std::printf("%s A4 at %d dpi: %s (%.2f GB) in %.1f s, %d bands of at most %lld pixels, "
                "peak resident memory %.0f MB (before %.0f MB)\n",
                format == output::TPictureFormat::Png ? "PNG" : "BMP", kDpi, ok ? "written" : qPrintable(QStringLiteral("failed: ") + error),
                QFileInfo(path).size() / 1e9, seconds, bands.Bands, bands.LargestBandPixels,
                after.ru_maxrss / 1024.0,
                before.ru_maxrss / 1024.0);
    QFile::remove(path);
    return ok;
}

// Times one export into a sink that only counts (and, when given a
// reference, compares) the text, so that memory for a 235 MB string does not
// distort the times.
struct TDxfRun {
    double Seconds = 0.0;
    std::size_t Bytes = 0;
    bool Identical = true;
};

TDxfRun TimeDxf(const TDrawing& drawing, double height, const TDxfWriteOptions& options,
                const std::string* reference) {
    TDxfRun run;
    const auto start = Clock::now();
    (void)WriteDxf(drawing, height, options, [&](std::string_view piece) {
        if (reference)
            run.Identical = run.Identical && reference->compare(run.Bytes, piece.size(), piece) == 0;
        run.Bytes += piece.size();
        return true;
    });
    run.Seconds = Seconds(start);
    if (reference) run.Identical = run.Identical && run.Bytes == reference->size();
    return run;
}

bool BenchDxf() {
    TDrawing drawing;
    Fill(drawing);
    const double height = DxfDrawingHeight(1, 297.0 / kMmPerInch);
    TDxfWriteOptions fast;
    TDxfWriteOptions fastOneThread;
    fastOneThread.Threads = 1;
    // The reference: one thread visiting all 1999 candidates of every piece.
    TDxfWriteOptions scan;
    scan.Search = TDxfMiddleSearch::Scan;
    scan.Threads = 1;

    const std::string reference = DxfFromDrawing(drawing, height, TDxfMiddleSearch::Fast);
    std::vector<double> fastTimes, oneThreadTimes;
    bool identical = true;
    for (int i = 0; i < 5; ++i) {
        const TDxfRun a = TimeDxf(drawing, height, fast, &reference);
        const TDxfRun b = TimeDxf(drawing, height, fastOneThread, &reference);
        fastTimes.push_back(a.Seconds);
        oneThreadTimes.push_back(b.Seconds);
        identical = identical && a.Identical && b.Identical;
    }
    const TDxfRun scanRun = TimeDxf(drawing, height, scan, &reference);
    identical = identical && scanRun.Identical;
    const double fastMedian = Median(fastTimes);
    std::printf("DXF of 10,000 circles, curves and lines (%.1f MB, %u cores): median of 5 runs "
                "%.3f s (one thread %.3f s); scan on one thread %.2f s; ratio %.1f "
                "(one thread %.1f); identical to the scan: %s\n",
                reference.size() / 1e6, std::thread::hardware_concurrency(), fastMedian,
                Median(oneThreadTimes), scanRun.Seconds, scanRun.Seconds / fastMedian,
                scanRun.Seconds / Median(oneThreadTimes), identical ? "yes" : "NO");

    // The same export into a file, written safely (flushed to the disk
    // before it replaces an older one).
    const std::string path = "/tmp/quirindo-bench.dxf";
    std::string error;
    const auto start = Clock::now();
    const bool written = WriteDxfFile(path, drawing, 1, 297.0 / kMmPerInch, error);
    std::printf("DXF file written: %s in %.3f s\n", written ? "yes" : error.c_str(),
                Seconds(start));
    std::remove(path.c_str());
    return identical && written;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool png = only == QLatin1String("png");
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : png ? QStringLiteral("/tmp/quirindo-bench.png")
                                        : QStringLiteral("/tmp/quirindo-bench.bmp");
    bool ok = true;
    // One picture a run, so that the peak memory reported is that picture's.
    if (only != QLatin1String("dxf"))
        ok = BenchPicture(path, png ? output::TPictureFormat::Png : output::TPictureFormat::Bmp) &&
             ok;
    if (only != QLatin1String("bmp") && !png) ok = BenchDxf() && ok;
    return ok ? 0 : 1;
}
