// The compass: span, arcs and circles, through the real pointer handlers
// and the "Kreis zeichnen" command.

#include "test_instruments_support.h"

#include <cmath>
#include <numbers>

namespace quirindo::test {
namespace {

class CompassTest : public InstrumentTest {
protected:
    void SetUp() override {
        InstrumentTest::SetUp();
        // The needle on the whole pixel (400, 200) of page 0.
        Form->Instruments.ZirkX = 400 / S;
        Form->Instruments.ZirkY = 200 / S;
    }
    // The view pixel at `deg` (clockwise on screen) and 100 pixels from the needle.
    static QPoint AtAngle(double deg) {
        const double a = deg * std::numbers::pi / 180.0;
        return {400 + RoundHalfEven(100 * std::cos(a)), 200 + RoundHalfEven(100 * std::sin(a))};
    }
    void PressAt(double deg) { Press(AtAngle(deg).x(), AtAngle(deg).y()); }
    void MoveAt(double deg) { Move(AtAngle(deg).x(), AtAngle(deg).y()); }
    void ReleaseAt(double deg) { Release(AtAngle(deg).x(), AtAngle(deg).y()); }

    // The arc's rays run from (x3, y3) to (x4, y4) counter-clockwise on screen.
    void ExpectArcFromTo(const TDrawObject& o, QPoint from, QPoint to) const {
        EXPECT_EQ(o.Kind, okArc);
        EXPECT_DOUBLE_EQ(o.X3, from.x() / S);
        EXPECT_DOUBLE_EQ(o.Y3, from.y() / S);
        EXPECT_DOUBLE_EQ(o.X4, to.x() / S);
        EXPECT_DOUBLE_EQ(o.Y4, to.y() / S);
        EXPECT_DOUBLE_EQ(o.X1, Form->Instruments.ZirkX - Form->Instruments.ZirkS);
        EXPECT_DOUBLE_EQ(o.Y2, Form->Instruments.ZirkY + Form->Instruments.ZirkS);
    }
};

TEST_F(CompassTest, NoArcWithoutASweep) {
    Form->ZirkelKreisbogenzeichnen1Click();
    PressAt(0);
    ReleaseAt(0);
    Press(500, 200);
    Move(600, 200); // farther out on the same ray
    Release(600, 200);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(CompassTest, SweepDirectionIsFixedByTheFirstMove) {
    Form->ZirkelKreisbogenzeichnen1Click();
    // 0 -> 90 -> 10: clockwise, so from 10 back to 0 counter-clockwise.
    PressAt(0);
    MoveAt(90);
    MoveAt(10);
    ReleaseAt(200); // the release position is not used
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    ExpectArcFromTo(LastObject(), AtAngle(10), AtAngle(0));
    EXPECT_NEAR(Form->Instruments.ZirkW, 10.0, 0.5); // the leg where the sweep ended

    // 0 -> 10 -> -20 (above on the right): the 340 degree arc.
    PressAt(0);
    MoveAt(10);
    MoveAt(-20);
    ReleaseAt(-20);
    ExpectArcFromTo(LastObject(), AtAngle(-20), AtAngle(0));

    // 265 -> -85 crosses straight above the needle: decreasing.
    PressAt(265);
    MoveAt(-85);
    ReleaseAt(-85);
    EXPECT_EQ(Form->Compass.Sweep.Dir, 0);
    ExpectArcFromTo(LastObject(), AtAngle(265), AtAngle(-85));
    EXPECT_EQ(Form->Drawing->Objects.Count(), 3);
    EXPECT_TRUE(Form->Changed);
}

TEST_F(CompassTest, ATremorAtThePressDoesNotDecideTheSweep) {
    Form->ZirkelKreisbogenzeichnen1Click();
    // A shake of one pixel and back decides nothing and stores nothing.
    PressAt(0);
    Move(500, 199);
    Move(500, 200);
    ReleaseAt(0);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);

    // A 60 degree clockwise sweep that begins with a 1-pixel tremor the
    // other way stores the 60 degree arc, not the 300 degree one.
    PressAt(0);
    Move(500, 199);
    for (int deg = 10; deg <= 60; deg += 10)
        MoveAt(deg);
    ReleaseAt(60);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    ExpectArcFromTo(LastObject(), AtAngle(60), AtAngle(0));
}

TEST_F(CompassTest, SweepPreviewLiesOnTheCompassCircle) {
    Form->ZirkelKreisbogenzeichnen1Click();
    PressAt(0);
    MoveAt(90);
    const QImage view = OverlayImage();
    const double r = Form->Instruments.ZirkS * S;
    const double c = std::cos(std::numbers::pi / 4);
    EXPECT_TRUE(RedNear(view, 405 + RoundHalfEven(r * c), 205 + RoundHalfEven(r * c)));
    EXPECT_FALSE(RedNear(view, 405 - RoundHalfEven(r), 205)); // not the far side
}

TEST_F(CompassTest, SpanFollowsThePointerAtTheFourAxes) {
    Form->ZirkelZirkelspanne1Click();
    const struct {
        int X, Y;
        double Angle;
    } cases[] = {{400, 300, 90.0}, {400, 120, 270.0}, {330, 200, 180.0}, {460, 200, 0.0}};
    for (const auto& c : cases) {
        Press(c.X, c.Y);
        EXPECT_NEAR(Form->Instruments.ZirkW, c.Angle, 1e-6) << c.X << "," << c.Y;
        EXPECT_NEAR(Form->Instruments.ZirkS, std::hypot(c.X - 400, c.Y - 200) / S, 1e-9);
        Release(c.X, c.Y);
    }
    Press(400, 300);
    Move(400, 350); // every move opens the compass and updates the panel
    EXPECT_NEAR(Form->ZirksEd->value(), 150 / S, 0.006);
    Release(400, 350);
    EXPECT_FALSE(Form->Pointer.ZirkSpanActive);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(CompassTest, MoveCarriesTheNeedle) {
    Form->ZirkelVerschieben1Click();
    Press(10, 10);
    Move(30, 10);
    EXPECT_NEAR(Form->Instruments.ZirkX, (400 + 20) / S, 1e-9);
    Release(48, 29);
    EXPECT_NEAR(Form->Instruments.ZirkX, (400 + 38) / S, 1e-9);
    EXPECT_NEAR(Form->Instruments.ZirkY, (200 + 19) / S, 1e-9);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(CompassTest, CircleLandsOnThePageOfTheLastPress) {
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    const int h = Form->PageHeightPx;
    ASSERT_TRUE(Form->ZirkelKreiszeichnen1->isEnabled());
    Press(0, 2 * h + 10); // with whatever tool: the ruler move
    Release(0, 2 * h + 10);
    Form->Zirkel2->trigger(); // a hidden compass draws all the same
    Form->ZirkelKreiszeichnen1->trigger();
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = LastObject();
    const tools::TInstrumentState& z = Form->Instruments;
    EXPECT_EQ(o.Kind, okEllipse);
    EXPECT_DOUBLE_EQ(o.X1, z.ZirkX - z.ZirkS);
    // Page 2 begins two page heights down the drawing, as the pages show it.
    const double top = 2.0 * Form->PageHeightInch * kMmPerInch;
    EXPECT_DOUBLE_EQ(o.Y1, z.ZirkY - z.ZirkS + top);
    EXPECT_DOUBLE_EQ(o.X2, z.ZirkX + z.ZirkS);
    EXPECT_DOUBLE_EQ(o.Y2, z.ZirkY + z.ZirkS + top);
    EXPECT_TRUE(Form->Changed);
    // A command, not a mode: the tool stays as it was.
    EXPECT_FALSE(Form->ZirkelKreiszeichnen1->isChecked());
    EXPECT_TRUE(Form->Lineal1->isChecked());
    EXPECT_TRUE(Form->LinealVerschieben1->isChecked());
}

} // namespace
} // namespace quirindo::test
