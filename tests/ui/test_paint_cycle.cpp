// The paint cycle through the window: view scale and paint-box size, pages
// composed from cached pictures, only visible pages rendered, the overlay
// vanishing with the next repaint, and the page-only render.

#include "Canvas.h"
#include "PageCache.h"
#include "Geometry.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace quirindo::test {
namespace {

class PaintCycleTest : public MainFormTest {
protected:
    // The pages alone, without the instruments lying on them.
    void HideInstruments() {
        for (QAction* a : {Form->Lineal2, Form->Winkelmesser2, Form->Zirkel2})
            if (a->isChecked()) a->trigger();
    }
    QImage PaintAll() {
        Form->PaintBox1Paint();
        return PaintArea(Form->PaintBox1->rect());
    }
    static bool IsBlack(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; }
    static bool IsRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
};

TEST_F(PaintCycleTest, ViewScaleAndPaintBoxSizeAtNinetySixDpi) {
    ASSERT_EQ(Form->PaintBox1->logicalDpiX(), 96) << "the offscreen screen reports 96 dpi";
    HideInstruments();
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    EXPECT_NEAR(Form->ViewScale, 3.779535, 1e-6);
    EXPECT_EQ(Form->PageHeightPx, 1123);
    EXPECT_EQ(Form->PaintBox1->size(), QSize(804, 3379));

    // Zoom 1 per cent: pages of 8 x 11 pixels that still paint.
    Form->zoomed->setValue(1);
    const QImage tiny = PaintAll();
    EXPECT_EQ(Form->PaintBox1->size(), QSize(18, 3 * 11 + 10));
    EXPECT_TRUE(IsBlack(tiny.pixel(5, 5)));
    EXPECT_EQ(tiny.pixel(8, 9), qRgb(255, 255, 255));
}

TEST_F(PaintCycleTest, ChangingThePageCountFirstOnlyResizes) {
    Form->PaintBox1Paint();
    const int rendered = Form->TilesRendered;
    Form->PageAnz->blockSignals(true);
    Form->PageAnz->setValue(2);
    Form->PageAnz->blockSignals(false);
    // The paint event that meets the wrong size resizes and draws nothing.
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    Form->PaintView(painter, QRect(0, 0, 10, 10));
    EXPECT_EQ(Form->TilesRendered, rendered);
    EXPECT_EQ(Form->PaintBox1->height(), 2 * Form->PageHeightPx + 10);
}

TEST_F(PaintCycleTest, ObjectsLandOnTheirPages) {
    HideInstruments();
    Form->PageAnz->setValue(2);
    // A red line from 280 mm to 310 mm on A4 crosses from page 0 to page 1.
    Form->Shape1MouseDown(); // cancelled: keeps black
    AddLine(100, 280, 100, 310);
    Form->Drawing->Objects[0].Color = 0x0000FF;
    Form->InvalidateAllTiles();
    const QImage image = PaintAll();
    const double s = Form->ViewScale;
    const int x = 5 + RoundHalfEven(100 * s);
    const int h = Form->PageHeightPx;
    EXPECT_TRUE(IsRed(image.pixel(x, 5 + RoundHalfEven(285 * s))));
    const double H = Form->PageHeightInch * kMmPerInch;
    EXPECT_TRUE(IsRed(image.pixel(x, 5 + h + RoundHalfEven((305 - H) * s))));
    EXPECT_FALSE(IsRed(image.pixel(x + 3, 5 + RoundHalfEven(285 * s))));
    // Paper is white, with a black border; the margin keeps the workspace.
    EXPECT_EQ(image.pixel(300, 300), qRgb(255, 255, 255));
    EXPECT_TRUE(IsBlack(image.pixel(5, 300)));
    EXPECT_EQ(image.pixel(2, 300), QColor(Qt::darkGray).rgb());
}

TEST_F(PaintCycleTest, TextsGetTheirExtentAndWindowTextColour) {
    Form->PageAnz->setValue(3);
    Form->PaintBox1Paint();
    const double H = Form->PageHeightInch * kMmPerInch;
    TTextObject* t = Form->Drawing->AppendText(u"Quirindo", "Arial");
    t->Left = 20;
    t->Top = 2 * H + 30;
    t->Size = 30;
    t->Color = clWindowText;
    Form->SetChanged();
    QPalette palette = Form->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 128, 0));
    Form->setPalette(palette);
    const QImage image = PaintAll();
    EXPECT_GT(t->Bottom, t->Top);
    EXPECT_GT(t->Right, t->Left);
    // Some pixels of the text are in the palette's colour.
    const double s = Form->ViewScale;
    int green = 0;
    for (int y = RoundHalfEven(t->Top * s); y < RoundHalfEven(t->Bottom * s); ++y)
        for (int x = RoundHalfEven(t->Left * s); x < RoundHalfEven(t->Right * s); ++x) {
            const QRgb c = image.pixel(x + 5, y + 5);
            if (qGreen(c) > 100 && qRed(c) < 80 && qBlue(c) < 80) ++green;
        }
    EXPECT_GT(green, 20);
}

TEST_F(PaintCycleTest, OnlyTilesInThePaintedAreaAreRenderedAndCached) {
    Form->PageAnz->setValue(10);
    Form->zoomed->setValue(300);
    Form->PaintBox1Paint();
    const int h = Form->PageHeightPx;
    const int tile = TTileCache::kTilePx;
    const QRect window(0, 5 + 4 * h + 10, 1400, 900); // inside page 4
    int before = Form->TilesRendered;
    PaintArea(window);
    const int shown = Form->TilesRendered - before;
    // What the window shows, not the 140 tiles of the whole page.
    EXPECT_GT(shown, 0);
    EXPECT_LE(shown, (1400 / tile + 2) * (900 / tile + 2));

    // Moving an instrument repaints without rendering the drawing again.
    before = Form->TilesRendered;
    Form->Instruments.LinX += 5;
    Form->PaintBox1Paint();
    PaintArea(window);
    EXPECT_EQ(Form->TilesRendered, before);

    // A line far from the window renders nothing in it; one inside does.
    AddLine(); // on page 0
    PaintArea(window);
    EXPECT_EQ(Form->TilesRendered, before);
    const double top = 4 * Form->PageHeightInch * kMmPerInch;
    AddLine(20, top + 10, 21, top + 11);
    PaintArea(window);
    EXPECT_EQ(Form->TilesRendered, before + 1);

    // Scrolling over every page keeps the cache within its bound.
    for (int i = 0; i < 10; ++i) PaintArea(QRect(0, 5 + i * h, 1400, 900));
    EXPECT_LE(Form->TileCache().Size(), Form->TileCache().Capacity());
    before = Form->TilesRendered;
    PaintArea(window); // dropped long ago
    EXPECT_EQ(Form->TilesRendered - before, shown);
}

TEST_F(PaintCycleTest, EditsRenderOnlyTheTilesTheyTouchAndLeaveNothingStale) {
    HideInstruments();
    Form->PageAnz->setValue(2);
    PaintAll();
    const double s = Form->ViewScale;
    const double edge = TTileCache::kTilePx / s; // the first tile border, in mm
    // A short line across the border between the first two tiles of a row.
    int before = Form->TilesRendered;
    AddLine(edge - 3, 20, edge + 3, 20);
    Form->Drawing->Objects[0].Color = 0x0000FF;
    QImage shown = PaintAll();
    EXPECT_EQ(Form->TilesRendered - before, 2) << "both tiles the line crosses, no more";
    const int y = 5 + RoundHalfEven(20 * s);
    EXPECT_TRUE(IsRed(shown.pixel(5 + TTileCache::kTilePx - 4, y)));
    EXPECT_TRUE(IsRed(shown.pixel(5 + TTileCache::kTilePx + 4, y)));

    // Move it to the second page, add a curve over a tile corner, delete the
    // first object: every place it was must be paper again.
    TDrawObject line = Form->Drawing->Objects[0];
    line.Y1 += Form->PageHeightInch * kMmPerInch;
    line.Y2 += Form->PageHeightInch * kMmPerInch;
    ASSERT_TRUE(Form->DrawingEditor->ChangeObject(0, line, "Objekt verschieben"));
    TDrawObject curve{};
    curve.Kind = okBezier;
    curve.Width = 1.0;
    curve.X1 = edge - 10, curve.Y1 = 2 * edge - 10;
    curve.X2 = edge + 10, curve.Y2 = 2 * edge - 10;
    curve.X3 = edge - 10, curve.Y3 = 2 * edge + 10;
    curve.X4 = edge + 10, curve.Y4 = 2 * edge + 10;
    ASSERT_TRUE(Form->DrawingEditor->AppendObject(curve, "Kurve zeichnen"));
    shown = PaintAll();
    EXPECT_FALSE(IsRed(shown.pixel(5 + TTileCache::kTilePx - 4, y)));
    ASSERT_TRUE(Form->DrawingEditor->DeleteObject(0, "Objekt löschen"));
    before = Form->TilesRendered;
    shown = PaintAll();
    EXPECT_GT(Form->TilesRendered, before);
    EXPECT_LT(Form->TilesRendered - before, 4) << "only the tiles of the old line";

    // A fresh render of everything (another zoom drops every tile) shows the
    // same picture.
    Form->zoomed->setValue(101);
    PaintAll();
    Form->zoomed->setValue(100);
    EXPECT_TRUE(PaintAll() == shown);
}

TEST_F(PaintCycleTest, TheLargestPageShowsItsPaperAndObjectsAtThreeHundredPerCent) {
    HideInstruments();
    // Ten metres square, the most page setup accepts: 113,000 pixels a side.
    Form->PageWidthInch = 10000 / kMmPerInch;
    Form->PageHeightInch = 10000 / kMmPerInch;
    Form->zoomed->setValue(300);
    Form->PaintBox1Paint();
    const double s = Form->ViewScale;
    const int w = Form->PaintBox1->width() - 10; // the page and the margins
    ASSERT_GT(w, 100000);
    AddLine(5000, 5000, 5010, 5000);
    Form->Drawing->Objects[0].Color = 0x0000FF;
    Form->Drawing->Objects[0].Width = 1.0;
    const auto paint = [&](const QRect& area) {
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::darkGray);
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        painter.setClipRect(area);
        Form->PaintView(painter, area);
        return image;
    };
    const int x = 5 + RoundHalfEven(5005 * s), y = 5 + RoundHalfEven(5000 * s);
    const QImage middle = paint(QRect(x - 700, y - 450, 1400, 900));
    EXPECT_TRUE(IsRed(middle.pixel(700, 450))) << "the object";
    EXPECT_EQ(middle.pixel(700, 100), qRgb(255, 255, 255)) << "the paper";
    // The far corner: the page's black border, then the workspace beyond.
    const QImage corner = paint(QRect(5 + w - 700, 5 + w - 450, 1400, 900));
    EXPECT_EQ(corner.pixel(600, 350), qRgb(255, 255, 255));
    EXPECT_TRUE(IsBlack(corner.pixel(699, 350)));
    EXPECT_TRUE(IsBlack(corner.pixel(600, 449)));
    EXPECT_EQ(corner.pixel(800, 350), QColor(Qt::darkGray).rgb());
    // Whatever the page, the view keeps a few viewports' worth of tiles.
    EXPECT_LE(Form->TileCache().Bytes(),
              std::int64_t(Form->TileCache().Capacity()) * TTileCache::kTilePx *
                  TTileCache::kTilePx * 4);
}

TEST_F(PaintCycleTest, ViewOverlayVanishesWithTheNextRepaint) {
    PaintAll();
    Form->DrawOnView([](TCanvas& c) {
        c.SetPenColor(clRed);
        c.SetPenWidth(3);
        c.MoveTo(50, 60);
        c.LineTo(250, 60);
    });
    EXPECT_TRUE(IsRed(PaintArea(Form->PaintBox1->rect()).pixel(150, 60)));
    Form->PaintBox1Paint();
    EXPECT_FALSE(IsRed(PaintArea(Form->PaintBox1->rect()).pixel(150, 60)));
}

TEST_F(PaintCycleTest, PageOnlyRenderLeavesThePageForThePreview) {
    Form->PageAnz->setValue(2);
    Form->PaintBox1Paint();
    AddLine(10, 10 + Form->PageHeightInch * kMmPerInch, 50, 10 + Form->PageHeightInch * kMmPerInch);
    Form->PointerPage = 1;
    Form->PointerPageTop = Form->PageHeightPx;
    const int requests = Form->PaintRequests;
    Form->RenderPageOnly = true;
    Form->PaintBox1Paint();
    Form->RenderPageOnly = false;
    EXPECT_EQ(Form->PaintRequests, requests + 1);
    ASSERT_EQ(Form->PageBitmap.size(), QSize(794, 1123));
    const int y = RoundHalfEven(10 * Form->ViewScale);
    EXPECT_TRUE(IsBlack(Form->PageBitmap.pixel(RoundHalfEven(30 * Form->ViewScale), y)));
    // The caller draws its preview into the bitmap and shows it.
    {
        QPainter p(&Form->PageBitmap);
        p.fillRect(100, 100, 20, 20, Qt::red);
    }
    Form->ShowPageBitmap();
    const QImage view = PaintArea(Form->PaintBox1->rect());
    EXPECT_TRUE(IsRed(view.pixel(5 + 110, 5 + Form->PageHeightPx + 110)));
}

TEST_F(PaintCycleTest, LockedPaintChangesNothing) {
    Form->PaintBox1Paint();
    Form->PaintLocked = true;
    const int rendered = Form->TilesRendered;
    Form->PaintBox1Paint();
    QImage image(Form->PaintBox1->size(), QImage::Format_RGB32);
    image.fill(Qt::blue);
    {
        QPainter painter(&image);
        Form->PaintView(painter, image.rect());
    }
    Form->PaintLocked = false;
    EXPECT_EQ(Form->TilesRendered, rendered);
    EXPECT_EQ(image.pixel(300, 300), QColor(Qt::blue).rgb());
}

// Undo and redo re-render the tiles of both places a moved object or text
// had, no others, and the view then equals a fresh render of the drawing.
TEST_F(PaintCycleTest, UndoAndRedoOfAMoveRenderOnlyTheTilesOfBothPlacesAndLeaveNothingStale) {
    HideInstruments();
    const double s = Form->ViewScale;
    // Whole tiles in mm: the line keeps clear of tile borders at both places.
    const double tile = TTileCache::kTilePx / s;
    AddLine(0.3 * tile, 0.5 * tile, 0.7 * tile, 0.5 * tile);
    TDrawObject line = Form->Drawing->Objects[0];
    line.Color = 0x0000FF;
    ASSERT_TRUE(Form->DrawingEditor->ChangeObject(0, line, "Objekt verschieben"));
    const auto pixel = [&](double x, double y) {
        return QPoint(5 + RoundHalfEven(x * s), 5 + RoundHalfEven(y * s));
    };
    const QPoint oldPlace = pixel(0.5 * tile, 0.5 * tile);
    const QPoint newPlace = pixel(2.5 * tile, 3.5 * tile);
    PaintAll();
    line.X1 += 2 * tile, line.X2 += 2 * tile;
    line.Y1 += 3 * tile, line.Y2 += 3 * tile;
    ASSERT_TRUE(Form->DrawingEditor->ChangeObject(0, line, "Objekt verschieben"));
    ASSERT_TRUE(IsRed(PaintAll().pixel(newPlace)));

    const auto freshRender = [&] {
        Form->zoomed->setValue(101); // another view drops every tile
        PaintAll();
        Form->zoomed->setValue(100);
        return PaintAll();
    };
    for (QAction* step : {Form->Rueckgaengig1, Form->Wiederherstellen1}) {
        const bool undo = step == Form->Rueckgaengig1;
        const int before = Form->TilesRendered;
        step->trigger();
        const QImage shown = PaintAll();
        EXPECT_EQ(Form->TilesRendered - before, 2) << "the tile it left and the one it reached";
        EXPECT_EQ(IsRed(shown.pixel(oldPlace)), undo);
        EXPECT_EQ(IsRed(shown.pixel(newPlace)), !undo);
        EXPECT_TRUE(shown == freshRender());
    }

    // A text moved and moved back: its old and new boxes, nothing stale.
    TTextObject* text = Form->Drawing->AppendText(u"Quirindo Quirindo", "DejaVu Sans");
    text->Left = 0.2 * tile;
    text->Top = 1.4 * tile;
    text->Size = 28;
    text->Color = 0x0000FF;
    Form->SetChanged();
    PaintAll();
    const int all = Form->TilesRendered;
    freshRender();
    const int tilesPerRender = (Form->TilesRendered - all) / 2;
    ASSERT_TRUE(Form->DrawingEditor->MoveText(0, tile, 1.1 * tile, "Text verschieben"));
    for (QAction* step : {static_cast<QAction*>(nullptr), Form->Rueckgaengig1,
                          Form->Wiederherstellen1}) {
        if (step) step->trigger();
        const int before = Form->TilesRendered;
        const QImage shown = PaintAll();
        EXPECT_GT(Form->TilesRendered - before, 0);
        EXPECT_LT(Form->TilesRendered - before, tilesPerRender / 2);
        EXPECT_TRUE(shown == freshRender());
    }
}

// A repaint of a small area (an edit, a hover) draws the instruments that
// reach into it exactly as a repaint of the whole view does, and skips those
// lying elsewhere.
TEST_F(ShownMainFormTest, SmallRepaintsShowTheInstrumentsAsTheWholeViewDoes) {
    Form->Instruments.LinW = 33.0; // turned, so no picture is a box along the axes
    Form->Instruments.WinkW = 20.0;
    Form->Instruments.ZirkW = 120.0;
    Form->PaintBox1Paint();
    QApplication::processEvents();
    const QRect view = Form->PaintBox1->visibleRegion().boundingRect();
    ASSERT_GT(view.width(), 400);
    const QImage whole = PaintArea(view);
    int differing = 0, grey = 0;
    constexpr int kStep = 45;
    for (int top = view.top(); top <= view.bottom(); top += kStep)
        for (int left = view.left(); left <= view.right(); left += kStep) {
            const QRect part = QRect(left, top, kStep, kStep) & view;
            const QImage small = PaintArea(part);
            for (int y = part.top(); y <= part.bottom(); ++y)
                for (int x = part.left(); x <= part.right(); ++x) {
                    differing += small.pixel(x, y) != whole.pixel(x, y);
                    grey += qGray(whole.pixel(x, y)) > 100 && qGray(whole.pixel(x, y)) < 200;
                }
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(grey, 500) << "the instruments lie in the view";

    // Far from every instrument, a small repaint draws none of them.
    Form->Instruments.LinW = 0.0;
    const TInstrumentPictures shown = Form->ShownInstruments();
    ASSERT_TRUE(shown.Ruler && shown.Protractor && shown.Compass);
    const TInstrumentPictures far = Form->InstrumentsMeeting(shown, 0, QRect(740, 1070, 40, 40));
    EXPECT_FALSE(far.Ruler || far.Protractor || far.Compass);
}

} // namespace
} // namespace quirindo::test
