#include "Overlay.h"

#include <QPainter>

namespace quirindo {

QRect TOverlay::Draw(const TPainterFn& fn) {
    TItem item;
    {
        QPainter painter(&item.Picture);
        TCanvas canvas(painter);
        fn(canvas);
    }
    // Wide pens reach past the recorded bounds by half their width.
    item.Bounds = item.Picture.boundingRect().adjusted(-2, -2, 2, 2);
    const QRect bounds = item.Bounds;
    FItems.push_back(std::move(item));
    return bounds;
}

QRect TOverlay::DrawImage(QPoint topLeft, const QImage& image) {
    TItem item;
    item.Image = image;
    item.ImageAt = topLeft;
    item.Bounds = QRect(topLeft, image.deviceIndependentSize().toSize());
    const QRect bounds = item.Bounds;
    FItems.push_back(std::move(item));
    return bounds;
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

} // namespace quirindo
