#include "GuidedStroke.h"

#include <algorithm>

namespace quirindo::tools {

void TGuidedStroke::Begin(const TGuide& guide, double t) {
    Guide = guide;
    SpanMin = t;
    SpanMax = t;
    UpdateEnds();
}

void TGuidedStroke::Extend(TPointMm p) {
    const double t = ProjectOnGuide(Guide, p);
    SpanMin = std::min(SpanMin, t);
    SpanMax = std::max(SpanMax, t);
    UpdateEnds();
}

void TGuidedStroke::UpdateEnds() {
    const TPointMm a = Trunc3(PointOnGuide(Guide, SpanMin));
    const TPointMm b = Trunc3(PointOnGuide(Guide, SpanMax));
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
    return [=](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(penWidth);
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
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
    host.Repaint();
}

TGuide AlongGuide(TToolHost& host) {
    const TInstrumentState& inst = host.Instruments();
    return GuideAt(InstrumentToMm(host, inst.LinX, inst.LinY), inst.LinW);
}

namespace {

constexpr int kMarkerPen = 5;
constexpr int kStrokePen = 3;

} // namespace

void AlongHover(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    const TGuide guide = AlongGuide(host);
    stroke.Begin(guide, ProjectOnGuide(guide, ViewToMm(host, x, y)));
    host.Repaint();
    stroke.DrawMarker(host, kMarkerPen);
}

void AlongPress(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    host.Pointer().DrawingAlong = true;
    const TGuide guide = AlongGuide(host);
    stroke.Begin(guide, ProjectOnGuide(guide, ViewToMm(host, x, y)));
    stroke.DrawPreview(host, kStrokePen);
}

void AlongDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    stroke.Extend(ViewToMm(host, x, y));
    host.Repaint();
    stroke.DrawPreview(host, kStrokePen);
}

void AlongRelease(TToolHost& host, TGuidedStroke& stroke) {
    host.Pointer().DrawingAlong = false;
    stroke.Store(host, "An Lineal entlang zeichnen");
}

namespace {

// Sets the foot of p on the scale edge; returns the along guide and t.
double PlaceFoot(TToolHost& host, TGuidedStroke& stroke, TPointMm p, TGuide& along) {
    along = AlongGuide(host);
    const double t = ProjectOnGuide(along, p);
    const TPointMm foot = Trunc3(PointOnGuide(along, t));
    stroke.FootX = foot.X;
    stroke.FootY = foot.Y;
    return t;
}

} // namespace

void AcrossHover(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    TGuide along;
    const double t = PlaceFoot(host, stroke, ViewToMm(host, x, y), along);
    stroke.Begin(along, t);
    host.Repaint();
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
    stroke.Begin(across, ProjectOnGuide(across, p));
    stroke.DrawPreview(host, kStrokePen);
}

void AcrossDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) {
    stroke.Extend(ViewToMm(host, x, y));
    stroke.DrawPreview(host, kStrokePen);
}

void AcrossRelease(TToolHost& host, TGuidedStroke& stroke) {
    host.Pointer().DrawingAcross = false;
    stroke.Store(host, "Quer zum Lineal zeichnen");
}

} // namespace quirindo::tools
