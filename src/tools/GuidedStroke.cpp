#include "GuidedStroke.h"

#include "Snapping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quirindo::tools {

TGuidePos SnapOnGuide(TToolHost& host, const TGuide& guide, TPointMm p, TGuideSnap extra) {
    const double t = ProjectOnGuide(guide, p);
    if (!host.SnapMode().On) return {t, false, std::nullopt};
    if (const auto target = SnapTarget(host, p))
        return {ProjectOnGuide(guide, *target), true, *target};
    const double reach = SnapRadiusMm(host);
    if (extra == TGuideSnap::Origin && std::fabs(t) <= reach) return {0.0, true, guide.Origin};
    if (extra == TGuideSnap::WholeMm) {
        const double whole = std::round(t);
        if (std::fabs(whole - t) <= reach) return {whole, true, std::nullopt};
    }
    return {t, false, std::nullopt};
}

void TGuidedStroke::Begin(const TGuide& guide, double t) {
    Begin(guide, TGuidePos{t, false, std::nullopt});
}

void TGuidedStroke::Begin(const TGuide& guide, const TGuidePos& pos) {
    Guide = guide;
    SpanMin = pos.T;
    SpanMax = pos.T;
    SnapMin = pos.Snapped;
    SnapMax = pos.Snapped;
    Mark = pos.Mark;
    UpdateEnds();
}

void TGuidedStroke::Extend(TPointMm p) {
    Extend(TGuidePos{ProjectOnGuide(Guide, p), false, std::nullopt});
}

void TGuidedStroke::Extend(const TGuidePos& pos) {
    if (pos.T < SpanMin) {
        SpanMin = pos.T;
        SnapMin = pos.Snapped;
    }
    if (pos.T > SpanMax) {
        SpanMax = pos.T;
        SnapMax = pos.Snapped;
    }
    Mark = pos.Mark;
    UpdateEnds();
}

double TGuidedStroke::Length() const {
    return std::hypot(PendX2 - PendX1, PendY2 - PendY1);
}

double TGuidedStroke::Direction() const {
    if (PendX1 == PendX2 && PendY1 == PendY2)
        return std::atan2(Guide.DirY, Guide.DirX) * 180.0 / std::numbers::pi;
    return std::atan2(PendY2 - PendY1, PendX2 - PendX1) * 180.0 / std::numbers::pi;
}

void TGuidedStroke::UpdateEnds() {
    const TPointMm pa = PointOnGuide(Guide, SpanMin);
    const TPointMm pb = PointOnGuide(Guide, SpanMax);
    const TPointMm a = SnapMin ? Round3(pa) : Trunc3(pa);
    const TPointMm b = SnapMax ? Round3(pb) : Trunc3(pb);
    PendX1 = a.X;
    PendY1 = a.Y;
    PendX2 = b.X;
    PendY2 = b.Y;
}

TOverlay::TPainterFn TGuidedStroke::PreviewLine(const TToolHost& host, int penWidth) const {
    // On the instrument's copy of the page of the press, where it is shown.
    const int page = host.PointerPage();
    const TPixelPoint a = PaintBoxPixelOnPage(host, page, PendX1, PendY1);
    const TPixelPoint b = PaintBoxPixelOnPage(host, page, PendX2, PendY2);
    TOverlay::TPainterFn ring;
    if (Mark) ring = SnapMarkPainter(host, *Mark);
    return [=](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(penWidth);
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
        if (ring) ring(canvas);
    };
}

void TGuidedStroke::DrawPreview(TToolHost& host, int penWidth) const {
    // The stroke only grows, so its latest preview covers all earlier ones.
    host.DrawDragPreview(PreviewLine(host, penWidth));
}

void TGuidedStroke::DrawMarker(TToolHost& host, int penWidth) const {
    host.DrawOnView(PreviewLine(host, penWidth));
}

void TGuidedStroke::Store(TToolHost& host, const char* step) const {
    (void)AppendDrawObject(host, okLine, {PendX1, PendY1, PendX2, PendY2}, step);
    host.RepaintOverlay();
}

TGuide AlongGuide(TToolHost& host) {
    const TInstrumentState& inst = host.Instruments();
    return GuideAt(InstrumentToMm(host, inst.LinX, inst.LinY), inst.LinW);
}

namespace {

constexpr int kMarkerPen = 5;
constexpr int kStrokePen = 3;

void ShowStrokeReadout(TToolHost& host, const TGuidedStroke& stroke) {
    host.ShowReadout({TReadout::Stroke, stroke.Length(), ReadableDegrees(stroke.Direction())});
}

} // namespace

void AlongHover(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    const TGuide guide = AlongGuide(host);
    stroke.Begin(guide, SnapOnGuide(host, guide, ViewToMm(host, x, y), TGuideSnap::WholeMm));
    host.RepaintOverlay();
    stroke.DrawMarker(host, kMarkerPen);
}

void AlongPress(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    host.Pointer().DrawingAlong = true;
    const TGuide guide = AlongGuide(host);
    stroke.Begin(guide, SnapOnGuide(host, guide, ViewToMm(host, x, y), TGuideSnap::WholeMm));
    stroke.DrawPreview(host, kStrokePen);
    ShowStrokeReadout(host, stroke);
}

void AlongDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    stroke.Extend(SnapOnGuide(host, stroke.Guide, ViewToMm(host, x, y), TGuideSnap::WholeMm));
    host.Repaint();
    stroke.DrawPreview(host, kStrokePen);
    ShowStrokeReadout(host, stroke);
}

void AlongRelease(TToolHost& host, TGuidedStroke& stroke) {
    host.Pointer().DrawingAlong = false;
    stroke.Store(host, "An Lineal entlang zeichnen");
    host.ShowReadout({});
}

namespace {

// Sets the foot of p on the scale edge; returns the along guide and t.
double PlaceFoot(TToolHost& host, TGuidedStroke& stroke, TPointMm p, TGuide& along) {
    along = AlongGuide(host);
    // The foot catches targets and whole millimetres of the scale, like a
    // stroke along the ruler.
    const TGuidePos pos = SnapOnGuide(host, along, p, TGuideSnap::WholeMm);
    const double t = pos.T;
    const TPointMm onEdge = PointOnGuide(along, t);
    const TPointMm foot = pos.Snapped ? Round3(onEdge) : Trunc3(onEdge);
    stroke.FootX = foot.X;
    stroke.FootY = foot.Y;
    return t;
}

} // namespace

void AcrossHover(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    TGuide along;
    const double t = PlaceFoot(host, stroke, ViewToMm(host, x, y), along);
    stroke.Begin(along, t);
    host.RepaintOverlay();
    const TPixelPoint f = PaintBoxPixelOnPage(host, host.PointerPage(), stroke.FootX, stroke.FootY);
    host.DrawOnView([=](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(kMarkerPen);
        canvas.MoveTo(f.X, f.Y);
        canvas.LineTo(f.X, f.Y);
    });
}

void AcrossPress(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    host.Pointer().DrawingAcross = true;
    const TPointMm p = ViewToMm(host, x, y);
    TGuide along;
    (void)PlaceFoot(host, stroke, p, along);
    const TGuide across = GuideAt({stroke.FootX, stroke.FootY}, host.Instruments().LinW + 90.0);
    stroke.Begin(across, SnapOnGuide(host, across, p, TGuideSnap::Origin));
    stroke.DrawPreview(host, kStrokePen);
    ShowStrokeReadout(host, stroke);
}

void AcrossDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    stroke.Extend(SnapOnGuide(host, stroke.Guide, ViewToMm(host, x, y), TGuideSnap::Origin));
    stroke.DrawPreview(host, kStrokePen);
    ShowStrokeReadout(host, stroke);
}

void AcrossRelease(TToolHost& host, TGuidedStroke& stroke) {
    host.Pointer().DrawingAcross = false;
    stroke.Store(host, "Quer zum Lineal zeichnen");
    host.ShowReadout({});
}

} // namespace quirindo::tools
