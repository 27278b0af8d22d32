// Measures undo and redo in a drawing of 1,000,000 objects: a 10,000-segment
// pencil stroke (one step) and the delete of one object in the middle. Each
// should cost well under a frame (16 ms). Prints medians in milliseconds.
//
// Run: build/bench/quirindo_undo_benchmark [repeats]

#include "DrawingEditor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quirindo;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

TDrawObject Segment(int i) {
    TDrawObject o{};
    o.Kind = okLine;
    o.Width = 0.25;
    o.X1 = i % 200;
    o.Y1 = (i / 200) % 280;
    o.X2 = o.X1 + 0.5;
    o.Y2 = o.Y1 + 0.5;
    return o;
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    constexpr int kObjects = 1'000'000;
    constexpr int kSegments = 10'000;

    TDrawing drawing;
    {
        std::vector<TDrawObject> records;
        records.reserve(kObjects);
        for (int i = 0; i < kObjects; ++i)
            records.push_back(Segment(i));
        if (!drawing.Objects.InsertRange(0, records.data(), kObjects)) return 1;
    }
    TDrawingEditor editor(drawing, {8.27, 11.69, 1});

    editor.BeginStep("Bleistiftstrich");
    for (int i = 0; i < kSegments; ++i)
        if (!editor.AppendObject(Segment(i), nullptr)) return 1;
    editor.EndStep();
    std::vector<double> strokeUndo, strokeRedo;
    for (int r = 0; r < repeats; ++r) {
        auto start = Clock::now();
        editor.Undo();
        strokeUndo.push_back(Ms(start));
        start = Clock::now();
        editor.Redo();
        strokeRedo.push_back(Ms(start));
    }
    if (drawing.Objects.Count() != kObjects + kSegments) return 1;
    editor.Undo();

    if (!editor.DeleteObject(kObjects / 2, "Objekt löschen")) return 1;
    std::vector<double> deleteUndo, deleteRedo;
    for (int r = 0; r < repeats; ++r) {
        auto start = Clock::now();
        editor.Undo();
        deleteUndo.push_back(Ms(start));
        start = Clock::now();
        editor.Redo();
        deleteRedo.push_back(Ms(start));
    }
    if (drawing.Objects.Count() != kObjects - 1) return 1;

    std::printf("drawing of %d objects, %d repeats, medians in ms\n", kObjects, repeats);
    std::printf("undo of a %d-segment pencil stroke  %8.3f\n", kSegments, Median(strokeUndo));
    std::printf("redo of a %d-segment pencil stroke  %8.3f\n", kSegments, Median(strokeRedo));
    std::printf("undo of one delete                     %8.3f\n", Median(deleteUndo));
    std::printf("redo of one delete                     %8.3f\n", Median(deleteRedo));
    std::printf("history bytes                          %zu\n", editor.HistoryBytes());
    return 0;
}
