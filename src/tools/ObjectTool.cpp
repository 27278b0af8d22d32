#include "ObjectTool.h"

#include "Geometry.h"
#include "InstrumentGeometry.h"
#include "ObjectSelection.h"
#include "PageGeometry.h"

#include <QPoint>

#include <algorithm>
#include <cmath>
#include <numbers>

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

namespace {

constexpr double kHitPx = 3.0; // pixels either side of what is drawn

double DistanceToSegment(TPointMm a, TPointMm b, double px, double py) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double lengthSq = dx * dx + dy * dy;
    double t = lengthSq > 0.0 ? ((px - a.X) * dx + (py - a.Y) * dy) / lengthSq : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.X + t * dx), py - (a.Y + t * dy));
}

// Whether the direction `angle` from the centre lies on the arc the canvas
// draws from the ray at `start` to the ray at `end`: counter-clockwise on the
// screen, which with y downwards is towards smaller angles. Equal rays give
// the full circle.
bool WithinSweep(double angle, double start, double end) {
    constexpr double kFull = 2.0 * std::numbers::pi;
    const auto turn = [](double a) { return std::fmod(std::fmod(a, kFull) + kFull, kFull); };
    const double sweep = turn(start - end);
    return sweep == 0.0 || turn(start - angle) <= sweep;
}

bool ArcHit(const TDrawObject& o, TPointMm c, double r, TPointMm start, TPointMm end, double px,
            double py) {
    const double a1 = std::atan2(start.Y - c.Y, start.X - c.X);
    const double a2 = std::atan2(end.Y - c.Y, end.X - c.X);
    if (o.Kind == okEllipse || WithinSweep(std::atan2(py - c.Y, px - c.X), a1, a2)) return true;
    // Near the arc's ends the band runs on a little beyond the rays.
    const auto nearEnd = [&](double a) {
        return std::hypot(px - (c.X + r * std::cos(a)), py - (c.Y + r * std::sin(a))) < kHitPx;
    };
    return nearEnd(a1) || nearEnd(a2);
}

// The curve as the canvas draws it, between its rounded points, cut into
// chords short enough (about two pixels) that the band around them is the
// band around the curve.
bool CurveHit(const TPointMm (&p)[4], double px, double py) {
    double polygon = 0.0;
    for (int i = 0; i < 3; ++i)
        polygon += std::hypot(p[i + 1].X - p[i].X, p[i + 1].Y - p[i].Y);
    // A curve whose points fall on one pixel draws nothing, like a line.
    if (!(polygon > 0.0) || !std::isfinite(polygon)) return false;
    // The curve lies inside the hull of its points: nothing to do far away.
    const auto [xmin, xmax] = std::minmax({p[0].X, p[1].X, p[2].X, p[3].X});
    const auto [ymin, ymax] = std::minmax({p[0].Y, p[1].Y, p[2].Y, p[3].Y});
    if (px < xmin - kHitPx || px > xmax + kHitPx || py < ymin - kHitPx || py > ymax + kHitPx)
        return false;
    const int steps = static_cast<int>(std::clamp(std::ceil(polygon / 2.0), 1.0, 4096.0));
    const auto at = [&p](double t) {
        const double s = 1.0 - t;
        const double w1 = s * s * s, w2 = 3 * t * s * s, w3 = 3 * t * t * s, w4 = t * t * t;
        return TPointMm{w1 * p[0].X + w2 * p[1].X + w3 * p[2].X + w4 * p[3].X,
                        w1 * p[0].Y + w2 * p[1].Y + w3 * p[2].Y + w4 * p[3].Y};
    };
    TPointMm previous = p[0];
    for (int i = 1; i <= steps; ++i) {
        const TPointMm next = at(static_cast<double>(i) / steps);
        if (DistanceToSegment(previous, next, px, py) < kHitPx) return true;
        previous = next;
    }
    return false;
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
        if (!(std::fabs(d - r) < kHitPx)) return false; // also for NaN
        return ArcHit(o, c, r, at(o.X3, o.Y3), at(o.X4, o.Y4), px, py);
    }
    case okBezier: {
        const TPointMm raw[4] = {at(o.X1, o.Y1), at(o.X2, o.Y2), at(o.X3, o.Y3), at(o.X4, o.Y4)};
        TPointMm p[4];
        for (int i = 0; i < 4; ++i)
            p[i] = {static_cast<double>(RoundHalfEven(raw[i].X)),
                    static_cast<double>(RoundHalfEven(raw[i].Y))};
        return CurveHit(p, px, py);
    }
    default:
        return false; // unknown kinds
    }
}

std::int32_t ObjectAt(TDrawing& drawing, const TViewMapping& view, int x, int y,
                      const TObjectIndex* index) {
    if (index && view.Scale > 0.0) {
        // The hit test reaches kHitPx beyond what is drawn, from points
        // rounded to whole pixels.
        const TPointMm at = view.ViewToMm(x, y);
        const double reach = (kHitPx + 1.0) / view.Scale;
        thread_local std::vector<std::int32_t> near;
        index->Near({at.X - reach, at.Y - reach, at.X + reach, at.Y + reach}, near);
        for (const std::int32_t i : near) // newest first
            if (i < drawing.Objects.Count() && ObjectHit(*drawing.Objects.Select(i), view, x, y))
                return i;
        return -1;
    }
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
    case okBezier: {
        const QPoint a = px(o.X1, o.Y1);
        canvas.MoveTo(a.x(), a.y());
        canvas.PolyBezierTo(px(o.X2, o.Y2), px(o.X3, o.Y3), px(o.X4, o.Y4));
        break;
    }
    default:
        break;
    }
}

void ObjectHover(TEditToolHost& host, int x, int y) {
    const TViewMapping view = host.ViewMapping();
    const std::int32_t i = ObjectAt(host.Document(), view, x, y, host.ObjectIndex());
    const bool repaints = i >= 0 || host.Pointer().HoverShown;
    HoverOver(host, i,
              [&] { ShowHighlight(host, host.Document().Objects[i], view.PageAtView(y), 0, 0); });
    // A repaint for the hover must not hide the selection waiting to be moved.
    const TPointerState& p = host.Pointer();
    if (repaints && (!p.SelectedObjects.empty() || !p.SelectedTexts.empty()))
        ShowSelection(host, view.PageAtView(y), 0, 0);
}

bool ObjectDeletePress(TEditToolHost& host, bool wholeStroke) {
    TPointerState& p = host.Pointer();
    ClearSelection(p);
    if (!TakeHover(p) || !HighlightedObject(host)) return false;
    if (wholeStroke) {
        p.SelectedObjects = StrokeAround(host.Document(), p.HoverIndex);
        DeleteSelection(host, "Strich löschen");
        return true;
    }
    (void)host.Editor().DeleteObject(p.HoverIndex, "Objekt löschen");
    host.RepaintOverlay();
    return true;
}

bool ObjectMovePress(TEditToolHost& host, int x, int y, bool wholeStroke) {
    TPointerState& p = host.Pointer();
    // A press within the box around the selection carries all of it.
    const bool carry = InsideSelection(host, x, y);
    if (!carry) ClearSelection(p);
    const bool hovered = TakeHover(p) && HighlightedObject(host);
    if (!carry && !hovered) return false;
    if (!carry && wholeStroke) p.SelectedObjects = StrokeAround(host.Document(), p.HoverIndex);
    p.ObjectMoving = true;
    p.DragStartX = x;
    p.DragStartY = y;
    return true;
}

void ObjectMoveDrag(TEditToolHost& host, int x, int y) {
    const TPointerState& p = host.Pointer();
    host.RepaintOverlay();
    if (!p.SelectedObjects.empty() || !p.SelectedTexts.empty())
        return ShowSelection(host, host.ViewMapping().PageAtView(p.DragStartY), x - p.DragStartX,
                             y - p.DragStartY);
    if (const TDrawObject* o = HighlightedObject(host))
        ShowHighlight(host, *o, host.ViewMapping().PageAtView(p.DragStartY), x - p.DragStartX,
                      y - p.DragStartY);
}

void ObjectMoveRelease(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.ObjectMoving = false;
    if (!p.SelectedObjects.empty() || !p.SelectedTexts.empty()) {
        const TPointMm from = ViewToMm(host, p.DragStartX, p.DragStartY);
        const TPointMm to = ViewToMm(host, x, y);
        MoveSelection(host, to.X - from.X, to.Y - from.Y);
    } else if (const TDrawObject* o = HighlightedObject(host)) {
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
    host.RepaintOverlay();
}

void ObjectMoveAbandon(TEditToolHost& host) {
    SelectAbandon(host);
    // The selection stays where it was, and is let go.
    if (host.Pointer().ObjectMoving) ClearSelection(host.Pointer());
    AbandonMove(host, host.Pointer().ObjectMoving);
}

void DeleteLastObject(TEditToolHost& host) {
    const std::int32_t count = host.Document().Objects.Count();
    if (count == 0) return;
    (void)host.Editor().DeleteObject(count - 1, "Letzes Objekt löschen");
    // The highlight may have shown the object just removed.
    host.Pointer().HoverShown = false;
    host.RepaintOverlay();
}

} // namespace quirindo::tools
