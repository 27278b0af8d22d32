#include "ViewMapping.h"

#include "DrawingFile.h"
#include "Geometry.h"

#include <algorithm>
#include <cmath>

namespace quirindo {

double PageHeightMm(double pageHeightInch) {
    return pageHeightInch * kMmPerInch;
}

double PageTopMm(int page, double pageHeightInch) {
    return page * PageHeightMm(pageHeightInch);
}

TViewMapping TViewMapping::For(double scale, int pageHeightPx, double pageHeightInch,
                               int pageCount) {
    TViewMapping m;
    m.Scale = scale;
    m.PageHeightPx = pageHeightPx;
    m.PageHeightMm = quirindo::PageHeightMm(pageHeightInch);
    m.PageCount = std::max(pageCount, 1);
    return m;
}

bool TViewMapping::Valid() const {
    return std::isfinite(Scale) && Scale > 0.0 && PageHeightPx > 0 && std::isfinite(PageHeightMm) &&
           PageHeightMm > 0.0;
}

namespace {

// floor(v / size) kept within the pages; NaN and a size of 0 give page 0.
int PageOf(double v, double size, int pageCount) {
    if (!(size > 0.0)) return 0;
    const double page = std::floor(v / size);
    if (!(page >= 0.0)) return 0; // negative or NaN
    const double last = std::max(pageCount, 1) - 1;
    return static_cast<int>(std::min(page, last));
}

} // namespace

int TViewMapping::PageAtView(double y) const {
    return PageOf(y, PageHeightPx, PageCount);
}

int TViewMapping::PageAtMm(double y) const {
    return PageOf(y, PageHeightMm, PageCount);
}

TPointMm TViewMapping::ViewToMm(double x, double y) const {
    const int page = PageAtView(y);
    const TPointMm onPage = ViewToPage(page, x, y);
    return PageToMm(page, onPage.X, onPage.Y);
}

TPointMm TViewMapping::MmToView(double x, double y) const {
    return MmToViewOnPage(PageAtMm(y), x, y);
}

TPointMm TViewMapping::MmToViewOnPage(int page, double x, double y) const {
    const TPointMm local = MmToPage(page, x, y);
    return {local.X, local.Y + static_cast<double>(page) * PageHeightPx};
}

TPointMm TViewMapping::MmToPage(int page, double x, double y) const {
    return {x * Scale, (y - page * PageHeightMm) * Scale};
}

TPointMm TViewMapping::PageToMm(int page, double x, double y) const {
    return {x, y + page * PageHeightMm};
}

TPointMm TViewMapping::PageToView(int page, double x, double y) const {
    return {x * Scale, y * Scale + static_cast<double>(page) * PageHeightPx};
}

TPointMm TViewMapping::ViewToPage(int page, double x, double y) const {
    return {x / Scale, (y - static_cast<double>(page) * PageHeightPx) / Scale};
}

namespace {

// Far beyond any paint box, but with room for the margin and a drag's
// offset: a damaged file's coordinates must not overflow an int.
constexpr double kFarPx = 1e9;

int PaintBoxCoordinate(double v) {
    return RoundHalfEven(std::clamp(v, -kFarPx, kFarPx)) + ViewMargin;
}

} // namespace

TPixelPoint PaintBoxPixel(TPointMm view) {
    return {PaintBoxCoordinate(view.X), PaintBoxCoordinate(view.Y)};
}

} // namespace quirindo
