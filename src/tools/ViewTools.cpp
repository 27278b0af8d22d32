#include "ViewTools.h"

#include "Geometry.h"

#include <algorithm>
#include <cmath>

namespace quirindo::tools {

int ZoomStep(int percent, TZoomDirection direction) {
    double z = percent;
    if (direction == TZoomDirection::In) z *= 1.5;
    if (direction == TZoomDirection::Out) z /= 1.5;
    return std::clamp(RoundHalfEven(z), 1, 300);
}

int ClampScroll(double position, int range) {
    double p = position;
    if (p < 0) p = 0;
    if (p > range - 1) p = range - 1;
    return std::max(0, RoundHalfEven(p));
}

void ZoomAbout(TEditToolHost& host, int x, int y, TZoomDirection direction) {
    host.SetZoomAbout(ZoomStep(host.ZoomPercent(), direction), x, y);
    host.Repaint();
}

TViewPoint SamePointAfterZoom(const TViewMapping& before, const TViewMapping& after, double x,
                              double y) {
    if (!before.Valid() || !after.Valid()) return {x, y};
    const TPointMm mm = before.ViewToMm(x - ViewMargin, y - ViewMargin);
    const TPointMm view = after.MmToView(mm.X, mm.Y);
    return {view.X + ViewMargin, view.Y + ViewMargin};
}

void HandPress(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.HandDragging = true;
    p.DragStartX = x;
    p.DragStartY = y;
}

void HandDrag(TEditToolHost& host, int x, int y) {
    const TPointerState& p = host.Pointer();
    const TScrollState scroll = host.Scroll();
    // The view position is measured in the scrolled paint box, so the pages
    // follow the pointer.
    const int h = scroll.H + (p.DragStartX - x);
    const int v = scroll.V + (p.DragStartY - y);
    host.ScrollTo(ClampScroll(h, scroll.HRange), ClampScroll(v, scroll.VRange));
}

void HandRelease(TEditToolHost& host) {
    host.Pointer().HandDragging = false;
}

} // namespace quirindo::tools
