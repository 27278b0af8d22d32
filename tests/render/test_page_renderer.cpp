// Whole pages: paper, border, drawing and the instrument pictures above it.

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace quirindo {
namespace {

using namespace test;

void ExpectPaper(const QImage& page) {
    const int w = page.width(), h = page.height();
    for (int x = 0; x < w; ++x) {
        ASSERT_EQ(page.pixel(x, 0), qRgb(0, 0, 0)) << x;
        ASSERT_EQ(page.pixel(x, h - 1), qRgb(0, 0, 0)) << x;
    }
    for (int y = 0; y < h; ++y) {
        ASSERT_EQ(page.pixel(0, y), qRgb(0, 0, 0)) << y;
        ASSERT_EQ(page.pixel(w - 1, y), qRgb(0, 0, 0)) << y;
    }
    EXPECT_TRUE(InkPixels(page, 1).empty());
}

TEST(PageRenderer, PaperIsWhiteWithABlackBorder) {
    TDrawing drawing;
    const QImage a4 = RenderA4(drawing, 0);
    EXPECT_EQ(a4.size(), QSize(794, 1123));
    ExpectPaper(a4);

    // Zoom 1 per cent: an 8 x 11 sheet, still paper.
    const QImage tiny = RenderA4(drawing, 0, 1.0);
    EXPECT_EQ(tiny.size(), QSize(8, 11));
    ExpectPaper(tiny);
}

// The pictures come after the drawing, in their order, and darken what
// lies below without hiding it: on paper they show their own colour, over a
// line drawn under them the line stays as dark as it is.
TEST(PageRenderer, InstrumentsComeLastInTheirOrderAndLetTheDrawingShow) {
    std::vector<std::string> calls;
    auto square = [&](const char* name, TColor colour, QRect r) {
        return [&calls, name, colour, r](TCanvas& canvas, const TPageView& view) {
            if (calls.empty()) { // the state the first picture starts from
                EXPECT_EQ(canvas.PenColor(), clGray);
                EXPECT_EQ(canvas.PenWidth(), 1);
                EXPECT_EQ(canvas.PenStyle(), TPenStyle::Solid);
                EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::Clear);
            }
            EXPECT_EQ(view.Page, 1);
            calls.push_back(name);
            canvas.SetPenColor(colour);
            canvas.SetBrushStyle(TBrushStyle::Solid);
            canvas.SetBrushColor(colour);
            canvas.Rectangle(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        };
    };
    TInstrumentPictures pictures;
    pictures.Compass = square("compass", clGray, QRect(300, 0, 40, 120));
    pictures.Ruler = square("ruler", 0x00FFFF, QRect(20, 100, 40, 40));           // yellow
    pictures.Protractor = square("protractor", 0xFFFF00, QRect(40, 100, 40, 40)); // cyan
    TDrawing onPage1;
    // Black, 10 mm wide, across the top of page 1: y from about 19 to 57 px.
    AddObject(onPage1, okLine, 10.0, {0, kA4HeightMm + 10, 100, kA4HeightMm + 10});
    const QImage page = RenderPageImage(onPage1, A4View(1), TTextFontResolver(), pictures);
    EXPECT_EQ(calls, (std::vector<std::string>{"ruler", "protractor", "compass"}));
    EXPECT_EQ(page.pixel(30, 120), qRgb(255, 255, 0)); // on paper, in its own colour
    EXPECT_EQ(page.pixel(70, 120), qRgb(0, 255, 255));
    EXPECT_EQ(page.pixel(50, 120), qRgb(0, 255, 0)); // neither hides the other
    EXPECT_EQ(page.pixel(320, 100), qRgb(0x80, 0x80, 0x80));
    EXPECT_EQ(page.pixel(320, 38), qRgb(0, 0, 0)); // the line under it stays black
    EXPECT_EQ(page.pixel(200, 38), qRgb(0, 0, 0)); // the drawing beside it
}

TEST(PageRenderer, WithoutInstrumentsOnlyTheDrawingShows) {
    TDrawing drawing;
    AddObject(drawing, okEllipse, 0.1, {50, 50, 100, 80});
    TInstrumentPictures none;
    TInstrumentPictures onlyCompass;
    onlyCompass.Compass = [](TCanvas& canvas, const TPageView&) { canvas.Ellipse(1, 1, 30, 30); };
    const QImage plain = RenderPageImage(drawing, A4View(0), TTextFontResolver(), none);
    EXPECT_EQ(plain, RenderA4(drawing, 0));
    const QImage withCompass =
        RenderPageImage(drawing, A4View(0), TTextFontResolver(), onlyCompass);
    EXPECT_EQ(withCompass.pixel(1, 15), qRgb(0x80, 0x80, 0x80)); // drawn in the grey pen
    EXPECT_TRUE(IsInk(plain, RoundHalfEven(50 * kScale100), RoundHalfEven(65 * kScale100)));
}

TEST(PageRenderer, HighDensityImagesKeepLogicalGeometry) {
    TDrawing drawing;
    AddObject(drawing, okLine, 0.1, {10, 20, 50, 20});
    TPageView view = A4View(0);
    const QImage image = RenderPageImage(drawing, view, TTextFontResolver(), {}, 2.0);
    EXPECT_EQ(image.size(), QSize(2 * 794, 2 * 1123));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    // The 1-pixel border and line are two device pixels thick.
    EXPECT_TRUE(IsInk(image, 0, 500) && IsInk(image, 1, 500));
    EXPECT_FALSE(IsInk(image, 2, 500));
    EXPECT_TRUE(IsInk(image, 2 * 113, 2 * 76) && IsInk(image, 2 * 113, 2 * 76 + 1));
    EXPECT_FALSE(IsInk(image, 2 * 113, 2 * 76 - 1) || IsInk(image, 2 * 113, 2 * 76 + 2));
}

TEST(PageRenderer, UnrenderableSizesGiveANullImage) {
    TDrawing drawing;
    TPageView view = A4View(0);
    view.WidthPx = 0;
    EXPECT_TRUE(RenderPageImage(drawing, view, TTextFontResolver()).isNull());
    view.WidthPx = 100000;
    view.HeightPx = 100000;
    EXPECT_TRUE(RenderPageImage(drawing, view, TTextFontResolver()).isNull());
    view = A4View(0);
    EXPECT_TRUE(RenderPageImage(drawing, view, TTextFontResolver(), {}, 1e9).isNull());
}

} // namespace
} // namespace quirindo

namespace quirindo {
namespace {

using namespace test;

// The page's picture made of 256-pixel tiles put side by side.
QImage ComposeTiles(TDrawing& drawing, const TPageView& view, double dpr,
                    const TObjectIndex* index = nullptr) {
    QImage composed(QSize(view.WidthPx, view.HeightPx) * dpr, QImage::Format_RGB32);
    composed.fill(Qt::darkGray);
    QPainter painter(&composed);
    const int t = 256;
    for (int y = 0; y < view.HeightPx; y += t)
        for (int x = 0; x < view.WidthPx; x += t) {
            const QRect area = QRect(x, y, t, t) & QRect(0, 0, view.WidthPx, view.HeightPx);
            const QImage tile = RenderPageTile(drawing, view, TTextFontResolver(), area, dpr, index);
            EXPECT_EQ(tile.size(), area.size() * dpr);
            QImage devicePixels = tile;
            devicePixels.setDevicePixelRatio(1.0);
            painter.drawImage(QPoint(int(x * dpr), int(y * dpr)), devicePixels);
        }
    return composed;
}

int DifferingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

// Tiles put side by side give the whole page's picture, pixel for pixel, on
// plain and on 2x screens: no seams, nothing cut at a tile's edge.
TEST(PageTiles, TilesComposeToTheWholePage) {
    TDrawing drawing;
    AddObject(drawing, okLine, 0.5, {10, 67.7, 200, 68.1});   // across every column
    AddObject(drawing, okEllipse, 0.3, {50, 50, 90, 90});     // over a tile corner
    AddObject(drawing, okBezier, 1.0, {60, 100, 70, 130, 80, 40, 90, 120});
    AddObject(drawing, okArc, 0.2, {100, 120, 180, 200, 180, 120, 100, 200});
    for (double dpr : {1.0, 2.0}) {
        const TPageView view = A4View(0);
        const QImage whole = RenderPageImage(drawing, view, TTextFontResolver(), {}, dpr);
        EXPECT_EQ(DifferingPixels(whole, ComposeTiles(drawing, view, dpr)), 0)
            << "device pixel ratio " << dpr;
    }
}

// Tiles that take their objects from the index show what tiles that walk
// every object show: thick pens reaching into a neighbouring tile, ellipses flatter than
// their hit circle, white strokes over black ones in the order drawn, long
// lines across pages, and objects of the next page reaching over its top.
TEST(PageTiles, TilesThroughTheIndexShowEveryObjectInItsOrder) {
    TDrawing drawing;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> x(-10, 220), y(-10, 610), d(-25, 25), w(0.05, 4.0);
    for (int i = 0; i < 2500; ++i) {
        const std::int32_t kind = std::array{okLine, okArc, okEllipse, okBezier}[rng() % 4];
        const double x1 = x(rng), y1 = y(rng);
        TDrawObject& o = AddObject(drawing, kind, w(rng),
                                   {x1, y1, x1 + d(rng), y1 + d(rng) / 3, x1 + d(rng), y1 + d(rng),
                                    x1 + d(rng), y1 + d(rng)});
        o.Color = rng() % 3 == 0 ? clWhite : clBlack;
    }
    AddObject(drawing, okLine, 0.3, {5, 20, 205, 580}); // over both pages
    TObjectIndex index;
    index.Sync(drawing);
    for (const auto& [page, zoom] : {std::pair{0, 100.0}, std::pair{1, 100.0}, std::pair{1, 300.0}}) {
        const TPageView view = A4View(page, zoom);
        const QImage walked = ComposeTiles(drawing, view, 1.0);
        const QImage indexed = ComposeTiles(drawing, view, 1.0, &index);
        EXPECT_EQ(DifferingPixels(walked, indexed), 0) << "page " << page << " zoom " << zoom;
        int ink = 0;
        for (int row = 0; row < indexed.height(); row += 4)
            for (int column = 0; column < indexed.width(); column += 4)
                ink += IsInk(indexed, column, row);
        EXPECT_GT(ink, 1000) << "page " << page << " zoom " << zoom;
    }
}

// A tile skips the texts far from it by their box as last painted, which
// may come from another zoom: every text is still whole in the tiles, as
// the page drawn in one piece (which measures every text) shows it.
TEST(PageTiles, TextsAreWholeInTilesAfterAZoomChange) {
    TDrawing drawing;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> x(-20, 200), y(-10, 290);
    const std::u16string words = u"Konstruktion einer Mittelsenkrechten mit Zirkel und Lineal";
    for (int i = 0; i < 60; ++i) {
        const std::size_t length = 3 + rng() % (words.size() - 3);
        AddText(drawing, std::u16string_view(words).substr(0, length), x(rng), y(rng),
                static_cast<std::int32_t>(6 + rng() % 40));
    }
    const TPageView view = A4View(0, 100.0);
    for (const double measuredAt : {37.0, 300.0}) {
        (void)RenderA4(drawing, 0, measuredAt);
        const QImage tiles = ComposeTiles(drawing, view, 1.0);
        const QImage whole = RenderPageImage(drawing, view, TTextFontResolver());
        EXPECT_EQ(DifferingPixels(whole, tiles), 0) << "boxes measured at zoom " << measuredAt;
    }
}

TEST(PageTiles, AnyPartOfAHugePageShowsPaperBorderAndObjects) {
    TDrawing drawing;
    AddObject(drawing, okLine, 1.0, {9000, 9000, 9010, 9000});
    TPageView view = A4View(0);
    // Ten metres square at 300 per cent, far beyond what one picture holds.
    view.Scale = 3 * kScale100;
    view.WidthPx = view.HeightPx = static_cast<int>(10000 * view.Scale);
    view.PageHeightInch = 10000 / kMmPerInch;
    EXPECT_TRUE(RenderPageImage(drawing, view, TTextFontResolver(), {}, 2.0).isNull());
    const int x = RoundHalfEven(9005 * view.Scale), y = RoundHalfEven(9000 * view.Scale);
    const QImage middle =
        RenderPageTile(drawing, view, TTextFontResolver(), QRect(x - 128, y - 128, 256, 256), 2.0);
    ASSERT_EQ(middle.size(), QSize(512, 512));
    EXPECT_TRUE(IsInk(middle, 256, 256));
    EXPECT_EQ(middle.pixel(256, 20), qRgb(255, 255, 255));
    const QRect cornerArea(view.WidthPx - 256, view.HeightPx - 256, 256, 256);
    const QImage corner = RenderPageTile(drawing, view, TTextFontResolver(), cornerArea, 2.0);
    EXPECT_TRUE(IsInk(corner, 511, 300) && IsInk(corner, 300, 511)); // the border
    EXPECT_EQ(corner.pixel(300, 300), qRgb(255, 255, 255));
}

} // namespace
} // namespace quirindo
