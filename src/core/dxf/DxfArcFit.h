#pragma once
// Fitting one circular arc to a short stretch of curve: the arc runs from A
// to E and passes through a point C chosen on the perpendicular bisector of
// A-E as close as possible to the curve's middle point M. C is picked from
// the 1999 points mid + (n / 1000) * (h.y, -h.x), n = 999 down to -999,
// where h = (E - A) / 2 and mid = A + h; so the arc is never more than a
// half circle.

#include <optional>

namespace quirindo {

struct TDxfPoint {
    double X = 0.0;
    double Y = 0.0;
};

// The candidate nearest to m (distances compared as rounded roots, where
// two candidates can be equally near); candidates are visited
// from n = 999 down and only a strictly nearer one replaces the kept one, so
// the first of equally near candidates wins. Visits all 1999 candidates.
[[nodiscard]] TDxfPoint BisectorPointByScan(TDxfPoint a, TDxfPoint m, TDxfPoint e);

// The same point as BisectorPointByScan, bit for bit, but it only visits the
// candidates that rounding could possibly let win: those around the exact
// foot of the perpendicular from m. When rounding makes the neighbourhood
// wide (tiny chords far from the origin) it widens up to the full scan.
[[nodiscard]] TDxfPoint BisectorPoint(TDxfPoint a, TDxfPoint m, TDxfPoint e);

// The bulge of the arc from a through c to e, c found as above, or nothing
// when a, c and e are taken as collinear (the piece is then written straight).
// The bulge is tan of a quarter of the arc's angle, positive for an arc that
// turns counter-clockwise with y upwards; its magnitude never exceeds 1.
[[nodiscard]] std::optional<double> ArcBulgeThrough(TDxfPoint a, TDxfPoint c, TDxfPoint e);

} // namespace quirindo
