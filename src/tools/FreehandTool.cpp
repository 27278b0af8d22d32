#include "FreehandTool.h"

#include "ObjectRenderer.h"

namespace quirindo::tools {

void FreehandPress(TEditToolHost& host, TFreehandStroke& stroke, int x, int y, bool eraser) {
    TPointerState& p = host.Pointer();
    p.FreehandActive = true;
    p.DragStartX = x;
    p.DragStartY = y;
    stroke.Eraser = eraser;
    stroke.Segments = 0;
    host.Editor().BeginStep(eraser ? "Radieren" : "Bleistiftstrich");
}

void FreehandDrag(TEditToolHost& host, TFreehandStroke& stroke, int x, int y) {
    TPointerState& p = host.Pointer();
    const TViewMapping view = host.ViewMapping();
    TDrawObject segment{};
    segment.Color = stroke.Eraser ? clWhite : host.PenColor();
    segment.Width = stroke.Eraser ? host.EraserWidth() : host.LineWidth();
    segment.Kind = okLine;
    const TPointMm from = view.ViewToMm(p.DragStartX, p.DragStartY);
    const TPointMm to = view.ViewToMm(x, y);
    segment.X1 = from.X;
    segment.Y1 = from.Y;
    segment.X2 = to.X;
    segment.Y2 = to.Y;
    // Out of memory was reported; the stroke goes on.
    if (!host.Editor().AppendObject(segment, nullptr)) return;
    ++stroke.Segments;

    // Where the pages will show the segment once they are rendered again.
    const TPixelPoint a = PaintBoxPixel(view.MmToView(from.X, from.Y));
    const TPixelPoint b = PaintBoxPixel(view.MmToView(to.X, to.Y));
    const int pen = PenWidthPx(segment.Width, view.Scale);
    const TColor color = segment.Color;
    host.DrawOnView([=](TCanvas& canvas) {
        canvas.SetPenWidth(pen);
        canvas.SetPenColor(color);
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
    });
    p.DragStartX = x;
    p.DragStartY = y;
}

void FreehandRelease(TEditToolHost& host, TFreehandStroke& stroke) {
    host.Pointer().FreehandActive = false;
    host.Editor().EndStep();
    // The view keeps the segments it was shown; only later paints need
    // pages that hold them.
    if (stroke.Segments > 0) host.RefreshPages();
    stroke.Segments = 0;
}

void FreehandAbandon(TEditToolHost& host, TFreehandStroke& stroke) {
    host.Pointer().FreehandActive = false;
    // The open step holds exactly the stroke's segments.
    host.Editor().AbandonStep();
    stroke.Segments = 0;
    host.RefreshPages();
    host.Repaint();
}

} // namespace quirindo::tools
