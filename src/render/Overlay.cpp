#include "Overlay.h"

#include <QPainter>

#include <algorithm>

namespace quirindo {

TOverlay::TItem TOverlay::Record(const TPainterFn& fn) {
    TItem item;
    QPainter painter(&item.Picture);
    // The picture's own bounds leave out text, so the canvas keeps the area
    // of what it drew: an item culled by too small bounds would vanish from
    // any exposed part of the view that does not contain the origin.
    TCanvas canvas(painter, TBoundsTracking::On);
    fn(canvas);
    painter.end();
    item.Bounds = canvas.DrawnBounds();
    return item;
}

QRect TOverlay::Draw(const TPainterFn& fn) {
    FItems.push_back(Record(fn));
    return FItems.back().Bounds;
}

QRect TOverlay::DrawDragPreview(const TPainterFn& fn) {
    TItem item = Record(fn);
    item.DragPreview = true;
    QRect touched = item.Bounds;
    const auto old =
        std::find_if(FItems.begin(), FItems.end(), [](const TItem& i) { return i.DragPreview; });
    if (old != FItems.end()) {
        // Where the old preview was must be painted again without it.
        touched |= old->Bounds;
        FItems.erase(old);
    }
    FItems.push_back(std::move(item));
    return touched;
}

QRect TOverlay::DrawImage(QPoint topLeft, const QImage& image) {
    TItem item;
    item.Image = image;
    item.ImageAt = topLeft;
    item.Bounds = QRect(topLeft, image.deviceIndependentSize().toSize());
    FItems.push_back(std::move(item));
    return FItems.back().Bounds;
}

void TOverlay::Clear() { FItems.clear(); }

void TOverlay::Paint(QPainter& painter, const QRect& clip) const {
    for (const TItem& item : FItems) {
        if (!item.Bounds.intersects(clip)) continue;
        if (!item.Image.isNull())
            painter.drawImage(item.ImageAt, item.Image);
        else
            painter.drawPicture(0, 0, item.Picture);
    }
}

QRect TOverlay::Bounds() const {
    QRect bounds;
    for (const TItem& item : FItems)
        bounds |= item.Bounds;
    return bounds;
}

} // namespace quirindo
