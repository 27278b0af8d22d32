// What the tools show while the pointer moves, as the screen shows it: every
// preview in whatever part of the view is painted, highlights gone when the
// pointer leaves the view, one preview however long a drag, and lines drawn
// under an instrument's edge still to be seen.

#include "test_instruments_support.h"

#include <QApplication>
#include <QEvent>

#include <functional>
#include <string>

namespace quirindo::test {
namespace {

class PreviewTest : public InstrumentTest {
protected:
    QImage PaintAll() {
        Form->PaintBox1Paint();
        return PaintArea(Form->PaintBox1->rect());
    }
    // How many pixels of `area` the previews change: what the user sees of
    // them when that part of the view is painted.
    int PreviewPixels(const QRect& area) {
        const QImage shown = PaintArea(area);
        const TOverlay kept = Form->Overlay;
        Form->Overlay.Clear();
        const QImage bare = PaintArea(area);
        Form->Overlay = kept;
        int changed = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shown.valid(x, y) && shown.pixel(x, y) != bare.pixel(x, y)) ++changed;
        return changed;
    }
    static int RedPixels(const QImage& image) {
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(255, 0, 0)) ++red;
        return red;
    }
    void Leave() {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(Form->PaintBox1, &leave);
    }
    void AddText(double leftMm, double topMm, const char16_t* content) {
        TTextObject* t = Form->Drawing->AppendText(content, "Arial");
        t->Left = leftMm;
        t->Top = topMm;
        t->Size = 24;
        t->Color = clBlack;
        Form->SetChanged();
        PaintAll(); // measures the text's extent
    }
};

class PreviewOnScreenTest : public PreviewTest, public ::testing::WithParamInterface<const char*> {
protected:
    // Shows the preview of one kind; returns the view pixel it lies at.
    QPoint ShowPreview(const std::string& kind) {
        if (kind == "ObjectHighlight") {
            Form->ObjekteLschen1->trigger();
            AddLine(100, 150, 140, 150);
            Form->PaintBox1Paint();
            const QPoint at(Px(120), Px(150));
            Move(at.x(), at.y());
            EXPECT_TRUE(Form->Pointer.HoverShown);
            return at;
        }
        if (kind == "TextHighlight" || kind == "TextMove") {
            AddText(100, 150, u"Dreieck");
            const bool move = kind == "TextMove";
            (move ? Form->TextVerschieben1 : Form->TextTextlschen1)->trigger();
            const QPoint at(Px(104), Px(152));
            Move(at.x(), at.y());
            EXPECT_TRUE(Form->Pointer.HoverShown);
            if (!move) return at;
            Press(at.x(), at.y());
            Move(at.x() + 60, at.y() + 150);
            EXPECT_TRUE(Form->Pointer.TextMoving);
            return at + QPoint(60, 150);
        }
        if (kind == "CurvePreview") {
            Form->Kurven1->trigger();
            Press(400, 600);
            Release(400, 600);
            Move(440, 620);
            return {420, 610};
        }
        if (kind == "AcrossStroke") {
            Form->LinealQuerzumLinealzeichnen1->trigger();
            Press(Px(120), Px(100));
            Move(Px(120) + 3, Px(115));
            return {Px(120), Px(108)};
        }
        if (kind == "DegreeMark") {
            Form->WinkelmesserGradzahlmitBleistiftmarkieren1->trigger();
            // Straight below the protractor's centre (50, 50), past its rim.
            Press(Px(50), Px(95));
            Move(Px(50), Px(110));
            return {Px(50), Px(103)};
        }
        if (kind == "CompassArc") {
            Form->ZirkelKreisbogenzeichnen1->trigger();
            Form->Instruments.ZirkX = 120;
            Form->Instruments.ZirkY = 150;
            Form->Instruments.ZirkS = 20;
            // From straight below the needle a quarter turn to its left.
            Press(Px(120), Px(170));
            Move(Px(100), Px(150));
            return {Px(120 - 20 * 0.7071), Px(150 + 20 * 0.7071)};
        }
        if (kind == "PencilSegment") {
            Form->Bleistift1->trigger();
            PaintAll(); // the view as it was before the stroke
            Press(400, 600);
            Move(440, 630);
            return {420, 615};
        }
        ADD_FAILURE() << "no such preview " << kind;
        return {};
    }
};

// The exposed area leaves out the paint box's origin, as after scrolling.
TEST_P(PreviewOnScreenTest, ShowsInAnExposedAreaAwayFromTheOrigin) {
    const QPoint at = ShowPreview(GetParam());
    ASSERT_FALSE(Form->Overlay.IsEmpty()) << "nothing previewed";
    const QRect around(at.x() + 5 - 70, at.y() + 5 - 70, 140, 140);
    ASSERT_FALSE(around.contains(0, 0));
    EXPECT_GT(PreviewPixels(around), 15);
    // Scrolled by 20 pixels: the whole visible part shows it as well.
    EXPECT_GT(PreviewPixels(QRect(0, 20, Form->PaintBox1->width(), 800)), 15);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PreviewOnScreenTest,
                         ::testing::Values("ObjectHighlight", "TextHighlight", "TextMove",
                                           "CurvePreview", "AcrossStroke", "DegreeMark",
                                           "CompassArc", "PencilSegment"),
                         [](const ::testing::TestParamInfo<const char*>& kind) {
                             return std::string(kind.param);
                         });

TEST_F(PreviewTest, HighlightGoesWhenThePointerLeavesTheView) {
    AddLine(100, 150, 140, 150);
    AddText(100, 200, u"Kreis");
    Form->ObjekteLschen1->trigger();
    Form->PaintBox1Paint();
    Move(RoundHalfEven(120 * S), RoundHalfEven(150 * S));
    ASSERT_GT(RedPixels(PaintArea(Form->PaintBox1->rect())), 40);
    Leave();
    EXPECT_EQ(RedPixels(PaintArea(Form->PaintBox1->rect())), 0);
    // A click after coming back without a move acts on nothing unseen.
    Form->PaintBox1MouseDown(Qt::LeftButton, RoundHalfEven(120 * S) + 5,
                             RoundHalfEven(150 * S) + 5);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);

    Form->TextTextlschen1->trigger();
    Move(RoundHalfEven(103 * S), RoundHalfEven(202 * S));
    ASSERT_GT(RedPixels(PaintArea(Form->PaintBox1->rect())), 20);
    Leave();
    EXPECT_EQ(RedPixels(PaintArea(Form->PaintBox1->rect())), 0);
    Form->PaintBox1MouseDown(Qt::LeftButton, RoundHalfEven(103 * S) + 5,
                             RoundHalfEven(202 * S) + 5);
    EXPECT_EQ(Form->Drawing->Texts.Count(), 1);

    // The marker on the ruler follows the pointer out as well.
    Form->LinealAnLinealentlangzeichnen1->trigger();
    Move(RoundHalfEven(120 * S), RoundHalfEven(95 * S));
    ASSERT_GT(RedPixels(PaintArea(Form->PaintBox1->rect())), 5);
    Leave();
    EXPECT_EQ(RedPixels(PaintArea(Form->PaintBox1->rect())), 0);
}

TEST_F(PreviewTest, DragsKeepTheirPreviewWhenThePointerLeaves) {
    Form->LinealQuerzumLinealzeichnen1->trigger();
    const int x = RoundHalfEven(120 * S);
    Press(x, RoundHalfEven(100 * S));
    Move(x, RoundHalfEven(130 * S));
    Leave();
    const QImage image = PaintArea(Form->PaintBox1->rect());
    EXPECT_TRUE(RedNear(image, x + 5, RoundHalfEven(115 * S) + 5));
    Release(x, RoundHalfEven(130 * S));
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
}

// However many moves a drag has, the view replays one preview of it, and
// that preview shows the stroke's whole extent.
TEST_F(PreviewTest, LongStrokesKeepOnlyTheirLatestPreview) {
    const int x = RoundHalfEven(120 * S);
    Form->LinealQuerzumLinealzeichnen1->trigger();
    Move(x, RoundHalfEven(100 * S)); // the hover dot at the foot stays
    const int hover = Form->Overlay.Count();
    Press(x, RoundHalfEven(100 * S));
    for (int i = 0; i < 400; ++i)
        Move(x, RoundHalfEven((100 + (i % 80) - 30) * S));
    EXPECT_EQ(Form->Overlay.Count(), hover + 1);
    const QImage across = PaintArea(Form->PaintBox1->rect());
    for (double y : {70.5, 90.0, 120.0, 148.5})
        EXPECT_TRUE(RedNear(across, x + 5, RoundHalfEven(y * S) + 5)) << y << " mm";
    EXPECT_FALSE(RedNear(across, x + 5, RoundHalfEven(152 * S) + 5));
    Release(x, RoundHalfEven(120 * S));
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_NEAR(LastObject().Y1, 70, HalfPixelMm());
    EXPECT_NEAR(LastObject().Y2, 149, HalfPixelMm());

    // The degree mark, straight to the right of the protractor's centre.
    Form->WinkelmesserGradzahlmitBleistiftmarkieren1->trigger();
    const int y = RoundHalfEven(50 * S);
    Press(RoundHalfEven(80 * S), y);
    for (int i = 0; i < 400; ++i)
        Move(RoundHalfEven((60 + i % 50) * S), y);
    EXPECT_LE(Form->Overlay.Count(), 2); // the hover ray and the stroke
    const QImage mark = PaintArea(Form->PaintBox1->rect());
    for (double mx : {61.0, 80.0, 108.0})
        EXPECT_TRUE(RedNear(mark, RoundHalfEven(mx * S) + 5, y + 5)) << mx << " mm";
}

// A line drawn exactly under an instrument's 1-pixel edge stays dark where
// the edge crosses it; the edge on bare paper keeps its grey.
class LineUnderInstrumentTest : public PreviewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        Form->zoomed->setValue(GetParam());
        Form->PaintBox1Paint();
        S = Form->ViewScale;
    }
    void ShowInstruments(bool shown) {
        for (QAction* a : {Form->Lineal2, Form->Winkelmesser2, Form->Zirkel2})
            if (a->isChecked() != shown) a->trigger();
    }
    static bool IsDark(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }
    static bool IsEdgeGrey(QRgb c) {
        return qRed(c) > 100 && qRed(c) < 160 && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
    }
    // Draws with `draw`, then checks every pixel where the new line lies
    // under a grey edge; returns how many there were.
    int CheckLineUnderEdges(const std::function<void()>& draw) {
        const QImage bare = PaintAll();
        draw();
        const QImage both = PaintAll();
        ShowInstruments(false);
        const QImage line = PaintAll();
        ShowInstruments(true);
        int under = 0, hidden = 0, edgeChanged = 0;
        for (int y = 5; y < bare.height() - 5; ++y)
            for (int x = 5; x < bare.width() - 5; ++x) {
                if (!IsEdgeGrey(bare.pixel(x, y))) continue;
                if (IsDark(line.pixel(x, y))) {
                    ++under;
                    if (!IsDark(both.pixel(x, y))) ++hidden;
                } else if (line.pixel(x, y) == qRgb(255, 255, 255) &&
                           both.pixel(x, y) != bare.pixel(x, y)) {
                    ++edgeChanged;
                }
            }
        EXPECT_EQ(hidden, 0) << "of " << under << " line pixels under an edge";
        EXPECT_EQ(edgeChanged, 0) << "edge pixels on bare paper changed";
        return under;
    }
};

TEST_P(LineUnderInstrumentTest, LineAlongTheRulerShowsUnderItsEdge) {
    Form->LinealAnLinealentlangzeichnen1->trigger();
    const int under = CheckLineUnderEdges([&] {
        PressMm(120, 95);
        MoveMm(180, 97);
        ReleaseMm(180, 97);
    });
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_NEAR(LastObject().Y1, 90.0, 1e-9); // exactly on the scale edge
    EXPECT_GT(under, 50 * S);                 // most of its 60 mm lie under the edge
}

TEST_P(LineUnderInstrumentTest, CircleOnTheProtractorsInnerCircleShows) {
    Form->Instruments.ZirkX = Form->Instruments.WinkX;
    Form->Instruments.ZirkY = Form->Instruments.WinkY;
    Form->Instruments.ZirkS = (Form->Instruments.WinkD - 20) / 2;
    const int under = CheckLineUnderEdges([&] { Form->ZirkelKreiszeichnen1Click(); });
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_GT(under, 150 * S); // most of the 188 mm round the inner circle
}

INSTANTIATE_TEST_SUITE_P(Zooms, LineUnderInstrumentTest, ::testing::Values(100, 250));

} // namespace
} // namespace quirindo::test
