#include "ToolHost.h"

#include "EditToolHost.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace quirindo::tools {

TPointMm ViewToMm(const TToolHost& host, int x, int y) {
    return host.ViewMapping().ViewToMm(x, y);
}

TPointMm InstrumentToView(const TToolHost& host, double xMm, double yMm) {
    return host.ViewMapping().PageToView(host.PointerPage(), xMm, yMm);
}

TPointMm InstrumentToMm(const TToolHost& host, double xMm, double yMm) {
    return host.ViewMapping().PageToMm(host.PointerPage(), xMm, yMm);
}

TPixelPoint PaintBoxPixelOnPage(const TToolHost& host, int page, double xMm, double yMm) {
    return PaintBoxPixel(host.ViewMapping().MmToViewOnPage(page, xMm, yMm));
}

bool AppendDrawObject(TToolHost& host, std::int32_t kind, std::initializer_list<double> points,
                      const char* step) {
    // An instrument loaded from a damaged file may hold values that would
    // make a line without a place; such a line is not stored.
    if (!std::all_of(points.begin(), points.end(), [](double v) { return std::isfinite(v); }))
        return false;
    TDrawObject o{};
    o.Color = host.PenColor();
    o.Width = host.LineWidth();
    o.Kind = kind;
    double* fields[] = {&o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4};
    std::size_t k = 0;
    for (const double v : points) {
        if (k == std::size(fields)) break;
        *fields[k++] = v;
    }
    return host.Editor().AppendObject(o, step);
}

void HoverOver(TEditToolHost& host, std::int32_t found, const std::function<void()>& highlight) {
    TPointerState& p = host.Pointer();
    p.HoverFound = false;
    if (found >= 0) {
        host.RepaintOverlay();
        highlight();
        p.HoverFound = true;
        p.HoverShown = true;
        p.HoverIndex = found;
        return;
    }
    if (p.HoverShown) {
        p.HoverShown = false;
        host.RepaintOverlay();
    }
}

bool TakeHover(TPointerState& pointer) {
    if (!pointer.HoverShown) return false;
    pointer.HoverShown = false;
    return true;
}

void AbandonMove(TEditToolHost& host, bool& moving) {
    if (!moving) return;
    moving = false;
    host.Repaint();
}

} // namespace quirindo::tools
