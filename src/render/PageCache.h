#pragma once
// Rendered paper, objects and texts of the most recently shown pages, so that
// moving an instrument, drawing a preview or scrolling re-composes cached
// pictures instead of drawing the whole drawing again. Bounded to a few
// pages; a picture is reused only while everything it was drawn from is the
// same, the drawing's revision included.

#include <QImage>

#include <cstdint>
#include <list>

namespace quirindo {

struct TPageCacheKey {
    int Page = 0;
    int WidthPx = 0;
    int HeightPx = 0;
    double Scale = 0.0;
    double FontFactor = 0.0;
    double PageHeightInch = 0.0;
    double DevicePixelRatio = 1.0;
    std::uint64_t Revision = 0; // bumped by every change of the drawing
    std::uint32_t WindowText = 0;

    bool operator==(const TPageCacheKey&) const = default;
};

class TPageCache {
public:
    explicit TPageCache(int capacity = 3) : FCapacity(capacity < 1 ? 1 : capacity) {}

    // The cached picture for key, or nullptr. A hit becomes the most recent.
    const QImage* Find(const TPageCacheKey& key);
    // Keeps the picture, dropping the least recently used beyond capacity.
    const QImage& Store(const TPageCacheKey& key, QImage image);
    void Clear() { FEntries.clear(); }
    [[nodiscard]] int Size() const { return static_cast<int>(FEntries.size()); }
    [[nodiscard]] int Capacity() const { return FCapacity; }

private:
    struct TEntry {
        TPageCacheKey Key;
        QImage Image;
    };
    int FCapacity;
    std::list<TEntry> FEntries; // most recent first
};

} // namespace quirindo
