// Exact constructions by mouse: snapping, readouts, the keys and the
// reachable instruments, driven through the window's real handlers. Every
// construction is checked in the bytes a save writes, read back.

#include "DrawingFile.h"
#include "test_instruments_support.h"

#include <QScrollArea>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>
#include <QToolBar>
#include <QtTest/QTest>

#include <cmath>
#include <numbers>
#include <vector>

namespace quirindo::test {
namespace {

constexpr double kMm = 0.001;  // what "exact" allows in millimetres
constexpr double kDeg = 0.001; // and in degrees

double Deg(double dx, double dy) {
    // Counter-clockwise on screen, as a user measures.
    return -std::atan2(dy, dx) * 180.0 / std::numbers::pi;
}

class ExactTest : public InstrumentTest {
protected:
    // Ends pixels at millimetre positions through press, move and release.
    void Drag(TPointMm from, TPointMm to) {
        PressMm(from.X, from.Y);
        MoveMm((from.X + to.X) / 2, (from.Y + to.Y) / 2);
        MoveMm(to.X, to.Y);
        ReleaseMm(to.X, to.Y);
    }

    // Lays the ruler's scale edge from p through q: its zero point dragged
    // onto p, then turned by its far end onto q.
    void RulerThrough(TPointMm p, TPointMm q) {
        Form->LinealVerschieben1Click();
        Drag({Form->Instruments.LinX, Form->Instruments.LinY}, p);
        Form->LinealDrehen1Click();
        const double w = Form->Instruments.LinW * std::numbers::pi / 180.0;
        Drag({p.X + 50 * std::cos(w), p.Y + 50 * std::sin(w)}, q);
    }

    void AlongFromTo(TPointMm a, TPointMm b) {
        Form->LinealAnLinealentlangzeichnen1Click();
        Drag(a, b);
    }

    void LineThrough(TPointMm a, TPointMm b) {
        RulerThrough(a, b);
        AlongFromTo(a, b);
    }

    void NeedleTo(TPointMm n) {
        Form->ZirkelVerschieben1Click();
        Drag({Form->Instruments.ZirkX, Form->Instruments.ZirkY}, n);
    }

    void SpanTo(TPointMm tip) {
        Form->ZirkelZirkelspanne1Click();
        PressMm(tip.X, tip.Y);
        ReleaseMm(tip.X, tip.Y);
    }

    void CircleAt(TPointMm n) {
        NeedleTo(n);
        Form->ZirkelKreiszeichnen1Click();
    }

    // The drawing as a save writes it, read back.
    std::vector<TDrawObject> Saved() {
        const std::vector<std::uint8_t> bytes =
            SaveDrawing(*Form->Drawing, Form->CurrentSettings());
        TDrawing reopened;
        TDrawingSettings settings;
        LoadDrawing(bytes, reopened, settings);
        std::vector<TDrawObject> out;
        for (std::int32_t i = 0; i < reopened.Objects.Count(); ++i)
            out.push_back(*reopened.Objects.Select(i));
        return out;
    }

    // A shown window of a fixed size, so that the view has a visible area.
    void ShowWindow() {
        Form->resize(720, 600);
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Form->PaintBox1Paint();
        QApplication::processEvents();
    }

    static double Len(const TDrawObject& o) { return std::hypot(o.X2 - o.X1, o.Y2 - o.Y1); }
    static double Dist(double x1, double y1, double x2, double y2) {
        return std::hypot(x2 - x1, y2 - y1);
    }
};

TEST_F(ExactTest, PerpendicularBisectorOfASixtyMillimetreSegment) {
    AlongFromTo({30, 92}, {90, 92}); // the ruler lies at y = 90 from x = 10
    NeedleTo({30, 90});
    SpanTo({90, 90});
    Form->ZirkelKreiszeichnen1Click();
    CircleAt({90, 90});
    const double h = 60 * std::sqrt(3.0) / 2;
    LineThrough({60, 90 - h}, {60, 90 + h});

    const std::vector<TDrawObject> saved = Saved();
    ASSERT_EQ(saved.size(), 4u);
    const TDrawObject& ab = saved[0];
    EXPECT_NEAR(Len(ab), 60, kMm);
    EXPECT_NEAR(ab.Y1, ab.Y2, kMm);
    const TDrawObject& bisector = saved.back();
    ASSERT_EQ(bisector.Kind, okLine);
    // Both its ends are as far from A as from B, and it meets AB at right
    // angles through the middle.
    for (const auto& [x, y] : {std::pair{bisector.X1, bisector.Y1}, {bisector.X2, bisector.Y2}}) {
        EXPECT_NEAR(Dist(x, y, ab.X1, ab.Y1), Dist(x, y, ab.X2, ab.Y2), kMm);
        EXPECT_NEAR(x, (ab.X1 + ab.X2) / 2, kMm);
    }
    EXPECT_NEAR(Len(bisector), 2 * h, kMm);
}

TEST_F(ExactTest, HexagonInAFortyMillimetreCircle) {
    const TPointMm o{50, 90};
    AlongFromTo({50, 92}, {90, 92});
    NeedleTo(o);
    SpanTo({90, 90});
    Form->ZirkelKreiszeichnen1Click();
    std::vector<TPointMm> corners;
    for (int k = 0; k < 6; ++k) {
        const double a = -k * std::numbers::pi / 3; // counter-clockwise on screen
        corners.push_back({o.X + 40 * std::cos(a), o.Y + 40 * std::sin(a)});
    }
    // Each corner's circle gives the next corner where it crosses the first.
    for (int k = 0; k < 5; ++k)
        CircleAt(corners[k]);
    for (int k = 0; k < 6; ++k)
        LineThrough(corners[k], corners[(k + 1) % 6]);

    const std::vector<TDrawObject> saved = Saved();
    ASSERT_EQ(saved.size(), 1u + 1u + 5u + 6u);
    const TDrawObject* sides = &saved[saved.size() - 6];
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        const TDrawObject& side = sides[k];
        const TDrawObject& next = sides[(k + 1) % 6];
        EXPECT_NEAR(Len(side), 40, kMm);
        // The corners meet: this side's end is the next side's start.
        EXPECT_LE(Dist(side.X2, side.Y2, next.X1, next.Y1), kMm);
        EXPECT_NEAR(Dist(side.X1, side.Y1, o.X, o.Y), 40, kMm);
    }
}

TEST_F(ExactTest, ThirtyFiveDegreeAngleAndItsBisector) {
    const TPointMm o{10, 90};
    AlongFromTo({10, 92}, {110, 92}); // base ray from O, 100 mm
    Form->WinkelmesserVerschieben1Click();
    Drag({Form->Instruments.WinkX, Form->Instruments.WinkY}, o);
    // The mark: pressed 100 mm out at about 35 degrees, drawn in to the centre.
    const double a = 35.2 * std::numbers::pi / 180;
    Form->WinkelmesserGradzahlmitBleistiftmarkieren1Click();
    Drag({o.X + 100 * std::cos(a), o.Y - 100 * std::sin(a)}, o);

    std::vector<TDrawObject> saved = Saved();
    ASSERT_EQ(saved.size(), 2u);
    const TDrawObject base = saved[0];
    const TDrawObject mark = saved[1];
    // The mark's far end, wherever it is stored.
    const bool firstFar = Dist(mark.X1, mark.Y1, o.X, o.Y) > 1;
    const TPointMm f = firstFar ? TPointMm{mark.X1, mark.Y1} : TPointMm{mark.X2, mark.Y2};
    const TPointMm near = firstFar ? TPointMm{mark.X2, mark.Y2} : TPointMm{mark.X1, mark.Y1};
    EXPECT_LE(Dist(near.X, near.Y, o.X, o.Y), kMm);
    const double angle = Deg(f.X - o.X, f.Y - o.Y) - Deg(base.X2 - base.X1, base.Y2 - base.Y1);
    EXPECT_NEAR(angle, 35.0, kDeg);

    // The bisector: equal circles about the two far ends cross on it.
    NeedleTo(o);
    SpanTo({110, 90});
    Form->ZirkelKreiszeichnen1Click();
    CircleAt({110, 90});
    CircleAt(f);
    const TPointMm g{110 + f.X - o.X, 90 + f.Y - o.Y};
    LineThrough(o, g);

    saved = Saved();
    ASSERT_EQ(saved.size(), 6u);
    const TDrawObject& bisector = saved.back();
    EXPECT_LE(Dist(bisector.X1, bisector.Y1, o.X, o.Y), kMm);
    EXPECT_NEAR(Deg(bisector.X2 - bisector.X1, bisector.Y2 - bisector.Y1), angle / 2, kDeg);
    EXPECT_NEAR(Deg(bisector.X2 - bisector.X1, bisector.Y2 - bisector.Y1), 17.5, kDeg);
}

TEST_F(ExactTest, SnapReachesAFewPixelsAtEveryZoomAndAltOrTheSwitchStopsIt) {
    AddLine(40, 40, 80, 40);
    for (const int zoom : {50, 100, 300}) {
        SCOPED_TRACE(zoom);
        Form->zoomed->setValue(zoom);
        Form->PaintBox1Paint();
        S = Form->ViewScale;
        Form->ZirkelVerschieben1Click();
        const TPointMm start{Form->Instruments.ZirkX, Form->Instruments.ZirkY};
        // Four pixels off the end point: caught, and ringed in red.
        PressMm(start.X, start.Y);
        Release(Px(40) + 4, Px(40));
        EXPECT_EQ(Form->Instruments.ZirkX, 40.0);
        EXPECT_EQ(Form->Instruments.ZirkY, 40.0);
        EXPECT_TRUE(RedNear(OverlayImage(), Px(40) + 5 + 5, Px(40) + 5, 2));
        // Ten pixels off: left where the pointer put it.
        PressMm(40, 40);
        Release(Px(40) + 10, Px(40));
        EXPECT_NEAR(Form->Instruments.ZirkX, 40 + 10 / S, HalfPixelMm());
    }
    // "Einrasten" off: the needle stays off the end point too.
    Form->Einrasten1->trigger();
    ASSERT_FALSE(Form->Einrasten1->isChecked());
    PressMm(Form->Instruments.ZirkX, Form->Instruments.ZirkY);
    Release(Px(40) + 3, Px(40));
    EXPECT_NE(Form->Instruments.ZirkX, 40.0);
    // ... and stays off in the next run.
    const ui::TMainForm next(ProgramPath());
    EXPECT_FALSE(next.Einrasten1->isChecked());
}

TEST_F(ExactTest, AltSuspendsSnappingAndShiftTurnsInFifteenDegreeSteps) {
    // Real pointer events, which carry the held keys.
    const auto send = [this](QEvent::Type type, double xMm, double yMm,
                             Qt::KeyboardModifiers keys) {
        const QPointF at(Px(xMm) + 5, Px(yMm) + 5);
        QMouseEvent event(type, at, Form->PaintBox1->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          keys);
        QApplication::sendEvent(Form->PaintBox1, &event);
    };
    AddLine(40, 40, 80, 40);
    Form->ZirkelVerschieben1Click();
    send(QEvent::MouseButtonPress, 150, 50, Qt::AltModifier);
    send(QEvent::MouseMove, 40.5, 40.5, Qt::AltModifier);
    send(QEvent::MouseButtonRelease, 40.5, 40.5, Qt::AltModifier);
    EXPECT_NEAR(Form->Instruments.ZirkX, 40.5, HalfPixelMm());
    EXPECT_NE(Form->Instruments.ZirkX, 40.0);
    // Without Alt the same drag catches the end point.
    send(QEvent::MouseButtonPress, 40.5, 40.5, Qt::NoModifier);
    send(QEvent::MouseButtonRelease, 40.4, 40.4, Qt::NoModifier);
    EXPECT_EQ(Form->Instruments.ZirkX, 40.0);

    // Shift: 37 degrees turns the ruler to 30.
    Form->LinealDrehen1Click();
    const double a = 37.0 * std::numbers::pi / 180;
    send(QEvent::MouseButtonPress, 110, 90, Qt::ShiftModifier);
    send(QEvent::MouseButtonRelease, 10 + 100 * std::cos(a), 90 - 100 * std::sin(a),
         Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(Form->Instruments.LinW, -30.0);
}

TEST_F(ExactTest, TurningCatchesWholeDegreesAndShowsTheAngle) {
    Form->LinealDrehen1Click();
    // Pivot at (10, 90); 100 mm out, 30.2 degrees is within a few pixels of
    // 30 degrees: caught.
    const double a = 30.2 * std::numbers::pi / 180;
    PressMm(110, 90);
    ReleaseMm(10 + 100 * std::cos(a), 90 - 100 * std::sin(a));
    EXPECT_DOUBLE_EQ(Form->Instruments.LinW, -30.0);
    EXPECT_TRUE(Form->ReadoutText().isEmpty()); // the readout goes with the drag
    // During the turn the status bar names the angle beside the position.
    Form->Instruments.LinW = 0.0;
    PressMm(110, 90);
    MoveMm(10 + 100 * std::cos(a), 90 - 100 * std::sin(a));
    EXPECT_TRUE(Form->StatusText->text().contains(QStringLiteral(" mm")));
    EXPECT_TRUE(Form->StatusText->text().contains(QStringLiteral("Lineal 30")))
        << Form->StatusText->text().toStdString();
    ReleaseMm(10 + 100 * std::cos(a), 90 - 100 * std::sin(a));

    // A stroke along the ruler: its length and direction as it grows.
    Form->Instruments.LinW = 0.0;
    Form->LinealAnLinealentlangzeichnen1Click();
    PressMm(20, 92);
    MoveMm(62, 95);
    EXPECT_TRUE(Form->StatusText->text().contains(QStringLiteral("Länge 42")))
        << Form->StatusText->text().toStdString();
    ReleaseMm(62, 95);
    EXPECT_TRUE(Form->ReadoutText().isEmpty());
}

TEST_F(ExactTest, EscapePutsAMovedOrTurnedInstrumentBack) {
    Form->LinealVerschieben1Click();
    PressMm(10, 90);
    MoveMm(60, 120);
    EXPECT_NE(Form->Instruments.LinX, 10.0);
    Form->AbandonPointerAction();
    EXPECT_EQ(Form->Instruments.LinX, 10.0);
    EXPECT_EQ(Form->Instruments.LinY, 90.0);
    EXPECT_FALSE(Form->Pointer.LinMoving);
    ReleaseMm(60, 120); // the release after Escape changes nothing
    EXPECT_EQ(Form->Instruments.LinX, 10.0);

    Form->WinkelmesserDrehen1Click();
    PressMm(90, 50);
    MoveMm(50, 90);
    EXPECT_NE(Form->Instruments.WinkW, 0.0);
    Form->AbandonPointerAction();
    EXPECT_EQ(Form->Instruments.WinkW, 0.0);

    Form->ZirkelVerschieben1Click();
    PressMm(150, 50);
    MoveMm(100, 100);
    Form->AbandonPointerAction();
    EXPECT_EQ(Form->Instruments.ZirkX, 150.0);
    EXPECT_EQ(Form->Instruments.ZirkY, 50.0);
}

TEST_F(ExactTest, ArrowKeysNudgeTheCheckedInstrumentOrScroll) {
    QWidget* box = Form->ScrollBox1;
    Form->LinealVerschieben1Click();
    QTest::keyClick(box, Qt::Key_Right);
    QTest::keyClick(box, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_NEAR(Form->Instruments.LinX, 10.1, 1e-9);
    EXPECT_NEAR(Form->Instruments.LinY, 91.0, 1e-9);
    Form->LinealDrehen1Click();
    QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_NEAR(Form->Instruments.LinW, 0.9, 1e-9);
    Form->ZirkelKreisbogenzeichnen1Click();
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_NEAR(Form->Instruments.ZirkY, 49.9, 1e-9);
    // The numeric panel follows.
    EXPECT_NEAR(Form->ZirkYed->Value(), 49.9, 1e-9);
    // Another tool: the keys are the view's again and no instrument moves.
    Form->Hand1Click();
    const tools::TInstrumentState before = Form->Instruments;
    EXPECT_FALSE(Form->NudgeInstrument(Qt::Key_Down, Qt::NoModifier));
    EXPECT_EQ(Form->Instruments.ZirkY, before.ZirkY);
    EXPECT_EQ(Form->Instruments.LinX, before.LinX);
}

TEST_F(ExactTest, FetchedInstrumentsLieInTheVisibleAreaAndUnseenOnesAreNamed) {
    Form->PageAnz->setValue(3);
    ShowWindow();
    // The top of page 3 (the ruler's copy there, 90 mm down) scrolled away.
    Form->ScrollBox1->verticalScrollBar()->setValue(Form->PageHeightPx * 2 + Px(100));
    Form->Lineal2->trigger(); // hidden
    ASSERT_FALSE(Form->Lineal2->isChecked());
    Form->LinealAnLinealentlangzeichnen1Click();
    const QRect visible = Form->VisiblePaintBoxRect();
    ASSERT_FALSE(visible.isEmpty());
    Press(visible.center().x() - 5, visible.center().y() - 5);
    EXPECT_TRUE(Form->StatusText->text().contains(QStringLiteral("Das Lineal ist ausgeblendet")));
    Release(visible.center().x() - 5, visible.center().y() - 5);
    EXPECT_FALSE(Form->StatusText->text().contains(QStringLiteral("Lineal")));

    Form->Lineal2->trigger(); // shown, but on the copy of page 3 at its top
    Form->LinealVerschieben1Click();
    Press(visible.center().x() - 5, visible.center().y() - 5);
    EXPECT_TRUE(Form->StatusText->text().contains(QStringLiteral("außerhalb")));
    Form->AbandonPointerAction();

    Form->Lineal2->trigger();
    Form->Instrumenteholen1Click();
    EXPECT_TRUE(Form->Lineal2->isChecked());
    const TViewMapping view = Form->ViewMapping();
    const int page = (visible.center().y() - 5) / Form->PageHeightPx;
    const tools::TInstrumentState& in = Form->Instruments;
    for (const auto& [x, y] :
         {std::pair{in.LinX, in.LinY}, {in.WinkX, in.WinkY}, {in.ZirkX, in.ZirkY}}) {
        const TPointMm at = view.PageToView(page, x, y);
        EXPECT_TRUE(visible.contains(QPoint(int(at.X) + 5, int(at.Y) + 5)));
    }
    const TPointMm tip = view.PageToView(page, in.ZirkX + in.ZirkS, in.ZirkY);
    EXPECT_TRUE(visible.contains(QPoint(int(tip.X) + 5, int(tip.Y) + 5)));
    // Pressing there now draws with nothing to report.
    Form->LinealAnLinealentlangzeichnen1Click();
    Press(visible.center().x() - 5, visible.center().y() - 5);
    EXPECT_FALSE(Form->StatusText->text().contains(QStringLiteral("außerhalb")));
    Release(visible.center().x() - 5, visible.center().y() - 5);
}

TEST_F(ExactTest, EveryToolAndModeHasItsOwnKey) {
    ShowWindow();
    QSet<QString> seen;
    for (QAction* tool : Form->ToolGroup->actions()) {
        SCOPED_TRACE(tool->text().toStdString());
        EXPECT_FALSE(Form->ToolShortcutText(tool).isEmpty());
    }
    for (QMenu* menu : Form->ToolMenu->findChildren<QMenu*>())
        for (QAction* mode : menu->actions()) {
            if (mode->isSeparator() || mode == Form->ObjekteLetzesObjektlschen1) continue;
            SCOPED_TRACE(mode->objectName().toStdString());
            const QString key = mode->shortcut().toString();
            EXPECT_FALSE(key.isEmpty());
            EXPECT_FALSE(seen.contains(key));
            seen.insert(key);
        }
    // The keys work with the menus closed.
    QTest::keyClick(Form.get(), Qt::Key_Q);
    EXPECT_TRUE(Form->Lineal1->isChecked());
    EXPECT_TRUE(Form->LinealQuerzumLinealzeichnen1->isChecked());
    QTest::keyClick(Form.get(), Qt::Key_W, Qt::ShiftModifier);
    EXPECT_TRUE(Form->WinkelmesserDrehen1->isChecked());
    QTest::keyClick(Form.get(), Qt::Key_P);
    EXPECT_TRUE(Form->Bleistift1->isChecked());
    // F10 opens the menu bar.
    QTest::keyClick(Form.get(), Qt::Key_F10);
    EXPECT_EQ(Form->MainMenu->activeAction(), Form->Datei1->menuAction());
    if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(ExactTest, DraggingAtTheViewsEdgeScrollsAndTheDragFollows) {
    Form->PageAnz->setValue(2);
    ShowWindow();
    const QRect visible = Form->VisiblePaintBoxRect();
    QScrollBar* bar = Form->ScrollBox1->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    Form->LinealVerschieben1Click();
    Press(Px(10), Px(90));
    // The pointer rests 4 pixels above the bottom edge of the view.
    const int atEdge = visible.bottom() - 4 - 5;
    Move(Px(10), atEdge);
    ASSERT_TRUE(Form->AutoScrolling());
    const double before = Form->Instruments.LinY;
    for (int i = 0; i < 5; ++i)
        Form->AutoScrollTick();
    const int scrolled = bar->value();
    EXPECT_GT(scrolled, 0);
    // The ruler stays under the pointer: it went down the drawing as far as
    // the view scrolled.
    EXPECT_NEAR(Form->Instruments.LinY - before, scrolled / S, HalfPixelMm());
    Move(Px(10), atEdge + scrolled - 100); // away from the edge: it stops
    EXPECT_FALSE(Form->AutoScrolling());
    Release(Px(10), atEdge + scrolled - 100);

    // Without a drag the edge does nothing.
    Form->Hand1Click();
    Move(Px(10), atEdge + scrolled);
    EXPECT_FALSE(Form->AutoScrolling());
}

} // namespace
} // namespace quirindo::test
