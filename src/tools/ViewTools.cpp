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

TViewPoint SamePointAfterZoom(const TPageGeometry& before, const TPageGeometry& after,
                              int pageCount, double x, double y) {
    if (before.ViewScale <= 0 || after.ViewScale <= 0 || before.PageHeightPx <= 0 ||
        after.PageHeightPx <= 0)
        return {x, y};
    const double ratio = after.ViewScale / before.ViewScale;
    const double fromTop = y - ViewMargin;
    const int page = std::clamp(static_cast<int>(std::floor(fromTop / before.PageHeightPx)), 0,
                                std::max(0, pageCount - 1));
    const double inPage = fromTop - static_cast<double>(page) * before.PageHeightPx;
    return {ViewMargin + (x - ViewMargin) * ratio,
            ViewMargin + static_cast<double>(page) * after.PageHeightPx + inPage * ratio};
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
