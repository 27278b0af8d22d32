#include "DirectTool.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quirindo::tools {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;
// The sizes the pictures are drawn with (mm).
constexpr double kRulerWidthMm = 10.0;
constexpr double kCompassHalfWidthMm = 3.0;
// The share of the ruler's visible length, at its far end, that turns it.
constexpr double kRulerTurnShare = 1.0 / 3.0;

struct TFrame {
    TPointMm Origin; // view pixels
    double UX = 1.0, UY = 0.0;
};

// Position of p in a frame: along the direction and across it (clockwise
// side positive, as the pictures put the ruler's body there).
void InFrame(const TFrame& f, double px, double py, double& along, double& across) {
    const double dx = px - f.Origin.X, dy = py - f.Origin.Y;
    along = dx * f.UX + dy * f.UY;
    across = -dx * f.UY + dy * f.UX;
}

// The part [lo, hi] of the ray origin + t u, t in [0, length], that lies in
// the rectangle [x0, x1] x [y0, y1]. False when none of it does.
bool PartInRect(double ox, double oy, double ux, double uy, double length, double x0, double y0,
                double x1, double y1, double& lo, double& hi) {
    lo = 0.0;
    hi = length;
    const auto clip = [&](double p, double d, double min, double max) {
        if (std::fabs(d) < 1e-12) return p >= min && p <= max;
        double t1 = (min - p) / d, t2 = (max - p) / d;
        if (t1 > t2) std::swap(t1, t2);
        lo = std::max(lo, t1);
        hi = std::min(hi, t2);
        return lo <= hi;
    };
    return x0 <= x1 && y0 <= y1 && clip(ox, ux, x0, x1) && clip(oy, uy, y0, y1);
}

TDirectAction CompassAt(TToolHost& host, int page, double x, double y) {
    const TInstrumentState& inst = host.Instruments();
    const TViewMapping view = host.ViewMapping();
    const double s = view.Scale;
    const double legX = std::cos(inst.ZirkW * kRadPerDeg), legY = std::sin(inst.ZirkW * kRadPerDeg);
    const TPointMm needle = view.PageToView(page, inst.ZirkX, inst.ZirkY);
    const TPointMm tip =
        view.PageToView(page, inst.ZirkX + inst.ZirkS * legX, inst.ZirkY + inst.ZirkS * legY);
    const TPointMm hinge{(needle.X + tip.X) / 2.0, (needle.Y + tip.Y) / 2.0};
    const auto near = [&](TPointMm p, double r) { return std::hypot(x - p.X, y - p.Y) <= r; };

    // The hinge first: on a closed compass the three points are one, and
    // opening it is then the only thing the press can mean.
    if (near(hinge, std::max(kDirectGripPx, kCompassHalfWidthMm * s)))
        return TDirectAction::CompassSpan;
    if (near(needle, kDirectGripPx)) return TDirectAction::CompassMove;
    if (near(tip, kDirectGripPx)) return TDirectAction::CompassArc;

    const double length = std::hypot(tip.X - needle.X, tip.Y - needle.Y);
    if (!(length > 0.0)) return TDirectAction::None;
    double along = 0.0, across = 0.0;
    InFrame({needle, (tip.X - needle.X) / length, (tip.Y - needle.Y) / length}, x, y, along,
            across);
    const double halfWidth = std::max(kDirectEdgePx, kCompassHalfWidthMm * s);
    if (along < 0.0 || along > length || std::fabs(across) > halfWidth) return TDirectAction::None;
    return along < length / 2.0 ? TDirectAction::CompassMove : TDirectAction::CompassArc;
}

TDirectAction ProtractorAt(TToolHost& host, int page, double x, double y) {
    const TInstrumentState& inst = host.Instruments();
    const TViewMapping view = host.ViewMapping();
    const TPointMm centre = view.PageToView(page, inst.WinkX, inst.WinkY);
    const double r = std::hypot(x - centre.X, y - centre.Y);
    const double outer = inst.WinkD / 2.0 * view.Scale;
    const double inner = (inst.WinkD - 20.0) / 2.0 * view.Scale;
    if (!(r <= outer + kDirectEdgePx)) return TDirectAction::None;
    return r < inner ? TDirectAction::ProtractorMove : TDirectAction::ProtractorMark;
}

TDirectAction RulerAt(TToolHost& host, const TDirectScene& scene, int page, double x, double y) {
    const TInstrumentState& inst = host.Instruments();
    const TViewMapping view = host.ViewMapping();
    const double s = view.Scale;
    const double ux = std::cos(inst.LinW * kRadPerDeg), uy = std::sin(inst.LinW * kRadPerDeg);
    const TFrame frame{view.PageToView(page, inst.LinX, inst.LinY), ux, uy};
    double along = 0.0, across = 0.0;
    InFrame(frame, x, y, along, across);

    const double length = static_cast<double>(scene.PageWidthPx) + scene.PageHeightPx;
    const double width = kRulerWidthMm * s;
    // The scale edge takes a few pixels on both sides of its line, but never
    // more than a third of the body, so the body stays easy to grip when
    // zoomed out.
    const double edgeIn = std::min(kDirectEdgePx, width / 3.0);
    if (along < -kDirectEdgePx || along > length || across < -kDirectEdgePx || across > width)
        return TDirectAction::None;
    // The edge reaches a few pixels past the zero point: a ruler laid on a
    // point has its zero corner there, and a stroke from that point starts
    // with a press on the corner.
    if (across <= edgeIn) return TDirectAction::RulerAlong;
    if (along < 0.0) return TDirectAction::None;

    // The far end the user can reach is where the ruler leaves what the view
    // shows of the page (it is longer than the page on purpose), so the
    // turning grip is the far part of what is seen of it; a grip scrolled
    // out of sight could not be taken. Without a view on the screen, or when
    // none of the ruler is in sight, the page alone decides.
    const TPointMm pageTop = view.PageToView(page, 0.0, 0.0);
    const double w = scene.PageWidthPx, h = scene.PageHeightPx;
    const double ox = inst.LinX * s, oy = inst.LinY * s;
    double lo = 0.0, hi = length;
    const bool seen = scene.SeenKnown &&
                      PartInRect(ox, oy, ux, uy, length, std::max(0.0, scene.SeenLeft - pageTop.X),
                                 std::max(0.0, scene.SeenTop - pageTop.Y),
                                 std::min(w, scene.SeenRight - pageTop.X),
                                 std::min(h, scene.SeenBottom - pageTop.Y), lo, hi);
    if (!seen && !PartInRect(ox, oy, ux, uy, length, 0.0, 0.0, w, h, lo, hi)) {
        lo = 0.0;
        hi = length;
    }
    const double turnFrom = hi - (hi - lo) * kRulerTurnShare;
    return along >= turnFrom ? TDirectAction::RulerTurn : TDirectAction::RulerMove;
}

} // namespace

TDirectAction DirectActionAt(TToolHost& host, const TDirectScene& scene, int page, int x, int y) {
    if (!host.ViewMapping().Valid()) return TDirectAction::None;
    if (scene.Compass)
        if (const TDirectAction a = CompassAt(host, page, x, y); a != TDirectAction::None) return a;
    if (scene.Protractor)
        if (const TDirectAction a = ProtractorAt(host, page, x, y); a != TDirectAction::None)
            return a;
    if (scene.Ruler) return RulerAt(host, scene, page, x, y);
    return TDirectAction::None;
}

TDirectAction TDirectTool::Press(TToolHost& host, const TDirectScene& scene, TRulerTool& ruler,
                                 TProtractorTool& protractor, TCompassTool& compass,
                                 TGuidedStroke& stroke, int x, int y) {
    const TDirectAction action = DirectActionAt(host, scene, host.PointerPage(), x, y);
    switch (action) {
    case TDirectAction::None:
        break;
    case TDirectAction::RulerMove:
        ruler.StartMove(host, x, y);
        break;
    case TDirectAction::RulerTurn:
        ruler.StartTurn(host, x, y);
        break;
    case TDirectAction::RulerAlong:
        AlongPress(host, stroke, x, y);
        break;
    case TDirectAction::ProtractorMove:
        protractor.StartMove(host, x, y);
        break;
    case TDirectAction::ProtractorMark:
        protractor.MarkPress(host, stroke, x, y);
        break;
    case TDirectAction::CompassMove:
        compass.StartMove(host, x, y);
        break;
    case TDirectAction::CompassArc:
        compass.ArcPress(host, x, y);
        break;
    case TDirectAction::CompassSpan: {
        const TInstrumentState& inst = host.Instruments();
        const double rad = inst.ZirkW * kRadPerDeg;
        const TPointMm tip = InstrumentToView(host, inst.ZirkX + inst.ZirkS * std::cos(rad),
                                              inst.ZirkY + inst.ZirkS * std::sin(rad));
        // Held to the range of the view's pixels, so that a compass from a
        // damaged file cannot overflow the offset.
        const auto px = [](double v) {
            return static_cast<int>(std::lround(std::clamp(v, -1e8, 1e8)));
        };
        Spanning = true;
        SpanDownX = x;
        SpanDownY = y;
        SpanOffsetX = px(tip.X) - x;
        SpanOffsetY = px(tip.Y) - y;
        // The compass's own span drag starts with the first move away.
        host.Pointer().ZirkSpanActive = true;
        host.Pointer().DownX = x;
        host.Pointer().DownY = y;
        break;
    }
    }
    return action;
}

void TDirectTool::SpanStep(TToolHost& host, TCompassTool& compass, int x, int y) const {
    if (x == SpanDownX && y == SpanDownY) return;
    compass.SpanStep(host, x + SpanOffsetX, y + SpanOffsetY);
}

void TDirectTool::SpanRelease(TToolHost& host, TCompassTool& compass, int x, int y) {
    Spanning = false;
    if (x == SpanDownX && y == SpanDownY) {
        host.Pointer().ZirkSpanActive = false;
        host.Repaint();
        return;
    }
    compass.SpanRelease(host, x + SpanOffsetX, y + SpanOffsetY);
}

} // namespace quirindo::tools
