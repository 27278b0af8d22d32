#include "PageCache.h"

namespace quirindo {

const QImage* TPageCache::Find(const TPageCacheKey& key) {
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
        if (it->Key == key) {
            FEntries.splice(FEntries.begin(), FEntries, it);
            return &FEntries.front().Image;
        }
    }
    return nullptr;
}

const QImage& TPageCache::Store(const TPageCacheKey& key, QImage image) {
    for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
        if (it->Key.Page == key.Page) {
            FEntries.erase(it); // an outdated picture of the same page
            break;
        }
    }
    FEntries.push_front(TEntry{key, std::move(image)});
    while (static_cast<int>(FEntries.size()) > FCapacity) FEntries.pop_back();
    return FEntries.front().Image;
}

} // namespace quirindo
