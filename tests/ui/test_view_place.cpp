// Moving about the view as a user does: the wheel, Ctrl+wheel, the zoom
// box, Ctrl+plus and the zoom tool keeping the user's place, and the keys
// that scroll.

#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <optional>

namespace quirindo::test {
namespace {

class ViewPlaceTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        for (QAction* a : {Form->Lineal2, Form->Winkelmesser2, Form->Zirkel2})
            if (a->isChecked()) a->trigger();
        Form->PageAnz->setValue(3);
        // A blue cross on the second page, 1.5 pages down the drawing.
        const double x = 100, y = 1.5 * 297;
        AddMark(x - 4, y, x + 4, y);
        AddMark(x, y - 4, x, y + 4);
        // Narrow enough to scroll sideways at zoom 100.
        Form->resize(720, 600);
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Form->PaintBox1Paint();
        QApplication::processEvents();
        Form->SetUnChanged(); // the set-up is no edit of the user's
    }
    void AddMark(double x1, double y1, double x2, double y2) {
        AddLine(x1, y1, x2, y2);
        TDrawObject& o = Form->Drawing->Objects[Form->Drawing->Objects.Count() - 1];
        o.Color = 0xFF0000; // blue
        o.Width = 0.8;
    }
    QWidget* Viewport() { return Form->ScrollBox1->viewport(); }
    QScrollBar* HBar() { return Form->ScrollBox1->horizontalScrollBar(); }
    QScrollBar* VBar() { return Form->ScrollBox1->verticalScrollBar(); }
    QPointF Middle() { return QPointF(Viewport()->width() / 2, Viewport()->height() / 2); }

    // Where the cross is seen in the visible area: the middle of its blue
    // pixels, as the screen shows them now.
    std::optional<QPointF> CrossOnScreen() {
        QApplication::processEvents();
        const QImage seen = Viewport()->grab().toImage();
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x) {
                const QRgb c = seen.pixel(x, y);
                if (qBlue(c) > 200 && qRed(c) < 80 && qGreen(c) < 80) {
                    sx += x;
                    sy += y;
                    ++n;
                }
            }
        if (n == 0) return std::nullopt;
        return QPointF(sx / n, sy / n);
    }
    // Scrolls the cross into the middle of the visible area.
    void CrossToMiddle() {
        Form->PaintBox1Paint();
        QApplication::processEvents();
        VBar()->setValue(Form->PageHeightPx * 3 / 2 - Viewport()->height() / 2);
        HBar()->setValue(0);
        const std::optional<QPointF> at = CrossOnScreen();
        ASSERT_TRUE(at);
        HBar()->setValue(HBar()->value() + qRound(at->x() - Middle().x()));
        VBar()->setValue(VBar()->value() + qRound(at->y() - Middle().y()));
        const std::optional<QPointF> now = CrossOnScreen();
        ASSERT_TRUE(now);
        ASSERT_LE((*now - Middle()).manhattanLength(), 2.0) << "the cross cannot be centred";
    }
    void ExpectCrossAt(const QPointF& where, const char* how) {
        const std::optional<QPointF> now = CrossOnScreen();
        ASSERT_TRUE(now) << how << ": the cross left the screen";
        EXPECT_NEAR(now->x(), where.x(), 2.0) << how << " at zoom " << Form->zoomed->value();
        EXPECT_NEAR(now->y(), where.y(), 2.0) << how << " at zoom " << Form->zoomed->value();
    }
    void Wheel(int delta, QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent event(at, Viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &event);
    }
};

TEST_F(ViewPlaceTest, WheelScrollsByTheTurnNotByTheEvent) {
    Form->zoomed->setValue(100);
    VBar()->setValue(500);
    Wheel(-120, Middle());
    EXPECT_EQ(VBar()->value(), 520);
    for (int i = 0; i < 8; ++i)
        Wheel(-15, Middle()); // a fine wheel: eight events to a notch
    EXPECT_EQ(VBar()->value(), 540);
    Wheel(15, Middle());
    EXPECT_LT(VBar()->value(), 540);
    EXPECT_GT(VBar()->value(), 535);
    for (int i = 0; i < 7; ++i)
        Wheel(15, Middle());
    EXPECT_EQ(VBar()->value(), 520);
    EXPECT_EQ(HBar()->value(), 0);
    EXPECT_EQ(Form->zoomed->value(), 100);
}

TEST_F(ViewPlaceTest, CtrlWheelZoomsAboutThePointUnderThePointer) {
    Form->zoomed->setValue(100);
    CrossToMiddle();
    // Move the cross off the middle: the pointer is wherever the user looks.
    HBar()->setValue(HBar()->value() - 30);
    VBar()->setValue(VBar()->value() - 100);
    const std::optional<QPointF> pointer = CrossOnScreen();
    ASSERT_TRUE(pointer);
    ASSERT_GT((*pointer - Middle()).manhattanLength(), 100);
    Wheel(120, *pointer, Qt::ControlModifier);
    EXPECT_EQ(Form->zoomed->value(), 150);
    ExpectCrossAt(*pointer, "Ctrl+wheel in");
    for (int i = 0; i < 7; ++i)
        Wheel(-15, *pointer, Qt::ControlModifier);
    EXPECT_EQ(Form->zoomed->value(), 150); // not yet a notch
    Wheel(-15, *pointer, Qt::ControlModifier);
    EXPECT_EQ(Form->zoomed->value(), 100);
    ExpectCrossAt(*pointer, "Ctrl+wheel out");
    Wheel(240, *pointer, Qt::ControlModifier);
    EXPECT_EQ(Form->zoomed->value(), 225);
    ExpectCrossAt(*pointer, "two notches in");
    EXPECT_FALSE(Form->Changed);
}

TEST_F(ViewPlaceTest, EveryZoomChangeKeepsThePlace) {
    Form->zoomed->setValue(150);
    CrossToMiddle();
    // Typed: nothing changes before the text is complete, so the view never
    // passes through 1 and 10 per cent.
    QSignalSpy applied(Form->zoomed, &QSpinBox::valueChanged);
    Form->zoomed->selectAll();
    QTest::keyClicks(Form->zoomed, QStringLiteral("100"));
    EXPECT_EQ(applied.count(), 0);
    EXPECT_EQ(Form->zoomed->value(), 150);
    QTest::keyClick(Form->zoomed, Qt::Key_Return);
    ASSERT_EQ(applied.count(), 1);
    EXPECT_EQ(applied.at(0).at(0).toInt(), 100);
    ExpectCrossAt(Middle(), "typed");

    QTest::keyClick(Form->zoomed, Qt::Key_Up); // the box's arrow
    EXPECT_EQ(Form->zoomed->value(), 110);
    ExpectCrossAt(Middle(), "arrow up");

    Form->findChild<QAction*>(QStringLiteral("ZoomInAction"))->trigger(); // Ctrl+plus
    EXPECT_EQ(Form->zoomed->value(), 165);
    ExpectCrossAt(Middle(), "Ctrl+plus");
    Form->findChild<QAction*>(QStringLiteral("ZoomOutAction"))->trigger();
    EXPECT_EQ(Form->zoomed->value(), 110);
    ExpectCrossAt(Middle(), "Ctrl+minus");

    // The zoom tool keeps the clicked point under the pointer.
    Form->Zoom1->trigger();
    HBar()->setValue(HBar()->value() - 25);
    VBar()->setValue(VBar()->value() + 90);
    const std::optional<QPointF> pointer = CrossOnScreen();
    ASSERT_TRUE(pointer);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::LeftButton, Qt::RightButton}) {
        // The paint box moves under the pointer as the view scrolls.
        const QPoint inBox = Form->PaintBox1->mapFrom(Viewport(), pointer->toPoint());
        Form->PaintBox1MouseDown(button, inBox.x(), inBox.y());
        Form->PaintBox1MouseUp(button, inBox.x(), inBox.y());
    }
    EXPECT_EQ(Form->zoomed->value(), 165); // 110, 165, 248, 165
    ExpectCrossAt(*pointer, "zoom tool");
    EXPECT_FALSE(Form->Changed);
}

TEST_F(ViewPlaceTest, ScrollKeysMoveTheViewFromTheStart) {
    ASSERT_EQ(QApplication::focusWidget(), Form->ScrollBox1);
    const int zoom = Form->zoomed->value();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    const int page = VBar()->value();
    EXPECT_GT(page, 100);
    // The arrows nudge the instrument of an instrument tool; with any other
    // tool they scroll.
    Form->Hand1Click();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_GT(VBar()->value(), page);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_GT(HBar()->value(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    EXPECT_LT(VBar()->value(), page);
    EXPECT_EQ(Form->zoomed->value(), zoom);
    // Typing into a field and clicking the pages gives the keys back to
    // the view, and the field is done with.
    Form->LeistefrZahleneingabe1->trigger();
    Form->LinXEd->setFocus();
    Form->LinXEd->selectAll();
    QTest::keyClicks(Form->LinXEd, QStringLiteral("33.5"));
    QTest::mouseClick(Form->PaintBox1, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(QApplication::focusWidget(), Form->ScrollBox1);
    EXPECT_EQ(Form->LinXEd->text(), QLocale().toString(33.5, 'f', 2));
}

} // namespace
} // namespace quirindo::test
