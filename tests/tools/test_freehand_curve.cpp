// Pencil, eraser and curves on a stand-in window.

#include "CurveTool.h"
#include "FakeEditHost.h"
#include "FreehandTool.h"

#include <gtest/gtest.h>

namespace quirindo::test {
namespace {

using namespace tools;

class FreehandTest : public ::testing::Test {
protected:
    TFakeEditHost Host;
    TFreehandStroke Stroke;

    void Stroke3(bool eraser, int x0) {
        FreehandPress(Host, Stroke, x0, 10, eraser);
        FreehandDrag(Host, Stroke, x0 + 10, 10);
        FreehandDrag(Host, Stroke, x0 + 20, 15);
        FreehandDrag(Host, Stroke, x0 + 30, 15);
        FreehandRelease(Host, Stroke);
    }
};

TEST_F(FreehandTest, PressAndReleaseWithoutMoveStoresNothing) {
    FreehandPress(Host, Stroke, 40, 50, false);
    EXPECT_TRUE(Host.Ptr.FreehandActive);
    FreehandRelease(Host, Stroke);
    EXPECT_FALSE(Host.Ptr.FreehandActive);
    EXPECT_EQ(Host.Doc.Objects.Count(), 0);
    EXPECT_EQ(Host.Changes + Host.ChangesDrawnOnView, 0);
    EXPECT_EQ(Host.ViewDrawings, 0);
    EXPECT_EQ(Host.Repaints, 0);
}

TEST_F(FreehandTest, EachMoveAppendsOneSegmentFromTheEndOfTheLast) {
    FreehandPress(Host, Stroke, 10, 20, false);
    FreehandDrag(Host, Stroke, 30, 20);
    FreehandDrag(Host, Stroke, 30, 45);
    ASSERT_EQ(Host.Doc.Objects.Count(), 2);
    const TDrawObject& a = Host.Doc.Objects[0];
    const TDrawObject& b = Host.Doc.Objects[1];
    EXPECT_EQ(a.Kind, okLine);
    EXPECT_DOUBLE_EQ(a.X1, 2.0);
    EXPECT_DOUBLE_EQ(a.Y1, 4.0);
    EXPECT_DOUBLE_EQ(a.X2, 6.0);
    EXPECT_DOUBLE_EQ(a.Y2, 4.0);
    EXPECT_DOUBLE_EQ(b.X1, 6.0);
    EXPECT_DOUBLE_EQ(b.Y1, 4.0);
    EXPECT_DOUBLE_EQ(b.Y2, 9.0);
    EXPECT_EQ(a.Color, 0x123456);
    EXPECT_DOUBLE_EQ(a.Width, 0.1);
    // Every segment marks the drawing changed and is drawn without a repaint.
    EXPECT_EQ(Host.ChangesDrawnOnView, 2);
    EXPECT_EQ(Host.Repaints, 0);
    EXPECT_EQ(Host.ViewDrawings, 2);
    // At (x + 5, y + 5) in the pen colour, 1 pixel wide (0.1 mm x 5 rounds to 0).
    EXPECT_EQ(Host.View.pixelColor(25, 25), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(Host.View.pixelColor(35, 40), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(Host.View.pixelColor(25, 27), QColor(Qt::white));
    FreehandRelease(Host, Stroke);
    EXPECT_EQ(Host.PageRefreshes, 1);
}

TEST_F(FreehandTest, MoveAtTheSamePositionStoresAZeroLengthSegment) {
    FreehandPress(Host, Stroke, 17, 33, false);
    FreehandDrag(Host, Stroke, 17, 33);
    ASSERT_EQ(Host.Doc.Objects.Count(), 1);
    const TDrawObject& o = Host.Doc.Objects[0];
    EXPECT_DOUBLE_EQ(o.X1, o.X2);
    EXPECT_DOUBLE_EQ(o.Y1, o.Y2);
    EXPECT_DOUBLE_EQ(o.X1, 17 / 5.0);
}

TEST_F(FreehandTest, SettingsChangedBetweenStrokesAffectOnlyLaterSegments) {
    Stroke3(false, 0);
    Host.Pen = 0x0000FF;
    Host.Line = 0.5;
    Host.Eraser = 3.0;
    Stroke3(false, 100);
    ASSERT_EQ(Host.Doc.Objects.Count(), 6);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Host.Doc.Objects[i].Color, 0x123456);
        EXPECT_DOUBLE_EQ(Host.Doc.Objects[i].Width, 0.1);
    }
    for (int i = 3; i < 6; ++i) {
        EXPECT_EQ(Host.Doc.Objects[i].Color, 0x0000FF);
        EXPECT_DOUBLE_EQ(Host.Doc.Objects[i].Width, 0.5);
    }
}

TEST_F(FreehandTest, EraserSegmentsAreWhiteWithTheEraserWidth) {
    Host.View.fill(Qt::black);
    Host.Eraser = 2.0;
    FreehandPress(Host, Stroke, 100, 100, true);
    FreehandDrag(Host, Stroke, 140, 100);
    Host.Eraser = 1.0; // read at every segment
    FreehandDrag(Host, Stroke, 180, 100);
    ASSERT_EQ(Host.Doc.Objects.Count(), 2);
    EXPECT_EQ(Host.Doc.Objects[0].Color, clWhite);
    EXPECT_DOUBLE_EQ(Host.Doc.Objects[0].Width, 2.0);
    EXPECT_DOUBLE_EQ(Host.Doc.Objects[1].Width, 1.0);
    // 2 mm at 5 px/mm: a 10-pixel white band on the view.
    EXPECT_EQ(Host.View.pixelColor(125, 105 + 4), QColor(Qt::white));
    EXPECT_EQ(Host.View.pixelColor(125, 105 - 4), QColor(Qt::white));
    EXPECT_EQ(Host.View.pixelColor(125, 105 + 7), QColor(Qt::black));
}

TEST_F(FreehandTest, AbandonRemovesOnlyTheStrokeInProgress) {
    Stroke3(false, 0);
    FreehandPress(Host, Stroke, 50, 50, true);
    FreehandDrag(Host, Stroke, 60, 50);
    FreehandDrag(Host, Stroke, 70, 50);
    ASSERT_EQ(Host.Doc.Objects.Count(), 5);
    FreehandAbandon(Host, Stroke);
    EXPECT_FALSE(Host.Ptr.FreehandActive);
    EXPECT_EQ(Host.Doc.Objects.Count(), 3);
    EXPECT_EQ(Host.Doc.Objects[2].Color, 0x123456);
    EXPECT_GE(Host.Repaints, 1);
    // A release after the abandon changes nothing more.
    FreehandRelease(Host, Stroke);
    EXPECT_EQ(Host.Doc.Objects.Count(), 3);
}

class CurveTest : public ::testing::Test {
protected:
    TFakeEditHost Host;
    TCurveChain Chain;

    // The clicks as the pointer dispatch routes them.
    void Click(int x, int y) {
        if (Host.Ptr.CurveGotControl1) return CurveFourthClick(Host, Chain, x, y);
        if (Host.Ptr.CurveGotEnd) return CurveThirdClick(Host, Chain, x, y);
        if (Host.Ptr.CurveGotStart) return CurveSecondClick(Host, Chain, x, y);
        CurveFirstClick(Host, Chain, x, y);
    }
    bool Pending() const {
        return Host.Ptr.CurveGotStart || Host.Ptr.CurveGotEnd || Host.Ptr.CurveGotControl1;
    }
};

TEST_F(CurveTest, FourClicksAtOnePointStoreACurveOfFourEqualPoints) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Host.Doc.Objects.Count(), 0);
        Click(50, 75);
    }
    EXPECT_FALSE(Pending());
    ASSERT_EQ(Host.Doc.Objects.Count(), 1);
    const TDrawObject& o = Host.Doc.Objects[0];
    EXPECT_EQ(o.Kind, okBezier);
    EXPECT_EQ(o.Color, 0x123456);
    EXPECT_DOUBLE_EQ(o.Width, 0.1);
    for (double x : {o.X1, o.X2, o.X3, o.X4})
        EXPECT_DOUBLE_EQ(x, 10.0);
    for (double y : {o.Y1, o.Y2, o.Y3, o.Y4})
        EXPECT_DOUBLE_EQ(y, 15.0);
    EXPECT_EQ(Host.Changes, 1);
    EXPECT_EQ(Host.Repaints, 1);
}

TEST_F(CurveTest, StoresStartFirstControlSecondControlEnd) {
    Click(10, 20);  // start
    Click(100, 20); // end
    Click(30, 60);  // first control
    Click(80, 70);  // second control
    const TDrawObject& o = Host.Doc.Objects[0];
    EXPECT_DOUBLE_EQ(o.X1, 2.0);
    EXPECT_DOUBLE_EQ(o.X2, 6.0);
    EXPECT_DOUBLE_EQ(o.Y2, 12.0);
    EXPECT_DOUBLE_EQ(o.X3, 16.0);
    EXPECT_DOUBLE_EQ(o.Y3, 14.0);
    EXPECT_DOUBLE_EQ(o.X4, 20.0);
    EXPECT_DOUBLE_EQ(o.Y4, 4.0);
}

TEST_F(CurveTest, PreviewControlPointsFollowThePointerUntilFixed) {
    Click(10, 20);
    TCurvePreviewShape shape = CurvePreviewShape(Host.Ptr, Chain, Host.ViewMapping(), 0, 40, 50);
    EXPECT_TRUE(shape.Straight);
    EXPECT_EQ(shape.Start, QPoint(10, 20));
    EXPECT_EQ(shape.End, QPoint(40, 50));

    Click(200, 20);
    shape = CurvePreviewShape(Host.Ptr, Chain, Host.ViewMapping(), 0, 90, 120);
    EXPECT_FALSE(shape.Straight);
    EXPECT_EQ(shape.C1, QPoint(90, 120));
    EXPECT_EQ(shape.C2, QPoint(90, 120));
    EXPECT_EQ(shape.End, QPoint(200, 20));

    Click(60, 90);
    shape = CurvePreviewShape(Host.Ptr, Chain, Host.ViewMapping(), 0, 150, 130);
    EXPECT_EQ(shape.C1, QPoint(60, 90));
    EXPECT_EQ(shape.C2, QPoint(150, 130));
    EXPECT_EQ(shape.End, QPoint(200, 20));

    // The preview is drawn in the pen colour on the page picture, not the view.
    CurvePreview(Host, Chain, 150, 130);
    EXPECT_EQ(Host.PagePreviews, 1);
    EXPECT_GT(Host.CountPixels(Host.Preview, QColor(0x56, 0x34, 0x12)), 100);
    EXPECT_EQ(Host.ViewDrawings, 0);
    EXPECT_EQ(Host.Doc.Objects.Count(), 0);
}

TEST_F(CurveTest, ClicksOnDifferentPagesStoreAbsoluteAndPreviewPageLocal) {
    // Pages of 100 mm shown 501 pixels high: page 1 starts at view y 501
    // while its millimetres start at 100.
    Host.PagePx = 501;
    Host.Page = 0;
    Click(10, 100); // page 0: 20 mm
    Host.Page = 1;
    Click(20, 601); // page 1, 100 px below its top: 100 + 20 mm
    const TCurvePreviewShape shape =
        CurvePreviewShape(Host.Ptr, Chain, Host.ViewMapping(), Host.Page, 30, 651);
    // In page 1's own picture: the start lies above its top edge.
    EXPECT_EQ(shape.Start, QPoint(10, 100 - 500));
    EXPECT_EQ(shape.End, QPoint(20, 100));
    EXPECT_EQ(shape.C1, QPoint(30, 150));
    Click(30, 701);
    Host.Page = 0;
    Click(40, 50);
    const TDrawObject& o = Host.Doc.Objects[0];
    EXPECT_DOUBLE_EQ(o.Y1, 20.0);
    EXPECT_DOUBLE_EQ(o.Y2, 140.0);
    EXPECT_DOUBLE_EQ(o.Y3, 10.0);
    EXPECT_DOUBLE_EQ(o.Y4, 120.0);
}

TEST_F(CurveTest, EachClickKeepsTheMillimetresOfItsOwnZoom) {
    Click(30, 60); // 5 px/mm: (6, 12)
    Click(90, 60); // (18, 12)
    Host.Scale = 10.0;
    Click(60, 0); // (6, 0)
    Host.Scale = 3.0;
    Click(60, 120); // (20, 40)
    const TDrawObject& o = Host.Doc.Objects[0];
    EXPECT_DOUBLE_EQ(o.X1, 6.0);
    EXPECT_DOUBLE_EQ(o.Y1, 12.0);
    EXPECT_DOUBLE_EQ(o.X2, 6.0);
    EXPECT_DOUBLE_EQ(o.Y2, 0.0);
    EXPECT_DOUBLE_EQ(o.X3, 20.0);
    EXPECT_DOUBLE_EQ(o.Y3, 40.0);
    EXPECT_DOUBLE_EQ(o.X4, 18.0);
    EXPECT_DOUBLE_EQ(o.Y4, 12.0);
}

TEST_F(CurveTest, AbandonForgetsThePendingCurve) {
    Click(10, 10);
    Click(20, 20);
    CurveAbandon(Host);
    EXPECT_FALSE(Pending());
    EXPECT_EQ(Host.Repaints, 1);
    // The next click starts a new curve.
    for (int i = 0; i < 3; ++i)
        Click(5, 5);
    EXPECT_EQ(Host.Doc.Objects.Count(), 0);
    Click(5, 5);
    EXPECT_EQ(Host.Doc.Objects.Count(), 1);
    EXPECT_DOUBLE_EQ(Host.Doc.Objects[0].X1, 1.0);
}

} // namespace
} // namespace quirindo::test
