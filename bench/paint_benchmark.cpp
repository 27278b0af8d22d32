// Measures the paint cycle on a large drawing: an instrument drag step (the
// pointer handlers plus painting the visible area), a pencil segment, a full repaint after the
// drawing changed, the same for an empty drawing, and the naive path that
// renders every page with every object, and a 3,000-move across stroke whose
// first and last hundred moves should cost the same. Prints medians in
// milliseconds.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/quirindo_paint_benchmark [repeats]

#include "MainForm.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

using namespace quirindo;
using Clock = std::chrono::steady_clock;

namespace {

double MedianMs(int repeats, const std::function<void(int)>& step) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        step(i);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void FillDrawing(TDrawing& d, double pageHeightMm, int pages) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> x(5, 205), y(5, pageHeightMm * pages - 5), d10(-10, 10);
    auto add = [&](TObjectKind kind) {
        TDrawObject* o = d.Objects.Append();
        o->Kind = kind;
        o->Width = 0.1;
        o->X1 = x(rng);
        o->Y1 = y(rng);
        o->X2 = o->X1 + d10(rng);
        o->Y2 = o->Y1 + d10(rng);
        o->X3 = o->X1 + d10(rng);
        o->Y3 = o->Y1 + d10(rng);
        o->X4 = o->X1 + d10(rng);
        o->Y4 = o->Y1 + d10(rng);
    };
    for (int i = 0; i < 20000; ++i)
        add(okLine);
    for (int i = 0; i < 2000; ++i) {
        add(okArc);
        add(okEllipse);
        add(okBezier);
    }
    for (int i = 0; i < 200; ++i) {
        TTextObject* t = d.AppendText(u"Konstruktion\r\nzweite Zeile", "Arial");
        t->Left = x(rng);
        t->Top = y(rng);
        t->Size = 12;
    }
}

struct TFigures {
    double Drag = 0, Repaint = 0, Naive = 0, PagesPerRepaint = 0, Freehand = 0;
    double AlongHover = 0, ArcSweep = 0;
    double AcrossEarly = 0, AcrossLate = 0; // a long across stroke's moves 1-100 and 2901-3000
};

constexpr int kAcrossMoves = 3000;
constexpr int kAcrossSample = 100;

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TFigures Measure(ui::TMainForm& form, int zoom, int repeats) {
    form.zoomed->setValue(zoom);
    form.PaintBox1Paint();
    QApplication::processEvents();
    // Look at the middle of the drawing.
    QScrollBar* bar = form.ScrollBox1->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    QApplication::processEvents();
    auto paintVisible = [&] {
        const QRect visible = form.PaintBox1->visibleRegion().boundingRect();
        form.PaintBox1->repaint(visible);
    };
    const QPoint centre = form.PaintBox1->mapFrom(form.ScrollBox1->viewport(),
                                                  form.ScrollBox1->viewport()->rect().center());
    auto mouse = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, form.PaintBox1->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(form.PaintBox1, &event);
    };
    TFigures f;
    // The ruler's move tool is checked at start: a drag moves it.
    mouse(QEvent::MouseButtonPress, centre);
    f.Drag = MedianMs(repeats, [&](int i) {
        mouse(QEvent::MouseMove, centre + QPoint(i % 40, i % 25));
        paintVisible();
    });
    mouse(QEvent::MouseButtonRelease, centre);
    // A pencil stroke: each move appends a segment and draws it onto the view.
    form.Bleistift1->trigger();
    mouse(QEvent::MouseButtonPress, centre);
    f.Freehand = MedianMs(repeats, [&](int i) {
        mouse(QEvent::MouseMove, centre + QPoint(i % 40, i % 25));
        paintVisible();
    });
    mouse(QEvent::MouseButtonRelease, centre);
    // Hovering with the along tool repaints every step and marks the foot.
    form.LinealAnLinealentlangzeichnen1->trigger();
    f.AlongHover = MedianMs(repeats, [&](int i) {
        mouse(QEvent::MouseMove, centre + QPoint(i % 40, i % 25));
        paintVisible();
    });
    // A compass arc sweep: repaint plus the red arc preview each step.
    form.ZirkelKreisbogenzeichnen1->trigger();
    mouse(QEvent::MouseButtonPress, centre);
    f.ArcSweep = MedianMs(repeats, [&](int i) {
        mouse(QEvent::MouseMove, centre + QPoint(i % 40, 20 + i % 25));
        paintVisible();
    });
    mouse(QEvent::MouseButtonRelease, centre);
    form.Drawing->Objects.Delete(form.Drawing->Objects.Count() - 1); // the swept arc
    // A long across stroke: each move draws the grown stroke over the view
    // without repainting the pages.
    form.LinealQuerzumLinealzeichnen1->trigger();
    mouse(QEvent::MouseMove, centre);
    mouse(QEvent::MouseButtonPress, centre);
    std::vector<double> across;
    across.reserve(kAcrossMoves);
    // Processor time, not wall time: the comparison of early and late moves
    // must not depend on what else the machine is doing meanwhile.
    for (int i = 0; i < kAcrossMoves; ++i) {
        const std::clock_t start = std::clock();
        mouse(QEvent::MouseMove, centre + QPoint(i % 7, (i % 300) - 150));
        paintVisible();
        across.push_back(1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    }
    mouse(QEvent::MouseButtonRelease, centre);
    form.Drawing->Objects.Delete(form.Drawing->Objects.Count() - 1); // the stroke
    f.AcrossEarly = Median({across.begin(), across.begin() + kAcrossSample});
    f.AcrossLate = Median({across.end() - kAcrossSample, across.end()});
    form.LinealVerschieben1->trigger();
    const int renderedBefore = form.PagesRendered;
    f.Repaint = MedianMs(repeats, [&](int) {
        form.SetChanged();
        form.PaintBox1Paint();
        paintVisible();
    });
    f.PagesPerRepaint = double(form.PagesRendered - renderedBefore) / repeats;
    f.Naive = MedianMs(std::max(3, repeats / 10), [&](int) {
        for (int page = 0; page < form.PageAnz->value(); ++page)
            form.RenderPageBitmap(page);
        form.InvalidatePageCache();
    });
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(5, std::atoi(argv[1])) : 31;

    ui::TMainForm form;
    form.show();
    // A viewport of 1400 x 900 pixels.
    form.resize(1600, 1100);
    QApplication::processEvents();
    const QSize viewport = form.ScrollBox1->viewport()->size();
    form.resize(1600 + 1400 - viewport.width(), 1100 + 900 - viewport.height());
    QApplication::processEvents();
    form.PageAnz->setValue(10);
    form.PaintBox1Paint();
    QApplication::processEvents();
    // A viewport of 1400 x 900 pixels, scroll bars included in the window.
    for (int i = 0; i < 3; ++i) {
        const QSize now = form.ScrollBox1->viewport()->size();
        form.resize(form.width() + 1400 - now.width(), form.height() + 900 - now.height());
        QApplication::processEvents();
    }

    std::printf("viewport %d x %d, %d repeats, medians in ms\n",
                form.ScrollBox1->viewport()->width(), form.ScrollBox1->viewport()->height(),
                repeats);
    for (int zoom : {100, 300}) {
        form.NewAll();
        const TFigures empty = Measure(form, zoom, repeats);
        FillDrawing(*form.Drawing, form.PageHeightInch * kMmPerInch, 10);
        form.SetChanged();
        const TFigures full = Measure(form, zoom, repeats);
        std::printf("zoom %3d  drag step: %.2f (empty %.2f, ratio %.2f)  full repaint: %.2f "
                    "(empty %.2f, %.1f pages each)  naive every page: %.1f (empty %.1f)\n",
                    zoom, full.Drag, empty.Drag, empty.Drag > 0 ? full.Drag / empty.Drag : 0.0,
                    full.Repaint, empty.Repaint, full.PagesPerRepaint, full.Naive, empty.Naive);
        std::printf("          freehand segment: %.2f (empty %.2f, ratio %.2f)\n", full.Freehand,
                    empty.Freehand, empty.Freehand > 0 ? full.Freehand / empty.Freehand : 0.0);
        std::printf("          along hover: %.2f (empty %.2f)  arc sweep: %.2f (empty %.2f)\n",
                    full.AlongHover, empty.AlongHover, full.ArcSweep, empty.ArcSweep);
        std::printf("          across stroke of %d moves, processor time per move: first %d "
                    "%.2f, last %d %.2f (ratio %.2f; empty %.2f, %.2f)\n",
                    kAcrossMoves, kAcrossSample, full.AcrossEarly, kAcrossSample, full.AcrossLate,
                    full.AcrossEarly > 0 ? full.AcrossLate / full.AcrossEarly : 0.0,
                    empty.AcrossEarly, empty.AcrossLate);
    }
    form.NewAll();
    return 0;
}
