#include "InstrumentGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace quirindo {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
constexpr double kRadPerDeg = std::numbers::pi / 180.0;

// Rounding may push a ratio of a side to the hypotenuse a hair past 1.
double UnitClamp(double v) {
    return std::clamp(v, -1.0, 1.0);
}

// The offset from (cx, cy) to (px, py) and its length, when that length is
// usable as a divisor: not zero, not infinite, not NaN.
struct TOffset {
    double Dx, Dy, Length;
};

std::optional<TOffset> OffsetFrom(double cx, double cy, double px, double py) {
    const double dx = px - cx;
    const double dy = py - cy;
    const double d = std::hypot(dx, dy);
    if (!(d > 0.0) || !std::isfinite(d)) return std::nullopt;
    return TOffset{dx, dy, d};
}

} // namespace

double SignedLineDistance(double x1, double y1, double x2, double y2, double px, double py) {
    const double length = std::hypot(x2 - x1, y1 - y2);
    if (!(length > 0.0)) return std::numeric_limits<double>::infinity();
    return ((px - x1) * (y1 - y2) + (py - y1) * (x2 - x1)) / length;
}

bool SegmentHit(double x1, double y1, double x2, double y2, double px, double py) {
    const double length = std::hypot(x2 - x1, y1 - y2);
    if (!(length > 0.0) || !std::isfinite(length)) return false;
    if (!(std::fabs(SignedLineDistance(x1, y1, x2, y2, px, py)) < 3.0)) return false;
    return std::hypot(px - x1, py - y1) <= length && std::hypot(px - x2, py - y2) <= length;
}

bool PointInRect(std::int32_t px, std::int32_t py, std::int32_t x1, std::int32_t y1,
                 std::int32_t x2, std::int32_t y2) {
    return px >= std::min(x1, x2) && px <= std::max(x1, x2) && py >= std::min(y1, y2) &&
           py <= std::max(y1, y2);
}

std::optional<double> Bearing(double cx, double cy, double px, double py) {
    const auto o = OffsetFrom(cx, cy, px, py);
    if (!o) return std::nullopt;
    const double beta = std::asin(UnitClamp(o->Dy / o->Length)) * kDegPerRad;
    return o->Dx > 0.0 ? -180.0 - beta : beta;
}

double TurnedAngle(double start, double previous, double cx, double cy, double downX, double downY,
                   double px, double py) {
    const std::optional<double> atPress = Bearing(cx, cy, downX, downY);
    const std::optional<double> now = Bearing(cx, cy, px, py);
    if (!atPress || !now) return previous;
    const double angle = start + *atPress - *now;
    return std::isfinite(angle) ? angle : previous;
}

std::optional<double> CompassPointerAngle(double nx, double ny, double px, double py) {
    const auto o = OffsetFrom(nx, ny, px, py);
    if (!o) return std::nullopt;
    double a = std::acos(UnitClamp(o->Dx / o->Length)) * kDegPerRad;
    if (py < ny) a = px <= nx ? 360.0 - a : -a;
    return a;
}

std::optional<double> MarkDirection(double cx, double cy, double px, double py) {
    const auto o = OffsetFrom(cx, cy, px, py);
    if (!o) return std::nullopt;
    const double theta = std::acos(UnitClamp(o->Dx / o->Length)) * kDegPerRad;
    return o->Dy < 0.0 && o->Dx != 0.0 ? -180.0 - theta : theta;
}

TGuide GuideAt(TPointMm origin, double angleDeg) {
    const double a = angleDeg * kRadPerDeg;
    return {origin, std::cos(a), std::sin(a)};
}

double ProjectOnGuide(const TGuide& guide, TPointMm p) {
    return (p.X - guide.Origin.X) * guide.DirX + (p.Y - guide.Origin.Y) * guide.DirY;
}

TPointMm PointOnGuide(const TGuide& guide, double t) {
    return {guide.Origin.X + t * guide.DirX, guide.Origin.Y + t * guide.DirY};
}

double Trunc3(double mm) {
    return std::trunc(mm * 1000.0) / 1000.0;
}

TPointMm Trunc3(TPointMm p) {
    return {Trunc3(p.X), Trunc3(p.Y)};
}

double SweepDecisionAngle(double tipRadiusPx, double pointerRadiusPx) {
    constexpr double kCapDeg = 30.0;
    const double r = std::min(tipRadiusPx, pointerRadiusPx);
    if (!(r > 0.0)) return kCapDeg; // also NaN
    return std::min(kSweepDecisionPx / r * 180.0 / std::numbers::pi, kCapDeg);
}

void AdvanceSweep(TArcSweep& sweep, double angle, double decisionDeg) {
    if (sweep.Started || angle == sweep.StartAngle) return;
    // The turn the short way round: -85 is 10 degrees from 265.
    double turned = std::fmod(std::fabs(angle - sweep.StartAngle), 360.0);
    turned = std::min(turned, 360.0 - turned);
    if (!(turned >= decisionDeg)) return;
    sweep.Dir = angle > sweep.StartAngle ? 1 : 0;
    sweep.Started = true;
}

} // namespace quirindo
