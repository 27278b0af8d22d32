#include "PageCache.h"

#include "ViewMapping.h"

#include <algorithm>
#include <cmath>

namespace quirindo {
namespace {

// Pixels around an object's millimetre bounds that its picture may still
// reach: the rounding of each point, the one-pixel pen that thin lines get
// at any zoom, and the pixel the renderer adds beyond a shape's box.
constexpr double kMarginPx = 4.0;

} // namespace

void TTileCache::Prepare(const TTileViewKey& view) {
    if (!(view == FView)) InvalidateAll();
    FView = view;
}

void TTileCache::InvalidateAll() {
    FEntries.clear();
    FIndex.clear();
    FBytes = 0;
}

void TTileCache::Erase(std::list<TEntry>::iterator it) {
    FBytes -= it->Image.sizeInBytes();
    FIndex.erase(Id(it->Page, it->Column, it->Row));
    FEntries.erase(it);
}

QRect TTileCache::TileRect(int column, int row) const {
    const QRect tile(column * kTilePx, row * kTilePx, kTilePx, kTilePx);
    return tile & QRect(0, 0, FView.WidthPx, FView.HeightPx);
}

void TTileCache::InvalidateMm(const TRectMm& rect) {
    if (FEntries.empty()) return;
    const double s = FView.Scale;
    const double pageMm = PageHeightMm(FView.PageHeightInch);
    if (!(s > 0.0) || !(pageMm > 0.0)) {
        InvalidateAll();
        return;
    }
    for (auto it = FEntries.begin(); it != FEntries.end();) {
        // The tile's area on its own page, in the page's pixels, against the
        // rectangle as that page's picture shows it (MmToPage).
        const QRect tile = TileRect(it->Column, it->Row);
        const double top = it->Page * pageMm;
        const double left = rect.Left * s - kMarginPx, right = rect.Right * s + kMarginPx;
        const double upper = (rect.Top - top) * s - kMarginPx;
        const double lower = (rect.Bottom - top) * s + kMarginPx;
        const bool touched = !(right < tile.left() || left > tile.right() + 1.0 ||
                               lower < tile.top() || upper > tile.bottom() + 1.0);
        if (touched) {
            const auto next = std::next(it);
            Erase(it);
            it = next;
        } else {
            ++it;
        }
    }
}

const QImage* TTileCache::Find(int page, int column, int row) {
    const auto found = FIndex.find(Id(page, column, row));
    if (found == FIndex.end()) return nullptr;
    FEntries.splice(FEntries.begin(), FEntries, found->second);
    return &FEntries.front().Image;
}

const QImage& TTileCache::Store(int page, int column, int row, QImage image) {
    const auto found = FIndex.find(Id(page, column, row));
    if (found != FIndex.end()) Erase(found->second);
    FBytes += image.sizeInBytes();
    FEntries.push_front(TEntry{page, column, row, std::move(image)});
    FIndex[Id(page, column, row)] = FEntries.begin();
    while (static_cast<int>(FEntries.size()) > FCapacity) Erase(std::prev(FEntries.end()));
    FPeakBytes = std::max(FPeakBytes, FBytes);
    return FEntries.front().Image;
}

} // namespace quirindo
