// The three worksheet constructions done in the shown window as a user does
// them with the direct tool, snapping and the one-key shortcuts: real mouse
// events on the paint box aimed a couple of pixels beside each point, keys
// through the window's shortcuts. Every press-drag-release and every key
// counts as one action; each construction must stay within its number of
// actions and come out exact in the file the save writes.

#include "DrawingFile.h"
#include "test_instruments_support.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QtTest/QTest>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace quirindo::test {
namespace {

constexpr double kMm = 0.001;  // what "exact" allows in millimetres
constexpr double kDeg = 0.001; // and in degrees

double Dist(TPointMm a, TPointMm b) {
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

// Direction from a to b in degrees, counter-clockwise on screen.
double Heading(TPointMm a, TPointMm b) {
    return -std::atan2(b.Y - a.Y, b.X - a.X) * 180.0 / std::numbers::pi;
}

// The angle between two directions, 0 to 180 degrees.
double Between(double u, double v) {
    const double d = std::fmod(std::fabs(u - v), 360.0);
    return std::min(d, 360.0 - d);
}

TPointMm Polar(TPointMm from, double clockwiseDeg, double r) {
    const double a = clockwiseDeg * std::numbers::pi / 180.0;
    return {from.X + r * std::cos(a), from.Y + r * std::sin(a)};
}

class CountedConstructionTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        S = Form->ViewScale;
        ASSERT_GT(S, 0.0);
        Key(Qt::Key_D);
        ASSERT_TRUE(Form->Direkt1->isChecked());
    }

    // Paint-box pixel of a point on the first page, where a hand puts the
    // pointer: `off` pixels beside the point it aims at.
    QPoint At(TPointMm p, QPoint off = {}) const {
        return QPoint(RoundHalfEven(p.X * S) + ViewMargin, RoundHalfEven(p.Y * S) + ViewMargin) +
               off;
    }

    void Send(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), Form->PaintBox1->mapToGlobal(QPointF(at)),
                          Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(Form->PaintBox1, &event);
    }

    // One action: a press on the first point, moves through the others in
    // small steps, the release on the last. A hand lands a couple of pixels
    // beside a grip or a point to catch; where the scale's ticks are
    // aimed at, a pixel.
    static constexpr QPoint kBeside{2, -1}, kOnTick{1, 1};
    void Drag(const std::vector<TPointMm>& path, QPoint off = kBeside) {
        ++Actions;
        Send(QEvent::MouseButtonPress, At(path.front(), off), Qt::LeftButton);
        for (std::size_t i = 1; i < path.size(); ++i)
            for (int k = 1; k <= 4; ++k) {
                const TPointMm a = path[i - 1], b = path[i];
                Send(QEvent::MouseMove,
                     At({a.X + (b.X - a.X) * k / 4, a.Y + (b.Y - a.Y) * k / 4}, off),
                     Qt::LeftButton);
            }
        Send(QEvent::MouseButtonRelease, At(path.back(), off), Qt::NoButton);
    }

    void Key(int key, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        ++Actions;
        QTest::keyClick(Form.get(), static_cast<Qt::Key>(key), keys);
    }

    // Rests the pointer around p, a pixel at a time from where the hand
    // first lands, until the status bar reads `wanted`; the offset found.
    QPoint AimUntil(TPointMm p, const QString& wanted) {
        for (int r = 0; r <= 3; ++r)
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const QPoint off = kBeside + QPoint(dx, dy);
                    Send(QEvent::MouseMove, At(p, off), Qt::NoButton);
                    if (Form->StatusText->text().contains(wanted)) return off;
                }
        ADD_FAILURE() << "the status bar never read " << wanted.toStdString();
        return kBeside;
    }

    // Where the pointer, resting at p, shows the turning shape.
    bool TurnsAt(TPointMm p) {
        Send(QEvent::MouseMove, At(p, kBeside), Qt::NoButton);
        return Form->PaintBox1->cursor().shape() == Qt::BitmapCursor;
    }

    const tools::TInstrumentState& In() const { return Form->Instruments; }
    TPointMm RulerZero() const { return {In().LinX, In().LinY}; }
    // A point of the ruler's body, `along` mm out from the zero point.
    TPointMm OnRulerBody(double along) const {
        return Polar(Polar(RulerZero(), In().LinW, along), In().LinW + 90.0, 5.0);
    }

    // The ruler's body dragged until its zero point lies on p.
    void RulerTo(TPointMm p) {
        const TPointMm zero = RulerZero();
        const TPointMm grab = OnRulerBody(10.0);
        Drag({grab, {grab.X + p.X - zero.X, grab.Y + p.Y - zero.Y}});
    }

    // The ruler turned by its far end until the pointer rests on q. The user
    // finds the far end by the pointer's shape, among the points the view
    // shows.
    void RulerThrough(TPointMm q) {
        const QRect seen = Form->VisiblePaintBoxRect();
        double far = 400.0;
        while (far > 0.0 && !(seen.contains(At(OnRulerBody(far), kBeside)) && TurnsAt(OnRulerBody(far))))
            far -= 1.0;
        ASSERT_GT(far, 0.0) << "no turning grip in sight";
        const TPointMm zero = RulerZero();
        const TPointMm from = OnRulerBody(far);
        const double a0 = std::atan2(from.Y - zero.Y, from.X - zero.X) * 180.0 / std::numbers::pi;
        double turn = std::atan2(q.Y - zero.Y, q.X - zero.X) * 180.0 / std::numbers::pi - a0;
        turn = std::remainder(turn, 360.0);
        std::vector<TPointMm> path{from};
        for (int k = 1; k < 6; ++k)
            path.push_back(Polar(zero, a0 + turn * k / 6, Dist(zero, from)));
        path.push_back(q);
        Drag(path);
    }

    void Along(TPointMm a, TPointMm b) {
        Drag({a, {(a.X + b.X) / 2, (a.Y + b.Y) / 2}, b}, kOnTick);
    }

    void NeedleTo(TPointMm p) { Drag({{In().ZirkX, In().ZirkY}, p}); }

    // The compass opened by its hinge until the pencil tip lies on p.
    void TipTo(TPointMm p) {
        const TPointMm needle{In().ZirkX, In().ZirkY};
        const TPointMm tip = Polar(needle, In().ZirkW, In().ZirkS);
        const TPointMm hinge{(needle.X + tip.X) / 2, (needle.Y + tip.Y) / 2};
        Drag({hinge, {hinge.X + p.X - tip.X, hinge.Y + p.Y - tip.Y}});
    }

    void Circle() { Key(Qt::Key_K); }

    // Ctrl+S, the name typed into the dialog and Enter: two actions. The
    // drawing comes back from the file.
    std::vector<TDrawObject> SaveAndReadBack() {
        const QString path = Path("construction.qrd");
        Fake->SaveNames.push_back(path);
        Key(Qt::Key_S, Qt::ControlModifier);
        ++Actions; // the name and Enter
        EXPECT_EQ(Fake->SaveDialogs, 1);
        TDrawing drawing;
        TDrawingSettings settings;
        std::string why;
        EXPECT_EQ(LoadDrawingFile(path.toStdString(), drawing, settings, why), TLoadResult::Ok)
            << why;
        std::vector<TDrawObject> out;
        for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i)
            out.push_back(*drawing.Objects.Select(i));
        return out;
    }

    static std::vector<TDrawObject> OfKind(const std::vector<TDrawObject>& all, TObjectKind kind) {
        std::vector<TDrawObject> out;
        for (const TDrawObject& o : all)
            if (o.Kind == kind) out.push_back(o);
        return out;
    }
    static TPointMm First(const TDrawObject& o) { return {o.X1, o.Y1}; }
    static TPointMm Second(const TDrawObject& o) { return {o.X2, o.Y2}; }

    double S = 0.0;
    int Actions = 0;
};

// The fresh window's instruments: ruler zero point (10, 90) with its scale
// edge to the right and its body below; protractor centre (50, 50), rim
// radius 40; compass needle (150, 50), pencil leg at 45 degrees, span 40.

TEST_F(CountedConstructionTest, PerpendicularBisectorOfASixtyMillimetreSegment) {
    const TPointMm a{110, 90}, b{170, 90}; // the scale's 100 and 160 mm
    Along(a, b);
    NeedleTo(a);
    TipTo(b);
    Circle();
    NeedleTo(b);
    Circle();
    const double h = 60 * std::sqrt(3.0) / 2;
    const TPointMm p{140, 90 - h}, q{140, 90 + h};
    RulerTo(p);
    RulerThrough(q);
    Along(p, q);
    const std::vector<TDrawObject> lines = OfKind(SaveAndReadBack(), okLine);
    EXPECT_LE(Actions, 19); // 38 before the direct tool
    RecordProperty("actions", Actions);

    ASSERT_EQ(lines.size(), 2u);
    const TPointMm A = First(lines[0]), B = Second(lines[0]);
    EXPECT_NEAR(Dist(A, B), 60, kMm);
    for (const TPointMm end : {First(lines[1]), Second(lines[1])}) {
        EXPECT_NEAR(Dist(end, A), Dist(end, B), kMm);
        EXPECT_NEAR(Dist(end, A), 60, kMm); // where the two circles cross
    }
    EXPECT_NEAR(Between(Heading(A, B), Heading(First(lines[1]), Second(lines[1]))), 90, kDeg);
}

TEST_F(CountedConstructionTest, HexagonInAFortyMillimetreCircle) {
    const TPointMm o{150, 90};
    const TPointMm d{110, 90}, a{190, 90}; // the scale's 100, 140 and 180 mm
    Along(d, o);
    Along(o, a);
    NeedleTo(o);
    TipTo(a);
    Circle();
    // Circles of the same span about A and D cut the first one in the four
    // other corners.
    NeedleTo(a);
    Circle();
    NeedleTo(d);
    Circle();
    std::vector<TPointMm> corner;
    for (int k = 0; k < 6; ++k)
        corner.push_back(Polar(o, -60.0 * k, 40)); // A, B, C, D, E, F counter-clockwise
    // Two sides from every other corner: the ruler laid on it, turned through
    // one neighbour, a stroke, turned through the other, a stroke.
    for (int k : {0, 2, 4}) {
        RulerTo(corner[k]);
        for (int next : {(k + 1) % 6, (k + 5) % 6}) {
            RulerThrough(corner[next]);
            Along(corner[k], corner[next]);
        }
    }
    const std::vector<TDrawObject> saved = SaveAndReadBack();
    EXPECT_LE(Actions, 48); // 97 before the direct tool
    RecordProperty("actions", Actions);

    const std::vector<TDrawObject> circles = OfKind(saved, okEllipse);
    const std::vector<TDrawObject> lines = OfKind(saved, okLine);
    ASSERT_EQ(circles.size(), 3u);
    ASSERT_EQ(lines.size(), 2u + 6u);
    const TPointMm centre{(circles[0].X1 + circles[0].X2) / 2, (circles[0].Y1 + circles[0].Y2) / 2};
    EXPECT_NEAR((circles[0].X2 - circles[0].X1) / 2, 40, kMm);
    std::vector<TPointMm> ends;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(Dist(First(lines[i]), Second(lines[i])), 40, kMm);
        for (const TPointMm end : {First(lines[i]), Second(lines[i])}) {
            EXPECT_NEAR(Dist(end, centre), 40, kMm);
            ends.push_back(end);
        }
    }
    // Every corner is met by exactly two side ends, within a thousandth.
    for (const TPointMm c : corner) {
        int meeting = 0;
        for (const TPointMm end : ends)
            if (Dist(end, c) <= kMm) ++meeting;
        EXPECT_EQ(meeting, 2);
    }
}

TEST_F(CountedConstructionTest, ThirtyFiveDegreeAngleAndItsBisector) {
    const TPointMm o{190, 90}, b{110, 90}; // the scale's 180 and 100 mm
    Along(o, b);
    Drag({{In().WinkX, In().WinkY}, o}); // the protractor's centre onto O
    // The 35 tick lies 35 degrees above the base ray: aimed at on the rim
    // until the status bar names it, pressed there, drawn in to the centre
    // and out to 80 mm in one stroke.
    const TPointMm f = Polar(o, 180 + 35, 80);
    const QPoint aim = AimUntil(Polar(o, 215, 37), QStringLiteral("Markierung 35"));
    Drag({Polar(o, 215, 37), Polar(o, 215, 20), o, Polar(o, 215, 50), f}, aim);
    // Done with it, the protractor goes out of the way of the ruler.
    Drag({{o.X + 5, o.Y + 10}, {60 + 5, 130 + 10}});
    // Circles of one span about O, B and F; the last two cross at G on the
    // bisector.
    NeedleTo(o);
    TipTo(b);
    Circle();
    NeedleTo(b);
    Circle();
    NeedleTo(f);
    Circle();
    const TPointMm g{b.X + f.X - o.X, b.Y + f.Y - o.Y};
    RulerTo(o);
    RulerThrough(g);
    Along(o, g);
    const std::vector<TDrawObject> lines = OfKind(SaveAndReadBack(), okLine);
    EXPECT_LE(Actions, 27); // 55 before the direct tool
    RecordProperty("actions", Actions);

    ASSERT_EQ(lines.size(), 3u);
    const TDrawObject &base = lines[0], &mark = lines[1], &bisector = lines[2];
    // The vertex: the end of the base ray the bisector starts from.
    const bool baseFirst = Dist(First(base), First(bisector)) < Dist(Second(base), First(bisector));
    const TPointMm vertex = baseFirst ? First(base) : Second(base);
    const TPointMm baseFar = baseFirst ? Second(base) : First(base);
    const bool firstFar = Dist(First(mark), vertex) > Dist(Second(mark), vertex);
    const TPointMm markNear = firstFar ? Second(mark) : First(mark);
    const TPointMm markFar = firstFar ? First(mark) : Second(mark);
    EXPECT_LE(Dist(vertex, o), kMm);
    EXPECT_LE(Dist(markNear, vertex), kMm);
    EXPECT_LE(Dist(First(bisector), vertex), kMm);
    EXPECT_NEAR(Between(Heading(vertex, baseFar), Heading(vertex, markFar)), 35, kDeg);
    EXPECT_NEAR(Between(Heading(vertex, baseFar), Heading(vertex, Second(bisector))), 17.5, kDeg);
    EXPECT_NEAR(Between(Heading(vertex, markFar), Heading(vertex, Second(bisector))), 17.5, kDeg);
}

} // namespace
} // namespace quirindo::test
