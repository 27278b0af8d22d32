// The direct tool through the real press, move and release handlers: every
// grip does what the instrument's own menu mode does, a press beside every
// instrument does nothing, the instrument on top takes the press, and the
// pointer's shape tells beforehand what a press would do.

#include "test_instruments_support.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QRegularExpression>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace quirindo::test {
namespace {

class DirectToolTest : public InstrumentTest {
protected:
    struct TOutcome {
        tools::TInstrumentState Inst;
        int Objects = 0;
        TDrawObject Last{};
    };

    // Puts the instruments where a fresh window has them, picks a tool or
    // mode and drags through the given points (mm on page 0).
    TOutcome Drag(const std::function<void()>& pick, const std::vector<TPointMm>& path) {
        Form->Instruments = tools::TInstrumentState{};
        pick();
        PressMm(path.front().X, path.front().Y);
        for (std::size_t i = 1; i < path.size(); ++i)
            MoveMm(path[i].X, path[i].Y);
        ReleaseMm(path.back().X, path.back().Y);
        TOutcome out;
        out.Inst = Form->Instruments;
        out.Objects = static_cast<int>(Form->Drawing->Objects.Count());
        if (out.Objects > 0) out.Last = LastObject();
        return out;
    }

    void Direct() { Form->Direkt1Click(); }

    // The direct drag and the menu mode's drag over the same path end alike.
    void ExpectSameAsMenu(const std::function<void()>& menu, const std::vector<TPointMm>& path,
                          bool stores) {
        const int before = static_cast<int>(Form->Drawing->Objects.Count());
        const TOutcome direct = Drag([this] { Direct(); }, path);
        const TOutcome viaMenu = Drag(menu, path);
        const tools::TInstrumentState& a = direct.Inst;
        const tools::TInstrumentState& b = viaMenu.Inst;
        EXPECT_DOUBLE_EQ(a.LinX, b.LinX);
        EXPECT_DOUBLE_EQ(a.LinY, b.LinY);
        EXPECT_DOUBLE_EQ(a.LinW, b.LinW);
        EXPECT_DOUBLE_EQ(a.WinkX, b.WinkX);
        EXPECT_DOUBLE_EQ(a.WinkY, b.WinkY);
        EXPECT_DOUBLE_EQ(a.WinkW, b.WinkW);
        EXPECT_DOUBLE_EQ(a.ZirkX, b.ZirkX);
        EXPECT_DOUBLE_EQ(a.ZirkY, b.ZirkY);
        EXPECT_DOUBLE_EQ(a.ZirkS, b.ZirkS);
        EXPECT_EQ(direct.Objects, before + (stores ? 1 : 0));
        EXPECT_EQ(viaMenu.Objects, direct.Objects + (stores ? 1 : 0));
        if (!stores) return;
        const TDrawObject& p = direct.Last;
        const TDrawObject& q = viaMenu.Last;
        EXPECT_EQ(p.Kind, q.Kind);
        for (const auto& [u, v] : {std::pair{p.X1, q.X1},
                                   {p.Y1, q.Y1},
                                   {p.X2, q.X2},
                                   {p.Y2, q.Y2},
                                   {p.X3, q.X3},
                                   {p.Y3, q.Y3},
                                   {p.X4, q.X4},
                                   {p.Y4, q.Y4}})
            EXPECT_DOUBLE_EQ(u, v);
    }

    Qt::CursorShape ShapeAtMm(double x, double y) {
        MoveMm(x, y);
        return Form->PaintBox1->cursor().shape();
    }
};

// A fresh window: ruler zero point (10, 90) along +x, 10 mm wide below its
// edge; protractor centre (50, 50), body inside radius 30, rim to 40;
// compass needle (150, 50), pencil leg at 45 degrees, span 40.

TEST_F(DirectToolTest, RulerGripsMoveTurnAndDrawAsTheirMenuModes) {
    const tools::TInstrumentState fresh;
    // Body near the zero point: a move.
    ExpectSameAsMenu([this] { Form->LinealVerschieben1Click(); }, {{40, 96}, {50, 100}, {62, 111}},
                     false);
    EXPECT_NE(Form->Instruments.LinX, fresh.LinX);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinW, fresh.LinW);

    // Body near the far end of what the page shows: a turn about the zero
    // point, which stays where it is.
    ExpectSameAsMenu([this] { Form->LinealDrehen1Click(); }, {{190, 95}, {185, 120}, {170, 150}},
                     false);
    EXPECT_NE(Form->Instruments.LinW, fresh.LinW);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinX, fresh.LinX);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinY, fresh.LinY);

    // The scale edge: a line along it.
    ExpectSameAsMenu([this] { Form->LinealAnLinealentlangzeichnen1Click(); },
                     {{70, 90.3}, {110, 91}, {150, 89.5}}, true);
    const TDrawObject& line = LastObject();
    EXPECT_EQ(line.Kind, okLine);
    EXPECT_NEAR(line.Y1, 90.0, 0.001);
    EXPECT_NEAR(line.Y2, 90.0, 0.001);
    EXPECT_NEAR(std::fabs(line.X2 - line.X1), 80.0, 2 * HalfPixelMm());
}

TEST_F(DirectToolTest, ProtractorAndCompassGripsActAsTheirMenuModes) {
    // Protractor body: a move; its rim: a degree mark from the centre.
    ExpectSameAsMenu([this] { Form->WinkelmesserVerschieben1Click(); },
                     {{60, 50}, {70, 55}, {75, 62}}, false);
    EXPECT_NE(Form->Instruments.WinkX, 50.0);
    ExpectSameAsMenu([this] { Form->WinkelmesserGradzahlmitBleistiftmarkieren1Click(); },
                     {{50, 85}, {50, 95}, {50, 100}}, true);
    // Straight down from the centre, as far as a pixel-rounded press allows.
    EXPECT_NEAR(LastObject().X1, 50.0, 2 * HalfPixelMm());
    EXPECT_NEAR(LastObject().X2, 50.0, 2 * HalfPixelMm());
    EXPECT_GT(std::fabs(LastObject().Y2 - LastObject().Y1), 10.0);

    // Compass needle: a move.
    ExpectSameAsMenu([this] { Form->ZirkelVerschieben1Click(); }, {{150, 50}, {160, 60}, {170, 65}},
                     false);
    EXPECT_NE(Form->Instruments.ZirkX, 150.0);

    // Pencil leg: an arc centred on the needle at the compass's span.
    const double r = 40.0 / std::sqrt(2.0);
    std::vector<TPointMm> sweep;
    for (int deg = 45; deg <= 120; deg += 5)
        sweep.push_back({150 + 40 * std::cos(deg * std::numbers::pi / 180),
                         50 + 40 * std::sin(deg * std::numbers::pi / 180)});
    ASSERT_NEAR(sweep.front().X, 150 + r, 1e-9);
    ExpectSameAsMenu([this] { Form->ZirkelKreisbogenzeichnen1Click(); }, sweep, true);
    const TDrawObject& arc = LastObject();
    EXPECT_EQ(arc.Kind, okArc);
    EXPECT_NEAR((arc.X1 + arc.X2) / 2, 150.0, 1e-9);
    EXPECT_NEAR((arc.Y1 + arc.Y2) / 2, 50.0, 1e-9);
    EXPECT_NEAR((arc.X2 - arc.X1) / 2, 40.0, 1e-9);
}

TEST_F(DirectToolTest, HingeOpensTheCompassWithoutAJump) {
    Direct();
    const double tipX = 150 + 40 / std::sqrt(2.0), tipY = 50 + 40 / std::sqrt(2.0);
    const double hingeX = (150 + tipX) / 2, hingeY = (50 + tipY) / 2;

    // A click on the hinge leaves the compass as it was.
    PressMm(hingeX, hingeY);
    ReleaseMm(hingeX, hingeY);
    EXPECT_DOUBLE_EQ(Form->Instruments.ZirkS, 40.0);
    EXPECT_DOUBLE_EQ(Form->Instruments.ZirkW, 45.0);

    // A drag moves the pencil tip with the hand: 20 mm right puts it 20 mm
    // right of where it was, the needle staying put.
    PressMm(hingeX, hingeY);
    MoveMm(hingeX + 10, hingeY);
    ReleaseMm(hingeX + 20, hingeY);
    EXPECT_FALSE(Form->Pointer.ZirkSpanActive);
    EXPECT_NEAR(Form->Instruments.ZirkS, std::hypot(tipX + 20 - 150, tipY - 50), 4 * HalfPixelMm());
    EXPECT_DOUBLE_EQ(Form->Instruments.ZirkX, 150.0);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
}

TEST_F(DirectToolTest, PressBesideEveryInstrumentChangesNothing) {
    const TOutcome out = Drag([this] { Direct(); }, {{120, 200}, {140, 230}, {160, 250}});
    const tools::TInstrumentState expected;
    EXPECT_DOUBLE_EQ(out.Inst.LinX, expected.LinX);
    EXPECT_DOUBLE_EQ(out.Inst.LinW, expected.LinW);
    EXPECT_DOUBLE_EQ(out.Inst.WinkX, expected.WinkX);
    EXPECT_DOUBLE_EQ(out.Inst.ZirkX, expected.ZirkX);
    EXPECT_DOUBLE_EQ(out.Inst.ZirkS, expected.ZirkS);
    EXPECT_EQ(out.Objects, 0);
    EXPECT_FALSE(Form->Changed);
    EXPECT_EQ(Form->PaintBox1->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(DirectToolTest, InstrumentDrawnOnTopTakesThePressUnlessHidden) {
    Direct();
    // The compass needle on the protractor's body, the protractor on the
    // ruler's body.
    Form->Instruments.WinkX = 60.0;
    Form->Instruments.WinkY = 96.0;
    Form->Instruments.ZirkX = 65.0;
    Form->Instruments.ZirkY = 96.0;
    Form->PaintBox1Paint();

    PressMm(65, 96);
    ReleaseMm(75, 106);
    EXPECT_NEAR(Form->Instruments.ZirkX, 75.0, 2 * HalfPixelMm());
    EXPECT_DOUBLE_EQ(Form->Instruments.WinkX, 60.0);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinX, 10.0);

    // Below the compass the protractor lies over the ruler.
    PressMm(60, 100);
    ReleaseMm(70, 100);
    EXPECT_NEAR(Form->Instruments.WinkX, 70.0, 2 * HalfPixelMm());
    EXPECT_DOUBLE_EQ(Form->Instruments.LinX, 10.0);

    // A hidden instrument takes nothing: with the protractor hidden the
    // ruler below it moves.
    Form->Winkelmesser2->setChecked(false);
    PressMm(70, 96);
    ReleaseMm(70, 106);
    EXPECT_DOUBLE_EQ(Form->Instruments.WinkY, 96.0);
    EXPECT_NEAR(Form->Instruments.LinY, 100.0, 2 * HalfPixelMm());
}

TEST_F(DirectToolTest, PointerShapeShowsWhatAPressWouldDo) {
    Direct();
    EXPECT_EQ(ShapeAtMm(40, 97), Qt::SizeAllCursor);          // ruler body
    EXPECT_EQ(ShapeAtMm(190, 96), Qt::BitmapCursor);          // ruler's far end: turn
    EXPECT_EQ(ShapeAtMm(60, 90), Qt::CrossCursor);            // scale edge
    EXPECT_EQ(ShapeAtMm(50, 55), Qt::SizeAllCursor);          // protractor body
    EXPECT_EQ(ShapeAtMm(50, 14), Qt::CrossCursor);            // protractor rim
    EXPECT_EQ(ShapeAtMm(150, 50), Qt::SizeAllCursor);         // needle
    EXPECT_EQ(ShapeAtMm(164.14, 64.14), Qt::SizeFDiagCursor); // hinge
    EXPECT_EQ(ShapeAtMm(178.28, 78.28), Qt::CrossCursor);     // pencil leg
    EXPECT_EQ(ShapeAtMm(120, 200), Qt::ArrowCursor);          // paper
    // Zoomed in, the grips keep their size in pixels and still find the
    // instrument under the pointer.
    Form->zoomed->setValue(400);
    Form->PaintBox1Paint();
    S = Form->ViewScale;
    EXPECT_EQ(ShapeAtMm(150.5, 50.5), Qt::SizeAllCursor);
    EXPECT_EQ(ShapeAtMm(40, 90.2), Qt::CrossCursor);
    EXPECT_EQ(ShapeAtMm(40, 93), Qt::SizeAllCursor);
}

TEST_F(DirectToolTest, RulerGripsStayInSightAndTheEdgeReachesTheZeroCorner) {
    // A shown window whose view ends above the page's lower part, and the
    // ruler standing upright from (100, 20), its body to the left of its
    // edge: the page shows 277 mm of it, the view much less.
    Form->resize(900, 700);
    Form->show();
    Form->Instruments.LinX = 100.0;
    Form->Instruments.LinY = 20.0;
    Form->Instruments.LinW = 90.0;
    Form->PaintBox1Paint();
    QApplication::processEvents();
    S = Form->ViewScale;
    const QRect seen = Form->VisiblePaintBoxRect().intersected(Form->PaintBox1->rect());
    const double seenBottom = (seen.bottom() - 5) / S;
    ASSERT_LT(seenBottom, 20 + 277 * 2 / 3.0); // the page's far third is out of sight
    Direct();

    // The far end of what the view shows turns it; nearer the zero point
    // the body moves it.
    EXPECT_EQ(ShapeAtMm(95, seenBottom - 4), Qt::BitmapCursor);
    EXPECT_EQ(ShapeAtMm(95, 40), Qt::SizeAllCursor);
    PressMm(95, seenBottom - 4);
    MoveMm(120, seenBottom - 10);
    ReleaseMm(140, seenBottom - 10);
    // Towards the right: counter-clockwise on screen, whole turns aside.
    EXPECT_LT(std::remainder(Form->Instruments.LinW - 90.0, 360.0), -10.0);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinX, 100.0);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinY, 20.0);

    // Laid on the end of a line, a press a few pixels short of the zero
    // corner on the edge starts a stroke there, exactly on the end point.
    AddLine(100, 20, 160, 20);
    Form->Instruments.LinW = 90.0;
    Form->PaintBox1Paint();
    Press(Px(100), Px(20) - 3);
    Move(Px(100), Px(60));
    Release(Px(100), Px(60));
    ASSERT_EQ(Form->Drawing->Objects.Count(), 2);
    EXPECT_EQ(LastObject().Kind, okLine);
    EXPECT_NEAR(LastObject().X1, 100.0, 0.001);
    EXPECT_NEAR(LastObject().Y1, 20.0, 0.001);
    EXPECT_NEAR(LastObject().Y2, 60.0, 0.001);
}

TEST_F(DirectToolTest, RimNamesTheDegreeAPressWouldMark) {
    Direct();
    const QRegularExpression reading(QStringLiteral("Markierung (\\d+)[.,]00°"));
    // Resting on the rim by the 35 tick, and two pixels beside it: whatever
    // the status bar names is the degree the press marks.
    const double a = 215 * std::numbers::pi / 180; // the 35 tick, up left of the centre
    for (const QPoint off : {QPoint(0, 0), QPoint(2, -1), QPoint(-2, 2)}) {
        const int x = Px(50 + 37 * std::cos(a)) + off.x(), y = Px(50 + 37 * std::sin(a)) + off.y();
        Move(x, y);
        const QRegularExpressionMatch m = reading.match(Form->StatusText->text());
        ASSERT_TRUE(m.hasMatch()) << Form->StatusText->text().toStdString();
        const int named = m.captured(1).toInt();
        EXPECT_NEAR(named, 35, 1);
        Press(x, y);
        Move(Px(50 + 45 * std::cos(a)), Px(50 + 45 * std::sin(a)));
        Release(Px(50 + 45 * std::cos(a)), Px(50 + 45 * std::sin(a)));
        // With the protractor unturned, degree k of the scale is the screen
        // direction k (or k + 180) clockwise.
        const TDrawObject& mark = LastObject();
        double dir = std::atan2(mark.Y2 - mark.Y1, mark.X2 - mark.X1) * 180 / std::numbers::pi;
        dir = std::fmod(dir + 360.0, 180.0);
        EXPECT_NEAR(dir, named, 0.01); // a short line between ends kept to 0.001 mm
    }
    // Off the rim the reading goes.
    Move(Px(120), Px(200));
    EXPECT_FALSE(Form->StatusText->text().contains(QStringLiteral("Markierung")));
}

TEST_F(DirectToolTest, EveryToolAndModeHasItsPointerShape) {
    const auto shape = [this](void (ui::TMainForm::*pick)()) {
        (Form.get()->*pick)();
        return Form->PaintBox1->cursor();
    };
    using F = ui::TMainForm;
    for (auto move :
         {&F::LinealVerschieben1Click, &F::WinkelmesserVerschieben1Click,
          &F::ZirkelVerschieben1Click, &F::ObjekteVerschieben1Click, &F::TextVerschieben1Click})
        EXPECT_EQ(shape(move).shape(), Qt::SizeAllCursor);
    for (auto draw :
         {&F::LinealAnLinealentlangzeichnen1Click, &F::LinealQuerzumLinealzeichnen1Click,
          &F::WinkelmesserGradzahlmitBleistiftmarkieren1Click, &F::ZirkelKreisbogenzeichnen1Click,
          &F::Kurven1Click})
        EXPECT_EQ(shape(draw).shape(), Qt::CrossCursor);
    EXPECT_EQ(shape(&F::TextTexthinzufgen1Click).shape(), Qt::IBeamCursor);
    EXPECT_EQ(shape(&F::Hand1Click).shape(), Qt::OpenHandCursor);
    // The drawn shapes differ from one another.
    const QCursor turn = shape(&F::LinealDrehen1Click);
    const QCursor pencil = shape(&F::Bleistift1Click);
    const QCursor eraser = shape(&F::Radierer1Click);
    const QCursor zoom = shape(&F::Zoom1Click);
    for (const QCursor* c : {&turn, &pencil, &eraser, &zoom})
        EXPECT_EQ(c->shape(), Qt::BitmapCursor);
    const std::vector<QImage> pictures{turn.pixmap().toImage(), pencil.pixmap().toImage(),
                                       eraser.pixmap().toImage(), zoom.pixmap().toImage()};
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_FALSE(pictures[i].isNull());
        for (std::size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i], pictures[j]);
    }
    EXPECT_EQ(shape(&F::Direkt1Click).shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace quirindo::test
