// The one conversion between view pixels and drawing millimetres: each page's
// top row is that page's top millimetre, whatever the rounding of the page
// height in pixels, and a point survives the way there and back.

#include "DrawingFile.h"
#include "ViewMapping.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quirindo {
namespace {

// A4 at 96 dpi: 1122.5 pixels of page rounded to 1123 at zoom 100, 112.25 to
// 112 at zoom 10.
TViewMapping A4(double zoom, int pageHeightPx) {
    return TViewMapping::For(zoom * 96.0 / kMmPerInch / 100.0, pageHeightPx, 297.0 / kMmPerInch,
                             10);
}

TEST(ViewMappingTest, EveryPageTopRowIsThatPagesTopMillimetre) {
    for (const TViewMapping& view : {A4(100, 1123), A4(10, 112)}) {
        for (int page = 0; page < 10; ++page) {
            const TPointMm top = view.ViewToMm(0, page * view.PageHeightPx);
            EXPECT_NEAR(top.Y, page * 297.0, 1e-9) << page;
            EXPECT_EQ(view.PageAtView(page * view.PageHeightPx), page);
            EXPECT_EQ(view.PageAtView(page * view.PageHeightPx - 0.5), std::max(page - 1, 0));
            // An instrument at the top of a page is at the top of its copy.
            EXPECT_NEAR(view.PageToView(page, 0, 0).Y, page * view.PageHeightPx, 1e-9);
            EXPECT_NEAR(view.PageToMm(page, 0, 0).Y, page * 297.0, 1e-9);
        }
    }
}

TEST(ViewMappingTest, PointsSurviveTheWayThereAndBackOnEveryPage) {
    const TViewMapping view = A4(37, 415);
    for (double y = -20.0; y < 10 * 415 + 20; y += 7.25) {
        const TPointMm mm = view.ViewToMm(123.5, y);
        const TPointMm back = view.MmToView(mm.X, mm.Y);
        EXPECT_NEAR(back.X, 123.5, 1e-9);
        EXPECT_NEAR(back.Y, y, 1e-9) << y;
    }
    // Above the first page and below the last the nearest page goes on.
    EXPECT_LT(view.ViewToMm(0, -5).Y, 0.0);
    EXPECT_GT(view.ViewToMm(0, 10 * 415 + 5).Y, 10 * 297.0);
}

TEST(ViewMappingTest, UnusableViewsAreSaidSoAndNeverDivideByZero) {
    EXPECT_FALSE(TViewMapping{}.Valid());
    EXPECT_FALSE(TViewMapping::For(3.78, 0, 297.0 / kMmPerInch, 1).Valid());
    EXPECT_TRUE(A4(100, 1123).Valid());
    EXPECT_EQ(TViewMapping{}.PageAtView(500), 0);
    EXPECT_EQ(A4(100, 1123).PageAtMm(std::nan("")), 0);
}

} // namespace
} // namespace quirindo
