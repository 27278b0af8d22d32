// The arithmetic of the instruments and pointer hit tests, with the numbers
// a user sees on screen.

#include "InstrumentGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quirindo {
namespace {

TEST(SegmentHitTest, ToleranceBandIsThreePixelsAndEndsAtTheEndPoints) {
    // A 100-pixel horizontal segment; its middle is (50, 0).
    EXPECT_TRUE(SegmentHit(0, 0, 100, 0, 50, 2.9));
    EXPECT_TRUE(SegmentHit(0, 0, 100, 0, 50, -2.9));
    EXPECT_FALSE(SegmentHit(0, 0, 100, 0, 50, 3.0));
    EXPECT_FALSE(SegmentHit(0, 0, 100, 0, 50, -3.0));
    // On the extension, 1 pixel beyond either end.
    EXPECT_FALSE(SegmentHit(0, 0, 100, 0, 101, 0));
    EXPECT_FALSE(SegmentHit(0, 0, 100, 0, -1, 0));
    EXPECT_TRUE(SegmentHit(0, 0, 100, 0, 100, 0));
    // A slanted segment the same.
    EXPECT_TRUE(SegmentHit(0, 0, 60, 80, 30 + 0.8 * 2.9, 40 - 0.6 * 2.9));
    EXPECT_FALSE(SegmentHit(0, 0, 60, 80, 30 + 0.8 * 3.1, 40 - 0.6 * 3.1));
}

TEST(SegmentHitTest, ZeroLengthSegmentIsNeverHit) {
    EXPECT_FALSE(SegmentHit(7, 7, 7, 7, 7, 7));
    EXPECT_FALSE(SegmentHit(7, 7, 7, 7, 8, 7));
    EXPECT_TRUE(std::isinf(SignedLineDistance(7, 7, 7, 7, 7, 7)));
}

TEST(SegmentHitTest, SignedDistanceHasASidePerSide) {
    EXPECT_DOUBLE_EQ(SignedLineDistance(0, 0, 10, 0, 5, 4), 4.0);
    EXPECT_DOUBLE_EQ(SignedLineDistance(0, 0, 10, 0, 5, -4), -4.0);
    EXPECT_DOUBLE_EQ(SignedLineDistance(10, 0, 0, 0, 5, 4), -4.0);
}

TEST(PointInRectTest, CornersInEitherOrderAndEdgesIncluded) {
    EXPECT_TRUE(PointInRect(5, 5, 10, 10, 0, 0));
    EXPECT_TRUE(PointInRect(0, 10, 0, 0, 10, 10));
    EXPECT_TRUE(PointInRect(10, 0, 0, 10, 10, 0));
    EXPECT_FALSE(PointInRect(11, 5, 0, 0, 10, 10));
    EXPECT_FALSE(PointInRect(5, -1, 10, 10, 0, 0));
}

TEST(BearingTest, AxisPointsAndTheDocumentedTurn) {
    EXPECT_DOUBLE_EQ(*Bearing(100, 100, 150, 100), -180.0); // right
    EXPECT_DOUBLE_EQ(*Bearing(100, 100, 100, 40), -90.0);   // above
    EXPECT_DOUBLE_EQ(*Bearing(100, 100, 100, 160), 90.0);   // below
    EXPECT_DOUBLE_EQ(*Bearing(100, 100, 20, 100), 0.0);     // left
    EXPECT_NEAR(*Bearing(100, 100, 200, 150), -206.565, 0.0005);
    EXPECT_NEAR(*Bearing(100, 100, 50, 150), 45.0, 1e-12);
    // Turned from (200, 150) to (50, 150): not reduced modulo 360.
    EXPECT_NEAR(TurnedAngle(10.0, 0.0, 100, 100, 200, 150, 50, 150), 10.0 - 251.565, 0.0005);
}

TEST(BearingTest, PointerOnThePivotKeepsThePreviousAngle) {
    EXPECT_FALSE(Bearing(100, 100, 100, 100).has_value());
    EXPECT_EQ(TurnedAngle(10.0, 33.0, 100, 100, 200, 150, 100, 100), 33.0);
    EXPECT_EQ(TurnedAngle(10.0, 33.0, 100, 100, 100, 100, 50, 150), 33.0);
}

TEST(CompassPointerAngleTest, FourAxesAndTheJumpAboveTheNeedle) {
    EXPECT_DOUBLE_EQ(*CompassPointerAngle(50, 50, 50, 90), 90.0);  // below
    EXPECT_DOUBLE_EQ(*CompassPointerAngle(50, 50, 50, 10), 270.0); // above
    EXPECT_DOUBLE_EQ(*CompassPointerAngle(50, 50, 10, 50), 180.0); // left
    EXPECT_DOUBLE_EQ(*CompassPointerAngle(50, 50, 90, 50), 0.0);   // right
    // Above on the left runs up to 270, above on the right down to -90.
    EXPECT_NEAR(*CompassPointerAngle(0, 0, -1, -1), 225.0, 1e-12);
    EXPECT_NEAR(*CompassPointerAngle(0, 0, 1, -1), -45.0, 1e-12);
    EXPECT_FALSE(CompassPointerAngle(50, 50, 50, 50).has_value());
}

TEST(MarkDirectionTest, GuideRunsThroughCentreAndPress) {
    // Below or level: toward the press point.
    EXPECT_NEAR(*MarkDirection(0, 0, 1, 1), 45.0, 1e-12);
    EXPECT_NEAR(*MarkDirection(0, 0, -1, 0), 180.0, 1e-12);
    // Above: away from it, on the same line.
    EXPECT_NEAR(*MarkDirection(0, 0, -1, -1), -315.0, 1e-12);
    EXPECT_NEAR(*MarkDirection(0, 0, 0, -5), 90.0, 1e-12);
    EXPECT_FALSE(MarkDirection(3, 3, 3, 3).has_value());
}

TEST(GuideTest, ProjectionFootAndSnapping) {
    const TGuide along = GuideAt({10, 90}, 0.0);
    EXPECT_DOUBLE_EQ(ProjectOnGuide(along, {30, 95}), 20.0);
    EXPECT_DOUBLE_EQ(ProjectOnGuide(along, {5, 80}), -5.0); // before the zero point
    const TPointMm foot = Trunc3(PointOnGuide(along, 20.0));
    EXPECT_EQ(foot.X, 30.0);
    EXPECT_EQ(foot.Y, 90.0);
    // Truncation toward zero, not rounding.
    EXPECT_DOUBLE_EQ(Trunc3(12.34567), 12.345);
    EXPECT_DOUBLE_EQ(Trunc3(-12.34567), -12.345);
    EXPECT_DOUBLE_EQ(Trunc3(0.0009), 0.0);
    const TGuide turned = GuideAt({0, 0}, 90.0);
    EXPECT_NEAR(turned.DirX, 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(turned.DirY, 1.0);
}

TEST(ArcSweepTest, DirectionFixedOnceTheTurnReachesTheDecisionAngle) {
    TArcSweep sweep{0.0, false, 0};
    AdvanceSweep(sweep, 0.0, 1.0);
    EXPECT_FALSE(sweep.Started);
    AdvanceSweep(sweep, -0.5, 1.0); // a tremor the other way decides nothing
    EXPECT_FALSE(sweep.Started);
    AdvanceSweep(sweep, 90.0, 1.0);
    AdvanceSweep(sweep, -20.0, 1.0);
    EXPECT_TRUE(sweep.Started);
    EXPECT_EQ(sweep.Dir, 1);

    // 10 degrees the short way round, but -85 is the smaller number.
    TArcSweep across{265.0, false, 1};
    AdvanceSweep(across, -85.0, 1.0);
    EXPECT_TRUE(across.Started);
    EXPECT_EQ(across.Dir, 0);

    // A shake across the jump above the needle is no turn at all.
    TArcSweep shake{269.8, false, 1};
    AdvanceSweep(shake, -89.8, 1.0);
    EXPECT_FALSE(shake.Started);
}

TEST(ArcSweepTest, ACompassOpenedToAPixelStillDecides) {
    // Three pixels of arc are more than half its circle; a turn of 30
    // degrees decides instead, as it does for a span of nothing.
    EXPECT_DOUBLE_EQ(SweepDecisionAngle(1.0, 100.0), 30.0);
    EXPECT_DOUBLE_EQ(SweepDecisionAngle(0.0, 100.0), 30.0);
    EXPECT_LT(SweepDecisionAngle(100.0, 100.0), 2.0);
}

} // namespace
} // namespace quirindo
