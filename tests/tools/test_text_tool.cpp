// The text tool on a stand-in window: add, hover, change, delete and move.

#include "FakeEditHost.h"
#include "TextTool.h"

#include <gtest/gtest.h>

namespace quirindo::test {
namespace {

using namespace tools;

class TextToolTest : public ::testing::Test {
protected:
    TFakeEditHost Host;

    // A text at (left, top) mm whose measured extent is w x h mm.
    TTextObject& Put(double left, double top, double w, double h, const char16_t* text = u"abc",
                     const char* face = "Arial") {
        TTextObject* t = Host.Doc.AppendText(text, face);
        t->Left = left;
        t->Top = top;
        t->Right = left + w;
        t->Bottom = top + h;
        t->Size = 12;
        return *t;
    }
    // Hover at view position (x, y) and expect text i highlighted.
    void HoverOn(int x, int y, std::int32_t i) {
        TextHover(Host, x, y);
        ASSERT_TRUE(Host.Ptr.HoverShown);
        ASSERT_EQ(Host.Ptr.HoverIndex, i);
    }
};

TEST_F(TextToolTest, AddPlacesTheTextAtThePressInTheTextFont) {
    Host.Font = TTextFont{QStringLiteral("Courier New"), 14, 0x00FF00, 0, 2, fsBold | fsItalic};
    Host.TextAnswers.push_back(u"Zeile 1\r\nZeile 2");
    // Paint-box pixel (105, 55) is view position (100, 50); s = 5.
    TextAddPress(Host, 100, 50);
    ASSERT_EQ(Host.Doc.Texts.Count(), 1);
    const TTextObject& t = Host.Doc.Texts[0];
    EXPECT_DOUBLE_EQ(t.Left, 20.0);
    EXPECT_DOUBLE_EQ(t.Top, 10.0);
    EXPECT_EQ(TextOf(t), u"Zeile 1\r\nZeile 2");
    EXPECT_EQ(FontNameOf(t), "Courier New");
    EXPECT_EQ(t.Size, 14);
    EXPECT_EQ(t.Color, 0x00FF00);
    EXPECT_EQ(t.Pitch, 2);
    EXPECT_EQ(t.Style, fsBold | fsItalic);
    // Measured at once: two lines of 14 pixels are more than 5 mm high.
    EXPECT_GT(t.Right, t.Left);
    EXPECT_GT(t.Bottom - t.Top, 5.0);
    EXPECT_EQ(Host.Changes, 1);
    EXPECT_EQ(Host.Repaints, 1);
    // A new text asks with whatever the dialog held last time.
    ASSERT_EQ(Host.TextPresets.size(), 1u);
    EXPECT_FALSE(Host.TextPresets[0].has_value());
}

TEST_F(TextToolTest, CancelledAddAddsNothing) {
    TextAddPress(Host, 10, 10);
    EXPECT_EQ(Host.Doc.Texts.Count(), 0);
    EXPECT_EQ(Host.Changes, 0);
}

TEST_F(TextToolTest, NonAsciiFaceIsStoredInWindows1252) {
    Host.Font.Face = QStringLiteral("Schrift\u00e4");
    Host.TextAnswers.push_back(u"\u20ac");
    TextAddPress(Host, 0, 0);
    EXPECT_EQ(FontNameOf(Host.Doc.Texts[0]), "Schrift\xe4");
    EXPECT_EQ(FontOfText(Host.Doc.Texts[0]).Face, QStringLiteral("Schrift\u00e4"));
}

TEST_F(TextToolTest, HoverFindsTheLaterOfOverlappingTextsAndHighlightsInRed) {
    Put(10, 10, 20, 10);
    Put(15, 12, 20, 10);
    HoverOn(100, 70, 1); // (20 mm, 14 mm) lies in both
    EXPECT_TRUE(Host.Ptr.HoverFound);
    EXPECT_GT(Host.CountReddish(Host.View), 0);
    HoverOn(55, 55, 0); // only the first (11 mm, 11 mm)
    // Edges count: the first text's right edge is at 30 mm = 150 px.
    HoverOn(150, 50, 0);
    const int repaints = Host.Repaints;
    TextHover(Host, 300, 300);
    EXPECT_FALSE(Host.Ptr.HoverShown);
    EXPECT_FALSE(Host.Ptr.HoverFound);
    EXPECT_EQ(Host.Repaints, repaints + 1);
    // Away from all texts with nothing shown: no repaint.
    TextHover(Host, 310, 300);
    EXPECT_EQ(Host.Repaints, repaints + 1);
}

TEST_F(TextToolTest, DeletingTheFirstOfThreeMovesTheOthersDown) {
    Put(0, 0, 10, 5, u"eins");
    Put(0, 20, 10, 5, u"zwei");
    Put(0, 40, 10, 5, u"drei");
    HoverOn(10, 10, 0);
    TextDeletePress(Host);
    ASSERT_EQ(Host.Doc.Texts.Count(), 2);
    EXPECT_EQ(TextOf(Host.Doc.Texts[0]), u"zwei");
    EXPECT_EQ(TextOf(Host.Doc.Texts[1]), u"drei");
    EXPECT_FALSE(Host.Ptr.HoverShown);
    EXPECT_EQ(Host.Changes, 1);
    // Without a new hover a second press does nothing.
    TextDeletePress(Host);
    EXPECT_EQ(Host.Doc.Texts.Count(), 2);
    HoverOn(10, 210, 1);
}

TEST_F(TextToolTest, PressesWithNothingHighlightedDoNothing) {
    Put(0, 0, 10, 5);
    TextDeletePress(Host);
    TextChangePress(Host);
    TextMovePress(Host, 5, 5);
    EXPECT_EQ(Host.Doc.Texts.Count(), 1);
    EXPECT_FALSE(Host.Ptr.TextMoving);
    EXPECT_TRUE(Host.TextPresets.empty());
    EXPECT_EQ(Host.Changes, 0);
}

TEST_F(TextToolTest, AStaleHighlightIndexIsIgnored) {
    Put(0, 0, 10, 5);
    HoverOn(5, 5, 0);
    Host.Doc.DeleteText(0); // e.g. a new drawing under the highlight
    TextDeletePress(Host);
    EXPECT_EQ(Host.Changes, 0);
}

TEST_F(TextToolTest, ChangeLoadsTheTextAndItsFontAndKeepsPosition) {
    TTextObject& t = Put(10, 20, 10, 5, u"alt", "Times New Roman");
    t.Size = 30;
    t.Color = 0x0000FF;
    t.Style = fsUnderline;
    HoverOn(60, 110, 0);
    Host.TextAnswers.push_back(u"neu");
    TextChangePress(Host);
    ASSERT_EQ(Host.TextPresets.size(), 1u);
    EXPECT_EQ(Host.TextPresets[0], std::u16string(u"alt"));
    EXPECT_EQ(Host.FontsAtDialog[0].Face, QStringLiteral("Times New Roman"));
    const TTextObject& c = Host.Doc.Texts[0];
    EXPECT_EQ(TextOf(c), u"neu");
    EXPECT_EQ(FontNameOf(c), "Times New Roman");
    EXPECT_EQ(c.Size, 30); // the size as chosen, whatever the zoom
    EXPECT_EQ(c.Color, 0x0000FF);
    EXPECT_EQ(c.Style, fsUnderline);
    EXPECT_DOUBLE_EQ(c.Left, 10.0);
    EXPECT_DOUBLE_EQ(c.Top, 20.0);
    EXPECT_EQ(Host.Changes, 1);
    EXPECT_FALSE(Host.Ptr.HoverShown);
}

TEST_F(TextToolTest, CancelledChangeKeepsTheTextButTheTextFontTakesItsFace) {
    Put(10, 20, 10, 5, u"alt", "Verdana");
    HoverOn(60, 110, 0);
    TextChangePress(Host); // cancelled
    EXPECT_EQ(TextOf(Host.Doc.Texts[0]), u"alt");
    EXPECT_EQ(Host.Changes, 0);
    EXPECT_EQ(Host.Font.Face, QStringLiteral("Verdana"));
    EXPECT_GE(Host.Repaints, 2); // also after a cancel
    Host.TextAnswers.push_back(u"neu");
    TextAddPress(Host, 0, 0);
    EXPECT_EQ(FontNameOf(Host.Doc.Texts[1]), "Verdana");
}

TEST_F(TextToolTest, MovingBy50PixelsAtScale5Adds10Millimetres) {
    Put(10, 20, 10, 5);
    HoverOn(60, 110, 0);
    TextMovePress(Host, 60, 110);
    EXPECT_TRUE(Host.Ptr.TextMoving);
    TextMoveDrag(Host, 90, 110);
    // The drag shows the text moved; the record stays until the release.
    EXPECT_DOUBLE_EQ(Host.Doc.Texts[0].Left, 10.0);
    TextMoveRelease(Host, 110, 100);
    EXPECT_FALSE(Host.Ptr.TextMoving);
    const TTextObject& t = Host.Doc.Texts[0];
    EXPECT_DOUBLE_EQ(t.Left, 20.0);
    EXPECT_DOUBLE_EQ(t.Right, 30.0);
    EXPECT_DOUBLE_EQ(t.Top, 18.0);
    EXPECT_DOUBLE_EQ(t.Bottom, 23.0);
    EXPECT_EQ(Host.Changes, 1);
}

TEST_F(TextToolTest, AbandonedMoveLeavesTheText) {
    Put(10, 20, 10, 5);
    HoverOn(60, 110, 0);
    TextMovePress(Host, 60, 110);
    TextMoveDrag(Host, 160, 110);
    TextMoveAbandon(Host);
    EXPECT_FALSE(Host.Ptr.TextMoving);
    EXPECT_DOUBLE_EQ(Host.Doc.Texts[0].Left, 10.0);
    EXPECT_EQ(Host.Changes, 0);
}

TEST_F(TextToolTest, TextsAtTinyZoomAreMeasuredOnePixelHigh) {
    Host.Zoom = 1;
    Host.Scale = 0.0378; // 1 per cent at 96 dpi
    Host.TextAnswers.push_back(u"x");
    TextAddPress(Host, 4, 4);
    const TTextObject& t = Host.Doc.Texts[0];
    const double heightPx = (t.Bottom - t.Top) * Host.Scale;
    EXPECT_GE(heightPx, 0.99);
    EXPECT_LE(heightPx, 3.01); // a 1-pixel font, with its line spacing
}

} // namespace
} // namespace quirindo::test
