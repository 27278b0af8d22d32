// Text objects: font attributes, colour, measuring and the extent written back
// into the record.

#include "RenderTestSupport.h"

#include <QFontInfo>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>

namespace quirindo {
namespace {

using namespace test;

TEST(RenderText, FontFollowsTheRecord) {
    TDrawing drawing;
    TTextObject& t = AddText(drawing, u"x", 0, 0, 12, "Caf\xe9");
    const TTextFontResolver fonts;
    QFont f = fonts.Font(t, 1.0);
    EXPECT_EQ(f.family(), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(f.pixelSize(), 12);
    EXPECT_FALSE(f.bold() || f.italic() || f.underline() || f.strikeOut() || f.fixedPitch());

    t.Style = fsBold | fsUnderline;
    f = fonts.Font(t, 1.0);
    EXPECT_TRUE(f.bold() && f.underline());
    EXPECT_FALSE(f.italic() || f.strikeOut());
    t.Style = fsItalic | fsStrikeOut;
    f = fonts.Font(t, 1.0);
    EXPECT_TRUE(f.italic() && f.strikeOut());
    EXPECT_FALSE(f.bold() || f.underline());

    t.Pitch = 2;
    f = fonts.Font(t, 1.0);
    EXPECT_TRUE(f.fixedPitch());
    EXPECT_EQ(f.styleHint(), QFont::TypeWriter);

    // The pixel size follows the zoom factor and is never 0.
    EXPECT_EQ(fonts.Font(t, 3.0).pixelSize(), 36);
    t.Size = 1;
    EXPECT_EQ(fonts.Font(t, 0.01).pixelSize(), 1);
    EXPECT_EQ(TextPixelSize(12, 0.125), 2); // 1.5
    EXPECT_EQ(TextPixelSize(10, 0.25), 2);  // 2.5
    EXPECT_EQ(TextPixelSize(0, 1.0), 1);
    EXPECT_EQ(TextPixelSize(-12, 1.0), 12);
    EXPECT_EQ(TextPixelSize(INT_MAX, 3.0), kMaxFontPx);
    EXPECT_EQ(TextPixelSize(INT_MIN, 3.0), kMaxFontPx);
}

TEST(RenderText, ArialResolvesToAMetricCompatibleFace) {
    TDrawing drawing;
    const QFont f = TTextFontResolver().Font(AddText(drawing, u"x", 0, 0), 1.0);
    const QFontInfo info(f);
    EXPECT_TRUE(info.family().contains(QStringLiteral("Arial")) ||
                info.family().contains(QStringLiteral("Liberation Sans")))
        << info.family().toStdString();
}

TEST(RenderText, ExtentIsWrittenBackTheSameOnEveryPage) {
    TDrawing drawing;
    TTextObject& t = AddText(drawing, u"Hallo Welt", 20, 2 * kA4HeightMm + 30);
    double bottom = 0, right = 0;
    for (int page = 0; page < 3; ++page) {
        const QImage image = RenderA4(drawing, page);
        EXPECT_GT(t.Bottom, t.Top);
        EXPECT_GT(t.Right, t.Left);
        if (page > 0) {
            EXPECT_NEAR(t.Bottom, bottom, 1e-9);
            EXPECT_DOUBLE_EQ(t.Right, right);
        }
        bottom = t.Bottom;
        right = t.Right;
        // Drawn on its own page only.
        EXPECT_EQ(InkPixels(image, 1).empty(), page != 2) << page;
    }
    // A size-12 text at zoom 100 is about 12 pixels, some 3.2 mm, high.
    const double heightPx = (t.Bottom - t.Top) * kScale100;
    EXPECT_GE(heightPx, 12.0);
    EXPECT_LE(heightPx, 16.0);

    // The pixel extent grows with the zoom, so the extent in mm stays put.
    RenderA4(drawing, 2, 300.0);
    EXPECT_NEAR((t.Bottom - t.Top) * kScale100, heightPx, 1.0);
    EXPECT_EQ(drawing.CurText, &drawing.Texts[0]);
}

TEST(RenderText, TheDrawnTextLiesInsideItsExtent) {
    TDrawing drawing;
    TTextObject& t = AddText(drawing, u"Wg|", 40, 40, 40);
    const QImage page = RenderA4(drawing, 0);
    const TPixelSet ink = InkPixels(page, 1);
    ASSERT_FALSE(ink.empty());
    const int left = RoundHalfEven(t.Left * kScale100), top = RoundHalfEven(t.Top * kScale100);
    const double right = t.Right * kScale100, bottom = t.Bottom * kScale100;
    for (const auto& [x, y] : ink) {
        ASSERT_TRUE(x >= left && x <= right + 1 && y >= top && y <= bottom + 1) << x << "," << y;
    }
}

TEST(RenderText, LineBreaksOfEveryKindMakeLines) {
    TDrawing drawing;
    TTextObject& one = AddText(drawing, u"Zeile", 10, 10);
    TTextObject& crlf = AddText(drawing, u"Zeile\r\nlange Zeile", 10, 30);
    TTextObject& lf = AddText(drawing, u"Zeile\nlange Zeile", 10, 50);
    TTextObject& cr = AddText(drawing, u"Zeile\rlange Zeile", 10, 70);
    TTextObject& longer = AddText(drawing, u"lange Zeile", 10, 90);
    RenderA4(drawing, 0);
    const double h1 = one.Bottom - one.Top;
    EXPECT_NEAR(crlf.Bottom - crlf.Top, 2 * h1, 1.0 / kScale100);
    EXPECT_NEAR(lf.Bottom - lf.Top, crlf.Bottom - crlf.Top, 1e-9);
    EXPECT_NEAR(cr.Bottom - cr.Top, crlf.Bottom - crlf.Top, 1e-9);
    EXPECT_DOUBLE_EQ(crlf.Right, longer.Right); // as wide as the longest line
}

TEST(RenderText, WindowTextColourComesFromTheCaller) {
    const TTextFontResolver fonts(QColor(0, 128, 0));
    EXPECT_EQ(fonts.Color(clWindowText), QColor(0, 128, 0));
    EXPECT_EQ(fonts.Color(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(clWindowText, static_cast<TColor>(0x80000008u));

    TDrawing drawing;
    AddText(drawing, u"IIII", 20, 20, 40).Color = clWindowText;
    const QImage page = RenderA4(drawing, 0, 100.0, fonts);
    bool full = false;
    for (const auto& [x, y] : InkPixels(page, 1)) {
        const QColor c = page.pixelColor(x, y);
        full = full || c == QColor(0, 128, 0);
        ASSERT_EQ(c.red(), c.blue()) << x << "," << y; // green blended into white only
    }
    EXPECT_TRUE(full);
}

TEST(RenderText, StyleBitsChangeThePicture) {
    TDrawing plain, bold, underlined;
    AddText(plain, u"Muster", 20, 20, 24);
    AddText(bold, u"Muster", 20, 20, 24).Style = fsBold;
    AddText(underlined, u"Muster", 20, 20, 24).Style = fsUnderline;
    const size_t plainInk = InkPixels(RenderA4(plain, 0), 1).size();
    EXPECT_GT(InkPixels(RenderA4(bold, 0), 1).size(), plainInk * 11 / 10);
    // The underline adds ink beneath the base line across the whole word.
    const QImage u = RenderA4(underlined, 0);
    const QImage p = RenderA4(plain, 0);
    const TTextObject& t = underlined.Texts[0];
    const int left = RoundHalfEven(t.Left * kScale100) + 2;
    const int right = RoundHalfEven(t.Right * kScale100) - 2;
    bool underline = false;
    for (int y = RoundHalfEven(t.Top * kScale100); y < RoundHalfEven(t.Bottom * kScale100); ++y) {
        bool row = true;
        for (int x = left; x <= right && row; ++x)
            row = IsInk(u, x, y) && u.pixel(x, y) == qRgb(0, 0, 0);
        bool plainRow = true;
        for (int x = left; x <= right && plainRow; ++x)
            plainRow = IsInk(p, x, y);
        underline = underline || (row && !plainRow);
    }
    EXPECT_TRUE(underline);
}

TEST(RenderText, TextBackgroundIsTransparentAndTextsLieAboveObjects) {
    TDrawing drawing;
    AddText(drawing, u"M", 20, 20, 40);
    // A black bar under the text's area, then a white "eraser" stroke over it.
    AddObject(drawing, okLine, 20.0, {10, 22, 60, 22});
    AddObject(drawing, okLine, 20.0, {10, 22, 60, 22}, clWhite);
    AddObject(drawing, okLine, 10.0, {10, 60, 60, 60});
    AddText(drawing, u"M", 20, 55, 20).Color = 0xFFFFFF;
    const QImage page = RenderA4(drawing, 0);
    // The first text survives the white stroke drawn after it in store order.
    EXPECT_FALSE(InkPixels(page, 1).empty());
    // The white text on the black bar leaves the bar black between its glyphs.
    const int y = RoundHalfEven(55 * kScale100) + 10; // through the glyph
    EXPECT_EQ(page.pixel(RoundHalfEven(15 * kScale100), y), qRgb(0, 0, 0));
    bool white = false;
    for (int x = RoundHalfEven(20 * kScale100); x < RoundHalfEven(20 * kScale100) + 20; ++x)
        white = white || page.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_TRUE(white);
}

TEST(RenderText, OddTextsStillPaint) {
    TDrawing drawing;
    TTextObject& empty = AddText(drawing, u"", 10, 10);
    TTextObject& tiny = AddText(drawing, u"Klein", 10, 20, 1);
    TTextObject& huge = AddText(drawing, u"W", 10, 30, INT_MAX);
    TTextObject& far = AddText(drawing, u"weit", 1e300, -1e300);
    RenderA4(drawing, 0, 1.0);
    EXPECT_DOUBLE_EQ(empty.Right, RoundHalfEven(10 * A4View(0, 1.0).Scale) / A4View(0, 1.0).Scale);
    EXPECT_GE(tiny.Bottom, tiny.Top);
    EXPECT_GT(huge.Bottom - huge.Top, 100.0); // clamped, still measured
    EXPECT_GT(far.Right, 1e6);
}

} // namespace
} // namespace quirindo
