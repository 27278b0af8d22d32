// Pointer dispatch and the ruler's move and turn drags, through the real
// press, move and release handlers.

#include "test_instruments_support.h"

#include <QLabel>
#include <QLocale>

namespace quirindo::test {
namespace {

TEST_F(InstrumentTest, PressPicksThePageByTruncatingDivision) {
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    const int h = Form->PageHeightPx;
    ASSERT_GT(h, 0);

    Form->PaintBox1MouseDown(Qt::LeftButton, 100, 2); // margin above page 0
    Release(95, -3);
    EXPECT_EQ(Form->PointerPage, 0);
    EXPECT_EQ(Form->PointerPageTop, 0);

    Form->PaintBox1MouseDown(Qt::LeftButton, 100, 5 + 3 * h + 2); // margin below page 2
    Release(95, 3 * h + 2);
    EXPECT_EQ(Form->PointerPage, 3); // not clamped

    Press(100, 2 * h + 40);
    EXPECT_EQ(Form->PointerPage, 2);
    EXPECT_EQ(Form->PointerPageTop, 2 * h);
    Move(100, 40); // onto page 0
    Release(100, 40);
    EXPECT_EQ(Form->PointerPage, 2);
}

TEST_F(InstrumentTest, StatusBarShowsMillimetresWithTwoDecimals) {
    const QString sep = QLocale::system().decimalPoint();
    Move(0, 0);
    EXPECT_EQ(Form->StatusText->text(), "0" + sep + "00 mm, 0" + sep + "00 mm");
    Move(378, 1500); // 100.01 mm across, on page 1 below 297 mm
    const QString expected = QLocale::system().toString(378 / S, 'f', 2) + " mm, " +
                             QLocale::system().toString(1500 / S, 'f', 2) + " mm";
    EXPECT_EQ(Form->StatusText->text(), expected);
    EXPECT_GT(1500 / S, 297.0);
}

TEST_F(InstrumentTest, StartedCurveTakesThePressWhateverToolIsChecked) {
    Form->Pointer.CurveGotStart = true;
    Press(100, 100);
    EXPECT_FALSE(Form->Pointer.LinMoving);
    // Whatever the curve did with the click, once no curve is pending the
    // ruler takes the press again.
    Release(100, 100);
    Form->Pointer.CurveGotStart = Form->Pointer.CurveGotEnd = false;
    Form->Pointer.CurveGotControl1 = false;
    Press(100, 100);
    EXPECT_TRUE(Form->Pointer.LinMoving);
}

TEST_F(InstrumentTest, ReleaseEndsOnlyTheFirstDragInReleaseOrder) {
    Form->WinkelmesserVerschieben1Click();
    Press(10, 10); // protractor move
    Form->LinealVerschieben1Click();
    Press(10, 10); // a second button: ruler move as well
    ASSERT_TRUE(Form->Pointer.WinkMoving && Form->Pointer.LinMoving);
    Release(10, 10);
    EXPECT_FALSE(Form->Pointer.LinMoving); // the ruler comes first
    EXPECT_TRUE(Form->Pointer.WinkMoving);
    Release(10, 10);
    EXPECT_FALSE(Form->Pointer.WinkMoving);
}

TEST_F(InstrumentTest, RulerMoveFollowsThePointerWithoutMarkingChanged) {
    ASSERT_NEAR(S, 3.7795, 0.0001);
    Press(600, 600); // far from the ruler
    Move(620, 590);
    Move(638, 581); // (+38, -19) pixels
    EXPECT_NEAR(Form->Instruments.LinX, 10.0 + 10.05, 0.005);
    EXPECT_NEAR(Form->Instruments.LinY, 90.0 - 5.03, 0.005);
    EXPECT_DOUBLE_EQ(Form->LinXEd->value(), 20.05); // the panel follows every step
    Release(600, 600);                              // the release position counts
    EXPECT_FALSE(Form->Pointer.LinMoving);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinX, 10.0);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinY, 90.0);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(InstrumentTest, RulerTurnsByTheSweptAngleUnreduced) {
    Form->Einrasten1->setChecked(false); // the plain swept angle, not whole degrees
    Form->LinealDrehen1Click();
    Form->Instruments.LinX = 100 / S; // pivot at view (100, 100)
    Form->Instruments.LinY = 100 / S;
    Form->Instruments.LinW = 10.0;
    Press(200, 150);
    Move(50, 150);
    EXPECT_NEAR(Form->Instruments.LinW, 10.0 - 251.565, 0.001);
    EXPECT_NEAR(Form->linwed->value(), -241.57, 0.006);
    // The pointer on the pivot has no bearing: the angle stays.
    Move(100, 100);
    EXPECT_NEAR(Form->Instruments.LinW, 10.0 - 251.565, 0.001);
    Release(100, 160); // straight below: bearing 90
    EXPECT_NEAR(Form->Instruments.LinW, 10.0 - 206.565 - 90.0, 0.001);
    EXPECT_FALSE(Form->Pointer.LinTurning);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(InstrumentTest, TurnStartedOnPageTwoPivotsOnPageTwosCopy) {
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    const int h = Form->PageHeightPx;
    Form->LinealDrehen1Click();
    Form->Instruments.LinX = 100 / S;
    Form->Instruments.LinY = 100 / S;
    Press(300, 2 * h + 100); // exactly right of page 2's pivot: bearing -180
    Move(100, 2 * h - 10);   // straight above it, on page 1: bearing -90
    EXPECT_NEAR(Form->Instruments.LinW, -90.0, 1e-6);
}

TEST_F(InstrumentTest, HiddenRulerStillMovesButIsNotDrawn) {
    Form->Lineal2->trigger();
    ASSERT_FALSE(Form->Lineal2->isChecked());
    Press(0, 0);
    Release(38, 0);
    EXPECT_NEAR(Form->Instruments.LinX, 20.05, 0.005);

    Form->RenderPageBitmap(0);
    const QImage& page = Form->PageBitmap;
    const auto ink = [&](double xMm, double yMm) {
        return page.pixel(Px(xMm), Px(yMm)) != qRgb(255, 255, 255);
    };
    EXPECT_FALSE(ink(100, 90));  // scale edge
    EXPECT_FALSE(ink(100, 100)); // back edge
    EXPECT_TRUE(ink(50, 10));    // the protractor's rim is still there
    Form->Lineal2->trigger();
    Form->RenderPageBitmap(0);
    EXPECT_TRUE(ink(100, 90));
}

} // namespace
} // namespace quirindo::test
