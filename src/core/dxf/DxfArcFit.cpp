#include "DxfArcFit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

namespace quirindo {
namespace {

constexpr int kLastCandidate = 999;

// The bisector through mid in direction (dx, dy) = (h.y, -h.x).
struct TBisector {
    TDxfPoint Mid;
    double Dx = 0.0;
    double Dy = 0.0;
};

TBisector BisectorOf(TDxfPoint a, TDxfPoint e) {
    const double hx = (e.X - a.X) / 2;
    const double hy = (e.Y - a.Y) / 2;
    return {{a.X + hx, a.Y + hy}, hy, -hx};
}

struct TCandidate {
    TDxfPoint C;
    double Dist = 0.0;
};

// Both searches must evaluate a candidate with exactly the same operations,
// so that they compare bit-identical distances; keeping this out of line
// stops the optimiser from contracting it differently at the two call sites.
[[gnu::noinline]] TCandidate CandidateAt(int n, const TBisector& b, TDxfPoint m) {
    const double s = n / 1000.0;
    const TDxfPoint c{b.Mid.X + s * b.Dx, b.Mid.Y + s * b.Dy};
    const double ex = c.X - m.X;
    const double ey = c.Y - m.Y;
    // The distance itself, not its square: rounding the root can make two
    // candidates equally near that their squares would still tell apart,
    // and then the first one met must win.
    return {c, std::sqrt(ex * ex + ey * ey)};
}

// Visits n = hi down to lo; a later candidate must be strictly nearer.
TDxfPoint NearestIn(int hi, int lo, const TBisector& b, TDxfPoint m) {
    TCandidate best = CandidateAt(hi, b, m);
    for (int n = hi - 1; n >= lo; --n) {
        const TCandidate c = CandidateAt(n, b, m);
        if (c.Dist < best.Dist) best = c;
    }
    return best.C;
}

double MaxAbs(std::initializer_list<double> values) {
    double r = 0.0;
    for (double v : values)
        r = std::max(r, std::fabs(v));
    return r;
}

} // namespace

TDxfPoint BisectorPointByScan(TDxfPoint a, TDxfPoint m, TDxfPoint e) {
    return NearestIn(kLastCandidate, -kLastCandidate, BisectorOf(a, e), m);
}

TDxfPoint BisectorPoint(TDxfPoint a, TDxfPoint m, TDxfPoint e) {
    const TBisector b = BisectorOf(a, e);
    // Exactly, the squared distance is dd / 1e6 * (n - t)^2 + const, a parabola
    // in n with its lowest point at t. Computed squares deviate from it by at
    // most errF. Every n with (n - t)^2 > (nb - t)^2 + k, nb the whole
    // candidate nearest to t, has a square larger than nb's by more than
    // 2 errF + 32 u reach^2 exactly, so by more than 32 u reach^2 (at least
    // 16 u of either square) after rounding: enough for the rounded roots to
    // differ too. Such an n can neither beat nor tie with nb; only the n
    // between lo and hi need to be looked at. The bounds are generous on
    // purpose.
    const double dd = b.Dx * b.Dx + b.Dy * b.Dy;
    const double px = m.X - b.Mid.X;
    const double py = m.Y - b.Mid.Y;
    const double t = (px * b.Dx + py * b.Dy) / dd * 1000.0;

    constexpr double u = DBL_EPSILON / 2;
    const double dMax = MaxAbs({b.Dx, b.Dy});
    const double scale = MaxAbs({b.Mid.X, b.Mid.Y, m.X, m.Y}) + dMax;
    const double eps = 16 * u * scale;            // error of one coordinate of C - M
    const double reach = MaxAbs({px, py}) + dMax; // largest |C - M| coordinate
    const double errF = 16 * (4 * reach * eps + 2 * eps * eps + 8 * u * reach * reach);
    const double k = (2 * errF + 32 * u * reach * reach) / dd * 1e6;
    const double tErr = 1000 * 64 * u * scale / std::sqrt(dd) + 1;

    // Squares near the bottom of the number range lose their relative
    // precision (subnormal numbers); the bounds above do not hold there.
    constexpr double kSmallest = 1e-250;
    if (!(dd > kSmallest) || !(reach * reach > kSmallest) || !(eps > kSmallest))
        return BisectorPointByScan(a, m, e);
    if (!std::isfinite(t) || !std::isfinite(k) || !std::isfinite(tErr))
        return BisectorPointByScan(a, m, e);

    // Any whole candidate serves as nb, since the window always holds it (its
    // radius exceeds |nb - t| by tErr >= 1); the one nearest to t keeps the
    // window small. Conversions to int stand in for round, ceil and floor,
    // which are library calls on plain x86-64: the values lie within the
    // candidates' range by then.
    constexpr double kLimit = kLastCandidate;
    const double tc = std::clamp(t, -kLimit, kLimit);
    const double nb = static_cast<int>(tc < 0 ? tc - 0.5 : tc + 0.5);
    const double radius = std::sqrt((nb - t) * (nb - t) + k) + tErr;
    const double top = t + radius;
    const double bottom = t - radius;
    int hi = kLastCandidate;
    if (top < kLimit) {
        hi = static_cast<int>(top); // towards zero
        if (hi < top) ++hi;
    }
    int lo = -kLastCandidate;
    if (bottom > -kLimit) {
        lo = static_cast<int>(bottom);
        if (lo > bottom) --lo;
    }
    if (!(lo <= hi)) return BisectorPointByScan(a, m, e);
    return NearestIn(hi, lo, b, m);
}

std::optional<double> ArcBulgeThrough(TDxfPoint a, TDxfPoint c, TDxfPoint e) {
    const double det = a.X * c.Y + c.X * e.Y + e.X * a.Y - a.X * e.Y - c.X * a.Y - e.X * c.Y;
    if (!(std::fabs(det) > 1e-8)) return std::nullopt;

    // Centre of the circle through a, c and e, computed relative to a so that
    // coordinates far from the origin lose no precision.
    const double bx = c.X - a.X, by = c.Y - a.Y;
    const double qx = e.X - a.X, qy = e.Y - a.Y;
    const double d = 2 * (bx * qy - by * qx);
    const double b2 = bx * bx + by * by;
    const double q2 = qx * qx + qy * qy;
    const double zx = a.X + (qy * b2 - by * q2) / d;
    const double zy = a.Y + (bx * q2 - qx * b2) / d;
    const double rx = a.X - zx, ry = a.Y - zy;
    const double r = std::sqrt(rx * rx + ry * ry);
    // Points that pass the collinearity test but still give no usable circle
    // are written straight rather than with an undefined bulge.
    if (!std::isfinite(zx) || !std::isfinite(zy) || !(r > 0) || !std::isfinite(r))
        return std::nullopt;

    const double sA = std::atan2(a.Y - zy, a.X - zx);
    const double sE = std::atan2(e.Y - zy, e.X - zx);
    const double sweep = sE > sA ? sE - sA : 2 * std::numbers::pi - sA + sE;
    const double cx = a.X - e.X, cy = a.Y - e.Y;
    const double chord = std::sqrt(cx * cx + cy * cy);
    // Rounding can push a half circle's chord a hair beyond the diameter.
    const double halfAngleSine = std::min(1.0, chord / (2 * r));
    const double bulge = std::tan(std::asin(halfAngleSine) / 2);
    return sweep < std::numbers::pi ? bulge : -bulge;
}

} // namespace quirindo
