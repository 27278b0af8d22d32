// Lines drawn along and across the ruler and the protractor's degree mark,
// through the real press, move and release handlers.

#include "test_instruments_support.h"

#include <cmath>
#include <numbers>

namespace quirindo::test {
namespace {

TEST_F(InstrumentTest, AlongStoresTheFarthestFeetOnTheScaleEdge) {
    Form->LinealAnLinealentlangzeichnen1Click();
    PressMm(30, 95);
    MoveMm(55, 80);
    MoveMm(40, 99); // back toward the press: the stroke keeps its length
    EXPECT_FALSE(Form->Changed);
    ReleaseMm(70, 99); // not projected again
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = LastObject();
    EXPECT_EQ(o.Kind, okLine);
    EXPECT_NEAR(o.X1, 30, HalfPixelMm());
    EXPECT_NEAR(o.X2, 55, HalfPixelMm());
    EXPECT_EQ(o.Y1, 90.0);
    EXPECT_EQ(o.Y2, 90.0);
    EXPECT_TRUE(Snapped(o.X1) && Snapped(o.X2));
    EXPECT_TRUE(Form->Changed);
    EXPECT_FALSE(Form->Pointer.DrawingAlong);
}

TEST_F(InstrumentTest, AcrossStoresALineThroughTheFootOfThePress) {
    Form->LinealQuerzumLinealzeichnen1Click();
    MoveMm(30, 95); // hover: a red dot on the scale edge
    EXPECT_TRUE(RedNear(OverlayImage(), Px(30) + 5, Px(90) + 5));
    PressMm(30, 95);
    MoveMm(55, 80);
    MoveMm(40, 99);
    ReleaseMm(40, 99);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = LastObject();
    EXPECT_EQ(o.X1, o.X2); // at right angles to the ruler
    EXPECT_NEAR(o.X1, 30, HalfPixelMm());
    EXPECT_NEAR(o.Y1, 80, HalfPixelMm());
    EXPECT_NEAR(o.Y2, 99, HalfPixelMm());
    EXPECT_TRUE(Snapped(o.X1) && Snapped(o.Y1) && Snapped(o.Y2));
}

TEST_F(InstrumentTest, PressAndReleaseWithoutMoveStoresAZeroLengthLine) {
    Form->LinealAnLinealentlangzeichnen1Click();
    PressMm(30, 95);
    ReleaseMm(30, 95);
    const TDrawObject along = LastObject();
    EXPECT_EQ(along.X1, along.X2);
    EXPECT_EQ(along.Y1, 90.0); // the foot on the scale edge
    EXPECT_EQ(along.Y2, 90.0);

    Form->LinealQuerzumLinealzeichnen1Click();
    PressMm(30, 95);
    ReleaseMm(30, 95);
    const TDrawObject across = LastObject();
    EXPECT_EQ(across.X1, across.X2);
    EXPECT_EQ(across.Y1, across.Y2);
    EXPECT_NEAR(across.Y1, 95, HalfPixelMm()); // the press point itself
    EXPECT_EQ(Form->Drawing->Objects.Count(), 2);
}

TEST_F(InstrumentTest, WidthAndColourAreReadAtRelease) {
    Form->LinealAnLinealentlangzeichnen1Click();
    PressMm(30, 95);
    MoveMm(50, 95);
    Form->StrichEd->setValue(0.7);
    Form->Shape1->SetFillColor(0x00FF00);
    ReleaseMm(50, 95);
    EXPECT_DOUBLE_EQ(LastObject().Width, 0.7);
    EXPECT_EQ(LastObject().Color, 0x00FF00);
}

TEST_F(InstrumentTest, StrokeOnTurnedRulerOfPageTwoStaysOnIt) {
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    const int h = Form->PageHeightPx;
    const double top = 2.0 * Form->PageHeightInch * kMmPerInch; // page 2 in the drawing
    Form->Instruments.LinW = 90.0; // the scale edge runs straight down x = 10
    Form->LinealAnLinealentlangzeichnen1Click();
    Press(Px(30), 2 * h + Px(95));
    Move(Px(30), Px(50)); // onto page 0
    Release(Px(30), Px(50));
    const TDrawObject& o = LastObject();
    // cos 90 degrees is not exactly 0: the ends may truncate to 9.999.
    EXPECT_NEAR(o.X1, 10.0, 0.0011);
    EXPECT_NEAR(o.X2, 10.0, 0.0011);
    EXPECT_NEAR(o.Y2, top + 95, HalfPixelMm());
    EXPECT_NEAR(o.Y1, 50, HalfPixelMm());
}

TEST_F(InstrumentTest, HoverAfterAPressOnPageTwoMarksPageTwosRuler) {
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    const int h = Form->PageHeightPx;
    Press(0, 2 * h + 10); // any tool: the ruler move
    Release(0, 2 * h + 10);
    Form->LinealAnLinealentlangzeichnen1Click();
    Move(Px(40), Px(60)); // over page 0
    const QImage view = OverlayImage();
    EXPECT_TRUE(RedNear(view, Px(40) + 5, 2 * h + Px(90) + 5));
    EXPECT_FALSE(RedNear(view, Px(40) + 5, Px(90) + 5));
}

TEST_F(InstrumentTest, DegreeMarkRunsOnThePressedRayFromNearestToFarthest) {
    Form->WinkelmesserGradzahlmitBleistiftmarkieren1Click();
    const double c = std::cos(std::numbers::pi / 4);
    // The 45 tick lies upper left of the centre (50, 50) at rotation 0.
    const auto at = [c](double r) { return 50.0 - r * c; };
    PressMm(at(38), at(38));
    MoveMm(at(45), at(45)); // out past the rim
    MoveMm(at(20), at(20)); // back in to half the radius
    ReleaseMm(at(20), at(20));
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = LastObject();
    const double tol = 2 * HalfPixelMm();
    EXPECT_NEAR(o.X1, at(45), tol);
    EXPECT_NEAR(o.Y1, at(45), tol);
    EXPECT_NEAR(o.X2, at(20), tol);
    EXPECT_NEAR(o.Y2, at(20), tol);
    // On the ray through the centre.
    const double cross = (o.X1 - 50) * (o.Y2 - 50) - (o.Y1 - 50) * (o.X2 - 50);
    EXPECT_NEAR(cross, 0.0, 0.01);
    EXPECT_TRUE(Form->Changed);
}

TEST_F(InstrumentTest, DegreeMarkPressedOnTheCentreStaysFinite) {
    Form->Instruments.WinkX = 100 / S; // the centre on a whole pixel
    Form->Instruments.WinkY = 100 / S;
    Form->WinkelmesserGradzahlmitBleistiftmarkieren1Click();
    Press(100, 100);
    Move(140, 100);
    Release(140, 100);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = LastObject();
    for (double v : {o.X1, o.Y1, o.X2, o.Y2})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(Form->Protractor.MarkDir));
}

TEST_F(InstrumentTest, ProtractorTurnReleaseKeepsTheLastMoveButMoveReleaseApplies) {
    Form->Instruments.WinkX = 100 / S;
    Form->Instruments.WinkY = 100 / S;
    Form->WinkelmesserDrehen1Click();
    Press(200, 100); // right of the centre: bearing -180
    Move(100, 200);  // below: bearing 90
    EXPECT_NEAR(Form->Instruments.WinkW, -270.0, 1e-9);
    EXPECT_NEAR(Form->WinkWEd->value(), -270.0, 1e-9);
    Release(0, 100);
    EXPECT_NEAR(Form->Instruments.WinkW, -270.0, 1e-9);
    EXPECT_FALSE(Form->Pointer.WinkTurning);

    Form->WinkelmesserVerschieben1Click();
    Press(10, 10);
    Move(20, 10);
    Release(48, 29);
    EXPECT_NEAR(Form->Instruments.WinkX, (100 + 38) / S, 1e-9);
    EXPECT_NEAR(Form->Instruments.WinkY, (100 + 19) / S, 1e-9);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(InstrumentTest, DegreeMarkHoverDrawsARayFromTheCentre) {
    Form->WinkelmesserGradzahlmitBleistiftmarkieren1Click();
    MoveMm(70, 50); // right of the centre (50, 50)
    const QImage view = OverlayImage();
    EXPECT_TRUE(RedNear(view, Px(60) + 5, Px(50) + 5));
    EXPECT_TRUE(RedNear(view, Px(150) + 5, Px(50) + 5)); // on past the pointer
    EXPECT_FALSE(RedNear(view, Px(40) + 5, Px(50) + 5)); // not behind the centre
}

} // namespace
} // namespace quirindo::test
