#include "ObjectIndex.h"

#include <algorithm>
#include <cmath>

namespace quirindo {
namespace {

void Drop(std::vector<std::int32_t>& list, std::int32_t index) {
    const auto it = std::find(list.begin(), list.end(), index);
    if (it != list.end()) list.erase(it);
}

} // namespace

TObjectHitBounds ObjectHitBoundsMm(const TDrawObject& o) {
    TObjectHitBounds b;
    switch (o.Kind) {
    case okLine:
        b.Rect = {std::min(o.X1, o.X2), std::min(o.Y1, o.Y2), std::max(o.X1, o.X2),
                  std::max(o.Y1, o.Y2)};
        break;
    case okArc:
    case okEllipse: {
        const double cx = (o.X2 - o.X1) / 2.0 + o.X1, cy = (o.Y2 - o.Y1) / 2.0 + o.Y1;
        const double r = std::fabs((o.X2 - o.X1) / 2.0);
        b.Rect = {cx - r, cy - r, cx + r, cy + r};
        break;
    }
    case okBezier: {
        // The curve lies within the hull of its four points.
        const auto [left, right] = std::minmax({o.X1, o.X2, o.X3, o.X4});
        const auto [top, bottom] = std::minmax({o.Y1, o.Y2, o.Y3, o.Y4});
        b.Rect = {left, top, right, bottom};
        break;
    }
    default:
        return b; // unknown kinds are never taken
    }
    b.Valid = std::isfinite(b.Rect.Left) && std::isfinite(b.Rect.Top) &&
              std::isfinite(b.Rect.Right) && std::isfinite(b.Rect.Bottom);
    return b;
}

TObjectHitBounds ObjectIndexBoundsMm(const TDrawObject& o) {
    TObjectHitBounds b;
    b.Rect = ObjectBoundsMm(o);
    const TObjectHitBounds hit = ObjectHitBoundsMm(o);
    if (hit.Valid) {
        b.Rect.Left = std::min(b.Rect.Left, hit.Rect.Left);
        b.Rect.Top = std::min(b.Rect.Top, hit.Rect.Top);
        b.Rect.Right = std::max(b.Rect.Right, hit.Rect.Right);
        b.Rect.Bottom = std::max(b.Rect.Bottom, hit.Rect.Bottom);
    }
    b.Valid = std::isfinite(b.Rect.Left) && std::isfinite(b.Rect.Top) &&
              std::isfinite(b.Rect.Right) && std::isfinite(b.Rect.Bottom);
    return b;
}

bool TObjectIndex::TCellRange::Large() const {
    return (X1 - X0 + 1) * (Y1 - Y0 + 1) > kMaxCellsPerObject;
}

bool TObjectIndex::RangeOf(const TRectMm& rect, TCellRange& range) {
    // Cells far beyond any page are folded onto the edge of this range, so
    // the cell numbers always fit their 32 bits.
    static constexpr double kLimit = 1e8;
    const auto cell = [](double mm) {
        return static_cast<std::int64_t>(std::floor(std::clamp(mm, -kLimit, kLimit) / kCellMm));
    };
    if (!(rect.Left <= rect.Right) || !(rect.Top <= rect.Bottom)) return false;
    range.X0 = cell(rect.Left);
    range.Y0 = cell(rect.Top);
    range.X1 = cell(rect.Right);
    range.Y1 = cell(rect.Bottom);
    return true;
}

void TObjectIndex::Clear() {
    FCells.clear();
    FLarge.clear();
    FCount = 0;
    FStale = false;
    FHasExtent = false;
}

void TObjectIndex::Build(const TDrawObject* objects, std::int32_t count) {
    Clear();
    for (std::int32_t i = 0; i < count; ++i) Insert(i, objects[i]);
    FCount = count;
}

void TObjectIndex::Sync(const TDrawing& drawing) {
    if (FStale || FCount != drawing.Objects.Count())
        Build(drawing.Objects.Data(), drawing.Objects.Count());
}

void TObjectIndex::Follow(const TEditNotice& notice) {
    if (notice.Kind == TEditNotice::TKind::Reset) {
        FStale = true;
        return;
    }
    if (FStale) return; // indexed whole at the next Sync
    using TKind = TObjectStoreChange::TKind;
    for (const TObjectStoreChange& c : notice.ObjectChanges) {
        switch (c.Kind) {
        case TKind::Inserted:
            Inserted(c.Index, c.After.data(), static_cast<std::int32_t>(c.After.size()));
            break;
        case TKind::Removed:
            Removed(c.Index, c.Before.data(), static_cast<std::int32_t>(c.Before.size()));
            break;
        case TKind::Changed:
            if (!c.Before.empty() && !c.After.empty()) Changed(c.Index, c.Before[0], c.After[0]);
            break;
        }
    }
}

void TObjectIndex::Inserted(std::int32_t first, const TDrawObject* objects, std::int32_t count) {
    // Appending (a stroke's segments) moves nothing.
    if (first < FCount) Shift(first, count);
    for (std::int32_t i = 0; i < count; ++i) Insert(first + i, objects[i]);
    FCount += count;
}

void TObjectIndex::Removed(std::int32_t first, const TDrawObject* objects, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) Remove(first + i, objects[i]);
    if (first + count < FCount) Shift(first + count, -count);
    FCount -= count;
}

void TObjectIndex::Insert(std::int32_t index, const TDrawObject& object) {
    const TObjectHitBounds b = ObjectIndexBoundsMm(object);
    TCellRange r;
    if (!b.Valid || !RangeOf(b.Rect, r)) {
        // Without bounds the object is everybody's candidate: whoever asks
        // decides about it as if there were no index.
        FLarge.push_back(index);
        return;
    }
    if (!FHasExtent) {
        FExtent = b.Rect;
        FHasExtent = true;
    } else {
        FExtent.Left = std::min(FExtent.Left, b.Rect.Left);
        FExtent.Top = std::min(FExtent.Top, b.Rect.Top);
        FExtent.Right = std::max(FExtent.Right, b.Rect.Right);
        FExtent.Bottom = std::max(FExtent.Bottom, b.Rect.Bottom);
    }
    if (r.Large()) {
        FLarge.push_back(index);
        return;
    }
    for (std::int64_t y = r.Y0; y <= r.Y1; ++y)
        for (std::int64_t x = r.X0; x <= r.X1; ++x) FCells[Key(x, y)].push_back(index);
}

void TObjectIndex::Remove(std::int32_t index, const TDrawObject& object) {
    const TObjectHitBounds b = ObjectIndexBoundsMm(object);
    TCellRange r;
    if (!b.Valid || !RangeOf(b.Rect, r) || r.Large()) {
        Drop(FLarge, index);
        return;
    }
    for (std::int64_t y = r.Y0; y <= r.Y1; ++y)
        for (std::int64_t x = r.X0; x <= r.X1; ++x) {
            const auto it = FCells.find(Key(x, y));
            if (it == FCells.end()) continue;
            Drop(it->second, index);
            if (it->second.empty()) FCells.erase(it);
        }
}

void TObjectIndex::Shift(std::int32_t from, std::int32_t by) {
    if (by == 0) return;
    const auto shift = [from, by](std::vector<std::int32_t>& list) {
        for (std::int32_t& i : list)
            if (i >= from) i += by;
    };
    for (auto& [key, list] : FCells) shift(list);
    shift(FLarge);
}

void TObjectIndex::Changed(std::int32_t index, const TDrawObject& before,
                           const TDrawObject& after) {
    Remove(index, before);
    Insert(index, after);
}

bool TObjectIndex::Covers(const TRectMm& rect) const {
    if (!FHasExtent) return true;
    return rect.Left <= FExtent.Left && rect.Top <= FExtent.Top && rect.Right >= FExtent.Right &&
           rect.Bottom >= FExtent.Bottom;
}

void TObjectIndex::Near(const TRectMm& rect, std::vector<std::int32_t>& out) const {
    out.clear();
    TCellRange r;
    if (!RangeOf(rect, r)) return;
    out = FLarge;
    // A query over a huge area (zoomed far out) looks at the cells that exist.
    if ((r.X1 - r.X0 + 1) * (r.Y1 - r.Y0 + 1) > static_cast<std::int64_t>(FCells.size())) {
        for (const auto& [key, list] : FCells) {
            const std::int64_t x = static_cast<std::int32_t>(key >> 32);
            const std::int64_t y = static_cast<std::int32_t>(key & 0xFFFFFFFFu);
            if (x >= r.X0 && x <= r.X1 && y >= r.Y0 && y <= r.Y1)
                out.insert(out.end(), list.begin(), list.end());
        }
    } else {
        for (std::int64_t y = r.Y0; y <= r.Y1; ++y)
            for (std::int64_t x = r.X0; x <= r.X1; ++x) {
                const auto it = FCells.find(Key(x, y));
                if (it != FCells.end()) out.insert(out.end(), it->second.begin(), it->second.end());
            }
    }
    std::sort(out.begin(), out.end(), std::greater<>());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

} // namespace quirindo
