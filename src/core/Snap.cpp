#include "Snap.h"

#include "ObjectIndex.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quirindo {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Slack for "on the segment" and "on the drawn part of the arc": a crossing
// exactly at an end point must not be lost to rounding.
constexpr double kParamSlack = 1e-9;
constexpr double kAngleSlack = 1e-9;
// Crossings among more objects than this near one pointer position are not
// worth the quadratic cost; the nearest ones are kept.
constexpr std::size_t kMaxNearObjects = 64;
// Targets closer than this are one point for the user (far below a pixel at
// any zoom); a stored point then wins over a crossing computed near it.
constexpr double kSamePointMm = 0.005;

double Dist(TPointMm a, TPointMm b) {
    return std::hypot(a.X - b.X, a.Y - b.Y);
}

bool AllFinite(const TDrawObject& o) {
    for (const double v : {o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4})
        if (!std::isfinite(v)) return false;
    return true;
}

struct TCircle {
    TPointMm C;
    double R = 0.0;
};

// The circle of an arc or ellipse record, when its box is a square.
std::optional<TCircle> CircleOf(const TDrawObject& o) {
    if (o.Kind != okArc && o.Kind != okEllipse) return std::nullopt;
    const double rx = std::fabs(o.X2 - o.X1) / 2.0;
    const double ry = std::fabs(o.Y2 - o.Y1) / 2.0;
    if (!(rx > 0.0) || std::fabs(rx - ry) > 1e-9 * std::max(1.0, rx)) return std::nullopt;
    return TCircle{{(o.X1 + o.X2) / 2.0, (o.Y1 + o.Y2) / 2.0}, rx};
}

double NormalisedTurn(double a) {
    double r = std::fmod(a, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    return r;
}

// Whether the point of the arc's circle at screen angle theta lies on the
// drawn part: the arc runs counter-clockwise on screen (decreasing angle)
// from the ray through point 3 to the ray through point 4; equal rays draw
// the whole circle.
bool OnArc(const TDrawObject& o, const TCircle& c, TPointMm p) {
    if (o.Kind != okArc) return true;
    if ((o.X3 == c.C.X && o.Y3 == c.C.Y) || (o.X4 == c.C.X && o.Y4 == c.C.Y)) return true;
    const double a3 = std::atan2(o.Y3 - c.C.Y, o.X3 - c.C.X);
    const double a4 = std::atan2(o.Y4 - c.C.Y, o.X4 - c.C.X);
    const double theta = std::atan2(p.Y - c.C.Y, p.X - c.C.X);
    const double sweep = NormalisedTurn(a3 - a4);
    if (sweep == 0.0) return true;
    const double along = NormalisedTurn(a3 - theta);
    return along <= sweep + kAngleSlack || along >= kTwoPi - kAngleSlack;
}

// Where the ray from the centre through (x, y) meets the circle.
std::optional<TPointMm> RayPoint(const TCircle& c, double x, double y) {
    const double d = std::hypot(x - c.C.X, y - c.C.Y);
    if (!(d > 0.0)) return std::nullopt;
    return TPointMm{c.C.X + (x - c.C.X) / d * c.R, c.C.Y + (y - c.C.Y) / d * c.R};
}

double SegmentDistance(TPointMm a, TPointMm b, TPointMm p) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    if (!(len2 > 0.0)) return Dist(a, p);
    const double t = std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2, 0.0, 1.0);
    return Dist({a.X + t * dx, a.Y + t * dy}, p);
}

// How far p lies from the drawn line or circle (arcs: their whole circle,
// the crossings are checked against the drawn part later).
std::optional<double> CurveDistance(const TDrawObject& o, TPointMm p) {
    if (o.Kind == okLine) return SegmentDistance({o.X1, o.Y1}, {o.X2, o.Y2}, p);
    if (const auto c = CircleOf(o)) return std::fabs(Dist(c->C, p) - c->R);
    return std::nullopt;
}

void AddOwnPoints(const TDrawObject& o, std::vector<TPointMm>& out) {
    switch (o.Kind) {
    case okLine:
        out.push_back({o.X1, o.Y1});
        out.push_back({o.X2, o.Y2});
        break;
    case okBezier:
        out.push_back({o.X1, o.Y1});
        out.push_back({o.X4, o.Y4});
        break;
    case okArc:
    case okEllipse:
        out.push_back({(o.X1 + o.X2) / 2.0, (o.Y1 + o.Y2) / 2.0});
        if (o.Kind == okArc) {
            if (const auto c = CircleOf(o)) {
                if (const auto s = RayPoint(*c, o.X3, o.Y3)) out.push_back(*s);
                if (const auto e = RayPoint(*c, o.X4, o.Y4)) out.push_back(*e);
            }
        }
        break;
    default:
        break;
    }
}

void LineLine(TPointMm a, TPointMm b, TPointMm c, TPointMm d, std::vector<TPointMm>& out) {
    const double rx = b.X - a.X, ry = b.Y - a.Y;
    const double sx = d.X - c.X, sy = d.Y - c.Y;
    const double denom = rx * sy - ry * sx;
    const double scale = std::hypot(rx, ry) * std::hypot(sx, sy);
    if (!(std::fabs(denom) > 1e-12 * scale)) return; // parallel or degenerate
    const double t = ((c.X - a.X) * sy - (c.Y - a.Y) * sx) / denom;
    const double u = ((c.X - a.X) * ry - (c.Y - a.Y) * rx) / denom;
    if (t < -kParamSlack || t > 1.0 + kParamSlack || u < -kParamSlack || u > 1.0 + kParamSlack)
        return;
    out.push_back({a.X + t * rx, a.Y + t * ry});
}

void LineCircle(TPointMm a, TPointMm b, const TCircle& c, std::vector<TPointMm>& out) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len = std::hypot(dx, dy);
    if (!(len > 0.0)) return;
    const double ux = dx / len, uy = dy / len;
    // Foot of the centre on the line, then half the chord either side.
    const double tf = (c.C.X - a.X) * ux + (c.C.Y - a.Y) * uy;
    const double fx = a.X + tf * ux, fy = a.Y + tf * uy;
    const double h2 = c.R * c.R - ((c.C.X - fx) * (c.C.X - fx) + (c.C.Y - fy) * (c.C.Y - fy));
    if (h2 < -1e-12 * c.R * c.R) return;
    const double h = std::sqrt(std::max(0.0, h2));
    const double slack = kParamSlack * len;
    for (const double t : {tf - h, tf + h}) {
        if (t < -slack || t > len + slack) continue;
        out.push_back({a.X + t * ux, a.Y + t * uy});
        if (h == 0.0) break;
    }
}

void CircleCircle(const TCircle& p, const TCircle& q, std::vector<TPointMm>& out) {
    const double dx = q.C.X - p.C.X, dy = q.C.Y - p.C.Y;
    const double d = std::hypot(dx, dy);
    if (!(d > 0.0)) return; // concentric: no single crossing
    const double a = (p.R * p.R - q.R * q.R + d * d) / (2.0 * d);
    const double h2 = p.R * p.R - a * a;
    if (h2 < -1e-12 * p.R * p.R) return;
    const double h = std::sqrt(std::max(0.0, h2));
    const double mx = p.C.X + a * dx / d, my = p.C.Y + a * dy / d;
    out.push_back({mx - h * dy / d, my + h * dx / d});
    if (h > 0.0) out.push_back({mx + h * dy / d, my - h * dx / d});
}

} // namespace

std::vector<TPointMm> ObjectIntersections(const TDrawObject& a, const TDrawObject& b) {
    std::vector<TPointMm> raw;
    if (!AllFinite(a) || !AllFinite(b)) return raw;
    const auto ca = CircleOf(a);
    const auto cb = CircleOf(b);
    if (a.Kind == okLine && b.Kind == okLine)
        LineLine({a.X1, a.Y1}, {a.X2, a.Y2}, {b.X1, b.Y1}, {b.X2, b.Y2}, raw);
    else if (a.Kind == okLine && cb)
        LineCircle({a.X1, a.Y1}, {a.X2, a.Y2}, *cb, raw);
    else if (ca && b.Kind == okLine)
        LineCircle({b.X1, b.Y1}, {b.X2, b.Y2}, *ca, raw);
    else if (ca && cb)
        CircleCircle(*ca, *cb, raw);
    std::vector<TPointMm> out;
    for (const TPointMm& p : raw)
        if ((!ca || OnArc(a, *ca, p)) && (!cb || OnArc(b, *cb, p))) out.push_back(p);
    return out;
}

namespace {

struct TTargets {
    std::vector<TPointMm> Own;       // stored end points and centres
    std::vector<TPointMm> Crossings; // computed
};

TTargets CollectTargets(const TDrawing& drawing, TPointMm p, double radiusMm,
                        const TObjectIndex* index) {
    TTargets out;
    if (!(radiusMm > 0.0) || !std::isfinite(p.X) || !std::isfinite(p.Y)) return out;
    std::vector<TPointMm> candidates;
    std::vector<std::pair<double, const TDrawObject*>> near;
    const TDrawObject* objects = drawing.Objects.Data();
    const auto consider = [&](const TDrawObject& o) {
        if (!AllFinite(o)) return;
        AddOwnPoints(o, candidates);
        if (const auto d = CurveDistance(o, p); d && *d <= radiusMm) near.emplace_back(*d, &o);
    };
    if (index) {
        // Every target an object gives (its points, its crossings near p)
        // lies on or within its filed bounds, so the objects filed near p
        // are all that can give one.
        std::vector<std::int32_t> found;
        index->Near({p.X - radiusMm, p.Y - radiusMm, p.X + radiusMm, p.Y + radiusMm}, found);
        for (auto it = found.rbegin(); it != found.rend(); ++it)
            if (*it >= 0 && *it < drawing.Objects.Count()) consider(objects[*it]);
    } else {
        const std::int32_t count = drawing.Objects.Count();
        for (std::int32_t i = 0; i < count; ++i) consider(objects[i]);
    }
    if (near.size() > kMaxNearObjects) {
        std::partial_sort(near.begin(), near.begin() + kMaxNearObjects, near.end(),
                          [](const auto& l, const auto& r) { return l.first < r.first; });
        near.resize(kMaxNearObjects);
    }
    for (std::size_t i = 0; i < near.size(); ++i)
        for (std::size_t j = i + 1; j < near.size(); ++j) {
            for (const TPointMm& c : ObjectIntersections(*near[i].second, *near[j].second))
                if (Dist(c, p) <= radiusMm) out.Crossings.push_back(c);
        }
    for (const TPointMm& c : candidates)
        if (Dist(c, p) <= radiusMm) out.Own.push_back(c);
    return out;
}

} // namespace

std::vector<TPointMm> SnapTargetsNear(const TDrawing& drawing, TPointMm p, double radiusMm,
                                      const TObjectIndex* index) {
    TTargets t = CollectTargets(drawing, p, radiusMm, index);
    t.Own.insert(t.Own.end(), t.Crossings.begin(), t.Crossings.end());
    return t.Own;
}

std::optional<TPointMm> NearestSnapTarget(const TDrawing& drawing, TPointMm p, double radiusMm,
                                          const TObjectIndex* index) {
    const TTargets t = CollectTargets(drawing, p, radiusMm, index);
    std::optional<TPointMm> best;
    double bestDist = 0.0;
    for (const auto* list : {&t.Own, &t.Crossings})
        for (const TPointMm& c : *list) {
            const double d = Dist(c, p);
            if (!best || d < bestDist) {
                best = c;
                bestDist = d;
            }
        }
    if (!best) return best;
    // A crossing that is a stored point (two lines meeting at their ends, a
    // circle through an end point) is that point, to the last digit.
    for (const TPointMm& own : t.Own)
        if (Dist(own, *best) <= kSamePointMm) return own;
    return best;
}

double SnapToMultiple(double value, double step, double tolerance) {
    if (!(step > 0.0) || !std::isfinite(value)) return value;
    const double snapped = std::round(value / step) * step;
    return std::fabs(snapped - value) <= tolerance ? snapped : value;
}

double Round3(double mm) {
    return std::round(mm * 1000.0) / 1000.0;
}

TPointMm Round3(TPointMm p) {
    return {Round3(p.X), Round3(p.Y)};
}

} // namespace quirindo
