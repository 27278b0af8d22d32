#include "FreehandTool.h"

#include "Geometry.h"
#include "PageGeometry.h"

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
    const double s = host.ViewScale();
    TDrawObject* o = host.Document().Objects.Append();
    if (!o) return;     // out of memory was reported; the stroke goes on
    *o = TDrawObject{}; // a reused slot must not carry an old record's points
    host.SetChangedDrawnOnView();
    o->Color = stroke.Eraser ? clWhite : host.PenColor();
    o->Width = stroke.Eraser ? host.EraserWidth() : host.LineWidth();
    o->Kind = okLine;
    o->X1 = p.DragStartX / s;
    o->Y1 = p.DragStartY / s;
    o->X2 = x / s;
    o->Y2 = y / s;
    ++stroke.Segments;

    const TDrawObject segment = *o;
    host.DrawOnView([segment, s](TCanvas& canvas) {
        canvas.SetPenWidth(PenWidthPx(segment.Width, s));
        canvas.SetPenColor(segment.Color);
        canvas.MoveTo(RoundHalfEven(segment.X1 * s) + ViewMargin,
                      RoundHalfEven(segment.Y1 * s) + ViewMargin);
        canvas.LineTo(RoundHalfEven(segment.X2 * s) + ViewMargin,
                      RoundHalfEven(segment.Y2 * s) + ViewMargin);
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
