#pragma once
// Page and view arithmetic of the paint cycle: the view scale, page sizes in
// pixels, where each page sits in the paint box and where a drawing point of a
// page lands in that page's bitmap. Plain numbers, no painter needed.

#include "ViewMapping.h" // ViewMargin, TPixelPoint, the page-aware conversions

#include <cstdint>

namespace quirindo {

struct TPageGeometry {
    double ViewScale = 0.0; // screen pixels per millimetre
    int PageWidthPx = 0;
    int PageHeightPx = 0;
};

struct TPixelSize {
    int Width = 0;
    int Height = 0;
};

// zoomPercent x (dpi / mm per inch) / 100.
[[nodiscard]] double ViewScaleFor(double zoomPercent, double dpi);

// round(zoomPercent x (dpi x sizeInch) / 100), halves to even; saturates at
// the int range for absurd sizes.
[[nodiscard]] int PagePixels(double zoomPercent, double dpi, double sizeInch);

[[nodiscard]] TPageGeometry ComputePageGeometry(double zoomPercent, double dpi,
                                                double pageWidthInch, double pageHeightInch);

// w + 2 margins by n x h + 2 margins; saturates instead of overflowing.
[[nodiscard]] TPixelSize PaintBoxSize(const TPageGeometry& geometry, int pageCount);

// Paint-box y of the top edge of page i: margin + i x h (saturating).
[[nodiscard]] int PageTopPx(const TPageGeometry& geometry, int page);

// round(mm x scale), halves to even.
[[nodiscard]] int MmToPx(double mm, double scale);

// Cuts the segment to the part inside the square |x|, |y| <= limit, keeping its
// direction. False when nothing of it lies inside or a value is not finite.
[[nodiscard]] bool ClipSegmentToSquare(double& x1, double& y1, double& x2, double& y2,
                                       double limit);

} // namespace quirindo
