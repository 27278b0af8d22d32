#include "ToolHost.h"

#include "EditToolHost.h"

#include <algorithm>
#include <cmath>

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

TDrawObject* AppendDrawObject(TToolHost& host, std::int32_t kind,
                              std::initializer_list<double> points) {
    // An instrument loaded from a damaged file may hold values that would
    // make a line without a place; such a line is not stored.
    if (!std::all_of(points.begin(), points.end(), [](double v) { return std::isfinite(v); }))
        return nullptr;
    TDrawObject* o = host.Document().Objects.Append();
    if (!o) return nullptr;
    host.SetChanged();
    o->Color = host.PenColor();
    o->Width = host.LineWidth();
    o->Kind = kind;
    return o;
}

void HoverOver(TEditToolHost& host, std::int32_t found, const std::function<void()>& highlight) {
    TPointerState& p = host.Pointer();
    p.HoverFound = false;
    if (found >= 0) {
        host.Repaint();
        highlight();
        p.HoverFound = true;
        p.HoverShown = true;
        p.HoverIndex = found;
        return;
    }
    if (p.HoverShown) {
        p.HoverShown = false;
        host.Repaint();
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
