// The DXF export as a CAD user sees it: the file is drawn by LibreCAD
// (dxf2pdf, then pdftoppm for pixels) and compared with the page the program
// itself paints. Texts must put their ink where the page shows it, and
// umlauts must come out as their glyphs.

#include "DrawingFile.h"
#include "DxfTextMeasure.h"
#include "DxfWriter.h"
#include "PageRenderer.h"
#include "TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

using namespace quirindo;

namespace {

// 192 dpi: twice the 96 dpi screen the text sizes count in, so the page is
// painted at zoom 200 and LibreCAD's PDF is rasterised at the same scale.
constexpr int kDpi = 192;
constexpr double kScale = kDpi / kMmPerInch; // pixels per millimetre

bool HaveTools() {
    return std::system("command -v librecad >/dev/null 2>&1 && command -v pdftoppm >/dev/null "
                       "2>&1") == 0;
}

struct TInk {
    double Left = 0, Top = 0, Bottom = 0; // mm from the page's left and top edge
};

// The extent of the dark pixels inside a box given in millimetres.
std::optional<TInk> InkIn(const QImage& image, double left, double top, double right,
                          double bottom) {
    int minX = INT32_MAX, minY = INT32_MAX, maxY = -1;
    for (int y = static_cast<int>(top * kScale); y < static_cast<int>(bottom * kScale); ++y)
        for (int x = static_cast<int>(left * kScale); x < static_cast<int>(right * kScale); ++x) {
            if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) continue;
            if (qGray(image.pixel(x, y)) >= 128) continue;
            minX = std::min(minX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    if (maxY < 0) return std::nullopt;
    return TInk{minX / kScale, minY / kScale, (maxY + 1) / kScale};
}

class DxfPicture : public ::testing::Test {
protected:
    // The page as the program paints it.
    QImage Page(TDrawing& drawing) {
        TPageView view;
        view.Page = 0;
        view.Scale = kScale;
        view.FontFactor = kDpi / 96.0;
        view.PageHeightInch = 297.0 / kMmPerInch;
        view.WidthPx = static_cast<int>(210 * kScale);
        view.HeightPx = static_cast<int>(297 * kScale);
        return RenderPageImage(drawing, view, TTextFontResolver())
            .convertToFormat(QImage::Format_RGB32);
    }

    // The exported file as LibreCAD draws it on A4 at 1:1, without margins.
    QImage Cad(const TDrawing& drawing) {
        const std::string dxf = Dir.File("drawing.dxf");
        TDxfWriteOptions options;
        options.TextMeasure = DxfTextMeasure(TTextFontResolver(), 96.0);
        std::string error;
        EXPECT_TRUE(WriteDxfFile(dxf, drawing, 1, 297.0 / kMmPerInch, error, options)) << error;
        const std::string pdf = Dir.File("drawing.pdf");
        const std::string command =
            "QT_QPA_PLATFORM=offscreen timeout 120 librecad dxf2pdf -p 210x297 -f 0,0,0,0 -s 1 "
            "-o '" +
            pdf + "' '" + dxf + "' >/dev/null 2>&1 && pdftoppm -r " + std::to_string(kDpi) +
            " -png -singlefile '" + pdf + "' '" + Dir.File("cad") + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return QImage(QString::fromStdString(Dir.File("cad.png")))
            .convertToFormat(QImage::Format_RGB32);
    }

    test::TTempDir Dir;
};

TEST_F(DxfPicture, TextInkStandsWhereThePageShowsIt) {
    if (!HaveTools()) GTEST_SKIP() << "librecad or pdftoppm is not installed";
    TDrawing d;
    TTextObject* one = d.AppendText(u"HHH", "Arial");
    one->Left = 30;
    one->Top = 40;
    one->Size = 40;
    // Lines two and three of a text: each on its own baseline below the first.
    TTextObject* lines = d.AppendText(u"H\r\nHH\nHHH", "Arial");
    lines->Left = 110;
    lines->Top = 100;
    lines->Size = 30;

    const QImage page = Page(d);
    const QImage cad = Cad(d);
    ASSERT_FALSE(cad.isNull());
    // Both A4 at the same dots per millimetre (rounded differently).
    ASSERT_NEAR(cad.width(), page.width(), 1);
    ASSERT_NEAR(cad.height(), page.height(), 1);

    // Box per line, in mm; a line of a size-30 text is about 9 mm high.
    struct TBox {
        double L, T, R, B;
    };
    const TBox boxes[] = {
        {20, 30, 100, 60}, {100, 95, 200, 109}, {100, 109, 200, 118}, {100, 118, 200, 128}};
    for (const TBox& b : boxes) {
        const auto drawn = InkIn(page, b.L, b.T, b.R, b.B);
        const auto exported = InkIn(cad, b.L, b.T, b.R, b.B);
        ASSERT_TRUE(drawn.has_value()) << "box at " << b.L << ", " << b.T;
        ASSERT_TRUE(exported.has_value()) << "nothing drawn by LibreCAD at " << b.L << ", " << b.T;
        // Capital tops and baselines agree to a few tenths of a millimetre;
        // the left edge differs by the fonts' side bearings only.
        EXPECT_NEAR(exported->Top, drawn->Top, 0.4) << "box at " << b.L << ", " << b.T;
        EXPECT_NEAR(exported->Bottom, drawn->Bottom, 0.4) << "box at " << b.L << ", " << b.T;
        EXPECT_NEAR(exported->Left, drawn->Left, 1.5) << "box at " << b.L << ", " << b.T;
    }
}

// An umlaut stands above its letter: with the code page declared the reader
// draws the dots, where a wrong code page gives a replacement glyph no
// higher than the letters.
TEST_F(DxfPicture, UmlautsAreDrawnAsTheirGlyphs) {
    if (!HaveTools()) GTEST_SKIP() << "librecad or pdftoppm is not installed";
    TDrawing d;
    const auto add = [&d](std::u16string_view text, double left) {
        TTextObject* t = d.AppendText(text, "Arial");
        t->Left = left;
        t->Top = 50;
        t->Size = 40;
    };
    add(u"AOU", 20);
    add(u"\u00C4\u00D6\u00DC", 110);
    const QImage cad = Cad(d);
    ASSERT_FALSE(cad.isNull());
    const auto plain = InkIn(cad, 10, 35, 100, 70);
    const auto umlauts = InkIn(cad, 100, 35, 200, 70);
    ASSERT_TRUE(plain.has_value());
    ASSERT_TRUE(umlauts.has_value());
    EXPECT_NEAR(umlauts->Bottom, plain->Bottom, 0.3) << "same baseline";
    EXPECT_LT(umlauts->Top, plain->Top - 0.8) << "the dots stand above the capitals";
}

} // namespace
