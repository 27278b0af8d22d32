// Measures opening and saving a drawing of 1,000,000 objects (88 MB) against
// the least any reader must do: read the file's bytes and check every
// coordinate for a finite number. Opening should cost at most twice that and
// under a second. Prints medians in milliseconds. (The hover and snapping
// lookups with 1,000,000 objects are in the paint benchmark.)
//
// Run: build/bench/quirindo_file_benchmark [repeats]

#include "DrawingFile.h"
#include "FileIO.h"
#include "ReadOnlyFile.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quirindo;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kObjects = 1000000;

double MedianMs(int repeats, const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        step();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Fill(TDrawing& d) {
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> mm(0.0, 2900.0);
    // Appending a million records one by one would copy the block 10,000 times.
    if (!d.Objects.Resize(kObjects)) std::abort();
    for (int i = 0; i < kObjects; ++i) {
        TDrawObject* o = &d.Objects[i];
        o->Kind = i % 4;
        o->Width = 0.1;
        for (double* v : {&o->X1, &o->Y1, &o->X2, &o->Y2, &o->X3, &o->Y3, &o->X4, &o->Y4})
            *v = mm(rng);
    }
    for (int i = 0; i < 100; ++i) d.AppendText(u"Konstruktion", "Arial");
}

// The floor: the file's bytes in memory and each object's nine numbers
// checked, as any reader that refuses damaged files has to.
bool ReadAndCheck(const std::string& path) {
    TReadOnlyFile file;
    std::vector<std::uint8_t> bytes;
    if (!file.Open(path) || !file.ReadAll(bytes) || bytes.size() < 4) return false;
    std::int32_t n = 0;
    for (int i = 0; i < 4; ++i) n |= std::int32_t(bytes[i]) << (8 * i);
    if (n < 0 || std::uint64_t(n) * kObjectRecordBytes + 4 > bytes.size()) return false;
    bool finite = true;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t* p = bytes.data() + 4 + std::size_t(i) * kObjectRecordBytes + 8;
        for (int k = 0; k < 9; ++k, p += 8) {
            std::uint64_t u = 0;
            for (int b = 0; b < 8; ++b) u |= std::uint64_t(p[b]) << (8 * b);
            finite &= std::isfinite(std::bit_cast<double>(u));
        }
    }
    return finite;
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string path = "/tmp/quirindo-file-bench-" + std::to_string(getpid()) + ".qrd";
    TDrawing drawing;
    Fill(drawing);
    const TDrawingSettings settings;
    std::string error;
    bool ok = true;

    const double save = MedianMs(repeats, [&] {
        const std::vector<std::uint8_t> bytes = SaveDrawing(drawing, settings);
        ok = WriteFileAtomically(path, bytes, error) && ok;
    });
    const double serialise = MedianMs(repeats, [&] { (void)SaveDrawing(drawing, settings); });
    if (!ok) {
        std::printf("saving failed: %s\n", error.c_str());
        return 1;
    }

    const double floor = MedianMs(repeats, [&] { ok = ReadAndCheck(path) && ok; });
    // Freeing the drawing is not part of opening it, so each run is timed
    // around the load alone.
    std::vector<double> opens;
    for (int i = 0; i < repeats; ++i) {
        auto loaded = std::make_unique<TDrawing>();
        TDrawingSettings s;
        std::string why;
        const auto start = Clock::now();
        ok = LoadDrawingFile(path, *loaded, s, why) == TLoadResult::Ok && ok;
        opens.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ok = loaded->Objects.Count() == kObjects && ok;
    }
    std::sort(opens.begin(), opens.end());
    const double open = opens[opens.size() / 2];
    std::remove(path.c_str());

    std::printf("File of %d objects (%.0f MB), median of %d runs:\n", kObjects,
                (4.0 + kObjects * 88.0) / 1e6, repeats);
    std::printf("  read bytes and check numbers   %8.1f ms\n", floor);
    std::printf("  open (LoadDrawingFile)         %8.1f ms   goal <= %.1f ms (2 x read+check) "
                "and < 1000 ms: %s\n",
                open, 2 * floor, open <= 2 * floor && open < 1000 ? "met" : "MISSED");
    std::printf("  save (serialise + safe write)  %8.1f ms   (serialising alone %.1f ms)\n", save,
                serialise);
    return ok ? 0 : 1;
}
