#pragma once
// The view's rendered pages, in square tiles: paper, objects and texts of
// the parts of pages the window has shown lately, so that moving an
// instrument, drawing a preview or scrolling back re-composes cached
// pictures instead of drawing the drawing again. Only visible tiles are ever
// rendered, so a repaint costs what the window shows whatever the page size
// and zoom, and the cache is bounded by a number of tiles, not pages.
//
// A tile is reused while the view it was drawn for is the same (scale, page
// size, font factor, device pixel ratio, window text colour) and no edit
// touched it: whoever changes the drawing drops exactly the tiles its
// objects touch before and after (InvalidateMm), or all of them.

#include "DrawingChanges.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <list>
#include <unordered_map>

namespace quirindo {

// The view every cached tile was rendered for.
struct TTileViewKey {
    int WidthPx = 0; // page size in logical pixels
    int HeightPx = 0;
    double Scale = 0.0; // logical pixels per millimetre
    double FontFactor = 0.0;
    double PageHeightInch = 0.0;
    double DevicePixelRatio = 1.0;
    std::uint32_t WindowText = 0;

    bool operator==(const TTileViewKey&) const = default;
};

class TTileCache {
public:
    // A tile's side in logical pixels: 256 device pixels on a plain screen,
    // 512 on a 2x one. Whole logical pixels, so tiles meet without seams.
    static constexpr int kTilePx = 256;

    explicit TTileCache(int capacityTiles = 64) { SetCapacity(capacityTiles); }

    // Makes `view` the one tiles are wanted for; a different view drops
    // every tile.
    void Prepare(const TTileViewKey& view);

    // Drops the tiles that show any part of `rect` (drawing millimetres, on
    // whichever page it lies), with a margin for rounding and thin pens.
    void InvalidateMm(const TRectMm& rect);
    void InvalidateAll();

    // The cached tile (page, column, row), or nullptr; a hit becomes the
    // most recent.
    const QImage* Find(int page, int column, int row);
    // Keeps the tile, dropping the least recently used beyond the capacity.
    const QImage& Store(int page, int column, int row, QImage image);

    // How many tiles the cache keeps: a few viewports' worth.
    void SetCapacity(int tiles) { FCapacity = tiles < 1 ? 1 : tiles; }
    [[nodiscard]] int Capacity() const { return FCapacity; }
    [[nodiscard]] int Size() const { return static_cast<int>(FEntries.size()); }
    [[nodiscard]] std::int64_t Bytes() const { return FBytes; }
    [[nodiscard]] std::int64_t PeakBytes() const { return FPeakBytes; }

    // The tile rectangle (page logical pixels) of column, row on a page of
    // the prepared view, cut to the page.
    [[nodiscard]] QRect TileRect(int column, int row) const;

private:
    struct TEntry {
        int Page, Column, Row;
        QImage Image;
    };
    static std::uint64_t Id(int page, int column, int row) {
        return (std::uint64_t(std::uint32_t(page)) << 42) ^
               (std::uint64_t(std::uint32_t(column)) << 21) ^ std::uint64_t(std::uint32_t(row));
    }
    void Erase(std::list<TEntry>::iterator it);

    int FCapacity = 64;
    TTileViewKey FView;
    std::list<TEntry> FEntries; // most recent first
    std::unordered_map<std::uint64_t, std::list<TEntry>::iterator> FIndex;
    std::int64_t FBytes = 0;
    std::int64_t FPeakBytes = 0;
};

} // namespace quirindo
