// The pictures of the ruler, protractor and compass on rendered pages.

#include "InstrumentPictures.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace quirindo {
namespace {

using namespace test;

constexpr double kRad = std::numbers::pi / 180.0;

QImage RenderWith(const TInstrumentPictures& pictures) {
    TDrawing drawing;
    return RenderPageImage(drawing, A4View(0), TTextFontResolver(), pictures);
}

QImage Ruler(double x, double y, double w, bool inch) {
    TInstrumentPictures p;
    p.Ruler = [=](TCanvas& c, const TPageView& v) { DrawRulerPicture(c, v, x, y, w, inch); };
    return RenderWith(p);
}

QImage Protractor(double w) {
    TInstrumentPictures p;
    p.Protractor = [=](TCanvas& c, const TPageView& v) {
        DrawProtractorPicture(c, v, 50, 50, w, 80);
    };
    return RenderWith(p);
}

// Ink anywhere in the 3 x 3 pixels about the point given in millimetres.
bool InkNear(const QImage& image, double xMm, double yMm) {
    const int cx = RoundHalfEven(xMm * kScale100);
    const int cy = RoundHalfEven(yMm * kScale100);
    for (int y = cy - 1; y <= cy + 1; ++y)
        for (int x = cx - 1; x <= cx + 1; ++x)
            if (IsInk(image, x, y)) return true;
    return false;
}

// Centres of the runs of inked columns within rows y0..y1 right of the
// ruler's zero end at 10 mm (pixels).
std::vector<double> InkedColumnCentres(const QImage& image, int y0, int y1) {
    std::vector<double> centres;
    int runStart = -1;
    int lastInk = -10;
    for (int x = RoundHalfEven(10 * kScale100) + 2; x < image.width() - 1; ++x) {
        bool ink = false;
        for (int y = y0; y <= y1 && !ink; ++y)
            ink = IsInk(image, x, y);
        if (!ink) continue;
        if (x - lastInk > 2) {
            if (runStart >= 0) centres.push_back((runStart + lastInk) / 2.0);
            runStart = x;
        }
        lastInk = x;
    }
    if (runStart >= 0) centres.push_back((runStart + lastInk) / 2.0);
    return centres;
}

TEST(RulerPicture, NumbersOneTwoThreeCentredOnEveryTenthMillimetre) {
    const QImage page = Ruler(10, 90, 0, false);
    // Below the longest ticks (6 mm), where only the numbers are.
    const int top = RoundHalfEven(96 * kScale100) + 1;
    const std::vector<double> centres = InkedColumnCentres(page, top, top + 12);
    ASSERT_GE(centres.size(), 5u);
    for (int g = 1; g <= 5; ++g)
        EXPECT_NEAR(centres[g - 1], (10 + 10 * g) * kScale100, 2.5) << "number " << g;
    // The scale edge and back edge run across the page.
    EXPECT_TRUE(InkNear(page, 100, 90));
    EXPECT_TRUE(InkNear(page, 100, 100));
    EXPECT_EQ(InstrumentNumberHeight(kScale100), 10);
}

TEST(RulerPicture, TickLengthsAndInchTicksEvery25_39995Millimetres) {
    // Between 4.5 and 6 mm from the scale edge only the long ticks reach.
    const int row = RoundHalfEven(95.5 * kScale100);
    const QImage mm = Ruler(10, 90, 0, false);
    std::vector<double> longTicks = InkedColumnCentres(mm, row, row);
    ASSERT_GE(longTicks.size(), 5u);
    for (int k = 1; k <= 5; ++k)
        EXPECT_NEAR(longTicks[k - 1], (10 + 10 * k) * kScale100, 1.0);
    // A middle tick (4.5 mm) at 5 mm, a short one (3 mm) at 1 mm.
    EXPECT_TRUE(InkNear(mm, 15, 94.2));
    EXPECT_FALSE(InkNear(mm, 15, 95.3));
    EXPECT_TRUE(InkNear(mm, 11, 92.7));
    EXPECT_FALSE(InkNear(mm, 11, 93.8));

    const QImage inch = Ruler(10, 90, 0, true);
    longTicks = InkedColumnCentres(inch, row, row);
    ASSERT_GE(longTicks.size(), 5u);
    for (int k = 1; k <= 5; ++k)
        EXPECT_NEAR(longTicks[k - 1], (10 + 25.39995 * k) * kScale100, 1.0) << k;
    const int top = RoundHalfEven(96 * kScale100) + 1;
    const std::vector<double> numbers = InkedColumnCentres(inch, top, top + 12);
    ASSERT_GE(numbers.size(), 3u);
    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(numbers[k - 1], (10 + 25.39995 * k) * kScale100, 2.5) << k;
}

TEST(RulerPicture, TurnedRulerRunsAlongItsAngle) {
    const QImage page = Ruler(20, 20, 90, false); // scale edge straight down
    EXPECT_TRUE(InkNear(page, 20, 150));
    EXPECT_TRUE(InkNear(page, 10, 150)); // back edge 10 mm across, to the left
    EXPECT_FALSE(InkNear(page, 30, 150));
    EXPECT_FALSE(InkNear(page, 100, 20)); // nothing along the unturned direction
}

TEST(ProtractorPicture, RotationTurnsTheScaleClockwise) {
    const QImage level = Protractor(0);
    const QImage turned = Protractor(30);
    const double c30 = std::cos(30 * kRad), s30 = std::sin(30 * kRad);
    // At 0 the base line runs to the left toward the 0 tick.
    EXPECT_TRUE(InkNear(level, 50 - 20, 50));
    EXPECT_TRUE(InkNear(level, 50 - 38, 50)); // the 0 tick, 4 mm long
    // At 30 the 0 tick and the base line lie 30 degrees above the horizontal on the left.
    EXPECT_TRUE(InkNear(turned, 50 - 38 * c30, 50 - 38 * s30));
    EXPECT_TRUE(InkNear(turned, 50 - 20 * c30, 50 - 20 * s30));
    EXPECT_FALSE(InkNear(turned, 50 - 20, 50));
    // The 90 tick 30 degrees to the right of the top.
    EXPECT_TRUE(InkNear(turned, 50 + 38 * s30, 50 - 38 * c30));
    // Both circles.
    EXPECT_TRUE(InkNear(level, 50, 10));
    EXPECT_TRUE(InkNear(level, 50, 80));
}

TEST(ProtractorPicture, TickLengthsTwoThreeFour) {
    const QImage page = Protractor(0);
    // Degrees 270 (bottom, long), 275 and 271 below the centre, on the right.
    const auto at = [](double k, double r) {
        return std::pair{50 - r * std::cos(k * kRad), 50 - r * std::sin(k * kRad)};
    };
    const auto [lx, ly] = at(270, 36.5);
    EXPECT_TRUE(InkNear(page, lx, ly));
    const auto [mx, my] = at(275, 37.3);
    EXPECT_TRUE(InkNear(page, mx, my));
    const auto [m2x, m2y] = at(275, 36.3);
    EXPECT_FALSE(InkNear(page, m2x, m2y));
    const auto [sx, sy] = at(272, 38.3);
    EXPECT_TRUE(InkNear(page, sx, sy));
    const auto [s2x, s2y] = at(272, 37.3);
    EXPECT_FALSE(InkNear(page, s2x, s2y));
}

TEST(CompassPicture, NeedleCrossLegsAndHinge) {
    TInstrumentPictures p;
    p.Compass = [](TCanvas& c, const TPageView& v) { DrawCompassPicture(c, v, 150, 50, 40, 0); };
    const QImage page = RenderWith(p);
    EXPECT_TRUE(InkNear(page, 147.5, 50)); // cross arm
    EXPECT_TRUE(InkNear(page, 150, 52.5));
    EXPECT_TRUE(InkNear(page, 160, 50)); // leg towards the tip at (190, 50)
    EXPECT_TRUE(InkNear(page, 190, 50));
    EXPECT_FALSE(InkNear(page, 192, 50));
    EXPECT_TRUE(InkNear(page, 170, 47)); // hinge circle and side points 3 mm off
    EXPECT_TRUE(InkNear(page, 170, 53));
    EXPECT_FALSE(InkNear(page, 170, 56));
}

} // namespace
} // namespace quirindo
