#pragma once
// A grid over the drawing that finds the objects near a point without
// visiting all of them: the hover of the object tools asks it for the few
// objects whose hit area may reach the pointer. Kept in step with edits
// record by record (Appended, Deleted, Changed) or by a replaced run of
// records (Replace), as the change tracker reports them.

#include "DrawObjects.h"
#include "DrawingChanges.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace quirindo {

// The area, in drawing millimetres, inside which the object tools' hit test
// can take an object: lines within their box, arcs and ellipses within the
// circle the test measures against (its radius is half the box's width). An
// empty optional-like result (Valid false) for objects no hover can take.
struct TObjectHitBounds {
    bool Valid = false;
    TRectMm Rect;
};
[[nodiscard]] TObjectHitBounds ObjectHitBoundsMm(const TDrawObject& object);

class TObjectIndex {
public:
    static constexpr double kCellMm = 8.0;
    // An object spanning more cells than this is kept on one list that every
    // query looks at, so that a long line does not fill thousands of cells.
    static constexpr int kMaxCellsPerObject = 64;

    void Build(const TDrawObject* objects, std::int32_t count);
    void Clear();
    // Record `index` was appended (the last one).
    void Appended(std::int32_t index, const TDrawObject& object);
    // Record `index`, which was `object`, was removed; later ones moved down.
    void Deleted(std::int32_t index, const TDrawObject& object);
    void Changed(std::int32_t index, const TDrawObject& before, const TDrawObject& after);
    // Records first .. first + oldCount - 1 (oldObjects) were replaced by
    // newCount records (newObjects); the records behind them moved.
    void Replace(std::int32_t first, const TDrawObject* oldObjects, std::int32_t oldCount,
                 const TDrawObject* newObjects, std::int32_t newCount);

    // Candidates for `rect`, highest first, each once: every object whose
    // hit bounds meet it, and the others that share its grid cells. The
    // caller's hit test decides.
    void Near(const TRectMm& rect, std::vector<std::int32_t>& out) const;
    [[nodiscard]] std::int32_t Count() const { return FCount; }

private:
    struct TCellRange {
        std::int64_t X0, Y0, X1, Y1;
        [[nodiscard]] bool Large() const;
    };
    static bool RangeOf(const TRectMm& rect, TCellRange& range);
    static std::uint64_t Key(std::int64_t x, std::int64_t y) {
        return (std::uint64_t(x) << 32) ^ (std::uint64_t(y) & 0xFFFFFFFFu);
    }
    void Insert(std::int32_t index, const TDrawObject& object);
    void Remove(std::int32_t index, const TDrawObject& object);
    void Shift(std::int32_t from, std::int32_t by);

    std::unordered_map<std::uint64_t, std::vector<std::int32_t>> FCells;
    std::vector<std::int32_t> FLarge;
    std::int32_t FCount = 0;
};

} // namespace quirindo
