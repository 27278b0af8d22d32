// Measures the paint cycle on a large drawing: an instrument drag step (the
// pointer handlers plus painting the visible area), a pencil segment, a full repaint after the
// drawing changed, the same for an empty drawing, and the naive path that
// renders every page with every object, and a 3,000-move across stroke whose
// first and last hundred moves should cost the same. Prints medians in
// milliseconds. Then the tiled view's goals (repaints at two zooms and on a
// huge page, the repaint after one edit, tile memory) and, with a drawing of
// a million objects, the hover of "Objekte" and a ruler drag with snapping
// through the window's own handlers.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/quirindo_paint_benchmark [repeats] [all|paint|tiles|hover]

#include "MainForm.h"
#include "PaintBox.h"
#include "ObjectTool.h"
#include "Snap.h"
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
#include <string>
#include <utility>
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

// Objects at random places of the drawing's width and `heightMm`, their
// other points up to 10 mm from the first.
struct TScatter {
    std::mt19937 Rng;
    std::uniform_real_distribution<double> X, Y, D10{-10, 10};
    TScatter(unsigned seed, double heightMm) : Rng(seed), X(5, 205), Y(5, heightMm - 5) {}
    void Add(TDrawing& d, std::int32_t kind) {
        TDrawObject* o = d.Objects.Append();
        *o = TDrawObject{};
        o->Kind = kind;
        o->Width = 0.1;
        o->X1 = X(Rng);
        o->Y1 = Y(Rng);
        o->X2 = o->X1 + D10(Rng);
        o->Y2 = o->Y1 + D10(Rng);
        o->X3 = o->X1 + D10(Rng);
        o->Y3 = o->Y1 + D10(Rng);
        o->X4 = o->X1 + D10(Rng);
        o->Y4 = o->Y1 + D10(Rng);
    }
};

void FillDrawing(TDrawing& d, double pageHeightMm, int pages) {
    TScatter scatter(12345, pageHeightMm * pages);
    for (int i = 0; i < 20000; ++i)
        scatter.Add(d, okLine);
    for (int i = 0; i < 2000; ++i) {
        scatter.Add(d, okArc);
        scatter.Add(d, okEllipse);
        scatter.Add(d, okBezier);
    }
    for (int i = 0; i < 200; ++i) {
        TTextObject* t = d.AppendText(u"Konstruktion\r\nzweite Zeile", "Arial");
        t->Left = scatter.X(scatter.Rng);
        t->Top = scatter.Y(scatter.Rng);
        t->Size = 12;
    }
}

struct TFigures {
    double Drag = 0, Repaint = 0, Naive = 0, TilesPerRepaint = 0, Freehand = 0;
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
    const int renderedBefore = form.TilesRendered;
    f.Repaint = MedianMs(repeats, [&](int) {
        form.InvalidateAllTiles();
        form.PaintBox1Paint();
        paintVisible();
    });
    f.TilesPerRepaint = double(form.TilesRendered - renderedBefore) / repeats;
    f.Naive = MedianMs(std::max(3, repeats / 10), [&](int) {
        for (int page = 0; page < form.PageAnz->value(); ++page) {
            form.InvalidateAllTiles();
            form.RenderPageBitmap(page);
        }
    });
    return f;
}

// 20,000 objects (lines and curves, no texts) spread over ten A4 pages.
void FillTwentyThousand(TDrawing& d, double pageHeightMm) {
    d.Clear();
    TScatter scatter(20000, pageHeightMm * 10);
    for (int i = 0; i < 20000; ++i)
        scatter.Add(d, i < 14000 ? okLine : (i % 3 == 0 ? okArc : (i % 3 == 1 ? okEllipse : okBezier)));
}

// A dense construction of 1,000,000 short lines and circles (one object in
// five) on ten A4 pages, sized once rather than appended record by record.
void FillDenseConstruction(TDrawing& d, int objects) {
    d.Clear();
    if (!d.Objects.Resize(objects)) std::abort();
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> x(5, 205), y(5, 2965), step(-8, 8);
    for (int i = 0; i < objects; ++i) {
        TDrawObject& o = d.Objects[i];
        o = TDrawObject{};
        o.Kind = i % 5 == 0 ? okEllipse : okLine;
        o.Width = 0.1;
        o.X1 = x(rng);
        o.Y1 = y(rng);
        o.X2 = o.X1 + step(rng);
        o.Y2 = o.Kind == okEllipse ? o.Y1 + (o.X2 - o.X1) : o.Y1 + step(rng);
    }
}

struct TViewFigures {
    double Full = 0;     // every visible tile rendered afresh, ms
    double OneEdit = 0;  // one line added in the middle of the window, ms
    double PeakMb = 0;   // the tile cache's peak, MB
    double TilesPerFull = 0;
    double Cached = 0;   // every visible tile cached: composing and instruments only
};

TViewFigures MeasureView(ui::TMainForm& form, double widthMm, double heightMm, int zoom,
                         int repeats) {
    form.PageWidthInch = widthMm / kMmPerInch;
    form.PageHeightInch = heightMm / kMmPerInch;
    form.zoomed->setValue(zoom);
    form.PaintBox1Paint();
    QApplication::processEvents();
    QScrollBar* bar = form.ScrollBox1->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    QApplication::processEvents();
    auto paintVisible = [&] {
        form.PaintBox1->repaint(form.PaintBox1->visibleRegion().boundingRect());
    };
    paintVisible();
    TViewFigures f;
    const int before = form.TilesRendered;
    f.Full = MedianMs(repeats, [&](int) {
        form.InvalidateAllTiles();
        paintVisible();
    });
    f.TilesPerFull = double(form.TilesRendered - before) / repeats;
    f.Cached = MedianMs(repeats, [&](int) { paintVisible(); });
    // One short line in the middle of the window, as a tool stores it.
    const QPoint centre = form.PaintBox1->mapFrom(form.ScrollBox1->viewport(),
                                                  form.ScrollBox1->viewport()->rect().center());
    const TPointMm at =
        form.ViewMapping().ViewToMm(centre.x() - ViewMargin, centre.y() - ViewMargin);
    f.OneEdit = MedianMs(repeats, [&](int i) {
        TDrawObject o{};
        o.Kind = okLine;
        o.Width = 0.1;
        o.X1 = at.X + i % 7;
        o.Y1 = at.Y;
        o.X2 = at.X + 5 + i % 7;
        o.Y2 = at.Y + 3;
        (void)form.DrawingEditor->AppendObject(o, "An Lineal entlang zeichnen");
        // What the window asked to repaint for the edit, painted now.
        QApplication::processEvents();
    });
    for (int i = 0; i < repeats; ++i)
        (void)form.DrawingEditor->Undo();
    // The most the view held: scroll from the first page to the last.
    for (int v = 0; v <= bar->maximum(); v += std::max(1, bar->maximum() / 40)) {
        bar->setValue(v);
        paintVisible();
    }
    f.PeakMb = form.TileCache().PeakBytes() / 1e6;
    return f;
}

void TiledViewRows(ui::TMainForm& form, int repeats) {
    form.NewAll();
    FillTwentyThousand(*form.Drawing, 297.0);
    form.SetChanged();
    const TViewFigures a4at100 = MeasureView(form, 210, 297, 100, repeats);
    const TViewFigures a4at300 = MeasureView(form, 210, 297, 300, repeats);
    const TViewFigures a0at300 = MeasureView(form, 841, 1189, 300, repeats);
    const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    std::printf("tiled view, 20,000 objects on 10 pages, viewport 1400 x 900:\n");
    std::printf("  full repaint A4 zoom 100: %.2f ms (%.0f tiles)\n", a4at100.Full,
                a4at100.TilesPerFull);
    std::printf("  repaint from cached tiles: A4 zoom 100 %.2f ms, A4 zoom 300 %.2f ms, A0 zoom 300 %.2f ms\n",
                a4at100.Cached, a4at300.Cached, a0at300.Cached);
    std::printf("  full repaint A4 zoom 300: %.2f ms (%.0f tiles)  ratio %.2f  goal <= 1.2: %s\n",
                a4at300.Full, a4at300.TilesPerFull, a4at300.Full / a4at100.Full,
                verdict(a4at300.Full <= 1.2 * a4at100.Full));
    std::printf("  full repaint A0 zoom 300: %.2f ms (%.0f tiles)  ratio to A4 at 100 %.2f  "
                "goal <= 1.2: %s\n",
                a0at300.Full, a0at300.TilesPerFull, a0at300.Full / a4at100.Full,
                verdict(a0at300.Full <= 1.2 * a4at100.Full));
    for (const auto& [name, v] : {std::pair{"A4 zoom 100", a4at100}, std::pair{"A4 zoom 300", a4at300},
                                  std::pair{"A0 zoom 300", a0at300}})
        std::printf("  repaint after one edit, %s: %.2f ms  ratio to its full repaint %.2f  "
                    "goal <= 0.33: %s\n",
                    name, v.OneEdit, v.OneEdit / v.Full, verdict(v.OneEdit <= v.Full / 3));
    std::printf("  peak tile memory: A4 zoom 100 %.1f MB, A4 zoom 300 %.1f MB, A0 zoom 300 %.1f MB"
                "  (goal: independent of page size; bound %d tiles)\n",
                a4at100.PeakMb, a4at300.PeakMb, a0at300.PeakMb, form.TileCache().Capacity());
    form.PageWidthInch = 210 / kMmPerInch;
    form.PageHeightInch = 297 / kMmPerInch;
    form.NewAll();
}

void HoverRows(ui::TMainForm& form, int repeats) {
    form.NewAll();
    FillDenseConstruction(*form.Drawing, 1000000);
    form.SetChanged();
    const auto buildStart = Clock::now();
    (void)form.ObjectIndex();
    const double build = std::chrono::duration<double, std::milli>(Clock::now() - buildStart).count();
    form.zoomed->setValue(100);
    form.PaintBox1Paint();
    QApplication::processEvents();
    QScrollBar* bar = form.ScrollBox1->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    QApplication::processEvents();
    form.PaintBox1->repaint(form.PaintBox1->visibleRegion().boundingRect());
    const QRect visible = form.PaintBox1->visibleRegion().boundingRect();
    auto mouse = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, form.PaintBox1->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(form.PaintBox1, &event);
    };
    // Pointer positions over the page in the window's middle, where objects
    // lie thick: most moves find an object and move the highlight.
    std::mt19937 rng(5);
    const QPoint centre = visible.center();
    std::uniform_int_distribution<int> dx(-300, 300), dy(-300, 300);
    form.ObjekteLschen1->trigger();
    const int moves = std::max(repeats, 5) * 20;
    int onObject = 0;
    const double hover = MedianMs(moves, [&](int) {
        mouse(QEvent::MouseMove, centre + QPoint(dx(rng) / 2, dy(rng)), Qt::NoButton);
        QApplication::processEvents(); // paints the highlight's area
        onObject += form.Pointer.HoverFound;
    });
    // Snapping while the ruler is dragged: each move asks for the target
    // near the pointer, then the view shows the ruler at its new place.
    form.LinealVerschieben1->trigger();
    if (!form.Einrasten1->isChecked()) form.Einrasten1->trigger();
    mouse(QEvent::MouseButtonPress, centre, Qt::LeftButton);
    const double drag = MedianMs(moves, [&](int i) {
        mouse(QEvent::MouseMove, centre + QPoint(i % 40, i % 25), Qt::LeftButton);
        QApplication::processEvents();
    });
    mouse(QEvent::MouseButtonRelease, centre, Qt::NoButton);
    // The same lookups walking every object, for comparison.
    const TViewMapping view = form.ViewMapping();
    const TPointMm at = view.ViewToMm(centre.x() - ViewMargin, centre.y() - ViewMargin);
    const double radius = 6.0 / view.Scale;
    const double scanSnap = MedianMs(std::max(3, repeats), [&](int) {
        (void)NearestSnapTarget(*form.Drawing, at, radius);
    });
    const double indexSnap = MedianMs(moves, [&](int) {
        (void)NearestSnapTarget(*form.Drawing, at, radius, &form.ObjectIndex());
    });
    const double scanHover = MedianMs(std::max(3, repeats), [&](int) {
        (void)tools::ObjectAt(*form.Drawing, view, 900, centre.y() - ViewMargin);
    });
    std::printf("1,000,000 objects on 10 pages, zoom 100 (index built at first use in %.0f ms):\n",
                build);
    std::printf("  hover of \"Objekte\" / \"L\xc3\xb6schen\", a move with its repaint: %.3f ms  goal < 2 ms: "
                "%s  (%d of %d moves on an object)\n",
                hover, hover < 2.0 ? "met" : "MISSED", onObject, moves);
    std::printf("  ruler drag step with snapping, with its repaint: %.3f ms\n", drag);
    std::printf("  snap lookup: through the index %.3f ms, walking every object %.1f ms\n",
                indexSnap, scanSnap);
    std::printf("  hover lookup walking every object (pointer on none): %.1f ms\n", scanHover);
    form.NewAll();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(5, std::atoi(argv[1])) : 31;
    const std::string section = argc > 2 ? argv[2] : "all";
    const auto wanted = [&section](const char* name) { return section == "all" || section == name; };

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
        if (!wanted("paint")) break;
        form.NewAll();
        const TFigures empty = Measure(form, zoom, repeats);
        FillDrawing(*form.Drawing, form.PageHeightInch * kMmPerInch, 10);
        form.SetChanged();
        const TFigures full = Measure(form, zoom, repeats);
        std::printf("zoom %3d  drag step: %.2f (empty %.2f, ratio %.2f)  full repaint: %.2f "
                    "(empty %.2f, %.1f tiles each)  naive every page: %.1f (empty %.1f)\n",
                    zoom, full.Drag, empty.Drag, empty.Drag > 0 ? full.Drag / empty.Drag : 0.0,
                    full.Repaint, empty.Repaint, full.TilesPerRepaint, full.Naive, empty.Naive);
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
    if (wanted("tiles")) TiledViewRows(form, repeats);
    if (wanted("hover")) HoverRows(form, repeats);
    return 0;
}
