// "Bearbeiten": undo and redo of what the tools stored, through the window's
// own handlers and menu items.

#include "DrawingFile.h"
#include "FileIO.h"
#include "Geometry.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace quirindo::test {
namespace {

using TBytes = std::vector<std::uint8_t>;

class UndoTest : public ShownMainFormTest {
protected:
    bool Starred() const { return Form->windowTitle().endsWith(QStringLiteral("*]")); }
    void Stroke(int x, int y, int moves) {
        Form->PaintBox1MouseDown(Qt::LeftButton, x, y);
        for (int i = 1; i <= moves; ++i)
            Form->PaintBox1MouseMove(x + 4 * i, y + (i % 3) * 5);
        Form->PaintBox1MouseUp(Qt::LeftButton, x + 4 * moves, y);
    }
    // The colour the view shows at a drawing point on the first page.
    QRgb ViewPixel(double xMm, double yMm) {
        const QImage view = PaintArea(Form->PaintBox1->rect());
        const TPixelPoint p = PaintBoxPixel(Form->ViewMapping().MmToView(xMm, yMm));
        return view.pixel(p.X, p.Y);
    }
};

// Each tool's edit is one step: undo walks back through every state byte for
// byte to an empty page without "*", redo forward to the last again.
TEST_F(UndoTest, EveryEditUndoesToAnEmptyPageAndRedoesBack) {
    std::vector<TBytes> states{Saved()};
    std::vector<QString> names;
    const auto done = [&](const char* name) {
        states.push_back(Saved());
        names.push_back(QString::fromUtf8(name));
        EXPECT_EQ(Form->Rueckgaengig1->text().remove(QLatin1Char('&')), QStringLiteral("Rückgängig: ") + names.back());
    };
    Form->ZirkelKreiszeichnen1Click();
    done("Kreis zeichnen");
    Form->Bleistift1->trigger();
    Stroke(100, 300, 40);
    done("Bleistiftstrich");
    Form->Radierer1->trigger();
    Stroke(120, 310, 10);
    done("Radieren");
    Form->PageAnz->setValue(3);
    done("Seitenanzahl ändern");
    Form->ObjekteLetzesObjektlschen1->trigger();
    done("Letzes Objekt löschen");
    ASSERT_EQ(Form->Drawing->Objects.Count(), 1 + 40 + 10 - 1);
    ASSERT_TRUE(Starred());
    EXPECT_FALSE(Form->Wiederherstellen1->isEnabled());
    EXPECT_EQ(Form->Wiederherstellen1->text().remove(QLatin1Char('&')), QStringLiteral("Wiederherstellen"));

    for (std::size_t k = names.size(); k-- > 0;) {
        ASSERT_TRUE(Form->Rueckgaengig1->isEnabled());
        Form->Rueckgaengig1->trigger();
        EXPECT_EQ(Saved(), states[k]) << names[k].toStdString();
        EXPECT_EQ(Form->Wiederherstellen1->text().remove(QLatin1Char('&')),
                  QStringLiteral("Wiederherstellen: ") + names[k]);
    }
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
    EXPECT_EQ(Form->PageCount(), 1);
    EXPECT_FALSE(Starred());
    EXPECT_FALSE(Form->Changed);
    EXPECT_FALSE(Form->Rueckgaengig1->isEnabled());
    EXPECT_EQ(Form->Rueckgaengig1->text().remove(QLatin1Char('&')), QStringLiteral("Rückgängig"));

    for (std::size_t k = 0; k < names.size(); ++k) {
        Form->Wiederherstellen1->trigger();
        EXPECT_EQ(Saved(), states[k + 1]) << names[k].toStdString();
        EXPECT_TRUE(Starred());
    }
    EXPECT_EQ(Form->PageCount(), 3);
}

TEST_F(UndoTest, UndoDuringAStrokeTakesBackTheStrokeAlone) {
    Form->ZirkelKreiszeichnen1Click();
    const TBytes circle = Saved();
    Form->Bleistift1->trigger();
    Form->PaintBox1MouseDown(Qt::LeftButton, 100, 300);
    Form->PaintBox1MouseMove(120, 310);
    Form->PaintBox1MouseMove(140, 300);
    ASSERT_NE(Saved(), circle);
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Saved(), circle);
    Form->PaintBox1MouseMove(160, 300);
    Form->PaintBox1MouseUp(Qt::LeftButton, 160, 300);
    EXPECT_EQ(Saved(), circle);
    EXPECT_EQ(Form->Rueckgaengig1->text().remove(QLatin1Char('&')), QStringLiteral("Rückgängig: Kreis zeichnen"));
    EXPECT_FALSE(Form->Wiederherstellen1->isEnabled());
}

TEST_F(UndoTest, SavingMarksTheStateUndoLeavesAndReaches) {
    Form->ZirkelKreiszeichnen1Click();
    Form->ZirkelKreiszeichnen1Click();
    Fake->SaveNames.push_back(Path("saved.qrd"));
    Form->Speichern1Click();
    ASSERT_FALSE(Starred());
    Form->Rueckgaengig1->trigger();
    EXPECT_TRUE(Starred());
    Form->Wiederherstellen1->trigger();
    EXPECT_FALSE(Starred());
    // An edit after an undo drops what could have been redone, and the
    // saved state with it.
    Form->Rueckgaengig1->trigger();
    Form->ObjekteLetzesObjektlschen1->trigger();
    EXPECT_FALSE(Form->Wiederherstellen1->isEnabled());
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_TRUE(Starred());
}

TEST_F(UndoTest, NewAndOpenStartAFreshHistory) {
    Form->ZirkelKreiszeichnen1Click();
    Fake->SaveNames.push_back(Path("one.qrd"));
    Form->Speichern1Click();
    Form->ZirkelKreiszeichnen1Click();
    Fake->Answers.push_back(ui::TAnswer::No);
    Form->Neu1Click();
    EXPECT_FALSE(Form->Rueckgaengig1->isEnabled());
    EXPECT_FALSE(Form->Wiederherstellen1->isEnabled());
    Form->Rueckgaengig1->trigger(); // the shortcut reaches it even so
    EXPECT_FALSE(Starred());

    Form->PageAnz->setValue(2);
    Form->Rueckgaengig1->trigger();
    ASSERT_TRUE(Form->Wiederherstellen1->isEnabled());
    ASSERT_TRUE(Form->OpenFileFromPath(Path("one.qrd")));
    EXPECT_FALSE(Form->Rueckgaengig1->isEnabled());
    EXPECT_FALSE(Form->Wiederherstellen1->isEnabled());
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    Form->ObjekteLetzesObjektlschen1->trigger();
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_FALSE(Starred());
    EXPECT_FALSE(Form->Rueckgaengig1->isEnabled()); // nothing from before the open
}

TEST_F(UndoTest, MenuSitsBetweenFileAndViewWithTheUsualKeys) {
    const QList<QAction*> menus = Form->MainMenu->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->menu(), Form->Datei1);
    EXPECT_EQ(menus[1]->menu(), Form->Bearbeiten1);
    EXPECT_EQ(menus[2]->menu(), Form->Ansicht1);
    EXPECT_EQ(Form->Rueckgaengig1->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    const QList<QKeySequence> redo = Form->Wiederherstellen1->shortcuts();
    EXPECT_TRUE(redo.contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    EXPECT_TRUE(redo.contains(QKeySequence(QStringLiteral("Ctrl+Y"))));
}

// Undo and redo show the drawing as it now is without a full repaint; the
// instruments and the zoom are no edits.
TEST_F(UndoTest, UndoRepaintsWhatTheStepTouchedAndViewChangesAreNoEdits) {
    Form->Zirkel2->setChecked(false); // keep the compass picture off the circle
    Form->ZirkelKreiszeichnen1Click();
    const TDrawObject circle = Form->Drawing->Objects[0];
    // The circle's leftmost point.
    const double x = circle.X1, y = (circle.Y1 + circle.Y2) / 2;
    ASSERT_NE(ViewPixel(x, y), qRgb(255, 255, 255));
    const int paints = Form->PaintRequests;
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(Form->PaintRequests, paints);
    EXPECT_EQ(ViewPixel(x, y), qRgb(255, 255, 255));
    Form->Wiederherstellen1->trigger();
    EXPECT_EQ(Form->PaintRequests, paints);
    EXPECT_NE(ViewPixel(x, y), qRgb(255, 255, 255));

    Form->SetUnChanged();
    Form->zoomed->setValue(150);
    Form->LinXEd->setValue(Form->LinXEd->Value() + 10);
    Form->ZirkelVerschieben1->trigger();
    Form->PaintBox1MouseDown(Qt::LeftButton, 300, 300);
    Form->PaintBox1MouseMove(320, 330);
    Form->PaintBox1MouseUp(Qt::LeftButton, 320, 330);
    EXPECT_FALSE(Starred());
    EXPECT_EQ(Form->Rueckgaengig1->text().remove(QLatin1Char('&')), QStringLiteral("Rückgängig: Kreis zeichnen"));
}

} // namespace
} // namespace quirindo::test
