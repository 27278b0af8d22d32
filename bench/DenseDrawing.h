#pragma once
// The dense construction the benchmarks measure lookups and files with:
// short lines and circles (one object in five) spread over ten A4 pages.

#include "DrawObjects.h"

#include <cstdlib>
#include <random>

namespace quirindo::bench {

inline void FillDenseConstruction(TDrawing& d, int objects) {
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

} // namespace quirindo::bench
