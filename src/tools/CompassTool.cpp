#include "CompassTool.h"

#include "Snapping.h"

#include <cmath>

namespace quirindo::tools {

void TCompassTool::StartMove(TToolHost& host, int x, int y) {
    host.Pointer().ZirkMoveActive = true;
    ZirkDownX = x;
    ZirkDownY = y;
    ZirkXStart = host.Instruments().ZirkX;
    ZirkYStart = host.Instruments().ZirkY;
}

void TCompassTool::ApplyMove(TToolHost& host, int x, int y) const {
    const double s = host.ViewScale();
    TInstrumentState& inst = host.Instruments();
    inst.ZirkX = ZirkXStart + (x - ZirkDownX) / s;
    inst.ZirkY = ZirkYStart + (y - ZirkDownY) / s;
    // The needle catches a target near where the drag puts it.
    const auto target = SnapTarget(host, InstrumentToMm(host, inst.ZirkX, inst.ZirkY));
    if (target) {
        const TPointMm needle = MmToInstrument(host, *target);
        inst.ZirkX = needle.X;
        inst.ZirkY = needle.Y;
    }
    host.Repaint();
    if (target) DrawSnapMark(host, *target);
    host.ShowReadout({TReadout::Move, inst.ZirkX - ZirkXStart, inst.ZirkY - ZirkYStart});
    host.UpdateEds();
}

void TCompassTool::MoveStep(TToolHost& host, int x, int y) {
    ApplyMove(host, x, y);
}

void TCompassTool::EndMove(TToolHost& host, int x, int y) {
    host.Pointer().ZirkMoveActive = false;
    ApplyMove(host, x, y);
    host.ShowReadout({});
}

void TCompassTool::Cancel(TToolHost& host) {
    TPointerState& ptr = host.Pointer();
    if (!ptr.ZirkMoveActive) return;
    ptr.ZirkMoveActive = false;
    host.Instruments().ZirkX = ZirkXStart;
    host.Instruments().ZirkY = ZirkYStart;
    host.ShowReadout({});
    host.Repaint();
    host.UpdateEds();
}

// Turns the pencil leg toward the pointer. On the needle point itself the
// direction is undefined and the leg stays where it was.
void TCompassTool::PointLeg(TToolHost& host, int x, int y) {
    TPointerState& ptr = host.Pointer();
    ptr.DownX = x;
    ptr.DownY = y;
    TInstrumentState& inst = host.Instruments();
    const TPointMm needle = InstrumentToView(host, inst.ZirkX, inst.ZirkY);
    if (const auto angle = CompassPointerAngle(needle.X, needle.Y, x, y)) inst.ZirkW = *angle;
}

void TCompassTool::ApplySpan(TToolHost& host, int x, int y) {
    PointLeg(host, x, y);
    TInstrumentState& inst = host.Instruments();
    TPointMm p = ViewToMm(host, x, y);
    const TPointMm needle = InstrumentToMm(host, inst.ZirkX, inst.ZirkY);
    // The pencil tip catches a target, so "take the distance AB" is exact.
    const auto target = SnapTarget(host, p);
    if (target) {
        p = *target;
        if (const auto angle = CompassPointerAngle(needle.X, needle.Y, p.X, p.Y))
            inst.ZirkW = *angle;
    }
    const double span = std::hypot(p.X - needle.X, p.Y - needle.Y);
    if (std::isfinite(span)) inst.ZirkS = span;
    host.Repaint();
    if (target) DrawSnapMark(host, *target);
    host.ShowReadout({TReadout::CompassSpan, inst.ZirkS, ReadableDegrees(inst.ZirkW)});
    host.UpdateEds();
}

void TCompassTool::SpanPress(TToolHost& host, int x, int y) {
    host.Pointer().ZirkSpanActive = true;
    ApplySpan(host, x, y);
}

void TCompassTool::SpanStep(TToolHost& host, int x, int y) {
    ApplySpan(host, x, y);
}

void TCompassTool::SpanRelease(TToolHost& host, int x, int y) {
    host.Pointer().ZirkSpanActive = false;
    ApplySpan(host, x, y);
    host.ShowReadout({});
}

void TCompassTool::ArcHover(TToolHost& host, int x, int y) {
    PointLeg(host, x, y);
    host.Repaint();
}

void TCompassTool::ArcPress(TToolHost& host, int x, int y) {
    host.Pointer().ZirkArcActive = true;
    PointLeg(host, x, y);
    const TPointMm p = ViewToMm(host, x, y);
    ArcStartX = p.X;
    ArcStartY = p.Y;
    Sweep = TArcSweep{host.Instruments().ZirkW, false, Sweep.Dir};
    host.Repaint();
}

void TCompassTool::ArcDrag(TToolHost& host, int x, int y) {
    PointLeg(host, x, y);
    const TPointMm p = ViewToMm(host, x, y);
    ArcEndX = p.X;
    ArcEndY = p.Y;
    const TInstrumentState& inst = host.Instruments();
    const TPointMm needle = InstrumentToView(host, inst.ZirkX, inst.ZirkY);
    const double decision =
        SweepDecisionAngle(inst.ZirkS * host.ViewScale(), std::hypot(x - needle.X, y - needle.Y));
    AdvanceSweep(Sweep, inst.ZirkW, decision);
    host.Repaint();
    if (!Sweep.Started) return;
    {
        // The swept angle, the short way round in the sweep's direction.
        double swept = std::fmod(Sweep.Dir == 1 ? inst.ZirkW - Sweep.StartAngle
                                                : Sweep.StartAngle - inst.ZirkW,
                                 360.0);
        if (swept < 0.0) swept += 360.0;
        host.ShowReadout({TReadout::CompassArc, inst.ZirkS, swept});
    }

    // On the compass copy of the page of the press, where it is shown.
    const int page = host.PointerPage();
    const TPointMm centre = InstrumentToMm(host, inst.ZirkX, inst.ZirkY);
    const auto px = [&](double xMm, double yMm) {
        return PaintBoxPixelOnPage(host, page, xMm, yMm);
    };
    const TPixelPoint upperLeft = px(centre.X - inst.ZirkS, centre.Y - inst.ZirkS);
    const TPixelPoint lowerRight = px(centre.X + inst.ZirkS, centre.Y + inst.ZirkS);
    // The arc runs counter-clockwise on screen from the first ray to the
    // second: from the end back to the start for a clockwise sweep.
    const bool clockwise = Sweep.Dir == 1;
    const TPixelPoint from = clockwise ? px(ArcEndX, ArcEndY) : px(ArcStartX, ArcStartY);
    const TPixelPoint to = clockwise ? px(ArcStartX, ArcStartY) : px(ArcEndX, ArcEndY);
    host.DrawOnView([=](TCanvas& canvas) {
        canvas.SetPenColor(clRed);
        canvas.SetPenWidth(1);
        canvas.Arc(upperLeft.X, upperLeft.Y, lowerRight.X, lowerRight.Y, from.X, from.Y, to.X,
                   to.Y);
    });
}

void TCompassTool::ArcRelease(TToolHost& host) {
    host.Pointer().ZirkArcActive = false;
    host.ShowReadout({});
    if (!Sweep.Started) return;
    const TInstrumentState& inst = host.Instruments();
    const TPointMm centre = InstrumentToMm(host, inst.ZirkX, inst.ZirkY);
    const bool clockwise = Sweep.Dir == 1;
    const double x1 = centre.X - inst.ZirkS, y1 = centre.Y - inst.ZirkS;
    const double x2 = centre.X + inst.ZirkS, y2 = centre.Y + inst.ZirkS;
    const double x3 = clockwise ? ArcEndX : ArcStartX, y3 = clockwise ? ArcEndY : ArcStartY;
    const double x4 = clockwise ? ArcStartX : ArcEndX, y4 = clockwise ? ArcStartY : ArcEndY;
    (void)AppendDrawObject(host, okArc, {x1, y1, x2, y2, x3, y3, x4, y4}, "Kreisbogen zeichnen");
    host.RepaintOverlay();
}

void TCompassTool::DrawCircle(TToolHost& host) {
    const TInstrumentState& inst = host.Instruments();
    const TPointMm centre = InstrumentToMm(host, inst.ZirkX, inst.ZirkY);
    const double x1 = centre.X - inst.ZirkS, y1 = centre.Y - inst.ZirkS;
    const double x2 = centre.X + inst.ZirkS, y2 = centre.Y + inst.ZirkS;
    (void)AppendDrawObject(host, okEllipse, {x1, y1, x2, y2}, "Kreis zeichnen");
    host.RepaintOverlay();
}

} // namespace quirindo::tools
