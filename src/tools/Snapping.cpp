#include "Snapping.h"

#include <cmath>
#include <numbers>

namespace quirindo::tools {

namespace {
constexpr int kMarkRadiusPx = 5;
} // namespace

double SnapRadiusMm(const TToolHost& host) {
    const double s = host.ViewScale();
    return s > 0.0 ? kSnapPx / s : 0.0;
}

std::optional<TPointMm> SnapTarget(TToolHost& host, TPointMm p) {
    if (!host.SnapMode().On) return std::nullopt;
    return NearestSnapTarget(host.Document(), p, SnapRadiusMm(host), host.ObjectIndex());
}

TPointMm MmToInstrument(const TToolHost& host, TPointMm p) {
    const TPointMm origin = InstrumentToMm(host, 0.0, 0.0);
    return {p.X - origin.X, p.Y - origin.Y};
}

double SnapDegrees(const TToolHost& host, double angle, double zero, double radiusPx) {
    const TSnapMode mode = host.SnapMode();
    if (!mode.On || !std::isfinite(angle)) return angle;
    const double rel = angle - zero;
    if (mode.Coarse) return zero + std::round(rel / kCoarseDegrees) * kCoarseDegrees;
    if (!(radiusPx > 0.0)) return angle;
    const double toleranceDeg = kSnapPx / radiusPx * 180.0 / std::numbers::pi;
    return zero + SnapToMultiple(rel, 1.0, toleranceDeg);
}

double NearestEquivalent(double angle, double reference) {
    if (!std::isfinite(angle) || !std::isfinite(reference)) return angle;
    return angle + std::round((reference - angle) / 360.0) * 360.0;
}

double ReadableDegrees(double clockwiseDeg) {
    double r = std::fmod(-clockwiseDeg, 360.0);
    if (r < 0.0) r += 360.0;
    // -0.0 and a remainder that rounds up to a full turn both read as 0.
    if (r >= 360.0 || r == 0.0) r = 0.0;
    return r;
}

TOverlay::TPainterFn SnapMarkPainter(const TToolHost& host, TPointMm target) {
    const TPixelPoint c = PaintBoxPixelOnPage(host, host.PointerPage(), target.X, target.Y);
    return [c](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(2);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Ellipse(c.X - kMarkRadiusPx, c.Y - kMarkRadiusPx, c.X + kMarkRadiusPx + 1,
                       c.Y + kMarkRadiusPx + 1);
    };
}

void DrawSnapMark(TToolHost& host, TPointMm target) {
    host.DrawOnView(SnapMarkPainter(host, target));
}

} // namespace quirindo::tools
