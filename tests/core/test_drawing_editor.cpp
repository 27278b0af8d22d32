#include "DrawingEditor.h"
#include "DrawingFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quirindo {
namespace {

using TBytes = std::vector<std::uint8_t>;

TDrawObject Line(double x, double y, double width = 0.5) {
    TDrawObject o{};
    o.Kind = okLine;
    o.Width = width;
    o.X1 = x;
    o.Y1 = y;
    o.X2 = x + 3.25;
    o.Y2 = y + 1.5;
    o.Color = 0x123456;
    return o;
}

TTextObject Text(std::u16string_view content, double left, double top) {
    TTextObject t{};
    EXPECT_TRUE(SetTextBuffers(t, content, "Arial"));
    t.Left = left;
    t.Top = top;
    t.Right = left + 20;
    t.Bottom = top + 5;
    t.Size = 12;
    t.Color = 0xff;
    return t;
}

class DrawingEditorTest : public ::testing::Test {
protected:
    // 150 objects (one block and a half) and three texts, one holding U+0000.
    void SetUp() override {
        for (int i = 0; i < 150; ++i)
            Drawing.Objects.InsertRange(Drawing.Objects.Count(), std::vector{Line(i, 2 * i)}.data(),
                                        1);
        for (int i = 0; i < 3; ++i) {
            TTextObject* t = Drawing.AppendText(i == 1 ? std::u16string_view(u"a\0b", 3)
                                                       : std::u16string_view(u"Text"),
                                                "Times");
            t->Left = 10.0 * i;
            t->Top = 5.0 * i;
            t->Right = t->Left + 30;
            t->Bottom = t->Top + 6;
        }
        Editor.Reset(Drawing, Pages);
    }

    TBytes Bytes() {
        TDrawingSettings settings;
        settings.PageWidthInch = Editor.Pages().WidthInch;
        settings.PageHeightInch = Editor.Pages().HeightInch;
        settings.PageCount = Editor.Pages().Count;
        return SaveDrawing(Drawing, settings);
    }

    TPageSetup Pages{8.0, 11.0, 2};
    TDrawing Drawing;
    TDrawingEditor Editor{Drawing};
};

// Every kind of step: undo gives back the file the drawing was before it, redo
// the one after it, and again and again.
TEST_F(DrawingEditorTest, EveryKindOfStepUndoesAndRedoesByteForByte) {
    struct TCase {
        const char* Name;
        std::function<bool(TDrawingEditor&)> Edit;
    };
    const std::vector<TCase> cases = {
        {"append", [](TDrawingEditor& e) { return e.AppendObject(Line(7, 8), "a"); }},
        {"stroke",
         [](TDrawingEditor& e) {
             e.BeginStep("s");
             bool ok = true;
             for (int i = 0; i < 120; ++i)
                 ok = e.AppendObject(Line(i, -i, 2.0), nullptr) && ok;
             e.EndStep();
             return ok && e.UndoName() == "s";
         }},
        {"delete first", [](TDrawingEditor& e) { return e.DeleteObject(0, "d"); }},
        {"delete middle", [](TDrawingEditor& e) { return e.DeleteObject(99, "d"); }},
        {"delete last", [](TDrawingEditor& e) { return e.DeleteObject(149, "d"); }},
        {"move object",
         [](TDrawingEditor& e) {
             TDrawObject o = e.Drawing().Objects[42];
             o.X1 += 0.1;
             o.Y4 -= 1e-9;
             return e.ChangeObject(42, o, "m");
         }},
        {"append text",
         [](TDrawingEditor& e) {
             TTextObject t = Text(u"neu", 1, 2);
             return e.AppendText(t, "t") && t.Text == nullptr;
         }},
        {"delete text", [](TDrawingEditor& e) { return e.DeleteText(1, "t"); }},
        {"change text",
         [](TDrawingEditor& e) {
             TTextObject t = Text(u"anders", 3, 4);
             return e.ReplaceText(1, t, "t");
         }},
        {"move text", [](TDrawingEditor& e) { return e.MoveText(2, 0.1, -0.7, "t"); }},
        {"pages", [](TDrawingEditor& e) { return e.ChangePages({9.0, 12.5, 3}, "p"); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        const TBytes before = Bytes();
        ASSERT_TRUE(c.Edit(Editor));
        const TBytes after = Bytes();
        ASSERT_NE(before, after);
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(Editor.Undo());
            EXPECT_EQ(Bytes(), before);
            EXPECT_FALSE(Editor.CanUndo());
            ASSERT_TRUE(Editor.Redo());
            EXPECT_EQ(Bytes(), after);
            EXPECT_FALSE(Editor.CanRedo());
        }
        Drawing.Clear();
    }
}

TEST_F(DrawingEditorTest, SavedStateMarkFollowsUndoAndRedo) {
    EXPECT_FALSE(Editor.Unsaved());
    ASSERT_TRUE(Editor.AppendObject(Line(1, 1), "a"));
    EXPECT_TRUE(Editor.Unsaved());
    Editor.Undo();
    EXPECT_FALSE(Editor.Unsaved()); // back at the opened state
    Editor.Redo();
    EXPECT_TRUE(Editor.Unsaved());
    ASSERT_TRUE(Editor.DeleteObject(3, "d"));
    Editor.MarkSaved();
    EXPECT_FALSE(Editor.Unsaved());
    Editor.Undo();
    EXPECT_TRUE(Editor.Unsaved()); // away from the saved state, backwards
    Editor.Redo();
    EXPECT_FALSE(Editor.Unsaved());

    // An open stroke is unsaved as soon as it stored a segment.
    Editor.BeginStep("s");
    EXPECT_FALSE(Editor.Unsaved());
    ASSERT_TRUE(Editor.AppendObject(Line(2, 2), nullptr));
    EXPECT_TRUE(Editor.Unsaved());
    Editor.AbandonStep();
    EXPECT_FALSE(Editor.Unsaved());
    EXPECT_EQ(Editor.UndoName(), "d");
}

TEST_F(DrawingEditorTest, NewEditDropsTheRedoBranchAndItsSavedState) {
    const TBytes original = Bytes();
    ASSERT_TRUE(Editor.AppendObject(Line(1, 1), "A"));
    const TBytes afterA = Bytes();
    ASSERT_TRUE(Editor.AppendObject(Line(2, 2), "B"));
    Editor.MarkSaved();
    Editor.Undo();
    EXPECT_EQ(Editor.RedoName(), "B");
    ASSERT_TRUE(Editor.DeleteObject(0, "C"));
    EXPECT_FALSE(Editor.CanRedo());
    EXPECT_EQ(Editor.RedoName(), "");
    EXPECT_FALSE(Editor.Redo());
    Editor.Undo(); // C
    EXPECT_EQ(Bytes(), afterA);
    // The saved state was on the dropped branch: no state here is it.
    EXPECT_TRUE(Editor.Unsaved());
    EXPECT_EQ(Editor.RedoName(), "C");
    Editor.Undo(); // A
    EXPECT_EQ(Bytes(), original);
    EXPECT_TRUE(Editor.Unsaved());
}

TEST_F(DrawingEditorTest, MemoryBudgetDropsTheOldestStepsNeverTheDrawing) {
    Editor.SetBudget(64 * 1024);
    const int steps = 400;
    for (int i = 0; i < steps; ++i) {
        Editor.BeginStep("s");
        for (int k = 0; k < 10; ++k)
            ASSERT_TRUE(Editor.AppendObject(Line(i, k), nullptr));
        Editor.EndStep();
        ASSERT_LE(Editor.HistoryBytes(), 64u * 1024u);
    }
    EXPECT_EQ(Drawing.Objects.Count(), 150 + steps * 10);
    EXPECT_GT(Editor.UndoCount(), 0u);
    EXPECT_LT(Editor.UndoCount(), static_cast<std::size_t>(steps));
    // The newest steps are the ones kept: undoing them all takes away the
    // newest strokes and leaves every older record in place.
    while (Editor.Undo()) {
    }
    // Undone steps hold their records and stay within the budget too.
    EXPECT_LE(Editor.HistoryBytes(), 64u * 1024u);
    EXPECT_GT(Editor.RedoCount(), 0u);
    const auto strokesKeptInOrder = [&] {
        const int n = Drawing.Objects.Count() - 150;
        if (n < 0 || n % 10 != 0) return false;
        for (int k = 0; k < n; ++k)
            if (Drawing.Objects[150 + k].X1 != k / 10 || Drawing.Objects[150 + k].Y1 != k % 10)
                return false;
        return true;
    };
    EXPECT_TRUE(strokesKeptInOrder());
    EXPECT_GT(Drawing.Objects.Count(), 150);
    EXPECT_LT(Drawing.Objects.Count(), 150 + steps * 10);
    // The opened state went with the oldest steps.
    EXPECT_TRUE(Editor.Unsaved());
    while (Editor.Redo()) {
    }
    EXPECT_TRUE(strokesKeptInOrder());
    EXPECT_LE(Editor.HistoryBytes(), 64u * 1024u);
}

TEST_F(DrawingEditorTest, ObserversHearWhatEachStepTouched) {
    std::vector<TEditNotice> heard;
    const int id = Editor.AddObserver([&](const TEditNotice& n) { heard.push_back(n); });
    ASSERT_TRUE(Editor.AppendObject(Line(100, 200, 2.0), "a"));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].Kind, TEditNotice::TKind::Edit);
    EXPECT_TRUE(heard[0].Unsaved);
    // The line from (100, 200) to (103.25, 201.5) with its 2 mm pen.
    EXPECT_DOUBLE_EQ(heard[0].Area.Left, 99.0);
    EXPECT_DOUBLE_EQ(heard[0].Area.Bottom, 202.5);
    Editor.Undo();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].Kind, TEditNotice::TKind::Undo);
    EXPECT_FALSE(heard[1].Unsaved);
    EXPECT_DOUBLE_EQ(heard[1].Area.Right, 104.25);
    ASSERT_TRUE(Editor.ChangePages({1, 2, 3}, "p"));
    EXPECT_TRUE(heard.back().PagesChanged);
    EXPECT_TRUE(heard.back().Area.Empty);
    EXPECT_EQ(Editor.Pages().Count, 3);
    Editor.BeginStep("s");
    ASSERT_TRUE(Editor.AppendObject(Line(1, 1), nullptr));
    EXPECT_TRUE(heard.back().InOpenStep);
    Editor.EndStep();
    Editor.RemoveObserver(id);
    const std::size_t count = heard.size();
    Editor.Undo();
    EXPECT_EQ(heard.size(), count);
}

TEST_F(DrawingEditorTest, ResetStartsAFreshHistoryOnAnotherDrawing) {
    ASSERT_TRUE(Editor.AppendObject(Line(1, 1), "a"));
    Editor.Undo();
    TDrawing other;
    Editor.Reset(other, {1, 1, 1});
    EXPECT_FALSE(Editor.CanUndo());
    EXPECT_FALSE(Editor.CanRedo());
    EXPECT_FALSE(Editor.Unsaved());
    EXPECT_EQ(Editor.HistoryBytes(), 0u);
    TTextObject added = Text(u"x", 0, 0);
    ASSERT_TRUE(Editor.AppendText(added, "t"));
    EXPECT_EQ(other.Texts.Count(), 1);
    EXPECT_EQ(Drawing.Texts.Count(), 3);
    Editor.Reset(Drawing, Pages); // releases nothing the drawing still holds
    EXPECT_EQ(TextOf(other.Texts[0]), u"x");
}

// Out-of-range requests change nothing and leave no step.
TEST_F(DrawingEditorTest, EditsOfMissingRecordsAreRefused) {
    const TBytes before = Bytes();
    EXPECT_FALSE(Editor.DeleteObject(150, "d"));
    EXPECT_FALSE(Editor.DeleteObject(-1, "d"));
    EXPECT_FALSE(Editor.ChangeObject(150, Line(0, 0), "m"));
    EXPECT_FALSE(Editor.DeleteText(3, "t"));
    EXPECT_FALSE(Editor.MoveText(-1, 1, 1, "t"));
    TTextObject t = Text(u"z", 0, 0);
    EXPECT_FALSE(Editor.ReplaceText(7, t, "t"));
    EXPECT_EQ(t.Text, nullptr); // released, not leaked
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(Editor.CanUndo());
    EXPECT_FALSE(Editor.Unsaved());
}

} // namespace
} // namespace quirindo
