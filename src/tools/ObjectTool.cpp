#include "ObjectTool.h"

#include "Geometry.h"
#include "InstrumentGeometry.h"
#include "PageGeometry.h"

#include <QPoint>

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

void ShowHighlight(TEditToolHost& host, const TDrawObject& object, int page, int dx, int dy) {
    const TViewMapping view = host.ViewMapping();
    host.DrawOnView([object, view, page, dx, dy](TCanvas& canvas) {
        DrawHighlight(canvas, object, view, page, dx, dy);
    });
}

} // namespace

bool ObjectHit(const TDrawObject& o, const TViewMapping& view, int px, int py) {
    const int page = view.PageAtView(py);
    const auto at = [&](double x, double y) { return view.MmToViewOnPage(page, x, y); };
    switch (o.Kind) {
    case okLine: {
        const TPointMm a = at(o.X1, o.Y1);
        const TPointMm b = at(o.X2, o.Y2);
        return SegmentHit(RoundHalfEven(a.X), RoundHalfEven(a.Y), RoundHalfEven(b.X),
                          RoundHalfEven(b.Y), px, py);
    }
    case okArc:
    case okEllipse: {
        const TPointMm c = at((o.X2 - o.X1) / 2.0 + o.X1, (o.Y2 - o.Y1) / 2.0 + o.Y1);
        // A box given right to left describes the same circle.
        const double r = std::fabs((o.X2 - o.X1) / 2.0 * view.Scale);
        const double d = std::hypot(px - c.X, py - c.Y);
        return std::fabs(d - r) < 3.0; // false for NaN
    }
    default:
        return false; // curves and unknown kinds
    }
}

std::int32_t ObjectAt(TDrawing& drawing, const TViewMapping& view, int x, int y) {
    for (std::int32_t i = drawing.Objects.Count() - 1; i >= 0; --i) {
        if (ObjectHit(*drawing.Objects.Select(i), view, x, y)) return i;
    }
    return -1;
}

int HighlightPenWidth(double widthMm, double scale) {
    return std::clamp(RoundHalfEven(2.0 * widthMm * scale), 2, kMaxPenWidthPx);
}

void DrawHighlight(TCanvas& canvas, const TDrawObject& o, const TViewMapping& view, int page,
                   int dx, int dy) {
    const auto px = [&](double x, double y) {
        const TPixelPoint p = PaintBoxPixel(view.MmToViewOnPage(page, x, y));
        return QPoint(p.X + dx, p.Y + dy);
    };
    canvas.SetPenColor(clRed);
    canvas.SetPenWidth(HighlightPenWidth(o.Width, view.Scale));
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    switch (o.Kind) {
    case okLine: {
        const QPoint a = px(o.X1, o.Y1), b = px(o.X2, o.Y2);
        canvas.MoveTo(a.x(), a.y());
        canvas.LineTo(b.x(), b.y());
        break;
    }
    case okArc: {
        const QPoint a = px(o.X1, o.Y1), b = px(o.X2, o.Y2), c = px(o.X3, o.Y3), d = px(o.X4, o.Y4);
        canvas.Arc(a.x(), a.y(), b.x(), b.y(), c.x(), c.y(), d.x(), d.y());
        break;
    }
    case okEllipse: {
        const QPoint a = px(o.X1, o.Y1), b = px(o.X2, o.Y2);
        canvas.Ellipse(a.x(), a.y(), b.x(), b.y());
        break;
    }
    default:
        break;
    }
}

void ObjectHover(TEditToolHost& host, int x, int y) {
    const TViewMapping view = host.ViewMapping();
    const std::int32_t i = ObjectAt(host.Document(), view, x, y);
    HoverOver(host, i,
              [&] { ShowHighlight(host, host.Document().Objects[i], view.PageAtView(y), 0, 0); });
}

void ObjectDeletePress(TEditToolHost& host) {
    TPointerState& p = host.Pointer();
    if (!TakeHover(p) || !HighlightedObject(host)) return;
    (void)host.Editor().DeleteObject(p.HoverIndex, "Objekt löschen");
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
        ShowHighlight(host, *o, host.ViewMapping().PageAtView(p.DragStartY), x - p.DragStartX,
                      y - p.DragStartY);
}

void ObjectMoveRelease(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.ObjectMoving = false;
    if (const TDrawObject* o = HighlightedObject(host)) {
        // From the drawing point under the press to the one under the
        // release, each on its own page: the object lands where the preview
        // left it, also on another page.
        const TPointMm from = ViewToMm(host, p.DragStartX, p.DragStartY);
        const TPointMm to = ViewToMm(host, x, y);
        const double dx = to.X - from.X, dy = to.Y - from.Y;
        TDrawObject moved = *o;
        for (double* px : {&moved.X1, &moved.X2, &moved.X3, &moved.X4})
            *px += dx;
        for (double* py : {&moved.Y1, &moved.Y2, &moved.Y3, &moved.Y4})
            *py += dy;
        (void)host.Editor().ChangeObject(p.HoverIndex, moved, "Objekt verschieben");
    }
    host.Repaint();
}

void ObjectMoveAbandon(TEditToolHost& host) {
    AbandonMove(host, host.Pointer().ObjectMoving);
}

void DeleteLastObject(TEditToolHost& host) {
    const std::int32_t count = host.Document().Objects.Count();
    if (count == 0) return;
    (void)host.Editor().DeleteObject(count - 1, "Letzes Objekt löschen");
    // The highlight may have shown the object just removed.
    host.Pointer().HoverShown = false;
    host.Repaint();
}

} // namespace quirindo::tools
