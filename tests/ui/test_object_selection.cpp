// Picking several items at once with "Objekte": a box dragged on empty paper
// deletes or moves everything inside it, a Shift-click takes a whole pencil
// stroke; each as one undo step. Through the window's own pointer handlers.

#include "DrawingFile.h"
#include "Geometry.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "TextTool.h"

#include <QApplication>
#include <QMouseEvent>

#include <vector>

namespace quirindo::test {
namespace {

using TBytes = std::vector<std::uint8_t>;

class SelectionTest : public ShownMainFormTest {
protected:
    // Paint-box pixel of a drawing point on the first page.
    int Px(double mm) const { return RoundHalfEven(mm * Form->ViewScale) + 5; }
    // A real pointer event at drawing point (x, y) mm, carrying the held keys.
    void Send(QEvent::Type type, double xMm, double yMm, Qt::KeyboardModifiers keys = {}) {
        const QPointF at(Px(xMm), Px(yMm));
        QMouseEvent event(type, at, Form->PaintBox1->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          keys);
        QApplication::sendEvent(Form->PaintBox1, &event);
    }
    void Drag(double x1, double y1, double x2, double y2) {
        Send(QEvent::MouseMove, x1, y1);
        Send(QEvent::MouseButtonPress, x1, y1);
        Send(QEvent::MouseMove, (x1 + x2) / 2, (y1 + y2) / 2);
        Send(QEvent::MouseMove, x2, y2);
        Send(QEvent::MouseButtonRelease, x2, y2);
    }
    void AddText(double x, double y) {
        // As "Text hinzufügen" stores it, measured in the view.
        tools::TEditToolHost& host = Form->EditHost();
        TTextObject text{};
        ASSERT_TRUE(tools::SetTextContent(text, u"Punkt", host.TextFont()));
        text.Left = x;
        text.Top = y;
        tools::MeasureText(text, host.ViewScale(), tools::FontFactor(host), host.TextFonts());
        ASSERT_TRUE(Form->DrawingEditor->AppendText(text, "Text hinzufügen"));
    }
    // Two lines, a circle and a text inside the box (20..100 mm), and a line
    // and a text outside it.
    void Construction() {
        AddLine(30, 30, 60, 40);
        AddLine(150, 30, 170, 60); // outside
        AddLine(40, 50, 90, 90);
        TDrawObject circle{};
        circle.Kind = okEllipse;
        circle.Width = 0.1;
        circle.X1 = 50;
        circle.Y1 = 60;
        circle.X2 = 70;
        circle.Y2 = 80;
        ASSERT_TRUE(Form->DrawingEditor->AppendObject(circle, "Kreis zeichnen"));
        AddText(30, 70);
        AddText(150, 120); // outside
        ASSERT_EQ(Form->Drawing->Texts.Count(), 2);
        Form->PaintBox1Paint();
    }
};

TEST_F(SelectionTest, BoxInDeleteRemovesExactlyTheEnclosedItemsAsOneStep) {
    Construction();
    const TBytes before = Saved();
    const std::size_t steps = Form->DrawingEditor->UndoCount();
    Form->ObjekteLschen1->trigger();
    Send(QEvent::MouseMove, 20, 20);
    Send(QEvent::MouseButtonPress, 20, 20);
    Send(QEvent::MouseMove, 100, 100);
    // While dragging the box and the enclosed items are shown on the view.
    EXPECT_FALSE(Form->Overlay.IsEmpty());
    EXPECT_EQ(Form->Pointer.SelectedObjects.size(), 3u);
    EXPECT_EQ(Form->Pointer.SelectedTexts.size(), 1u);
    Send(QEvent::MouseButtonRelease, 100, 100);

    // What is left: the line and the text outside the box.
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_EQ(Form->Drawing->Objects[0].X1, 150);
    ASSERT_EQ(Form->Drawing->Texts.Count(), 1);
    EXPECT_EQ(Form->Drawing->Texts[0].Left, 150);
    EXPECT_EQ(Form->DrawingEditor->UndoCount(), steps + 1);
    EXPECT_EQ(Form->Rueckgaengig1->text().remove(QLatin1Char('&')), QStringLiteral("Rückgängig: Auswahl löschen"));

    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Saved(), before);
    // A box around nothing deletes nothing and leaves no step.
    Drag(200, 200, 220, 220);
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(Form->DrawingEditor->UndoCount(), steps);
}

TEST_F(SelectionTest, BoxInMoveIsCarriedByTheNextDragAsOneStep) {
    Construction();
    const TBytes before = Saved();
    const std::size_t steps = Form->DrawingEditor->UndoCount();
    Form->ObjekteVerschieben1->trigger();
    Drag(20, 20, 100, 100);
    EXPECT_EQ(Saved(), before); // selecting changes nothing
    EXPECT_FALSE(Form->Overlay.IsEmpty()); // the selection stays highlighted
    const double textLeft = Form->Drawing->Texts[0].Left;

    // A drag starting inside the selection, on no object, carries all of it.
    Drag(45, 75, 55, 95);
    const double dx = Form->ViewMapping().ViewToMm(Px(55) - 5, 0).X -
                      Form->ViewMapping().ViewToMm(Px(45) - 5, 0).X;
    ASSERT_GT(dx, 9.0);
    EXPECT_NEAR(Form->Drawing->Objects[0].X1, 30 + dx, 1e-9);
    EXPECT_NEAR(Form->Drawing->Objects[2].X2, 90 + dx, 1e-9);
    EXPECT_NEAR(Form->Drawing->Objects[3].X1, 50 + dx, 1e-9);
    EXPECT_NEAR(Form->Drawing->Texts[0].Left, textLeft + dx, 1e-9);
    EXPECT_GT(Form->Drawing->Objects[3].Y1, 75.0);
    // Outside the box nothing moved.
    EXPECT_EQ(Form->Drawing->Objects[1].X1, 150);
    EXPECT_EQ(Form->DrawingEditor->UndoCount(), steps + 1);

    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Saved(), before);
    // The move let the selection go: the next drag on empty paper is a box.
    Drag(45, 75, 55, 95);
    EXPECT_EQ(Saved(), before);

    // A selection never outlives its drawing: after "Neu" a drag in the old
    // box moves nothing of the new drawing.
    Drag(20, 20, 100, 100);
    Form->NewAll();
    Construction();
    const TBytes fresh = Saved();
    Drag(45, 75, 55, 95);
    EXPECT_EQ(Saved(), fresh);
}

TEST_F(SelectionTest, ShiftClickDeletesOrMovesAWholePencilStrokeAsOneStep) {
    AddLine(150, 30, 170, 60); // a ruler line before the stroke stays
    Form->Bleistift1->trigger();
    // A zigzag of 31 segments from one press.
    Send(QEvent::MouseButtonPress, 20, 40);
    for (int i = 1; i <= 31; ++i)
        Send(QEvent::MouseMove, 20 + 3 * i, i % 2 ? 60 : 40);
    Send(QEvent::MouseButtonRelease, 20 + 3 * 31, 60);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 32);
    AddLine(20, 100, 110, 100); // and one after it
    const TBytes before = Saved();

    Form->ObjekteLschen1->trigger();
    // A plain click takes one segment only ...
    const double x = 20 + 3 * 10 + 1.5, y = 50;
    Send(QEvent::MouseMove, x, y);
    ASSERT_TRUE(Form->Pointer.HoverShown);
    Send(QEvent::MouseButtonPress, x, y);
    Send(QEvent::MouseButtonRelease, x, y);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 32);
    Form->Rueckgaengig1->trigger();
    ASSERT_EQ(Saved(), before);

    // ... a Shift-click the whole stroke, in one step.
    Send(QEvent::MouseMove, x, y, Qt::ShiftModifier);
    Send(QEvent::MouseButtonPress, x, y, Qt::ShiftModifier);
    Send(QEvent::MouseButtonRelease, x, y, Qt::ShiftModifier);
    ASSERT_EQ(Form->Drawing->Objects.Count(), 2);
    EXPECT_EQ(Form->Drawing->Objects[0].X1, 150);
    EXPECT_EQ(Form->Drawing->Objects[1].Y1, 100);
    EXPECT_EQ(Form->Rueckgaengig1->text().remove(QLatin1Char('&')),
              QStringLiteral("Rückgängig: Strich löschen"));
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Saved(), before);

    // In "Verschieben" a Shift-drag carries the whole stroke, in one step.
    const double first = Form->Drawing->Objects[1].X1, last = Form->Drawing->Objects[31].X2;
    Form->ObjekteVerschieben1->trigger();
    Send(QEvent::MouseMove, x, y, Qt::ShiftModifier);
    Send(QEvent::MouseButtonPress, x, y, Qt::ShiftModifier);
    Send(QEvent::MouseMove, x + 10, y, Qt::ShiftModifier);
    Send(QEvent::MouseButtonRelease, x + 10, y, Qt::ShiftModifier);
    const double dx = Form->ViewMapping().ViewToMm(Px(x + 10) - 5, 0).X -
                      Form->ViewMapping().ViewToMm(Px(x) - 5, 0).X;
    ASSERT_GT(dx, 9.0);
    EXPECT_NEAR(Form->Drawing->Objects[1].X1, first + dx, 1e-9);
    EXPECT_NEAR(Form->Drawing->Objects[31].X2, last + dx, 1e-9);
    EXPECT_EQ(Form->Drawing->Objects[0].X1, 150);
    EXPECT_EQ(Form->Drawing->Objects[32].X1, 20);
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Saved(), before);
}

} // namespace
} // namespace quirindo::test
