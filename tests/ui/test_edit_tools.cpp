// The freehand and editing tools driven through the window's pointer
// handlers: pencil and eraser, curves, objects, hand and zoom, the keys
// that abandon and zoom, and "Letzes Objekt löschen".

#include "Geometry.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>
#include <cstring>

namespace quirindo::test {
namespace {

class EditToolsTest : public ShownMainFormTest {
protected:
    // Paint-box pixels, as the paint box hands them to the window.
    void Down(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        Form->PaintBox1MouseDown(b, x, y);
    }
    void Move(int x, int y) { Form->PaintBox1MouseMove(x, y); }
    void Up(int x, int y) { Form->PaintBox1MouseUp(Qt::LeftButton, x, y); }
    void Click(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        Down(x, y, b);
        Form->PaintBox1MouseUp(b, x, y);
    }
    QAction* Action(const char* name) {
        return Form->findChild<QAction*>(QString::fromLatin1(name));
    }
    QScrollBar* HBar() { return Form->ScrollBox1->horizontalScrollBar(); }
    QScrollBar* VBar() { return Form->ScrollBox1->verticalScrollBar(); }
    void AddCircle(double cx, double cy, double r) {
        TDrawObject o{};
        o.Kind = okEllipse;
        o.Width = 0.1;
        o.X1 = cx - r;
        o.Y1 = cy - r;
        o.X2 = cx + r;
        o.Y2 = cy + r;
        ASSERT_TRUE(Form->DrawingEditor->AppendObject(o, "Kreis zeichnen"));
    }
};

TEST_F(EditToolsTest, PencilStrokeStoresOneLinePerMoveWithoutRenderingPages) {
    for (int i = 0; i < 2000; ++i)
        AddLine(10 + i % 50, 20, 60, 80 + i % 70);
    Form->SetUnChanged();
    Form->Bleistift1->trigger();
    QApplication::processEvents();
    const int rendered = Form->TilesRendered;
    const int paints = Form->PaintRequests;
    Down(105, 105);
    Up(105, 105);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 2000);
    EXPECT_FALSE(Form->Changed);

    Down(105, 105);
    for (int i = 1; i <= 20; ++i) {
        Move(105 + 3 * i, 105 + i);
        QApplication::processEvents(); // the view shows each segment
    }
    // The segment at the pointer's last place again: a zero-length line.
    Move(165, 125);
    Up(165, 125);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 2021);
    EXPECT_TRUE(Form->Changed);
    EXPECT_TRUE(Form->windowTitle().endsWith(QStringLiteral("*]")));
    EXPECT_EQ(Form->TilesRendered, rendered) << "a segment must not render the drawing again";
    EXPECT_EQ(Form->PaintRequests, paints) << "a segment must not repaint";
    const TDrawObject& first = Form->Drawing->Objects[2000];
    const double s = Form->ViewScale;
    EXPECT_EQ(first.Kind, okLine);
    EXPECT_DOUBLE_EQ(first.X1, 100 / s);
    EXPECT_DOUBLE_EQ(first.Y2, 101 / s);
    EXPECT_EQ(first.Color, Form->PenColor());
    EXPECT_DOUBLE_EQ(first.Width, Form->StrichEd->Value());
    const TDrawObject& last = Form->Drawing->Objects[2020];
    EXPECT_DOUBLE_EQ(last.X1, last.X2);
    EXPECT_DOUBLE_EQ(last.Y1, last.Y2);

    // After the stroke the pages are drawn from the drawing again.
    Form->PaintBox1->repaint();
    EXPECT_GT(Form->TilesRendered, rendered);
}

TEST_F(EditToolsTest, EraserUsesWhiteAndTheEraserWidth) {
    Form->RadierEd->setValue(3.5);
    Form->Radierer1->trigger();
    Down(50, 50);
    Move(80, 50);
    Up(80, 50);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_EQ(Form->Drawing->Objects[0].Color, 0xFFFFFF);
    EXPECT_DOUBLE_EQ(Form->Drawing->Objects[0].Width, 3.5);
}

TEST_F(EditToolsTest, StartedCurveIsCompletedWhateverToolIsChosen) {
    Form->Kurven1->trigger();
    Click(50, 60);
    Form->Bleistift1->trigger();
    Click(150, 60);
    Move(120, 120); // the preview, on the page only
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
    EXPECT_FALSE(Form->Overlay.IsEmpty());
    Click(100, 100);
    Click(120, 100);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = Form->Drawing->Objects[0];
    EXPECT_EQ(o.Kind, okBezier);
    EXPECT_DOUBLE_EQ(o.X1, 45 / Form->ViewScale);
    EXPECT_DOUBLE_EQ(o.X4, 145 / Form->ViewScale);
    // No stroke was started by the clicks.
    EXPECT_FALSE(Form->Pointer.FreehandActive);
    EXPECT_FALSE(Form->Pointer.CurveGotStart || Form->Pointer.CurveGotEnd ||
                 Form->Pointer.CurveGotControl1);
}

TEST_F(EditToolsTest, ZoomingBetweenCurveClicksKeepsEachPointWhereItWasClicked) {
    Form->Kurven1->trigger();
    const double s100 = Form->ViewScale;
    Click(205, 205); // 200 pixels at zoom 100: 52.92 mm
    Form->zoomed->setValue(150);
    Form->PaintBox1Paint();
    const double s150 = Form->ViewScale;
    ASSERT_NEAR(s150, 1.5 * s100, 1e-9);
    Click(305, 155);
    Click(405, 105);
    Click(505, 305);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    const TDrawObject& o = Form->Drawing->Objects[0];
    EXPECT_NEAR(o.X1, 52.92, 0.005);
    EXPECT_DOUBLE_EQ(o.X1, 200 / s100);
    EXPECT_DOUBLE_EQ(o.Y1, 200 / s100);
    EXPECT_DOUBLE_EQ(o.X4, 300 / s150); // the end
    EXPECT_DOUBLE_EQ(o.Y4, 150 / s150);
    EXPECT_DOUBLE_EQ(o.X2, 400 / s150); // first control point
    EXPECT_DOUBLE_EQ(o.X3, 500 / s150); // second control point
}

TEST_F(EditToolsTest, EscapeAbandonsCurvesAndDragsWithoutStoring) {
    QAction* escape = Action("AbbrechenAction");
    ASSERT_NE(escape, nullptr);
    EXPECT_EQ(escape->shortcut(), QKeySequence(Qt::Key_Escape));
    Form->Kurven1->trigger();
    Click(50, 60);
    Click(150, 60);
    escape->trigger();
    Click(70, 70);
    Click(80, 80);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0) << "the chain started again";

    AddLine(10, 10, 40, 10);
    const int before = Form->Drawing->Objects.Count();
    Form->Bleistift1->trigger();
    EXPECT_TRUE(Form->Pointer.CurveGotEnd);
    escape->trigger();
    Down(60, 200);
    Move(70, 210);
    Move(80, 220);
    escape->trigger();
    Up(80, 220);
    EXPECT_EQ(Form->Drawing->Objects.Count(), before);

    // A line along the ruler is not stored when Escape comes before the release.
    Form->LinealAnLinealentlangzeichnen1->trigger();
    const double s = Form->ViewScale;
    const int y = RoundHalfEven(Form->Instruments.LinY * s) + 5;
    Down(100, y);
    Move(200, y);
    escape->trigger();
    Up(200, y);
    EXPECT_EQ(Form->Drawing->Objects.Count(), before);
}

TEST_F(EditToolsTest, ObjectToolHighlightsDeletesAndMovesCircles) {
    const double s = Form->ViewScale;
    AddCircle(60, 60, 20);
    const int cx = RoundHalfEven(60 * s) + 5, cy = RoundHalfEven(60 * s) + 5;
    const int r = RoundHalfEven(20 * s);
    Form->ObjekteVerschieben1->trigger();
    Down(cx + r, cy); // nothing highlighted yet
    Up(cx + r, cy);
    EXPECT_FALSE(Form->Pointer.ObjectMoving);
    Move(cx + r + 3, cy);
    EXPECT_FALSE(Form->Pointer.HoverShown);
    Move(cx + r + 2, cy);
    EXPECT_TRUE(Form->Pointer.HoverShown);
    EXPECT_FALSE(Form->Overlay.IsEmpty()); // the red outline
    Down(cx + r + 2, cy);
    Move(cx + r + 42, cy + 20);
    Up(cx + r + 42, cy + 20);
    const TDrawObject& o = Form->Drawing->Objects[0];
    EXPECT_NEAR(o.X1, 40 + 40 / s, 1e-9);
    EXPECT_NEAR(o.Y2, 80 + 20 / s, 1e-9);

    Form->ObjekteLschen1->trigger();
    Move(cx + 40 + r, cy + 20);
    Down(cx + 40 + r, cy + 20);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
}

// Through the window's pointer handlers: a compass arc lights up only along
// its drawn part, a curve near its path; both are deleted by a click.
TEST_F(EditToolsTest, ObjectToolPicksArcsAndCurvesWhereTheyAreDrawn) {
    const double s = Form->ViewScale;
    const auto px = [s](double mm) { return RoundHalfEven(mm * s) + 5; };
    // A quarter arc about (60, 60) mm, radius 40 mm, from the ray to the right
    // to the ray upwards.
    TDrawObject* arc = Form->Drawing->Objects.Append();
    *arc = TDrawObject{};
    arc->Kind = okArc;
    arc->Width = 0.1;
    arc->X1 = 20;
    arc->Y1 = 20;
    arc->X2 = 100;
    arc->Y2 = 100;
    arc->X3 = 100;
    arc->Y3 = 60;
    arc->X4 = 60;
    arc->Y4 = 20;
    // A curve below it, from (20, 150) to (100, 150) through (60, 140).
    TDrawObject* curve = Form->Drawing->Objects.Append();
    *curve = TDrawObject{};
    curve->Kind = okBezier;
    curve->Width = 0.1;
    const double pts[8] = {20, 150, 40, 136.6667, 80, 136.6667, 100, 150};
    std::memcpy(&curve->X1, pts, sizeof pts);
    Form->SetChanged();
    Form->PaintBox1Paint();

    Form->ObjekteLschen1->trigger();
    Move(px(20), px(60)); // on the circle, but left of the centre: not drawn
    EXPECT_FALSE(Form->Pointer.HoverShown);
    Move(px(60), px(100)); // below the centre: not drawn
    EXPECT_FALSE(Form->Pointer.HoverShown);
    Move(px(60 + 40 * std::cos(0.8)), px(60 - 40 * std::sin(0.8)));
    EXPECT_TRUE(Form->Pointer.HoverShown);
    EXPECT_EQ(Form->Pointer.HoverIndex, 0);

    Move(px(60), px(145)); // between the curve's ends, 5 mm off its middle
    EXPECT_FALSE(Form->Pointer.HoverShown);
    Move(px(60), px(140));
    ASSERT_TRUE(Form->Pointer.HoverShown);
    EXPECT_EQ(Form->Pointer.HoverIndex, 1);
    EXPECT_FALSE(Form->Overlay.IsEmpty()); // the red outline
    Down(px(60), px(140));
    Up(px(60), px(140));
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_EQ(Form->Drawing->Objects[0].Kind, okArc);
}

TEST_F(EditToolsTest, DeleteLastObjectKeepsTheChangedMarkOnAnEmptyDrawing) {
    QAction* item = Form->ObjekteLetzesObjektlschen1;
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_FALSE(Form->Changed);
    AddLine();
    AddLine(1, 1, 2, 2);
    Form->SetUnChanged();
    item->trigger();
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_TRUE(Form->Changed);
    EXPECT_DOUBLE_EQ(Form->Drawing->Objects[0].X1, 10.0);
    item->trigger();
    Form->SetUnChanged();
    item->trigger();
    EXPECT_FALSE(Form->Changed);
}

TEST_F(EditToolsTest, ZoomToolStepsByHalfWithinOneTo300) {
    Form->Zoom1->trigger();
    Click(100, 100);
    EXPECT_EQ(Form->zoomed->value(), 150);
    Click(100, 100);
    EXPECT_EQ(Form->zoomed->value(), 225);
    Click(100, 100);
    EXPECT_EQ(Form->zoomed->value(), 300);
    Click(100, 100, Qt::MiddleButton);
    EXPECT_EQ(Form->zoomed->value(), 300);
    Click(100, 100, Qt::RightButton);
    EXPECT_EQ(Form->zoomed->value(), 200);

    Form->zoomed->setValue(100);
    Click(100, 100, Qt::RightButton);
    EXPECT_EQ(Form->zoomed->value(), 67);
    Form->zoomed->setValue(11);
    Click(20, 20);
    EXPECT_EQ(Form->zoomed->value(), 16);
    Form->zoomed->setValue(1);
    Click(6, 6, Qt::RightButton);
    EXPECT_EQ(Form->zoomed->value(), 1);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(EditToolsTest, ZoomToolKeepsTheClickedPointUnderThePointer) {
    Form->Zoom1->trigger();
    HBar()->setValue(0);
    VBar()->setValue(0);
    // Paint-box pixel (405, 505) at 100 shows the point that is at
    // (5 + 400 x 1.5, 5 + 500 x 1.5) at 150 and stays at (405, 505) on the
    // screen.
    Click(405, 505);
    EXPECT_NEAR(HBar()->value(), 605 - 405, 1.0);
    EXPECT_NEAR(VBar()->value(), 755 - 505, 1.0);
}

TEST_F(EditToolsTest, KeyboardZoomKeepsTheMiddleOfTheView) {
    QAction* in = Action("ZoomInAction");
    QAction* out = Action("ZoomOutAction");
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(in->shortcuts().contains(QKeySequence(QKeySequence::ZoomIn)));
    EXPECT_TRUE(out->shortcuts().contains(QKeySequence(QKeySequence::ZoomOut)));
    Form->zoomed->setValue(150);
    QApplication::processEvents();
    VBar()->setValue(600);
    const QWidget* viewport = Form->ScrollBox1->viewport();
    const double midY = (VBar()->value() + viewport->height() / 2 - 5) / 150.0;
    in->trigger();
    EXPECT_EQ(Form->zoomed->value(), 225);
    const double midAfter = (VBar()->value() + viewport->height() / 2 - 5) / 225.0;
    // The same drawing point lies in the middle within the difference
    // between the scroll box's outer size and its visible area.
    EXPECT_NEAR(midAfter, midY, 20.0 / 225.0);
    out->trigger();
    EXPECT_EQ(Form->zoomed->value(), 150);
}

TEST_F(EditToolsTest, HandPansAndStopsAtTheEndOfTheRange) {
    Form->zoomed->setValue(200);
    QApplication::processEvents();
    HBar()->setValue(0); // the zoom kept the middle of the view
    VBar()->setValue(0);
    Form->Hand1->trigger();
    const int paints = Form->PaintRequests;
    Down(300, 300);
    Move(280, 250);
    EXPECT_EQ(HBar()->value(), 20);
    EXPECT_EQ(VBar()->value(), 50);
    Move(260, -100000); // far beyond the bottom of the pages
    EXPECT_EQ(VBar()->value(), VBar()->maximum());
    EXPECT_EQ(HBar()->value(), 20 + (295 - 255)); // the press point stays the reference
    Up(260, -100000);
    EXPECT_FALSE(Form->Pointer.HandDragging);
    EXPECT_EQ(Form->PaintRequests, paints);
    EXPECT_FALSE(Form->Changed);
}

} // namespace
} // namespace quirindo::test
