#pragma once
// Where the drawing meets the view. The pages are stacked in the view at whole
// pixels (page i's top at view y i x h, h the page height rounded to pixels),
// while the drawing puts page i at exactly i x H millimetres (H the page
// height in millimetres). The two scales differ by up to half a pixel a page,
// so a position can only be converted with its page in mind. Every conversion
// between view positions and drawing millimetres goes through TViewMapping:
// what a tool stores then lies where the page's picture shows it.
//
// View positions are paint-box pixels minus the margin, y running on over all
// pages. Instruments are held in millimetres relative to a page's top-left
// corner and shown at the same place on every page.

#include "InstrumentGeometry.h"

namespace quirindo {

// The blank border around the stacked pages in the paint box, on every side.
inline constexpr int ViewMargin = 5;

struct TPixelPoint {
    int X = 0;
    int Y = 0;
};

// Height of a page in millimetres.
[[nodiscard]] double PageHeightMm(double pageHeightInch);

// Millimetres from the top of the drawing to the top of page i.
[[nodiscard]] double PageTopMm(int page, double pageHeightInch);

struct TViewMapping {
    double Scale = 0.0;        // pixels per millimetre
    int PageHeightPx = 0;      // h, the rounded page height in the view
    double PageHeightMm = 0.0; // H
    int PageCount = 1;

    [[nodiscard]] static TViewMapping For(double scale, int pageHeightPx, double pageHeightInch,
                                          int pageCount);

    // Scale and page heights are usable (positive and finite).
    [[nodiscard]] bool Valid() const;

    // The page whose rows hold view y, or whose millimetres hold drawing y.
    // Positions above the first page count to it, below the last to the last.
    [[nodiscard]] int PageAtView(double y) const;
    [[nodiscard]] int PageAtMm(double y) const;

    // The one pair of conversions between view positions and absolute
    // drawing millimetres; each point is taken on its own page.
    [[nodiscard]] TPointMm ViewToMm(double x, double y) const;
    [[nodiscard]] TPointMm MmToView(double x, double y) const;

    // A drawing point as the picture of page `page` shows it, in view pixels
    // (every page shows every object; this is where the copy on that page is).
    [[nodiscard]] TPointMm MmToViewOnPage(int page, double x, double y) const;
    // The same point in the pixels of that page's own picture (top-left 0, 0).
    [[nodiscard]] TPointMm MmToPage(int page, double x, double y) const;

    // A page-relative point (an instrument) on page `page`: in absolute
    // drawing millimetres, and in view pixels.
    [[nodiscard]] TPointMm PageToMm(int page, double x, double y) const;
    [[nodiscard]] TPointMm PageToView(int page, double x, double y) const;
    // A view position as page-relative millimetres of page `page`.
    [[nodiscard]] TPointMm ViewToPage(int page, double x, double y) const;
};

// The paint-box pixel of a view position: rounded halves to even, margin
// added; positions beyond a billion pixels are held there.
[[nodiscard]] TPixelPoint PaintBoxPixel(TPointMm view);

} // namespace quirindo
