#include "ObjectTool.h"

#include "Geometry.h"
#include "InstrumentGeometry.h"
#include "PageGeometry.h"

#include <algorithm>
#include <cmath>

namespace quirindo::tools {

namespace {

TDrawObject* HighlightedObject(TEditToolHost& host) {
    const TPointerState& p = host.Pointer();
    auto& objects = host.Document().Objects;
    if (p.HoverIndex < 0 || p.HoverIndex >= objects.Count()) return nullptr;
    return objects.Select(p.HoverIndex);
}

void ShowHighlight(TEditToolHost& host, const TDrawObject& object, int dx, int dy) {
    const double s = host.ViewScale();
    host.DrawOnView(
        [object, s, dx, dy](TCanvas& canvas) { DrawHighlight(canvas, object, s, dx, dy); });
}

} // namespace

bool ObjectHit(const TDrawObject& o, double s, int px, int py) {
    switch (o.Kind) {
    case okLine:
        return SegmentHit(RoundHalfEven(o.X1 * s), RoundHalfEven(o.Y1 * s), RoundHalfEven(o.X2 * s),
                          RoundHalfEven(o.Y2 * s), px, py);
    case okArc:
    case okEllipse: {
        const double cx = ((o.X2 - o.X1) / 2.0 + o.X1) * s;
        const double cy = ((o.Y2 - o.Y1) / 2.0 + o.Y1) * s;
        // A box given right to left describes the same circle.
        const double r = std::fabs((o.X2 - o.X1) / 2.0 * s);
        const double d = std::hypot(px - cx, py - cy);
        return std::fabs(d - r) < 3.0; // false for NaN
    }
    default:
        return false; // curves and unknown kinds
    }
}

std::int32_t ObjectAt(TDrawing& drawing, double scale, int x, int y) {
    for (std::int32_t i = drawing.Objects.Count() - 1; i >= 0; --i) {
        if (ObjectHit(*drawing.Objects.Select(i), scale, x, y)) return i;
    }
    return -1;
}

int HighlightPenWidth(double widthMm, double scale) {
    return std::clamp(RoundHalfEven(2.0 * widthMm * scale), 2, kMaxPenWidthPx);
}

void DrawHighlight(TCanvas& canvas, const TDrawObject& o, double s, int dx, int dy) {
    auto px = [&](double v, int d) { return RoundHalfEven(v * s) + ViewMargin + d; };
    canvas.SetPenColor(clRed);
    canvas.SetPenWidth(HighlightPenWidth(o.Width, s));
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    switch (o.Kind) {
    case okLine:
        canvas.MoveTo(px(o.X1, dx), px(o.Y1, dy));
        canvas.LineTo(px(o.X2, dx), px(o.Y2, dy));
        break;
    case okArc:
        canvas.Arc(px(o.X1, dx), px(o.Y1, dy), px(o.X2, dx), px(o.Y2, dy), px(o.X3, dx),
                   px(o.Y3, dy), px(o.X4, dx), px(o.Y4, dy));
        break;
    case okEllipse:
        canvas.Ellipse(px(o.X1, dx), px(o.Y1, dy), px(o.X2, dx), px(o.Y2, dy));
        break;
    default:
        break;
    }
}

void ObjectHover(TEditToolHost& host, int x, int y) {
    const std::int32_t i = ObjectAt(host.Document(), host.ViewScale(), x, y);
    HoverOver(host, i, [&] { ShowHighlight(host, host.Document().Objects[i], 0, 0); });
}

void ObjectDeletePress(TEditToolHost& host) {
    TPointerState& p = host.Pointer();
    if (!TakeHover(p) || !HighlightedObject(host)) return;
    host.Document().Objects.Delete(p.HoverIndex);
    host.SetChanged();
    host.Repaint();
}

void ObjectMovePress(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    if (!TakeHover(p) || !HighlightedObject(host)) return;
    p.ObjectMoving = true;
    p.DragStartX = x;
    p.DragStartY = y;
}

void ObjectMoveDrag(TEditToolHost& host, int x, int y) {
    const TPointerState& p = host.Pointer();
    host.Repaint();
    if (const TDrawObject* o = HighlightedObject(host))
        ShowHighlight(host, *o, x - p.DragStartX, y - p.DragStartY);
}

void ObjectMoveRelease(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.ObjectMoving = false;
    if (TDrawObject* o = HighlightedObject(host)) {
        // The drag's offset, a distance in millimetres.
        const TPointMm d = ViewToMm(host, x - p.DragStartX, y - p.DragStartY);
        for (double* px : {&o->X1, &o->X2, &o->X3, &o->X4}) *px += d.X;
        for (double* py : {&o->Y1, &o->Y2, &o->Y3, &o->Y4}) *py += d.Y;
        host.SetChanged();
    }
    host.Repaint();
}

void ObjectMoveAbandon(TEditToolHost& host) {
    AbandonMove(host, host.Pointer().ObjectMoving);
}

void DeleteLastObject(TEditToolHost& host) {
    auto& objects = host.Document().Objects;
    if (objects.Count() == 0) return;
    objects.Delete(objects.Count() - 1);
    // The highlight may have shown the object just removed.
    host.Pointer().HoverShown = false;
    host.SetChanged();
    host.Repaint();
}

} // namespace quirindo::tools
