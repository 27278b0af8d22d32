// View scale, page sizes and page placement of the paint cycle, and the
// clipping that keeps far-away segments drawable.

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace quirindo {
namespace {

using namespace test;

TEST(PageGeometry, A4At96DpiAndZoom100) {
    const TPageGeometry g = ComputePageGeometry(100.0, 96.0, kA4WidthInch, kA4HeightInch);
    EXPECT_NEAR(g.ViewScale, 3.779535, 1e-6);
    EXPECT_EQ(g.PageWidthPx, 794);
    EXPECT_EQ(g.PageHeightPx, 1123);

    const TPixelSize box = PaintBoxSize(g, 3);
    EXPECT_EQ(box.Width, 804);
    EXPECT_EQ(box.Height, 3379);
    EXPECT_EQ(PageTopPx(g, 0), 5);
    EXPECT_EQ(PageTopPx(g, 2), 5 + 2 * 1123);
    EXPECT_EQ(ViewMargin, 5);
}

TEST(PageGeometry, ZoomOnePerCentStillGivesPages) {
    const TPageGeometry g = ComputePageGeometry(1.0, 96.0, kA4WidthInch, kA4HeightInch);
    EXPECT_EQ(g.PageWidthPx, 8);
    EXPECT_EQ(g.PageHeightPx, 11);
    EXPECT_NEAR(g.ViewScale, 0.03779535, 1e-8);
    const TPixelSize box = PaintBoxSize(g, 1);
    EXPECT_EQ(box.Width, 18);
    EXPECT_EQ(box.Height, 21);
}

TEST(PageGeometry, PageSizesRoundHalvesToEven) {
    // Binary fractions make the products exact halves.
    EXPECT_EQ(PagePixels(100.0, 100.0, 0.125), 12); // 12.5
    EXPECT_EQ(PagePixels(100.0, 100.0, 0.375), 38); // 37.5
    EXPECT_EQ(PagePixels(100.0, 100.0, 0.625), 62); // 62.5
    EXPECT_EQ(MmToPx(2.5, 1.0), 2);
    EXPECT_EQ(MmToPx(-2.5, 1.0), -2);
    EXPECT_EQ(MmToPx(3.5, 1.0), 4);
}

TEST(PageGeometry, DrawingPointsLandOnTheirPage) {
    const TViewMapping view = TViewMapping::For(kScale100, 1123, kA4HeightInch, 3);
    // 10 mm below the top of page 1 is 37.795 px, rounded 38.
    const TPointMm onPage1 = view.MmToPage(1, 50.0, kA4HeightMm + 10.0);
    EXPECT_EQ(MmToPx(onPage1.X, 1.0), 189);
    EXPECT_EQ(MmToPx(onPage1.Y, 1.0), 38);
    // The same point seen from page 0 lies below that page's bottom edge;
    // 307 mm are 1160.3 px while the page is R(1122.5) = 1123 px high.
    EXPECT_EQ(MmToPx(view.MmToPage(0, 50.0, kA4HeightMm + 10.0).Y, 1.0), 1160);
    EXPECT_DOUBLE_EQ(PageTopMm(2, kA4HeightInch), 2 * 297.0);
}

TEST(PageGeometry, AbsurdSizesSaturateInsteadOfOverflowing) {
    EXPECT_EQ(PagePixels(100.0, 96.0, 1e300), INT_MAX);
    TPageGeometry g;
    g.PageWidthPx = INT_MAX;
    g.PageHeightPx = INT_MAX / 2;
    const TPixelSize box = PaintBoxSize(g, 10);
    EXPECT_EQ(box.Width, INT_MAX);
    EXPECT_EQ(box.Height, INT_MAX);
    EXPECT_EQ(PageTopPx(g, 10), INT_MAX);
}

TEST(PageGeometry, SegmentClippingKeepsDirection) {
    double x1 = 1, y1 = 2, x2 = 30, y2 = 40;
    ASSERT_TRUE(ClipSegmentToSquare(x1, y1, x2, y2, 100.0));
    EXPECT_EQ(x1, 1);
    EXPECT_EQ(y2, 40); // inside: untouched

    x1 = 0, y1 = 0, x2 = 1000, y2 = 500;
    ASSERT_TRUE(ClipSegmentToSquare(x1, y1, x2, y2, 100.0));
    EXPECT_DOUBLE_EQ(x2, 100.0);
    EXPECT_DOUBLE_EQ(y2, 50.0);

    x1 = -1e12, y1 = 10, x2 = 1e12, y2 = 10;
    ASSERT_TRUE(ClipSegmentToSquare(x1, y1, x2, y2, 100.0));
    EXPECT_DOUBLE_EQ(x1, -100.0);
    EXPECT_DOUBLE_EQ(x2, 100.0);
    EXPECT_DOUBLE_EQ(y1, 10.0);

    x1 = 200, y1 = 0, x2 = 300, y2 = 50; // wholly outside
    EXPECT_FALSE(ClipSegmentToSquare(x1, y1, x2, y2, 100.0));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    x1 = nan, y1 = 0, x2 = 1, y2 = 1;
    EXPECT_FALSE(ClipSegmentToSquare(x1, y1, x2, y2, 100.0));
    x1 = -1e308, y1 = 0, x2 = 1e308, y2 = 1; // the difference overflows
    EXPECT_FALSE(ClipSegmentToSquare(x1, y1, x2, y2, 100.0));
}

} // namespace
} // namespace quirindo
