#include "ProtractorTool.h"

#include "Geometry.h"
#include "PageGeometry.h"

#include <algorithm>

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
    host.Repaint();
    host.UpdateEds();
}

void TProtractorTool::MoveStep(TToolHost& host, int x, int y) {
    ApplyMove(host, x, y);
}

void TProtractorTool::EndMove(TToolHost& host, int x, int y) {
    host.Pointer().WinkMoving = false;
    ApplyMove(host, x, y);
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
    inst.WinkW = TurnedAngle(WinkWStart, inst.WinkW, pivot.X, pivot.Y, ptr.DownX, ptr.DownY, x, y);
    host.Repaint();
    host.UpdateEds();
}

void TProtractorTool::EndTurn(TToolHost& host) {
    host.Pointer().WinkTurning = false;
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
    host.Repaint();
    host.DrawOnView([=](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(1);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    });
}

void TProtractorTool::MarkPress(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    TPointerState& ptr = host.Pointer();
    ptr.WinkMarking = true;
    ptr.DownX = x;
    ptr.DownY = y;
    const TInstrumentState& inst = host.Instruments();
    const TPointMm c = InstrumentToView(host, inst.WinkX, inst.WinkY);
    // A press on the centre itself names no direction; the previous one stays.
    if (const auto dir = MarkDirection(c.X, c.Y, x, y)) MarkDir = *dir;
    const TGuide guide = GuideAt(InstrumentToMm(host, inst.WinkX, inst.WinkY), MarkDir);
    stroke.Begin(guide, ProjectOnGuide(guide, ViewToMm(host, x, y)));
    stroke.DrawPreview(host, kStrokePen);
}

void TProtractorTool::MarkDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) const {
    stroke.Extend(ViewToMm(host, x, y));
    stroke.DrawPreview(host, kStrokePen);
}

void TProtractorTool::MarkRelease(TToolHost& host, TGuidedStroke& stroke) const {
    host.Pointer().WinkMarking = false;
    stroke.Store(host, "Gradzahl mit Bleistift markieren");
}

} // namespace quirindo::tools
