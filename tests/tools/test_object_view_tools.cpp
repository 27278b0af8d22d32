// The object tool, the hand and the zoom tool on a stand-in window.

#include "DrawingFile.h"
#include "FakeEditHost.h"
#include "ObjectTool.h"
#include "ViewTools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace quirindo::test {
namespace {

using namespace tools;

TDrawObject Circle(double cx, double cy, double r, TObjectKind kind = okEllipse) {
    TDrawObject o{};
    o.Kind = kind;
    o.Width = 0.1;
    o.X1 = cx - r;
    o.Y1 = cy - r;
    o.X2 = cx + r;
    o.Y2 = cy + r;
    return o;
}

TDrawObject Line(double x1, double y1, double x2, double y2) {
    TDrawObject o{};
    o.Kind = okLine;
    o.Width = 0.1;
    o.X1 = x1;
    o.Y1 = y1;
    o.X2 = x2;
    o.Y2 = y2;
    o.X3 = 7;
    o.Y3 = 8;
    o.X4 = 9;
    o.Y4 = 10;
    o.Color = 0x00AA00;
    return o;
}

// One tall page at `scale` pixels per millimetre.
TViewMapping OnePage(double scale) {
    return TViewMapping::For(scale, RoundHalfEven(1000 * scale), 1000 / kMmPerInch, 1);
}

TEST(ObjectHitTest, CircleLineIsHitWithinLessThanThreePixels) {
    // Radius 20 mm at 1 px/mm about (50, 50).
    const TDrawObject c = Circle(50, 50, 20);
    EXPECT_TRUE(ObjectHit(c, OnePage(1.0), 70, 50));
    EXPECT_TRUE(ObjectHit(c, OnePage(1.0), 72, 50));  // 2 pixels outside
    EXPECT_FALSE(ObjectHit(c, OnePage(1.0), 73, 50)); // 3 pixels outside
    EXPECT_TRUE(ObjectHit(c, OnePage(1.0), 50, 28));
    EXPECT_FALSE(ObjectHit(c, OnePage(1.0), 50, 50)); // the centre is no hit
}

// An arc is hit along what the canvas draws (counter-clockwise on the screen
// from the start ray to the end ray) and a little past its ends, never on
// the rest of its circle.
TEST(ObjectHitTest, ArcIsHitOnlyAlongItsDrawnPart) {
    TDrawObject arc = Circle(50, 50, 20, okArc);
    // From the ray to the right to the ray upwards: the upper right quarter.
    arc.X3 = 100;
    arc.Y3 = 50;
    arc.X4 = 50;
    arc.Y4 = 0;
    EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), 64, 36));  // the middle of the quarter
    EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), 50, 31));  // at its upper end
    EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), 48, 30));  // 2 pixels beyond that end
    EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), 70, 52));  // 2 pixels beyond the right end
    EXPECT_FALSE(ObjectHit(arc, OnePage(1.0), 46, 31)); // 4 pixels beyond
    EXPECT_FALSE(ObjectHit(arc, OnePage(1.0), 50, 70)); // the gap below
    EXPECT_FALSE(ObjectHit(arc, OnePage(1.0), 30, 50)); // the gap on the left
    EXPECT_FALSE(ObjectHit(arc, OnePage(1.0), 36, 64));

    // The other way round, the same rays leave the quarter open instead.
    std::swap(arc.X3, arc.X4);
    std::swap(arc.Y3, arc.Y4);
    EXPECT_FALSE(ObjectHit(arc, OnePage(1.0), 64, 36));
    EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), 50, 70));
    EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), 36, 64));

    // Equal rays draw the whole circle; on the second page as on the first.
    arc.X3 = arc.X4 = 100;
    arc.Y3 = arc.Y4 = 50;
    for (const auto& [x, y] : {std::pair{64, 36}, {50, 70}, {30, 50}, {36, 64}})
        EXPECT_TRUE(ObjectHit(arc, OnePage(1.0), x, y)) << x << ", " << y;
}

// The curve from (10, 50) over controls (30, 10) and (70, 90) to (90, 50),
// at 1 pixel per millimetre: B(0.5) = (50, 50) and B(0.25) = (28.1, 38.8).
TEST(ObjectHitTest, CurveIsHitNearItsCurveOnly) {
    TDrawObject b{};
    b.Kind = okBezier;
    b.Width = 0.1;
    const double pts[8] = {10, 50, 30, 10, 70, 90, 90, 50};
    std::memcpy(&b.X1, pts, sizeof pts);
    for (const auto& [x, y] : {std::pair{10, 50}, {90, 50}, {50, 50}, {30, 41}, {70, 59}, {50, 52}})
        EXPECT_TRUE(ObjectHit(b, OnePage(1.0), x, y)) << x << ", " << y;
    // Off the curve: beside it, at its control points, beyond its ends.
    for (const auto& [x, y] : {std::pair{50, 54}, {30, 10}, {70, 90}, {30, 46}, {6, 50}, {94, 50}})
        EXPECT_FALSE(ObjectHit(b, OnePage(1.0), x, y)) << x << ", " << y;
    // At 4 pixels per millimetre the same point of the curve lies at (200, 200).
    EXPECT_TRUE(ObjectHit(b, OnePage(4.0), 200, 202));
    EXPECT_FALSE(ObjectHit(b, OnePage(4.0), 200, 204));
    // A curve on one point draws nothing and is not hit; unknown kinds neither.
    TDrawObject dot = b;
    dot.X2 = dot.X3 = dot.X4 = dot.X1;
    dot.Y2 = dot.Y3 = dot.Y4 = dot.Y1;
    EXPECT_FALSE(ObjectHit(dot, OnePage(1.0), 10, 50));
    b.Kind = 7;
    EXPECT_FALSE(ObjectHit(b, OnePage(1.0), 50, 50));
}

TEST(ObjectHitTest, LinesUseTheSegmentBandAndNeverHitWhenZeroLength) {
    const TDrawObject l = Line(10, 10, 30, 10);
    EXPECT_TRUE(ObjectHit(l, OnePage(2.0), 40, 22));  // 2 pixels beside
    EXPECT_FALSE(ObjectHit(l, OnePage(2.0), 40, 23)); // 3 pixels beside
    EXPECT_FALSE(ObjectHit(l, OnePage(2.0), 62, 20)); // beyond the end
    EXPECT_FALSE(ObjectHit(Line(10, 10, 10, 10), OnePage(2.0), 20, 20));
    // Ends on the same pixel after rounding.
    EXPECT_FALSE(ObjectHit(Line(10, 10, 10.1, 10.1), OnePage(2.0), 20, 20));
}

TEST(ObjectHitTest, HighlightPenIsAtLeastTwoPixels) {
    EXPECT_EQ(HighlightPenWidth(0.1, 3.78), 2); // 0.756
    EXPECT_EQ(HighlightPenWidth(0.5, 3.78), 4); // 3.78
    EXPECT_EQ(HighlightPenWidth(0.5, 2.5), 2);  // 2.5 -> 2
    EXPECT_EQ(HighlightPenWidth(0.7, 2.5), 4);  // 3.5 -> 4
}

class ObjectToolTest : public ::testing::Test {
protected:
    TFakeEditHost Host;

    void Add(const TDrawObject& o) { *Host.Doc.Objects.Append() = o; }
};

TEST_F(ObjectToolTest, HoverHighlightsTheNewestObjectInRed) {
    Host.Scale = 1.0;
    Add(Line(10, 10, 100, 10));
    Add(Line(10, 10, 100, 10));
    Add(Line(10, 50, 100, 50));
    ObjectHover(Host, 50, 11);
    EXPECT_TRUE(Host.Ptr.HoverShown);
    EXPECT_EQ(Host.Ptr.HoverIndex, 1);
    EXPECT_EQ(Host.View.pixelColor(55, 15), QColor(255, 0, 0));
    ObjectHover(Host, 50, 30);
    EXPECT_FALSE(Host.Ptr.HoverShown);
    EXPECT_EQ(Host.CountPixels(Host.View, QColor(255, 0, 0)), 0);
}

TEST_F(ObjectToolTest, DeleteActsOnlyOnAHighlightedObject) {
    Host.Scale = 1.0;
    Add(Line(10, 10, 100, 10));
    Add(Circle(50, 50, 20));
    ObjectDeletePress(Host);
    EXPECT_EQ(Host.Doc.Objects.Count(), 2);
    EXPECT_EQ(Host.Changes, 0);
    ObjectHover(Host, 50, 10);
    ObjectDeletePress(Host);
    ASSERT_EQ(Host.Doc.Objects.Count(), 1);
    EXPECT_EQ(Host.Doc.Objects[0].Kind, okEllipse);
    EXPECT_EQ(Host.Changes, 1);
    // The next press needs a new hover.
    ObjectDeletePress(Host);
    EXPECT_EQ(Host.Doc.Objects.Count(), 1);
}

TEST_F(ObjectToolTest, MoveShiftsAllFourPointsAndNothingElse) {
    Host.Scale = 2.0;
    Add(Line(10, 10, 30, 10));
    ObjectMovePress(Host, 40, 20);
    EXPECT_FALSE(Host.Ptr.ObjectMoving); // nothing highlighted
    ObjectHover(Host, 40, 20);
    ObjectMovePress(Host, 40, 20);
    EXPECT_TRUE(Host.Ptr.ObjectMoving);
    EXPECT_FALSE(Host.Ptr.HoverShown);
    ObjectMoveDrag(Host, 50, 30);
    // The outline follows the pointer: (10, 10) mm -> (20 + 5 + 10, 20 + 5 + 10).
    EXPECT_EQ(Host.View.pixelColor(40, 35), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(Host.Doc.Objects[0].X1, 10.0);
    ObjectMoveRelease(Host, 60, 10);
    EXPECT_FALSE(Host.Ptr.ObjectMoving);
    const TDrawObject& o = Host.Doc.Objects[0];
    TDrawObject expected = Line(20, 5, 40, 5);
    expected.X3 = 17;
    expected.Y3 = 3;
    expected.X4 = 19;
    expected.Y4 = 5;
    EXPECT_EQ(std::memcmp(&o, &expected, sizeof o), 0);
    EXPECT_EQ(Host.Changes, 1);
}

// A curve is highlighted along its own path, deleted and moved like the
// other kinds.
TEST_F(ObjectToolTest, CurvesAreHighlightedDeletedAndMoved) {
    Host.Scale = 1.0;
    TDrawObject curve{};
    curve.Kind = okBezier;
    curve.Width = 0.1;
    const double pts[8] = {10, 50, 30, 10, 70, 90, 90, 50};
    std::memcpy(&curve.X1, pts, sizeof pts);
    Add(curve);
    Add(Line(10, 100, 90, 100));

    ObjectHover(Host, 50, 50);
    EXPECT_TRUE(Host.Ptr.HoverShown);
    EXPECT_EQ(Host.Ptr.HoverIndex, 0);
    // The red outline lies on the curve (shifted by the 5-pixel margin).
    EXPECT_EQ(Host.View.pixelColor(55, 55), QColor(255, 0, 0));
    bool nearQuarter = false; // B(0.25) is at (28.1, 38.8) mm
    for (int x = 32; x <= 34; ++x)
        for (int y = 43; y <= 45; ++y)
            nearQuarter = nearQuarter || Host.View.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_TRUE(nearQuarter);
    EXPECT_NE(Host.View.pixelColor(55, 45), QColor(255, 0, 0)) << "off the curve";

    ObjectMovePress(Host, 50, 50);
    ASSERT_TRUE(Host.Ptr.ObjectMoving);
    ObjectMoveRelease(Host, 60, 70);
    const TDrawObject& moved = Host.Doc.Objects[0];
    EXPECT_EQ(moved.Kind, okBezier);
    const double expected[8] = {20, 70, 40, 30, 80, 110, 100, 70};
    const double* got = &moved.X1;
    for (int i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(got[i], expected[i]) << "point value " << i;

    ObjectHover(Host, 50, 50);
    EXPECT_FALSE(Host.Ptr.HoverShown) << "the curve is no longer there";
    ObjectHover(Host, 60, 70);
    ASSERT_TRUE(Host.Ptr.HoverShown);
    ObjectDeletePress(Host);
    ASSERT_EQ(Host.Doc.Objects.Count(), 1);
    EXPECT_EQ(Host.Doc.Objects[0].Kind, okLine);
    EXPECT_EQ(Host.Changes, 2);
}

TEST_F(ObjectToolTest, AbandonedMoveLeavesTheObject) {
    Host.Scale = 1.0;
    Add(Line(10, 10, 100, 10));
    ObjectHover(Host, 50, 10);
    ObjectMovePress(Host, 50, 10);
    ObjectMoveAbandon(Host);
    EXPECT_FALSE(Host.Ptr.ObjectMoving);
    EXPECT_DOUBLE_EQ(Host.Doc.Objects[0].X1, 10.0);
    EXPECT_EQ(Host.Changes, 0);
}

TEST_F(ObjectToolTest, DeleteLastRemovesTheNewestEvenACurve) {
    DeleteLastObject(Host);
    EXPECT_EQ(Host.Changes, 0);
    EXPECT_EQ(Host.Repaints, 0);
    Add(Line(1, 1, 2, 2));
    TDrawObject curve = Line(1, 1, 2, 2);
    curve.Kind = okBezier;
    Add(curve);
    DeleteLastObject(Host);
    ASSERT_EQ(Host.Doc.Objects.Count(), 1);
    EXPECT_EQ(Host.Doc.Objects[0].Kind, okLine);
    EXPECT_EQ(Host.Changes, 1);
}

TEST(ZoomStepTest, StepsByHalfRoundingHalvesToEvenWithinOneTo300) {
    EXPECT_EQ(ZoomStep(100, TZoomDirection::In), 150);
    EXPECT_EQ(ZoomStep(150, TZoomDirection::In), 225);
    EXPECT_EQ(ZoomStep(225, TZoomDirection::In), 300); // 337.5
    EXPECT_EQ(ZoomStep(300, TZoomDirection::In), 300);
    EXPECT_EQ(ZoomStep(100, TZoomDirection::Out), 67); // 66.67
    EXPECT_EQ(ZoomStep(11, TZoomDirection::In), 16);   // 16.5
    EXPECT_EQ(ZoomStep(13, TZoomDirection::In), 20);   // 19.5
    EXPECT_EQ(ZoomStep(1, TZoomDirection::Out), 1);
    EXPECT_EQ(ZoomStep(80, TZoomDirection::Keep), 80);
}

TEST(ZoomAboutTest, StepsAboutTheClickedPoint) {
    TFakeEditHost host;
    ZoomAbout(host, 200, 300, TZoomDirection::In);
    ZoomAbout(host, 10, 20, TZoomDirection::Out);
    ZoomAbout(host, 700, 900, TZoomDirection::Keep); // the middle button
    EXPECT_EQ(host.Zoom, 100);
    EXPECT_EQ(host.ZoomAnchors,
              (std::vector<std::pair<int, int>>{{200, 300}, {10, 20}, {700, 900}}));
    EXPECT_EQ(host.Repaints, 5); // each change of the field and each click
}

// Where the renderer puts drawing point (x, y) mm in the paint box.
std::pair<double, double> PaintedAt(const TPageGeometry& g, double xMm, double yMm,
                                    double pageHeightInch) {
    const TPixelPoint p = PaintBoxPixel(
        TViewMapping::For(g.ViewScale, g.PageHeightPx, pageHeightInch, 10).MmToView(xMm, yMm));
    return {p.X, p.Y};
}

TEST(SamePointAfterZoomTest, ThePaintedPointStaysOnEveryPageAndZoom) {
    // A4 and a squat page whose height in pixels rounds differently.
    for (const double pageHeightInch : {297.0 / kMmPerInch, 123.4 / kMmPerInch}) {
        const double pageMm = pageHeightInch * kMmPerInch;
        for (const int page : {0, 1, 9})
            for (const int from : {10, 37, 100, 250})
                for (const int to : {1, 10, 37, 67, 100, 150, 250, 300}) {
                    const TPageGeometry before =
                        ComputePageGeometry(from, 96, 210 / kMmPerInch, pageHeightInch);
                    const TPageGeometry after =
                        ComputePageGeometry(to, 96, 210 / kMmPerInch, pageHeightInch);
                    const double xMm = 123.4, yMm = page * pageMm + 0.37 * pageMm;
                    const auto [x0, y0] = PaintedAt(before, xMm, yMm, pageHeightInch);
                    const auto [x1, y1] = PaintedAt(after, xMm, yMm, pageHeightInch);
                    const TViewPoint moved = SamePointAfterZoom(
                        TViewMapping::For(before.ViewScale, before.PageHeightPx, pageHeightInch,
                                          10),
                        TViewMapping::For(after.ViewScale, after.PageHeightPx, pageHeightInch, 10),
                        x0, y0);
                    // Each painted position is rounded once: half a pixel at
                    // the old zoom, scaled, plus half a pixel at the new.
                    const double slack = 0.5 * (1.0 + to / static_cast<double>(from)) + 1e-9;
                    EXPECT_NEAR(moved.X, x1, slack) << page << " " << from << " -> " << to;
                    EXPECT_NEAR(moved.Y, y1, slack) << page << " " << from << " -> " << to;
                }
    }
    // Before the first paint there is no scale: the point stays.
    const TViewPoint same = SamePointAfterZoom({}, TViewMapping::For(3.78, 1056, 11, 1), 40, 50);
    EXPECT_EQ(same.X, 40);
    EXPECT_EQ(same.Y, 50);
}

TEST(HandTest, PagesFollowThePointerAndStopAtTheRange) {
    TFakeEditHost host;
    host.ScrollBox = {100, 100, 500, 800, 400, 300};
    HandPress(host, 300, 300);
    EXPECT_TRUE(host.Ptr.HandDragging);
    HandDrag(host, 280, 250); // pulled up-left: the view moves down-right
    EXPECT_EQ(host.ScrollBox.H, 120);
    EXPECT_EQ(host.ScrollBox.V, 150);
    HandDrag(host, 250, -2000); // far beyond the bottom
    EXPECT_EQ(host.Scrolls.back(), std::make_pair(170, 799));
    HandDrag(host, 5000, 5000);
    EXPECT_EQ(host.Scrolls.back(), std::make_pair(0, 0));
    EXPECT_EQ(host.Repaints, 0);
    HandRelease(host);
    EXPECT_FALSE(host.Ptr.HandDragging);
}

} // namespace
} // namespace quirindo::test
