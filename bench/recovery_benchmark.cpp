// Measures how long the interface waits for the recovery copy of a drawing of
// 100,000 objects: an edit's hook (arming the copy) and taking the snapshot
// on the interface thread when the copy is due; making the file's bytes and
// writing them run on the copy's worker thread and are shown for comparison. Prints the longest and
// the median wait in milliseconds.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/quirindo_recovery_benchmark [repeats]

#include "MainForm.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

using namespace quirindo;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());

    ui::TMainForm form;
    form.FormShow();
    std::mt19937 rng(4711);
    std::uniform_real_distribution<double> x(5, 205), y(5, 292);
    for (int i = 0; i < 100000; ++i) {
        TDrawObject* o = form.Drawing->Objects.Append();
        o->Kind = i % 4 == 0 ? okEllipse : okLine;
        o->Width = 0.1;
        o->X1 = x(rng);
        o->Y1 = y(rng);
        o->X2 = x(rng);
        o->Y2 = y(rng);
    }
    for (int i = 0; i < 1000; ++i) form.Drawing->AppendText(u"Beschriftung", "Arial");

    std::vector<double> hook, serialise, write;
    for (int i = 0; i < repeats; ++i) {
        form.Drawing->Objects.Append()->Kind = okLine;
        auto t0 = Clock::now();
        form.SetChanged();
        auto t1 = Clock::now();
        hook.push_back(Ms(t0, t1));
        t0 = Clock::now();
        form.RecoveryCopy->WriteNow(); // what the timer does when the copy is due
        t1 = Clock::now();
        serialise.push_back(Ms(t0, t1));
        form.RecoveryCopy->Wait();
        write.push_back(Ms(t1, Clock::now()));
    }
    const auto report = [](const char* what, std::vector<double> times) {
        std::sort(times.begin(), times.end());
        std::printf("%-44s longest %8.2f  median %8.2f\n", what, times.back(),
                    times[times.size() / 2]);
    };
    std::printf("recovery copy of 100,000 objects and 1,000 texts, %d repeats, ms\n", repeats);
    report("interface: edit marks the drawing changed", hook);
    report("interface: copy due, snapshot taken", serialise);
    report("worker thread: bytes made, written, renamed", write);
    form.NewAll();
    form.RecoveryCopy->Wait();
    return 0;
}
