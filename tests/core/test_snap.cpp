// The targets a drag may catch: end points, centres and crossings, only on
// the drawn part of an arc, never from beyond the reach.

#include "Snap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quirindo {
namespace {

TDrawObject Line(double x1, double y1, double x2, double y2) {
    TDrawObject o{};
    o.Kind = okLine;
    o.X1 = x1, o.Y1 = y1, o.X2 = x2, o.Y2 = y2;
    return o;
}

TDrawObject Circle(double cx, double cy, double r) {
    TDrawObject o{};
    o.Kind = okEllipse;
    o.X1 = cx - r, o.Y1 = cy - r, o.X2 = cx + r, o.Y2 = cy + r;
    return o;
}

// The arc about (cx, cy) counter-clockwise on screen from the ray through
// (x3, y3) to the ray through (x4, y4), as the compass stores it.
TDrawObject Arc(double cx, double cy, double r, double x3, double y3, double x4, double y4) {
    TDrawObject o = Circle(cx, cy, r);
    o.Kind = okArc;
    o.X3 = x3, o.Y3 = y3, o.X4 = x4, o.Y4 = y4;
    return o;
}

bool Has(const std::vector<TPointMm>& points, double x, double y, double eps = 1e-9) {
    for (const TPointMm& p : points)
        if (std::fabs(p.X - x) <= eps && std::fabs(p.Y - y) <= eps) return true;
    return false;
}

void Add(TDrawing& d, const TDrawObject& o) {
    *d.Objects.Append() = o;
}

TEST(SnapCrossings, LinesCrossOnlyWithinBothSegments) {
    auto x = ObjectIntersections(Line(0, 0, 10, 10), Line(0, 10, 10, 0));
    ASSERT_EQ(x.size(), 1u);
    EXPECT_TRUE(Has(x, 5, 5));
    // The lines' extensions would cross at (20, 20): segments do not.
    EXPECT_TRUE(ObjectIntersections(Line(0, 0, 10, 10), Line(20, 0, 20, 40)).empty());
    // Parallel and overlapping lines give no single point.
    EXPECT_TRUE(ObjectIntersections(Line(0, 0, 10, 0), Line(5, 0, 20, 0)).empty());
    // A crossing exactly at an end point counts.
    EXPECT_TRUE(Has(ObjectIntersections(Line(0, 0, 10, 0), Line(10, -5, 10, 5)), 10, 0));
}

TEST(SnapCrossings, CirclesAndLinesMeetWhereGeometrySays) {
    // Two 60 mm circles 60 mm apart: the perpendicular bisector's points.
    const auto cc = ObjectIntersections(Circle(30, 90, 60), Circle(90, 90, 60));
    ASSERT_EQ(cc.size(), 2u);
    const double h = 60 * std::sqrt(3.0) / 2;
    EXPECT_TRUE(Has(cc, 60, 90 - h, 1e-12));
    EXPECT_TRUE(Has(cc, 60, 90 + h, 1e-12));
    // Concentric, apart and inside each other: nothing.
    EXPECT_TRUE(ObjectIntersections(Circle(0, 0, 10), Circle(0, 0, 10)).empty());
    EXPECT_TRUE(ObjectIntersections(Circle(0, 0, 10), Circle(50, 0, 10)).empty());
    EXPECT_TRUE(ObjectIntersections(Circle(0, 0, 10), Circle(1, 0, 2)).empty());

    const auto lc = ObjectIntersections(Line(-20, 0, 20, 0), Circle(0, 0, 10));
    ASSERT_EQ(lc.size(), 2u);
    EXPECT_TRUE(Has(lc, -10, 0) && Has(lc, 10, 0));
    // The same either way round; a segment ending inside meets once.
    EXPECT_EQ(ObjectIntersections(Circle(0, 0, 10), Line(-20, 0, 20, 0)).size(), 2u);
    const auto half = ObjectIntersections(Line(0, 0, 20, 0), Circle(0, 0, 10));
    ASSERT_EQ(half.size(), 1u);
    EXPECT_TRUE(Has(half, 10, 0));
    // An ellipse that is no circle and a curve give none.
    TDrawObject ellipse = Circle(0, 0, 10);
    ellipse.X2 += 5;
    EXPECT_TRUE(ObjectIntersections(Line(-20, 0, 20, 0), ellipse).empty());
}

TEST(SnapCrossings, AnArcCrossesOnlyOnItsDrawnPart) {
    // The upper half on screen: counter-clockwise from the ray to the right
    // round through the top to the ray to the left.
    const TDrawObject upper = Arc(0, 0, 10, 20, 0, -20, 0);
    const auto x = ObjectIntersections(Line(0, -20, 0, 20), upper);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_TRUE(Has(x, 0, -10));
    const TDrawObject lower = Arc(0, 0, 10, -20, 0, 20, 0);
    const auto y = ObjectIntersections(lower, Line(0, -20, 0, 20));
    ASSERT_EQ(y.size(), 1u);
    EXPECT_TRUE(Has(y, 0, 10));
}

TEST(SnapTargets, OwnPointsAndCrossingsWithinReachOnly) {
    TDrawing d;
    Add(d, Line(0, 0, 100, 0));
    Add(d, Arc(50, 50, 10, 70, 50, 30, 50)); // ends at (60, 50) and (40, 50)
    Add(d, Line(30, -30, 30, 30));
    TDrawObject curve{};
    curve.Kind = okBezier;
    curve.X1 = 200, curve.Y1 = 0, curve.X4 = 220, curve.Y4 = 10;
    Add(d, curve);

    EXPECT_TRUE(Has(SnapTargetsNear(d, {1, 1}, 2), 0, 0));           // line end
    EXPECT_TRUE(Has(SnapTargetsNear(d, {49, 51}, 2), 50, 50));       // arc centre
    EXPECT_TRUE(Has(SnapTargetsNear(d, {59, 49}, 2), 60, 50));       // arc end
    EXPECT_TRUE(Has(SnapTargetsNear(d, {219, 9}, 2), 220, 10));      // curve end
    EXPECT_TRUE(Has(SnapTargetsNear(d, {31, 1}, 2), 30, 0));         // crossing
    EXPECT_TRUE(SnapTargetsNear(d, {31, 1}, 0.5).empty());           // beyond reach
    EXPECT_TRUE(SnapTargetsNear(d, {15, 0}, 2).empty());             // plain line

    const auto nearest = NearestSnapTarget(d, {30.5, 0.2}, 5);
    ASSERT_TRUE(nearest.has_value());
    EXPECT_EQ(nearest->X, 30.0);
    EXPECT_EQ(nearest->Y, 0.0);
    EXPECT_FALSE(NearestSnapTarget(d, {15, 0}, 2).has_value());
}

TEST(SnapTargets, AStoredPointWinsOverACrossingComputedBesideIt) {
    TDrawing d;
    // A circle through the line's end point, its crossing with the line a
    // rounding error away from that end; the pointer nearer to the crossing.
    Add(d, Line(0, 0, 50, 0));
    Add(d, Circle(0.0004 - 10, 0, 10));
    const auto t = NearestSnapTarget(d, {0.0006, 0.3}, 2);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->X, 0.0);
    EXPECT_EQ(t->Y, 0.0);
}

TEST(SnapTargets, DamagedRecordsAndBadInputGiveNothing) {
    TDrawing d;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Add(d, Line(nan, 0, 10, 0));
    Add(d, Circle(0, 0, std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(SnapTargetsNear(d, {10, 0}, 5).empty());
    Add(d, Line(0, 0, 10, 0));
    EXPECT_TRUE(SnapTargetsNear(d, {nan, 0}, 5).empty());
    EXPECT_TRUE(SnapTargetsNear(d, {10, 0}, 0).empty());
    EXPECT_FALSE(SnapTargetsNear(d, {10, 0}, 5).empty());
}

TEST(SnapValues, MultiplesWithinToleranceAndRounding) {
    EXPECT_EQ(SnapToMultiple(29.7, 1.0, 0.5), 30.0);
    EXPECT_EQ(SnapToMultiple(29.7, 1.0, 0.2), 29.7);
    EXPECT_EQ(SnapToMultiple(-44.0, 15.0, 100.0), -45.0);
    EXPECT_EQ(Round3(39.9999999), 40.0);
    EXPECT_EQ(Round3(-1.2344), -1.234);
}

} // namespace
} // namespace quirindo
