#include "DrawObjects.h"
#include "DynaArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace quirindo;

namespace {

struct TRec {
    std::int32_t Id;
    double Value;
    char Tag[12];
};

constexpr std::size_t kBlock = 100 * sizeof(TRec);

bool AllZero(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (b[i] != 0) return false;
    return true;
}

// Appends records numbered from Count() on, so that every record is recognisable.
void AppendNumbered(TDynaArray<TRec>& store, int n) {
    for (int k = 0; k < n; ++k) {
        const std::int32_t id = store.Count();
        TRec* r = store.Append();
        ASSERT_NE(r, nullptr);
        r->Id = id;
        r->Value = id * 0.5;
        r->Tag[0] = static_cast<char>('A' + id % 26);
    }
}

void ExpectNumbered(const TDynaArray<TRec>& store, int firstId = 0) {
    for (std::int32_t i = 0; i < store.Count(); ++i) {
        ASSERT_EQ(store[i].Id, firstId + i) << "record " << i;
        ASSERT_EQ(store[i].Value, (firstId + i) * 0.5);
        ASSERT_EQ(store[i].Tag[0], static_cast<char>('A' + (firstId + i) % 26));
    }
}

// Counts allocations and can make them fail; installed for one test at a time.
bool gFailAllocations = false;
int gAllocationCalls = 0;
void* TestAllocator(std::size_t bytes) {
    ++gAllocationCalls;
    return gFailAllocations ? nullptr : std::calloc(1, bytes);
}

class TAllocatorGuard {
public:
    TAllocatorGuard()
        : FOldAllocator(SetBlockAllocator(&TestAllocator)),
          FOldReporter(SetOutOfMemoryReporter(
              [this](const std::string& message) { Messages.push_back(message); })) {
        gFailAllocations = false;
        gAllocationCalls = 0;
    }
    ~TAllocatorGuard() {
        gFailAllocations = false;
        SetBlockAllocator(FOldAllocator);
        SetOutOfMemoryReporter(FOldReporter);
    }
    TAllocatorGuard(const TAllocatorGuard&) = delete;
    TAllocatorGuard& operator=(const TAllocatorGuard&) = delete;
    std::vector<std::string> Messages;

private:
    TBlockAllocator FOldAllocator;
    TOutOfMemoryReporter FOldReporter;
};

std::string OomMessage(std::size_t bytes) {
    return "Error while trying to allocate " + std::to_string(bytes) +
           " bytes of RAM. Not enough memory.";
}

} // namespace

TEST(DynaArray, GrowsAndShrinksInBlocksOfHundredKeepingContents) {
    TRec* cur = nullptr;
    TDynaArray<TRec> store(&cur);
    EXPECT_EQ(store.Data(), nullptr);
    EXPECT_EQ(store.AllocBytes(), 0u);
    EXPECT_EQ(cur, nullptr);

    const struct {
        int Count;
        std::size_t Bytes;
    } steps[] = {
        {1, kBlock}, {100, kBlock}, {101, 2 * kBlock}, {200, 2 * kBlock}, {201, 3 * kBlock}};
    for (const auto& step : steps) {
        AppendNumbered(store, step.Count - store.Count());
        ASSERT_EQ(store.Count(), step.Count);
        EXPECT_EQ(store.AllocBytes(), step.Bytes) << "at " << step.Count << " records";
        EXPECT_EQ(store.CursorIndex(), step.Count - 1);
        EXPECT_EQ(cur, store.Data() + step.Count - 1);
        EXPECT_EQ(store.Current(), cur);
        ExpectNumbered(store);
    }

    while (store.Count() > 101)
        store.Delete(store.Count() - 1);
    EXPECT_EQ(store.AllocBytes(), 2 * kBlock);
    store.Delete(0); // back to 100 records: the block shrinks, the rest moves up
    EXPECT_EQ(store.Count(), 100);
    EXPECT_EQ(store.AllocBytes(), kBlock);
    ExpectNumbered(store, 1);

    while (store.Count() > 1)
        store.Delete(0);
    EXPECT_EQ(store.AllocBytes(), kBlock);
    EXPECT_EQ(store[0].Id, 100);
    store.Delete(0);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Data(), nullptr);
    EXPECT_EQ(store.AllocBytes(), 0u);
}

TEST(DynaArray, NewBlocksAreZeroedButVacatedSlotsKeepTheirBytes) {
    TDynaArray<TRec> store;
    TRec* first = store.Append();
    EXPECT_TRUE(AllZero(first, sizeof(TRec)));
    std::memset(static_cast<void*>(first), 0xAB, sizeof(TRec));
    for (int i = 1; i < 101; ++i)
        std::memset(static_cast<void*>(store.Append()), 0xAB, sizeof(TRec));

    // Deleting the 101st shrinks to a new block; the 101st appended again lies
    // in a fresh block and must not show what was there before.
    store.Delete(100);
    ASSERT_EQ(store.AllocBytes(), kBlock);
    TRec* again = store.Append();
    EXPECT_TRUE(AllZero(again, sizeof(TRec)));
    EXPECT_TRUE(AllZero(store.Data() + 101, 99 * sizeof(TRec)));

    // Inside an unchanged block a vacated slot is handed out as it was.
    store.Delete(100);
    store.Delete(99);
    ASSERT_EQ(store.AllocBytes(), kBlock);
    TRec* reused = store.Append();
    EXPECT_EQ(reused->Id, static_cast<std::int32_t>(0xABABABAB));
    EXPECT_FALSE(AllZero(reused, sizeof(TRec)));
}

TEST(DynaArray, OutOfRangeDeleteAndSwapDoNothing) {
    TRec* cur = nullptr;
    TDynaArray<TRec> empty(&cur);
    empty.Delete(0);
    empty.Delete(-1);
    empty.Swap(0, 0);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.CursorIndex(), -1);

    TDynaArray<TRec> store(&cur);
    AppendNumbered(store, 5);
    store.Select(2);
    const std::pair<int, int> badSwaps[] = {{-1, 0}, {0, 5}, {5, 0}, {0, -1}, {7, 7}};
    for (auto [i, j] : badSwaps)
        store.Swap(i, j);
    for (int i : {-1, 5, 7, INT32_MIN})
        store.Delete(i);
    EXPECT_EQ(store.Count(), 5);
    EXPECT_EQ(store.CursorIndex(), 2);
    EXPECT_EQ(cur, store.Data() + 2);
    EXPECT_EQ(store.AllocBytes(), kBlock);
    ExpectNumbered(store);
}

TEST(DynaArray, SwapExchangesRecordsAndMakesTheSecondCurrent) {
    TRec* cur = nullptr;
    TDynaArray<TRec> store(&cur);
    AppendNumbered(store, 4);
    store.Swap(0, 3);
    EXPECT_EQ(store[0].Id, 3);
    EXPECT_EQ(store[3].Id, 0);
    EXPECT_EQ(store[3].Value, 0.0);
    EXPECT_EQ(store[1].Id, 1);
    EXPECT_EQ(store.CursorIndex(), 3);
    EXPECT_EQ(cur, store.Data() + 3);

    store.Swap(2, 2);
    EXPECT_EQ(store[2].Id, 2);
    EXPECT_EQ(store[2].Value, 1.0);
    EXPECT_EQ(cur, store.Data() + 2);
}

TEST(DynaArray, CursorVariableFollowsEveryPositioning) {
    TRec dummy{};
    TRec* cur = &dummy;
    {
        TDynaArray<TRec> store(&cur);
        EXPECT_EQ(cur, &dummy); // creating does not write the owner's variable

        store.First(); // empty: nothing happens, and Next has nothing to give
        EXPECT_EQ(store.CursorIndex(), -1);
        EXPECT_EQ(cur, &dummy);
        EXPECT_FALSE(store.Next());
        EXPECT_EQ(cur, &dummy);

        AppendNumbered(store, 3);
        EXPECT_EQ(cur, store.Data() + 2);
        EXPECT_EQ(store.Select(1), store.Data() + 1);
        EXPECT_EQ(cur, store.Data() + 1);
        EXPECT_EQ(store.CursorIndex(), 1);

        store.Delete(0);
        EXPECT_EQ(cur, nullptr);
        EXPECT_EQ(store.Current(), nullptr);
        EXPECT_EQ(store.CursorIndex(), -1);
        EXPECT_EQ(store[0].Id, 1);

        store.Select(1);
        store.Clear();
        EXPECT_EQ(cur, nullptr);
        EXPECT_EQ(store.Count(), 0);
        EXPECT_EQ(store.Data(), nullptr);
        EXPECT_EQ(store.AllocBytes(), 0u);
        EXPECT_EQ(store.CursorIndex(), -1);

        AppendNumbered(store, 1);
        cur = &dummy;
    }
    EXPECT_EQ(cur, &dummy); // nor does destroying it
}

TEST(DynaArray, IterationIdiomVisitsInOrderAndEndsOnDelete) {
    TRec* cur = nullptr;
    TDynaArray<TRec> store(&cur);
    AppendNumbered(store, 5);

    std::vector<int> seen;
    store.First();
    while (store.Next()) {
        EXPECT_EQ(store.CursorIndex(), static_cast<int>(seen.size()) + 1); // one past current
        seen.push_back(cur->Id);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(store.Next()); // stays finished

    // A Select inside the loop continues from the selected record.
    seen.clear();
    bool jumped = false;
    store.First();
    while (store.Next()) {
        seen.push_back(cur->Id);
        if (cur->Id == 3 && !jumped) {
            jumped = true;
            store.Select(1);
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 1, 2, 3, 4}));

    // Deleting inside the loop ends it at the next Next.
    seen.clear();
    store.First();
    while (store.Next()) {
        seen.push_back(cur->Id);
        if (cur->Id == 1) store.Delete(store.CursorIndex() - 1);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1}));
    EXPECT_EQ(store.Count(), 4);
    EXPECT_EQ(cur, nullptr);
}

TEST(DynaArray, FailedAllocationIsReportedAndKeepsTheOldState) {
    TAllocatorGuard guard;
    TDrawObject* cur = nullptr;
    TDynaArray<TDrawObject> store(&cur);

    gFailAllocations = true;
    EXPECT_EQ(store.Append(), nullptr);
    ASSERT_EQ(guard.Messages.size(), 1u);
    EXPECT_EQ(guard.Messages[0],
              "Error while trying to allocate 8800 bytes of RAM. Not enough memory.");
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Data(), nullptr);
    EXPECT_EQ(cur, nullptr);

    gFailAllocations = false;
    for (int i = 0; i < 100; ++i)
        store.Append()->X1 = i;
    store.Select(40);
    gFailAllocations = true;
    EXPECT_EQ(store.Append(), nullptr);
    ASSERT_EQ(guard.Messages.size(), 2u);
    EXPECT_EQ(guard.Messages[1], OomMessage(200 * sizeof(TDrawObject)));
    EXPECT_EQ(store.Count(), 100);
    EXPECT_EQ(store.AllocBytes(), 100 * sizeof(TDrawObject));
    EXPECT_EQ(store.CursorIndex(), 40);
    EXPECT_EQ(cur, store.Data() + 40);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(store[i].X1, i);
}

TEST(DynaArray, FailedShrinkKeepsTheLargerBlockSafely) {
    TAllocatorGuard guard;
    TDynaArray<TRec> store;
    AppendNumbered(store, 101);

    // Shrinking tries twice before giving up; the records stay in the old block.
    gFailAllocations = true;
    gAllocationCalls = 0;
    store.Delete(0);
    EXPECT_EQ(gAllocationCalls, 2);
    ASSERT_EQ(guard.Messages.size(), 1u);
    EXPECT_EQ(guard.Messages[0], OomMessage(kBlock));
    store.Delete(0);
    EXPECT_EQ(store.Count(), 99);
    EXPECT_EQ(store.AllocBytes(), 2 * kBlock);
    ExpectNumbered(store, 2);

    // The next growth moves into a block smaller than the one it leaves.
    gFailAllocations = false;
    TRec* r = store.Append();
    ASSERT_NE(r, nullptr);
    r->Id = 101;
    r->Value = 50.5;
    r->Tag[0] = static_cast<char>('A' + 101 % 26);
    EXPECT_EQ(store.Count(), 100);
    EXPECT_EQ(store.AllocBytes(), kBlock);
    ExpectNumbered(store, 2);
}

// Ranges move in one pass across block borders: the order is kept, the block
// stays a whole number of 100-record chunks, and a range outside the store
// changes nothing.
TEST(DynaArray, RangesInsertAndDeleteAcrossBlockBorders) {
    TDynaArray<std::int32_t> store;
    std::vector<std::int32_t> values(250);
    for (std::int32_t i = 0; i < 250; ++i)
        values[i] = i;
    ASSERT_TRUE(store.InsertRange(0, values.data(), 250));
    EXPECT_EQ(store.AllocBytes(), 300 * sizeof(std::int32_t));
    const std::vector<std::int32_t> middle{-1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12};
    ASSERT_TRUE(store.InsertRange(95, middle.data(), 12));
    ASSERT_EQ(store.Count(), 262);
    EXPECT_EQ(store[94], 94);
    EXPECT_EQ(store[95], -1);
    EXPECT_EQ(store[106], -12);
    EXPECT_EQ(store[107], 95);
    EXPECT_EQ(store[261], 249);
    store.DeleteRange(95, 12);
    for (std::int32_t i = 0; i < 250; ++i)
        ASSERT_EQ(store[i], i);
    store.DeleteRange(0, 200);
    EXPECT_EQ(store.Count(), 50);
    EXPECT_EQ(store.AllocBytes(), 100 * sizeof(std::int32_t));
    EXPECT_EQ(store[0], 200);
    store.DeleteRange(40, 11); // reaches past the end
    store.DeleteRange(-1, 2);
    EXPECT_FALSE(store.InsertRange(51, values.data(), 1));
    EXPECT_EQ(store.Count(), 50);
    EXPECT_EQ(store[49], 249);
}

TEST(DynaArray, ResizeSizesTheBlockOnceInWholeHundredsAndClearsNewRecords) {
    TAllocatorGuard guard;
    TRec* cursor = nullptr;
    TDynaArray<TRec> store(&cursor);
    for (int n : {1, 99, 100, 101, 250}) {
        store.Clear();
        gAllocationCalls = 0;
        ASSERT_TRUE(store.Resize(n)) << n;
        EXPECT_EQ(gAllocationCalls, 1) << "one block for " << n << " records";
        EXPECT_EQ(store.Count(), n);
        EXPECT_EQ(store.AllocBytes(), static_cast<std::size_t>((n + 99) / 100) * kBlock) << n;
        EXPECT_TRUE(AllZero(store.Data(), store.AllocBytes())) << n;
        EXPECT_EQ(cursor, store.Data() + n - 1);
        // The records are the store's own: appending after them continues.
        AppendNumbered(store, 1);
        EXPECT_EQ(store[n].Id, n);
    }

    // A slot vacated by a delete comes back zeroed, old records stay.
    store.Clear();
    AppendNumbered(store, 150);
    store.Delete(149);
    ASSERT_TRUE(store.Resize(150));
    EXPECT_TRUE(AllZero(&store[149], sizeof(TRec)));
    store.Resize(149);
    ExpectNumbered(store);

    // Shrinking to nothing releases the block; a failed resize keeps everything.
    ASSERT_TRUE(store.Resize(0));
    EXPECT_EQ(store.Data(), nullptr);
    EXPECT_EQ(cursor, nullptr);
    AppendNumbered(store, 10);
    gFailAllocations = true;
    EXPECT_FALSE(store.Resize(1000));
    EXPECT_EQ(store.Count(), 10);
    ExpectNumbered(store);
    ASSERT_EQ(guard.Messages.size(), 1u);
    EXPECT_EQ(guard.Messages[0], OomMessage(10 * kBlock));
}
