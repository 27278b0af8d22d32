#pragma once
// TDynaArray: the one container of the program. A growable array of fixed-size
// plain records in one contiguous, zero-filled block that grows and shrinks in
// steps of 100 records, with a built-in cursor that also writes the current
// record's address into a pointer variable named by the owner.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>

namespace quirindo {

// Receives the English out-of-memory message. The window installs a message
// box; tests install a recorder.
using TOutOfMemoryReporter = std::function<void(const std::string& message)>;
TOutOfMemoryReporter SetOutOfMemoryReporter(TOutOfMemoryReporter reporter);

// Allocates a zero-filled block or returns nullptr. Replaceable so that tests
// can make an allocation fail; the default is calloc.
using TBlockAllocator = void* (*)(std::size_t bytes);
TBlockAllocator SetBlockAllocator(TBlockAllocator allocator);

namespace detail {
void* AllocateZeroedBlock(std::size_t bytes);
// The block holding the first min(oldBytes, newBytes) bytes of `block`, the
// rest zero; nullptr (and `block` untouched) when memory ran out. With the
// default allocator the block is resized in place where the system can,
// so a large store does not copy all its records for one more block.
void* ResizeBlock(void* block, std::size_t oldBytes, std::size_t newBytes);
void ReportOutOfMemory(std::size_t bytes);
} // namespace detail

template <class T> class TDynaArray {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved as raw bytes");

public:
    static constexpr std::int32_t kChunkSize = 100;

    explicit TDynaArray(T** cursorVar = nullptr) : FCursorVar(cursorVar) {}
    ~TDynaArray() { std::free(FData); }
    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    std::int32_t Count() const { return FCount; }
    std::int32_t CursorIndex() const { return FCursorIndex; }
    std::size_t AllocBytes() const { return FAllocBytes; }
    std::int32_t ChunkSize() const { return kChunkSize; }
    std::int32_t ElemSize() const { return static_cast<std::int32_t>(sizeof(T)); }
    std::size_t Capacity() const { return FAllocBytes / sizeof(T); }
    T* Current() const { return FCurrent; }
    T* Data() const { return FData; }
    T** CursorVar() const { return FCursorVar; }

    // Makes record i current. No bounds check: callers pass 0 <= i < Count.
    T* Select(std::int32_t i) {
        FCursorIndex = i;
        FCurrent = FData + i;
        SetCursorVar(FCurrent);
        return FCurrent;
    }

    // Adds a record at the end and makes it current. A record in space that a
    // new block brought reads as zeros. Returns nullptr (store unchanged) when
    // the block cannot be allocated.
    T* Append() {
        if (FCount == INT32_MAX || !Grow(FCount + 1)) return nullptr;
        ++FCount;
        return Select(FCount - 1);
    }

    // Sets the count to n in one step, for readers that know how many records
    // follow: the block is sized once (whole blocks of 100 records, as
    // Append would leave it) instead of growing record by record. Records
    // beyond the old count read as zeros; the last record becomes current.
    // Returns false (store unchanged) when the block cannot be allocated.
    bool Resize(std::int32_t n) {
        if (n < 0) return false;
        if (n == FCount) return true;
        if (n == 0) {
            Clear();
            return true;
        }
        if (!Grow(n)) return false;
        if (n > FCount) {
            // A slot vacated by a delete keeps its old bytes: clear it.
            std::memset(static_cast<void*>(FData + FCount), 0,
                        static_cast<std::size_t>(n - FCount) * sizeof(T));
        }
        FCount = n;
        Select(FCount - 1);
        return true;
    }

    // Removes record i, closing the gap. Out-of-range indices do nothing.
    void Delete(std::int32_t i) {
        if (i < 0 || i > FCount - 1) return;
        for (std::int32_t j = i; j <= FCount - 2; ++j) {
            std::memcpy(static_cast<void*>(Select(j)), static_cast<const void*>(FData + j + 1),
                        sizeof(T));
        }
        --FCount;
        Shrink();
        FCursorIndex = -1;
        FCurrent = nullptr;
        SetCursorVar(nullptr);
    }

    void Clear() {
        FCount = 0;
        std::free(FData);
        FData = nullptr;
        FCursorIndex = -1;
        FCurrent = nullptr;
        FAllocBytes = 0;
        SetCursorVar(nullptr);
    }

    // Exchanges records i and j; afterwards record j is current.
    void Swap(std::int32_t i, std::int32_t j) {
        if (i < 0 || j < 0 || i > FCount - 1 || j > FCount - 1) return;
        // memcpy onto itself is undefined, so a record swapped with itself stays put.
        if (i != j) {
            alignas(T) unsigned char buffer[sizeof(T)];
            std::memcpy(buffer, static_cast<const void*>(FData + i), sizeof(T));
            std::memcpy(static_cast<void*>(FData + i), static_cast<const void*>(FData + j),
                        sizeof(T));
            std::memcpy(static_cast<void*>(FData + j), buffer, sizeof(T));
        }
        Select(j);
    }

    // Starts an iteration; on an empty store the cursor keeps its state.
    void First() {
        if (FCount == 0) return;
        FCursorIndex = 0;
        Select(0);
    }

    // Makes the record at the cursor current and moves the cursor one on.
    // Idiom: First(); while (Next()) { use *cursorVar }.
    bool Next() {
        if (FCount == 0 || FCursorIndex < 0 || FCursorIndex > FCount - 1) return false;
        Select(FCursorIndex);
        ++FCursorIndex;
        return true;
    }

    // Inserts n records copied from `records` before index i (0 <= i <= Count),
    // moving the later ones up in one pass; the cursor is reset. False (store
    // unchanged) when the block cannot grow.
    bool InsertRange(std::int32_t i, const T* records, std::int32_t n) {
        if (n <= 0) return true;
        if (i < 0 || i > FCount || FCount > INT32_MAX - n || !Grow(FCount + n)) return false;
        std::memmove(static_cast<void*>(FData + i + n), static_cast<const void*>(FData + i),
                     static_cast<std::size_t>(FCount - i) * sizeof(T));
        std::memcpy(static_cast<void*>(FData + i), static_cast<const void*>(records),
                    static_cast<std::size_t>(n) * sizeof(T));
        FCount += n;
        ResetCursor();
        return true;
    }

    // Removes records i to i + n - 1 in one pass, closing the gap; a range
    // reaching outside the store does nothing. The cursor is reset.
    void DeleteRange(std::int32_t i, std::int32_t n) {
        if (n <= 0 || i < 0 || i > FCount - n) return;
        std::memmove(static_cast<void*>(FData + i), static_cast<const void*>(FData + i + n),
                     static_cast<std::size_t>(FCount - i - n) * sizeof(T));
        FCount -= n;
        Shrink();
        ResetCursor();
    }

    T& operator[](std::int32_t i) { return FData[i]; }
    const T& operator[](std::int32_t i) const { return FData[i]; }

private:
    static std::size_t BytesFor(std::int32_t count) {
        if (count <= 0) return 0;
        return static_cast<std::size_t>((count - 1) / kChunkSize + 1) * kChunkSize * sizeof(T);
    }

    void ResetCursor() {
        FCursorIndex = -1;
        FCurrent = nullptr;
        SetCursorVar(nullptr);
    }

    void SetCursorVar(T* p) {
        if (FCursorVar) *FCursorVar = p;
    }

    bool Grow(std::int32_t newCount) {
        const std::size_t needed = BytesFor(newCount);
        if (needed == FAllocBytes) return true;
        // After a shrink that could not allocate, the old block can be larger
        // than the new one: it keeps no more than the new block holds.
        void* block = detail::ResizeBlock(FData, FAllocBytes, needed);
        if (!block) {
            detail::ReportOutOfMemory(needed);
            return false;
        }
        FData = static_cast<T*>(block);
        FAllocBytes = needed;
        return true;
    }

    void Shrink() {
        const std::size_t needed = BytesFor(FCount);
        if (needed == FAllocBytes) return;
        if (FCount == 0) {
            std::free(FData);
            FData = nullptr;
            FAllocBytes = 0;
            return;
        }
        void* block = detail::ResizeBlock(FData, FAllocBytes, needed);
        if (!block) block = detail::ResizeBlock(FData, FAllocBytes, needed);
        if (!block) {
            // The larger block still holds every record; keep it.
            detail::ReportOutOfMemory(needed);
            return;
        }
        FData = static_cast<T*>(block);
        FAllocBytes = needed;
    }

    T** FCursorVar = nullptr;
    T* FCurrent = nullptr;
    T* FData = nullptr;
    std::int32_t FCount = 0;
    std::int32_t FCursorIndex = -1;
    std::size_t FAllocBytes = 0;
};

} // namespace quirindo
