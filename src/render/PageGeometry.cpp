#include "PageGeometry.h"

#include "DrawingFile.h"
#include "Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quirindo {

namespace {

int SaturateToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

double ViewScaleFor(double zoomPercent, double dpi) {
    return zoomPercent * (dpi / kMmPerInch) / 100.0;
}

int PagePixels(double zoomPercent, double dpi, double sizeInch) {
    return RoundHalfEven(zoomPercent * (dpi * sizeInch) / 100.0);
}

TPageGeometry ComputePageGeometry(double zoomPercent, double dpi, double pageWidthInch,
                                  double pageHeightInch) {
    TPageGeometry g;
    g.ViewScale = ViewScaleFor(zoomPercent, dpi);
    g.PageWidthPx = PagePixels(zoomPercent, dpi, pageWidthInch);
    g.PageHeightPx = PagePixels(zoomPercent, dpi, pageHeightInch);
    return g;
}

TPixelSize PaintBoxSize(const TPageGeometry& geometry, int pageCount) {
    const std::int64_t margins = 2 * ViewMargin;
    return {SaturateToInt(std::int64_t{geometry.PageWidthPx} + margins),
            SaturateToInt(std::int64_t{pageCount} * geometry.PageHeightPx + margins)};
}

int PageTopPx(const TPageGeometry& geometry, int page) {
    return SaturateToInt(ViewMargin + std::int64_t{page} * geometry.PageHeightPx);
}

int MmToPx(double mm, double scale) {
    return RoundHalfEven(mm * scale);
}

bool ClipSegmentToSquare(double& x1, double& y1, double& x2, double& y2, double limit) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return false;
    // Liang-Barsky: the segment is P(t) = P1 + t (P2 - P1), 0 <= t <= 1.
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 + limit, limit - x1, y1 + limit, limit - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    const double ox = x1;
    const double oy = y1;
    if (t0 > 0.0) {
        x1 = ox + t0 * dx;
        y1 = oy + t0 * dy;
    }
    if (t1 < 1.0) {
        x2 = ox + t1 * dx;
        y2 = oy + t1 * dy;
    }
    return true;
}

} // namespace quirindo
