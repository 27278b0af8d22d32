#include "CurveTool.h"

#include "Geometry.h"
#include "ObjectRenderer.h"

namespace quirindo::tools {

void CurveFirstClick(TEditToolHost& host, TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotStart = true;
    p.CurveGotEnd = false;
    p.CurveGotControl1 = false;
    p.DragStartX = x;
    p.DragStartY = y;
    chain.Start = ViewToMm(host, x, y);
}

void CurveSecondClick(TEditToolHost& host, TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotEnd = true;
    p.CurveGotStart = false;
    chain.End = ViewToMm(host, x, y);
}

void CurveThirdClick(TEditToolHost& host, TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotEnd = false;
    chain.Ctrl1 = ViewToMm(host, x, y);
    p.CurveGotControl1 = true;
}

void CurveFourthClick(TEditToolHost& host, const TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotControl1 = false;
    const TPointMm ctrl2 = ViewToMm(host, x, y);
    // Stored start, first control, second control, end.
    (void)AppendDrawObject(host, okBezier,
                           {chain.Start.X, chain.Start.Y, chain.Ctrl1.X, chain.Ctrl1.Y, ctrl2.X,
                            ctrl2.Y, chain.End.X, chain.End.Y},
                           "Kurve zeichnen");
    host.RepaintOverlay();
}

TCurvePreviewShape CurvePreviewShape(const TPointerState& pointer, const TCurveChain& chain,
                                     const TViewMapping& view, int page, int x, int y) {
    const auto onPage = [&](TPointMm mm) {
        const TPointMm local = view.MmToPage(page, mm.X, mm.Y);
        return QPoint(RoundHalfEven(local.X), RoundHalfEven(local.Y));
    };
    TCurvePreviewShape shape;
    shape.Start = onPage(chain.Start);
    const QPoint at = onPage(view.ViewToMm(x, y));
    if (pointer.CurveGotEnd) {
        shape.C1 = at;
        shape.C2 = at;
        shape.End = onPage(chain.End);
    } else if (pointer.CurveGotControl1) {
        shape.C1 = onPage(chain.Ctrl1);
        shape.C2 = at;
        shape.End = onPage(chain.End);
    } else {
        shape.Straight = true;
        shape.End = at;
    }
    return shape;
}

void CurvePreview(TEditToolHost& host, const TCurveChain& chain, int x, int y) {
    const TPointerState& p = host.Pointer();
    if (!p.CurveGotStart && !p.CurveGotEnd && !p.CurveGotControl1) return;
    const TCurvePreviewShape shape =
        CurvePreviewShape(p, chain, host.ViewMapping(), host.PointerPage(), x, y);
    const TColor color = host.PenColor();
    const int width = PenWidthPx(host.LineWidth(), host.ViewScale());
    host.ShowPagePreview([shape, color, width](TCanvas& canvas) {
        canvas.SetPenColor(color);
        canvas.SetPenWidth(width);
        canvas.MoveTo(shape.Start.x(), shape.Start.y());
        if (shape.Straight)
            canvas.LineTo(shape.End.x(), shape.End.y());
        else
            canvas.PolyBezierTo(shape.C1, shape.C2, shape.End);
    });
}

void CurveAbandon(TEditToolHost& host) {
    TPointerState& p = host.Pointer();
    const bool pending = p.CurveGotStart || p.CurveGotEnd || p.CurveGotControl1;
    p.CurveGotStart = p.CurveGotEnd = p.CurveGotControl1 = false;
    if (pending) host.Repaint();
}

} // namespace quirindo::tools
