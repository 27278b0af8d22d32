// Measures the exports: the DXF writer on 10,000 circles, 10,000 curves and
// 10,000 lines with the fast middle-point search and with the 1,999-step
// scan (the outputs must be byte-identical), and the memory peak of a
// 3700-dpi BMP export (the largest a BMP holds) of an A4 page.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/quirindo_export_benchmark [bmp-path]

#include "BitmapExport.h"
#include "DrawingFile.h"
#include "DxfWriter.h"

#include <QFile>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <random>
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

// The largest resolution whose A4 picture a BMP can hold (its sizes are 32-bit).
constexpr int kDpi = 3700;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    // The picture first: the process's peak memory then belongs to it alone.
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/quirindo-bench.bmp");
    TDrawing page;
    Fill(page);
    ui::TBitmapJob job;
    job.Dpi = kDpi;
    job.PageWidthInch = 210.0 / kMmPerInch;
    job.PageHeightInch = 297.0 / kMmPerInch;
    QString error;
    auto start = Clock::now();
    const bool ok = ui::WritePageBmp(path, page, job, error);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    std::printf("BMP A4 at %d dpi: %s in %.1f s, peak resident memory %.0f MB (before %.0f MB)\n",
                kDpi, ok ? "written" : qPrintable(QStringLiteral("failed: ") + error),
                Seconds(start), after.ru_maxrss / 1024.0, before.ru_maxrss / 1024.0);
    QFile::remove(path);

    TDrawing drawing;
    Fill(drawing);
    const double height = DxfDrawingHeight(1, 297.0 / kMmPerInch);
    start = Clock::now();
    const std::string fast = DxfFromDrawing(drawing, height, TDxfMiddleSearch::Fast);
    const double fastSeconds = Seconds(start);
    start = Clock::now();
    const std::string scan = DxfFromDrawing(drawing, height, TDxfMiddleSearch::Scan);
    const double scanSeconds = Seconds(start);
    std::printf("DXF of 10,000 circles, curves and lines (%.1f MB): fast %.2f s, scan %.2f s, "
                "ratio %.1f, identical: %s\n",
                fast.size() / 1e6, fastSeconds, scanSeconds, scanSeconds / fastSeconds,
                fast == scan ? "yes" : "NO");

    return ok && fast == scan ? 0 : 1;
}
