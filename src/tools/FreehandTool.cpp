#include "FreehandTool.h"

#include "ObjectRenderer.h"

namespace quirindo::tools {

void FreehandPress(TEditToolHost& host, TFreehandStroke& stroke, int x, int y, bool eraser) {
    TPointerState& p = host.Pointer();
    p.FreehandActive = true;
    p.DragStartX = x;
    p.DragStartY = y;
    stroke.Eraser = eraser;
    stroke.FirstIndex = host.Document().Objects.Count();
    stroke.Segments = 0;
}

void FreehandDrag(TEditToolHost& host, TFreehandStroke& stroke, int x, int y) {
    TPointerState& p = host.Pointer();
    const TViewMapping view = host.ViewMapping();
    TDrawObject* o = host.Document().Objects.Append();
    if (!o) return;     // out of memory was reported; the stroke goes on
    *o = TDrawObject{}; // a reused slot must not carry an old record's points
    host.SetChangedDrawnOnView();
    o->Color = stroke.Eraser ? clWhite : host.PenColor();
    o->Width = stroke.Eraser ? host.EraserWidth() : host.LineWidth();
    o->Kind = okLine;
    const TPointMm from = view.ViewToMm(p.DragStartX, p.DragStartY);
    const TPointMm to = view.ViewToMm(x, y);
    o->X1 = from.X;
    o->Y1 = from.Y;
    o->X2 = to.X;
    o->Y2 = to.Y;
    ++stroke.Segments;

    // Where the pages will show the segment once they are rendered again.
    const TPixelPoint a = PaintBoxPixel(view.MmToView(from.X, from.Y));
    const TPixelPoint b = PaintBoxPixel(view.MmToView(to.X, to.Y));
    const int pen = PenWidthPx(o->Width, view.Scale);
    const TColor color = o->Color;
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
    // The view keeps the segments it was shown; only later paints need
    // pages that hold them.
    if (stroke.Segments > 0) host.RefreshPages();
    stroke.Segments = 0;
}

void FreehandAbandon(TEditToolHost& host, TFreehandStroke& stroke) {
    host.Pointer().FreehandActive = false;
    auto& objects = host.Document().Objects;
    // Only while the stroke's segments are still the newest records are
    // they known to be the stroke's.
    if (stroke.Segments > 0 && objects.Count() == stroke.FirstIndex + stroke.Segments) {
        for (std::int32_t i = 0; i < stroke.Segments; ++i)
            objects.Delete(objects.Count() - 1);
        host.SetChanged();
    }
    stroke.Segments = 0;
    host.RefreshPages();
    host.Repaint();
}

} // namespace quirindo::tools
