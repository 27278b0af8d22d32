#pragma once
// Drawing "straight onto the view": previews, highlights and pencil segments
// that lie over the rendered pages until the next full repaint clears them.
// Each drawing is recorded (as a QPicture) in paint-box pixels and replayed
// above the pages whenever the view paints, so an overlay never forces the
// pages themselves to be rendered again.

#include "Canvas.h"

#include <QImage>
#include <QPicture>
#include <QRect>

#include <functional>
#include <vector>

namespace quirindo {

class TOverlay {
public:
    using TPainterFn = std::function<void(TCanvas& canvas)>;

    // Records what fn draws; returns the area it touched, for updating.
    QRect Draw(const TPainterFn& fn);
    // Shows an image (a page with a preview drawn into it) at topLeft.
    QRect DrawImage(QPoint topLeft, const QImage& image);
    void Clear();
    [[nodiscard]] bool IsEmpty() const { return FItems.empty(); }
    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    // Replays every recorded drawing, oldest first, over what is painted.
    void Paint(QPainter& painter, const QRect& clip) const;

private:
    struct TItem {
        QPicture Picture;
        QImage Image;
        QPoint ImageAt;
        QRect Bounds;
    };
    std::vector<TItem> FItems;
};

} // namespace quirindo
