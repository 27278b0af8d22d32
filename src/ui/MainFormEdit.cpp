// "Bearbeiten": undo and redo through the drawing editor, and the window's
// side of every edit (changed mark, page setup, repainting what it touched).

#include "Localisation.h"
#include "MainForm.h"
#include "ObjectSelection.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <cmath>

namespace quirindo::ui {

void TMainForm::BuildEditMenu() {
    Bearbeiten1 = MainMenu->addMenu(QStringLiteral("Bearbeiten"));
    Bearbeiten1->setObjectName(QStringLiteral("Bearbeiten1"));
    Rueckgaengig1 = Bearbeiten1->addAction(QStringLiteral("Rückgängig"));
    Rueckgaengig1->setObjectName(QStringLiteral("Rueckgaengig1"));
    Wiederherstellen1 = Bearbeiten1->addAction(QStringLiteral("Wiederherstellen"));
    Wiederherstellen1->setObjectName(QStringLiteral("Wiederherstellen1"));
    // Their texts name the step and are looked up whenever it changes.
    for (QAction* item : {Rueckgaengig1, Wiederherstellen1})
        item->setProperty(kNoTranslateProperty, true);
    Rueckgaengig1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Wiederherstellen1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(Rueckgaengig1, &QAction::triggered, this, &TMainForm::Rueckgaengig1Click);
    connect(Wiederherstellen1, &QAction::triggered, this, &TMainForm::Wiederherstellen1Click);
    Rueckgaengig1->setEnabled(false);
    Wiederherstellen1->setEnabled(false);
}

void TMainForm::UpdateEditMenu() {
    if (!Rueckgaengig1 || !DrawingEditor) return;
    const auto label = [](const char* command, const std::string& step) {
        if (step.empty()) return Tr(command);
        return Tr((std::string(command) + ": %1").c_str()).arg(Tr(step.c_str()));
    };
    Rueckgaengig1->setText(
        KeepMnemonic(Rueckgaengig1->text(), label("Rückgängig", DrawingEditor->UndoName())));
    Rueckgaengig1->setEnabled(DrawingEditor->CanUndo());
    Wiederherstellen1->setText(KeepMnemonic(Wiederherstellen1->text(),
                                            label("Wiederherstellen", DrawingEditor->RedoName())));
    Wiederherstellen1->setEnabled(DrawingEditor->CanRedo());
}

void TMainForm::Rueckgaengig1Click() {
    // A stroke in progress is what undo takes back.
    const bool stroke = Pointer.FreehandActive;
    // A drag or curve in progress ends first, as Escape ends it, so no tool
    // goes on with an object the step takes away.
    AbandonPointerAction();
    Pointer.HoverShown = false;
    if (stroke) return;
    (void)DrawingEditor->Undo();
}

void TMainForm::Wiederherstellen1Click() {
    AbandonPointerAction();
    Pointer.HoverShown = false;
    (void)DrawingEditor->Redo();
}

TPageSetup TMainForm::CurrentPageSetup() const {
    return {PageWidthInch, PageHeightInch, PageAnz->value()};
}

void TMainForm::EditPageSetup(const TPageSetup& pages, const char* step) {
    // The editor's observer shows the new setup (DrawingEdited); an equal
    // setup is no edit.
    (void)DrawingEditor->ChangePages(pages, step);
}

void TMainForm::StartFreshHistory() {
    // A selection names records of the drawing that was there before.
    tools::ClearSelection(Pointer);
    DrawingEditor->Reset(*Drawing, CurrentPageSetup());
    UpdateEditMenu();
}

void TMainForm::DrawingEdited(const TEditNotice& notice) {
    FObjectIndex.Follow(notice);
    if (notice.Kind == TEditNotice::TKind::Reset) {
        // A new, opened or restored drawing: no tile shows it.
        FTiles.InvalidateAll();
        FStrokeArea = {};
        return; // the caller marks the drawing
    }
    if (notice.PagesChanged) {
        const TPageSetup& pages = DrawingEditor->Pages();
        PageWidthInch = pages.WidthInch;
        PageHeightInch = pages.HeightInch;
        FShowingPageSetup = true;
        PageAnz->setValue(pages.Count);
        FShowingPageSetup = false;
        FTiles.InvalidateAll();
    }
    // Only the tiles of what the edit touched, before and after, are
    // rendered again. Texts are measured by their tool before they are
    // stored and again whenever they are painted, and the area of a text
    // has room on every side for a face that paints a little wider, so the
    // area bounds texts as well as objects.
    if (notice.InOpenStep && notice.Unsaved) {
        SetChangedKeepingPages(notice.Area); // the stroke's tool draws its segments itself
    } else {
        if (notice.Parts.empty()) InvalidateTiles(notice.Area);
        for (const TMmArea& part : notice.Parts) InvalidateTiles(part);
        if (notice.Unsaved)
            MarkChanged();
        else
            SetUnChanged();
    }
    UpdateEditMenu();
    // Other pages are laid out anew, whoever changed them; otherwise only
    // what the edit touched is painted again (a stroke in progress draws
    // its segments itself).
    if (notice.PagesChanged)
        PaintBox1Paint();
    else if (!notice.InOpenStep && notice.Parts.empty())
        RepaintDrawingArea(notice.Area);
    else if (!notice.InOpenStep)
        for (const TMmArea& part : notice.Parts) RepaintDrawingArea(part);
}

void TMainForm::RepaintDrawingArea(const TMmArea& area) {
    // What tools drew onto the view may show what the step took away.
    const QRect overlay = Overlay.Bounds();
    Overlay.Clear();
    if (!overlay.isEmpty()) PaintBox1->update(overlay);
    if (area.Empty || !PointerGeometryReady()) return;
    const TViewMapping view = ViewMapping();
    // Every page shows every object at its copy of the point; update the
    // part of each page the area reaches, one pixel more for rounding.
    for (int page = 0; page < PageCount(); ++page) {
        const TPixelPoint a = PaintBoxPixel(view.MmToViewOnPage(page, area.Left, area.Top));
        const TPixelPoint b = PaintBoxPixel(view.MmToViewOnPage(page, area.Right, area.Bottom));
        const QRect touched = QRect(QPoint(a.X, a.Y), QPoint(b.X, b.Y)).normalized().adjusted(
            -2, -2, 2, 2);
        const QRect paper(ViewMargin, PageTopPx(FGeometry, page), FGeometry.PageWidthPx,
                          FGeometry.PageHeightPx);
        const QRect shown = touched & paper;
        if (!shown.isEmpty()) PaintBox1->update(shown);
    }
}

} // namespace quirindo::ui
