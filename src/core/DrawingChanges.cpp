#include "DrawingChanges.h"

#include <algorithm>
#include <cmath>

namespace quirindo {

TRectMm ObjectBoundsMm(const TDrawObject& o) {
    double xs[4] = {o.X1, o.X2, o.X3, o.X4};
    double ys[4] = {o.Y1, o.Y2, o.Y3, o.Y4};
    // Arcs and ellipses keep to the rectangle of their first two points;
    // the arc's other two points only give directions from its centre.
    const int points = (o.Kind == okBezier) ? 4 : 2;
    TRectMm r{xs[0], ys[0], xs[0], ys[0]};
    for (int i = 1; i < points; ++i) {
        r.Left = std::min(r.Left, xs[i]);
        r.Right = std::max(r.Right, xs[i]);
        r.Top = std::min(r.Top, ys[i]);
        r.Bottom = std::max(r.Bottom, ys[i]);
    }
    const double half = std::isfinite(o.Width) ? std::fabs(o.Width) / 2.0 : 0.0;
    return {r.Left - half, r.Top - half, r.Right + half, r.Bottom + half};
}

} // namespace quirindo
