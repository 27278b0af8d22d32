// Drawing objects on A4 pages at 96 dpi and zoom 100 (3.7795 px per mm).

#include "RenderTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <limits>

namespace quirindo {
namespace {

using namespace test;

// What a page shows besides its 1-pixel border.
TPixelSet PageInk(const QImage& page) {
    return InkPixels(page, 1);
}

TEST(ObjectRenderer, PenWidthsRoundHalvesToEvenWithMinimumOne) {
    EXPECT_EQ(PenWidthPx(0.1, kScale100), 1);  // 0.38
    EXPECT_EQ(PenWidthPx(0.13, kScale100), 1); // 0.49
    EXPECT_EQ(PenWidthPx(0.4, kScale100), 2);  // 1.51
    EXPECT_EQ(PenWidthPx(0.5, kScale100), 2);  // 1.89
    EXPECT_EQ(PenWidthPx(2.5, 1.0), 2);
    EXPECT_EQ(PenWidthPx(3.5, 1.0), 4);
    EXPECT_EQ(PenWidthPx(0.0, kScale100), 1);
    EXPECT_EQ(PenWidthPx(-3.0, kScale100), 1);
    EXPECT_EQ(PenWidthPx(std::numeric_limits<double>::quiet_NaN(), kScale100), 1);
    EXPECT_EQ(PenWidthPx(1e300, kScale100), kMaxPenWidthPx);
}

TEST(ObjectRenderer, LinesAreDrawnInTheirWidthOnTheirPixels) {
    TDrawing drawing;
    const double widths[] = {0.1, 0.13, 0.4, 0.5};
    for (int i = 0; i < 4; ++i)
        AddObject(drawing, okLine, widths[i], {10, 20.0 + 10 * i, 50, 20.0 + 10 * i});
    const QImage page = RenderA4(drawing, 0);
    ASSERT_EQ(page.size(), QSize(794, 1123));
    // 20 mm is 75.59 px: row 76; x from R(37.8) = 38 to R(189.0) = 189.
    EXPECT_TRUE(IsInk(page, 38, 76));
    EXPECT_TRUE(IsInk(page, 189, 76));
    EXPECT_FALSE(IsInk(page, 37, 76));
    EXPECT_FALSE(IsInk(page, 190, 76));
    EXPECT_FALSE(IsInk(page, 113, 75) || IsInk(page, 113, 77));
    const int expected[] = {1, 1, 2, 2};
    for (int i = 0; i < 4; ++i) {
        const int row = RoundHalfEven((20.0 + 10 * i) * kScale100);
        EXPECT_EQ(InkRunHeight(page, 113, row), expected[i]) << widths[i] << " mm";
    }
}

TEST(ObjectRenderer, LineAcrossThePageBoundaryShowsOnBothPages) {
    TDrawing drawing;
    AddObject(drawing, okLine, 0.1, {100, 280, 100, 310});
    const int x = RoundHalfEven(100 * kScale100); // 378
    const QImage page0 = RenderA4(drawing, 0);
    const QImage page1 = RenderA4(drawing, 1);
    const QImage page2 = RenderA4(drawing, 2);
    // Page 0 from 280 mm (row 1058) to its bottom; page 1 from its top to
    // 13 mm (row 49).
    EXPECT_TRUE(IsInk(page0, x, 1058));
    EXPECT_FALSE(IsInk(page0, x, 1057));
    EXPECT_TRUE(IsInk(page0, x, 1121));
    EXPECT_TRUE(IsInk(page1, x, 1));
    EXPECT_TRUE(IsInk(page1, x, 49));
    EXPECT_FALSE(IsInk(page1, x, 50));
    EXPECT_TRUE(PageInk(page2).empty());
}

TEST(ObjectRenderer, UnknownKindsAreSkippedAndTheRestDrawn) {
    TDrawing drawing;
    AddObject(drawing, 7, 0.5, {10, 10, 100, 100, 20, 20, 30, 30});
    AddObject(drawing, -1, 0.5, {10, 10, 100, 100, 20, 20, 30, 30});
    TDrawing empty;
    EXPECT_EQ(RenderA4(drawing, 0), RenderA4(empty, 0));

    AddObject(drawing, okLine, 0.1, {10, 50, 60, 50}, clRed);
    const QImage page = RenderA4(drawing, 0);
    EXPECT_EQ(page.pixel(100, RoundHalfEven(50 * kScale100)), qRgb(255, 0, 0));
    EXPECT_EQ(drawing.CurObject, &drawing.Objects[2]); // the cursor as First/Next leave it
}

TEST(ObjectRenderer, ArcsEllipsesAndCurvesOnTheirPage) {
    TDrawing drawing;
    // A compass arc about (100, 100) mm, radius 20, from the ray to the right
    // counter-clockwise to the ray upwards; stored on page 1.
    const double t = kA4HeightMm;
    AddObject(drawing, okArc, 0.1, {80, 80 + t, 120, 120 + t, 130, 100 + t, 100, 50 + t});
    AddObject(drawing, okEllipse, 0.1, {20, 200 + t, 60, 240 + t});
    AddObject(drawing, okBezier, 0.1, {20, 20 + t, 20, 60 + t, 60, 60 + t, 60, 20 + t});
    const QImage page = RenderA4(drawing, 1);
    const double s = kScale100;
    const int cx = RoundHalfEven(100 * s), cy = RoundHalfEven(100 * s), r = RoundHalfEven(20 * s);

    int upperRight = 0, elsewhere = 0;
    for (const auto& [x, y] : PageInk(page)) {
        if (x < RoundHalfEven(75 * s) || y < RoundHalfEven(75 * s) || y > RoundHalfEven(125 * s))
            continue; // another object
        const double d = std::hypot(x - cx, y - cy);
        EXPECT_NEAR(d, r, 1.5) << x << "," << y;
        (x >= cx - 1 && y <= cy + 1 ? upperRight : elsewhere)++;
    }
    EXPECT_GT(upperRight, 40);
    EXPECT_EQ(elsewhere, 0);

    // The ellipse is an outline only, the curve reaches both end points.
    EXPECT_FALSE(IsInk(page, RoundHalfEven(40 * s), RoundHalfEven(220 * s)));
    EXPECT_TRUE(IsInk(page, RoundHalfEven(20 * s), RoundHalfEven(220 * s)));
    EXPECT_TRUE(IsInk(page, RoundHalfEven(20 * s), RoundHalfEven(20 * s)));
    EXPECT_TRUE(IsInk(page, RoundHalfEven(60 * s), RoundHalfEven(20 * s)));

    EXPECT_TRUE(PageInk(RenderA4(drawing, 0)).empty());
}

TEST(ObjectRenderer, DamagedValuesDoNotBreakThePaint) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TDrawing drawing;
    AddObject(drawing, okLine, 0.1, {nan, 10, 50, 10});
    AddObject(drawing, okEllipse, 0.1, {-1e300, -1e300, 1e300, 1e300});
    AddObject(drawing, okArc, 1e300, {inf, 0, 10, 10, 5, 5, 6, 6});
    AddObject(drawing, okBezier, 0.1, {0, 0, 1e200, 0, 0, 1e200, 10, 10});
    TDrawing empty;
    EXPECT_EQ(RenderA4(drawing, 0), RenderA4(empty, 0));

    // A line towards a point 10^15 mm away keeps its direction on the page.
    AddObject(drawing, okLine, 0.1, {0, 0, 1e15, 1e15});
    // An arc whose ray point is absurdly far still starts on its ray: the
    // circle's rightmost column (its box's right edge is exclusive).
    AddObject(drawing, okArc, 0.1, {80, 80, 120, 120, 1e15, 100, 100, 50});
    const QImage page = RenderA4(drawing, 0);
    EXPECT_TRUE(IsInk(page, 500, 500));
    EXPECT_FALSE(IsInk(page, 500, 502));
    const int right = RoundHalfEven(120 * kScale100) - 1, cy = RoundHalfEven(100 * kScale100);
    EXPECT_TRUE(IsInk(page, right, cy - 2));
    EXPECT_FALSE(IsInk(page, right, cy + 3));

    // A pen as wide as the whole page is clamped, not refused.
    TDrawing wide;
    AddObject(wide, okLine, 1e300, {100, 100, 100, 100.5});
    EXPECT_TRUE(IsInk(RenderA4(wide, 0), 10, 10));
}

TEST(ObjectRenderer, NothingIsDrawnWithoutAUsableScale) {
    TDrawing drawing;
    AddObject(drawing, okLine, 0.1, {0, 0, 100, 100});
    TTextObject& text = AddText(drawing, u"x", 10, 10);
    text.Right = 7;
    text.Bottom = 8;
    for (double scale : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        QImage image = WhiteImage(50, 50);
        QPainter painter(&image);
        TCanvas canvas(painter);
        DrawObjects(canvas, drawing, 0, scale, 1.0, kA4HeightInch, TTextFontResolver());
        painter.end();
        EXPECT_TRUE(InkPixels(image).empty()) << scale;
        EXPECT_EQ(text.Right, 7);
        EXPECT_EQ(text.Bottom, 8);
    }
}

} // namespace
} // namespace quirindo
