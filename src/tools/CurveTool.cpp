#include "CurveTool.h"

#include "ObjectRenderer.h"

namespace quirindo::tools {

void CurveFirstClick(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotStart = true;
    p.CurveGotEnd = false;
    p.CurveGotControl1 = false;
    p.DragStartX = x;
    p.DragStartY = y;
}

void CurveSecondClick(TEditToolHost& host, TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotEnd = true;
    p.CurveGotStart = false;
    chain.EndX = x;
    chain.EndY = y;
}

void CurveThirdClick(TEditToolHost& host, TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotEnd = false;
    chain.Ctrl1X = x;
    chain.Ctrl1Y = y;
    p.CurveGotControl1 = true;
}

void CurveFourthClick(TEditToolHost& host, const TCurveChain& chain, int x, int y) {
    TPointerState& p = host.Pointer();
    p.CurveGotControl1 = false;
    const double s = host.ViewScale();
    // Stored start, first control, second control, end.
    TDrawObject* o = AppendDrawObject(host, okBezier, {});
    if (o) {
        o->X1 = p.DragStartX / s;
        o->Y1 = p.DragStartY / s;
        o->X2 = chain.Ctrl1X / s;
        o->Y2 = chain.Ctrl1Y / s;
        o->X3 = x / s;
        o->Y3 = y / s;
        o->X4 = chain.EndX / s;
        o->Y4 = chain.EndY / s;
    }
    host.Repaint();
}

TCurvePreviewShape CurvePreviewShape(const TPointerState& pointer, const TCurveChain& chain, int x,
                                     int y, int pageTop) {
    TCurvePreviewShape shape;
    shape.Start = QPoint(pointer.DragStartX, pointer.DragStartY - pageTop);
    const QPoint at(x, y - pageTop);
    const QPoint end(chain.EndX, chain.EndY - pageTop);
    if (pointer.CurveGotEnd) {
        shape.C1 = at;
        shape.C2 = at;
        shape.End = end;
    } else if (pointer.CurveGotControl1) {
        shape.C1 = QPoint(chain.Ctrl1X, chain.Ctrl1Y - pageTop);
        shape.C2 = at;
        shape.End = end;
    } else {
        shape.Straight = true;
        shape.End = at;
    }
    return shape;
}

void CurvePreview(TEditToolHost& host, const TCurveChain& chain, int x, int y) {
    const TPointerState& p = host.Pointer();
    if (!p.CurveGotStart && !p.CurveGotEnd && !p.CurveGotControl1) return;
    const TCurvePreviewShape shape = CurvePreviewShape(p, chain, x, y, host.PointerPageTop());
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
