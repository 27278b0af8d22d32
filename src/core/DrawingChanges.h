#pragma once
// Rectangles in drawing millimetres and the area an object can paint: the
// renderer skips objects outside a tile with them, the tile cache drops the
// tiles an edit touched, and the object index files objects by them.

#include "DrawObjects.h"

namespace quirindo {

// A rectangle in drawing millimetres (y grows down across the stacked pages).
struct TRectMm {
    double Left = 0.0, Top = 0.0, Right = 0.0, Bottom = 0.0;
};

// Everything an object can paint, its pen's half width included: lines and
// curves stay inside the hull of their points, arcs and ellipses inside the
// rectangle of their first two points.
[[nodiscard]] TRectMm ObjectBoundsMm(const TDrawObject& object);

} // namespace quirindo
