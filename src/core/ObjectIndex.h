#pragma once
// A grid over the drawing that finds the objects near a point or in an
// area without visiting all of them: the hover of the object tools and
// snapping ask it for the few objects that may reach the pointer, the view
// for the objects a tile shows. Kept in step with the editor's notices
// record by record (Follow, or Inserted, Removed and Changed for one
// change at a time); a drawing replaced or changed behind the editor's back
// is indexed anew at the next Sync.

#include "DrawObjects.h"
#include "DrawingChanges.h"
#include "DrawingEditor.h"

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
// Where the index files an object: everything its picture covers and
// everything its hit test can take. Not Valid when a coordinate is no
// number; such objects are on the list every query returns.
[[nodiscard]] TObjectHitBounds ObjectIndexBoundsMm(const TDrawObject& object);

class TObjectIndex {
public:
    static constexpr double kCellMm = 8.0;
    // An object spanning more cells than this is kept on one list that every
    // query looks at, so that a long line does not fill thousands of cells.
    static constexpr int kMaxCellsPerObject = 64;

    void Build(const TDrawObject* objects, std::int32_t count);
    void Clear();
    // Follows one notice of the editor: its object changes in order; after
    // a reset the index is stale until the next Sync.
    void Follow(const TEditNotice& notice);
    // Indexes `drawing` anew when the index is stale or its count is not the
    // drawing's (records added or removed behind the editor's back).
    void Sync(const TDrawing& drawing);
    // `count` records (`objects`) were inserted at `first`; the ones from
    // there on moved up.
    void Inserted(std::int32_t first, const TDrawObject* objects, std::int32_t count);
    // The `count` records from `first`, which were `objects`, were removed;
    // the ones behind them moved down.
    void Removed(std::int32_t first, const TDrawObject* objects, std::int32_t count);
    void Changed(std::int32_t index, const TDrawObject& before, const TDrawObject& after);

    // Candidates for `rect`, highest first, each once: every object whose
    // hit bounds meet it, and the others that share its grid cells. The
    // caller's hit test decides.
    void Near(const TRectMm& rect, std::vector<std::int32_t>& out) const;
    // Whether `rect` takes in every indexed object, so that a caller wanting
    // everything in it can walk the drawing instead.
    [[nodiscard]] bool Covers(const TRectMm& rect) const;
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
    bool FStale = false;
    // Around every object filed since the last Build (never shrinks).
    TRectMm FExtent;
    bool FHasExtent = false;
};

} // namespace quirindo
