#include "ObjectIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace quirindo;

namespace {

bool Meets(const TRectMm& a, const TRectMm& b) {
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

// What the index must answer, found the slow way.
std::vector<std::int32_t> Scan(const std::vector<TDrawObject>& objects, const TRectMm& rect) {
    std::vector<std::int32_t> hits;
    for (std::int32_t i = static_cast<std::int32_t>(objects.size()) - 1; i >= 0; --i) {
        const TObjectHitBounds b = ObjectIndexBoundsMm(objects[static_cast<std::size_t>(i)]);
        if (b.Valid && Meets(b.Rect, rect)) hits.push_back(i);
    }
    return hits;
}

TDrawObject RandomObject(std::mt19937& rng) {
    std::uniform_real_distribution<double> at(0, 600), near(-12, 12), far(-400, 400);
    TDrawObject o{};
    o.Kind = static_cast<std::int32_t>(rng() % 4);
    o.Width = 0.1;
    o.X1 = at(rng);
    o.Y1 = at(rng);
    // Mostly short objects, now and then one across many cells.
    const bool large = rng() % 10 == 0;
    o.X2 = o.X1 + (large ? far(rng) : near(rng));
    o.Y2 = o.Y1 + (large ? far(rng) : near(rng));
    // Curves keep to the hull of all four points.
    o.X3 = o.X1 + near(rng), o.Y3 = o.Y1 + near(rng), o.X4 = o.X2 + near(rng), o.Y4 = o.Y2 + near(rng);
    return o;
}

} // namespace

TEST(ObjectIndex, FindsEveryObjectNearAPointThroughEveryKindOfEdit) {
    std::mt19937 rng(3);
    std::vector<TDrawObject> objects;
    for (int i = 0; i < 3000; ++i) objects.push_back(RandomObject(rng));
    TObjectIndex index;
    index.Build(objects.data(), static_cast<std::int32_t>(objects.size()));

    // Edits as the tools make them: append, delete anywhere, move, and a
    // replaced run (an eraser stroke taken back and redrawn).
    for (int step = 0; step < 600; ++step) {
        const auto n = static_cast<std::int32_t>(objects.size());
        const std::int32_t i = static_cast<std::int32_t>(rng() % static_cast<unsigned>(n));
        switch (step % 4) {
        case 0:
            objects.push_back(RandomObject(rng));
            index.Inserted(n, &objects.back(), 1);
            break;
        case 1:
            index.Removed(i, &objects[static_cast<std::size_t>(i)], 1);
            objects.erase(objects.begin() + i);
            break;
        case 2: {
            const TDrawObject before = objects[static_cast<std::size_t>(i)];
            objects[static_cast<std::size_t>(i)] = RandomObject(rng);
            index.Changed(i, before, objects[static_cast<std::size_t>(i)]);
            break;
        }
        default: {
            const std::int32_t count = std::min<std::int32_t>(5, n - i);
            const std::vector<TDrawObject> old(objects.begin() + i, objects.begin() + i + count);
            std::vector<TDrawObject> fresh;
            for (int k = 0; k < 3; ++k) fresh.push_back(RandomObject(rng));
            objects.erase(objects.begin() + i, objects.begin() + i + count);
            objects.insert(objects.begin() + i, fresh.begin(), fresh.end());
            index.Removed(i, old.data(), count);
            index.Inserted(i, fresh.data(), 3);
        }
        }
    }
    ASSERT_EQ(index.Count(), static_cast<std::int32_t>(objects.size()));

    // Every object near the point is among the candidates, highest first,
    // each once, and the candidates are few: those of the cells around it
    // and the long objects.
    std::uniform_real_distribution<double> at(-50, 650), reach(0.1, 4);
    std::vector<std::int32_t> found;
    std::size_t most = 0;
    for (int q = 0; q < 400; ++q) {
        const double x = at(rng), y = at(rng), r = reach(rng);
        const TRectMm rect{x - r, y - r, x + r, y + r};
        index.Near(rect, found);
        ASSERT_TRUE(std::is_sorted(found.begin(), found.end(), std::greater<>())) << q;
        ASSERT_EQ(std::adjacent_find(found.begin(), found.end()), found.end()) << q;
        for (std::int32_t i : Scan(objects, rect))
            ASSERT_TRUE(std::binary_search(found.begin(), found.end(), i, std::greater<>()))
                << "object " << i << " missing in query " << q;
        most = std::max(most, found.size());
    }
    EXPECT_LT(most, objects.size() / 4);
    // Zoomed far out a query covers the whole drawing.
    const TRectMm everything{-1e6, -1e6, 1e6, 1e6};
    index.Near(everything, found);
    EXPECT_EQ(found, Scan(objects, everything));
}

// The index the window keeps follows the editor's notices: every edit,
// stroke, undo and redo, and a reset to another drawing.
TEST(ObjectIndex, FollowsTheEditorThroughEditsStrokesUndoAndRedo) {
    std::mt19937 rng(7);
    TDrawing drawing;
    TDrawingEditor editor(drawing);
    TObjectIndex index;
    editor.AddObserver([&](const TEditNotice& notice) { index.Follow(notice); });
    for (int i = 0; i < 400; ++i) ASSERT_TRUE(editor.AppendObject(RandomObject(rng), "x"));
    index.Sync(drawing); // the first use indexes the drawing the editor started with

    const auto objects = [&] {
        return std::vector<TDrawObject>(drawing.Objects.Data(),
                                        drawing.Objects.Data() + drawing.Objects.Count());
    };
    const auto agrees = [&](int round) {
        ASSERT_EQ(index.Count(), drawing.Objects.Count()) << round;
        const std::vector<TDrawObject> now = objects();
        std::uniform_real_distribution<double> at(-20, 620);
        std::vector<std::int32_t> found;
        for (int q = 0; q < 40; ++q) {
            const double x = at(rng), y = at(rng);
            const TRectMm rect{x - 3, y - 3, x + 3, y + 3};
            index.Near(rect, found);
            for (std::int32_t i : Scan(now, rect))
                ASSERT_TRUE(std::binary_search(found.begin(), found.end(), i, std::greater<>()))
                    << "object " << i << " missing after round " << round;
            for (std::int32_t i : found) ASSERT_LT(i, drawing.Objects.Count()) << round;
        }
    };
    for (int round = 0; round < 120; ++round) {
        const auto n = drawing.Objects.Count();
        const auto i = static_cast<std::int32_t>(rng() % static_cast<unsigned>(n));
        switch (round % 6) {
        case 0: // a stroke of several segments, one step
            editor.BeginStep("stroke");
            for (int k = 0; k < 5; ++k) ASSERT_TRUE(editor.AppendObject(RandomObject(rng), "s"));
            editor.EndStep();
            break;
        case 1:
            ASSERT_TRUE(editor.DeleteObject(i, "delete"));
            break;
        case 2:
            ASSERT_TRUE(editor.ChangeObject(i, RandomObject(rng), "move"));
            break;
        case 3: // a box deleted as one step, then taken back
            editor.BeginStep("box");
            for (int k = 0; k < 4 && drawing.Objects.Count() > i + 1; ++k)
                ASSERT_TRUE(editor.DeleteObject(i, "box"));
            editor.EndStep();
            ASSERT_TRUE(editor.Undo());
            break;
        case 4:
            ASSERT_TRUE(editor.Undo());
            ASSERT_TRUE(editor.Undo());
            ASSERT_TRUE(editor.Redo());
            break;
        default: // a stroke abandoned part-way
            editor.BeginStep("stroke");
            ASSERT_TRUE(editor.AppendObject(RandomObject(rng), "s"));
            editor.AbandonStep();
        }
        agrees(round);
    }
    // Another drawing: indexed anew at the next use.
    TDrawing other;
    for (int i = 0; i < 50; ++i) *other.Objects.Append() = RandomObject(rng);
    editor.Reset(other, {});
    index.Sync(other);
    const std::vector<TDrawObject> fresh(other.Objects.Data(), other.Objects.Data() + 50);
    std::vector<std::int32_t> found;
    const TRectMm everything{-1e6, -1e6, 1e6, 1e6};
    index.Near(everything, found);
    EXPECT_EQ(found, Scan(fresh, everything));
}
