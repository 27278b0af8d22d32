#include "ProtractorTool.h"

#include "Geometry.h"
#include "PageGeometry.h"
#include "Snapping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quirindo::tools {

namespace {
constexpr int kStrokePen = 3;
// How far past the pointer the hover ray reaches, in multiples of the
// distance from the centre: far enough to leave any page.
constexpr long long kRayFactor = 1000;
} // namespace

void TProtractorTool::StartMove(TToolHost& host, int x, int y) {
    TPointerState& ptr = host.Pointer();
    ptr.WinkMoving = true;
    ptr.DownX = x;
    ptr.DownY = y;
    WinkXStart = host.Instruments().WinkX;
    WinkYStart = host.Instruments().WinkY;
}

void TProtractorTool::ApplyMove(TToolHost& host, int x, int y) const {
    const double s = host.ViewScale();
    const TPointerState& ptr = host.Pointer();
    TInstrumentState& inst = host.Instruments();
    inst.WinkX = (x - ptr.DownX) / s + WinkXStart;
    inst.WinkY = (y - ptr.DownY) / s + WinkYStart;
    // The centre catches a target near where the drag puts it.
    const auto target = SnapTarget(host, InstrumentToMm(host, inst.WinkX, inst.WinkY));
    if (target) {
        const TPointMm centre = MmToInstrument(host, *target);
        inst.WinkX = centre.X;
        inst.WinkY = centre.Y;
    }
    host.Repaint();
    if (target) DrawSnapMark(host, *target);
    host.ShowReadout({TReadout::Move, inst.WinkX - WinkXStart, inst.WinkY - WinkYStart});
    host.UpdateEds();
}

void TProtractorTool::MoveStep(TToolHost& host, int x, int y) {
    ApplyMove(host, x, y);
}

void TProtractorTool::EndMove(TToolHost& host, int x, int y) {
    host.Pointer().WinkMoving = false;
    ApplyMove(host, x, y);
    host.ShowReadout({});
}

void TProtractorTool::StartTurn(TToolHost& host, int x, int y) {
    TPointerState& ptr = host.Pointer();
    ptr.WinkTurning = true;
    ptr.DownX = x;
    ptr.DownY = y;
    WinkWStart = host.Instruments().WinkW;
}

void TProtractorTool::TurnStep(TToolHost& host, int x, int y) {
    TInstrumentState& inst = host.Instruments();
    const TPointerState& ptr = host.Pointer();
    const TPointMm pivot = InstrumentToView(host, inst.WinkX, inst.WinkY);
    const double turned =
        TurnedAngle(WinkWStart, inst.WinkW, pivot.X, pivot.Y, ptr.DownX, ptr.DownY, x, y);
    inst.WinkW = SnapDegrees(host, turned, 0.0, std::hypot(x - pivot.X, y - pivot.Y));
    host.Repaint();
    host.ShowReadout({TReadout::ProtractorAngle, ReadableDegrees(inst.WinkW),
                      PointerOnScale(host, x, y)});
    host.UpdateEds();
}

void TProtractorTool::EndTurn(TToolHost& host) {
    host.Pointer().WinkTurning = false;
    host.ShowReadout({});
}

double TProtractorTool::PointerOnScale(TToolHost& host, int x, int y) const {
    const TInstrumentState& inst = host.Instruments();
    const TPointMm c = InstrumentToView(host, inst.WinkX, inst.WinkY);
    const double dir = std::atan2(y - c.Y, x - c.X) * 180.0 / std::numbers::pi;
    return OnScale(host, dir);
}

double TProtractorTool::OnScale(TToolHost& host, double dir) {
    // The scale's 0 lies opposite the protractor's direction and its degrees
    // run clockwise, so the reading is what the picture prints there.
    return ReadableDegrees(180.0 - (dir - host.Instruments().WinkW));
}

void TProtractorTool::Cancel(TToolHost& host) {
    TPointerState& ptr = host.Pointer();
    TInstrumentState& inst = host.Instruments();
    if (ptr.WinkMoving) {
        inst.WinkX = WinkXStart;
        inst.WinkY = WinkYStart;
    }
    if (ptr.WinkTurning) inst.WinkW = WinkWStart;
    ptr.WinkMoving = false;
    ptr.WinkTurning = false;
    host.ShowReadout({});
    host.Repaint();
    host.UpdateEds();
}

void TProtractorTool::MarkHover(TToolHost& host, int x, int y) const {
    const TInstrumentState& inst = host.Instruments();
    const TPointMm c = InstrumentToView(host, inst.WinkX, inst.WinkY);
    const long long cx = RoundHalfEven(c.X);
    const long long cy = RoundHalfEven(c.Y);
    // Computed wide and clamped so that a far pointer cannot overflow; the
    // canvas cuts the line to what it can show.
    const auto end = [](long long p, long long centre) {
        const long long v = (p - centre) * kRayFactor + centre + ViewMargin;
        return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    };
    const int x1 = static_cast<int>(cx) + ViewMargin;
    const int y1 = static_cast<int>(cy) + ViewMargin;
    const int x2 = end(x, cx);
    const int y2 = end(y, cy);
    host.RepaintOverlay();
    host.DrawOnView([=](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(1);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    });
}

std::optional<double> TProtractorTool::AimedDirection(TToolHost& host, int x, int y) const {
    const TInstrumentState& inst = host.Instruments();
    const TPointMm c = InstrumentToView(host, inst.WinkX, inst.WinkY);
    const auto dir = MarkDirection(c.X, c.Y, x, y);
    if (!dir) return std::nullopt;
    // The mark catches whole degrees of the protractor's scale.
    return SnapDegrees(host, *dir, inst.WinkW, std::hypot(x - c.X, y - c.Y));
}

void TProtractorTool::AimHover(TToolHost& host, int x, int y) const {
    MarkHover(host, x, y);
    if (const auto dir = AimedDirection(host, x, y))
        host.ShowReadout({TReadout::Mark, MarkOnScale(host, *dir), 0.0});
    else
        host.ShowReadout({});
}

void TProtractorTool::MarkPress(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    TPointerState& ptr = host.Pointer();
    ptr.WinkMarking = true;
    ptr.DownX = x;
    ptr.DownY = y;
    const TInstrumentState& inst = host.Instruments();
    // A press on the centre itself names no direction; the previous one stays.
    if (const auto dir = AimedDirection(host, x, y)) MarkDir = *dir;
    const TGuide guide = GuideAt(InstrumentToMm(host, inst.WinkX, inst.WinkY), MarkDir);
    stroke.Begin(guide, SnapOnGuide(host, guide, ViewToMm(host, x, y), TGuideSnap::WholeMm));
    stroke.DrawPreview(host, kStrokePen);
    ShowMarkReadout(host);
}

void TProtractorTool::MarkDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) const {
    stroke.Extend(SnapOnGuide(host, stroke.Guide, ViewToMm(host, x, y), TGuideSnap::WholeMm));
    stroke.DrawPreview(host, kStrokePen);
    ShowMarkReadout(host);
}

void TProtractorTool::MarkRelease(TToolHost& host, TGuidedStroke& stroke) const {
    host.Pointer().WinkMarking = false;
    stroke.Store(host, "Gradzahl mit Bleistift markieren");
    host.ShowReadout({});
}

double TProtractorTool::MarkOnScale(TToolHost& host, double dir) {
    // A mark is a line through the centre: it reads modulo 180.
    return std::fmod(OnScale(host, dir), 180.0);
}

void TProtractorTool::ShowMarkReadout(TToolHost& host) const {
    host.ShowReadout({TReadout::Mark, MarkOnScale(host, MarkDir), 0.0});
}

} // namespace quirindo::tools
