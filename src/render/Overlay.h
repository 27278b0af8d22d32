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

    // Records what fn draws, over everything drawn before; returns the area
    // it touched, for updating.
    QRect Draw(const TPainterFn& fn);
    // Records the latest preview of a drag in place of the one recorded
    // before it (other drawings stay), so that a drag of any length keeps one
    // preview to replay. Returns the area of the old and the new preview.
    QRect DrawDragPreview(const TPainterFn& fn);
    // Shows an image (a page with a preview drawn into it) at topLeft.
    QRect DrawImage(QPoint topLeft, const QImage& image);
    void Clear();
    // Where the recorded drawings paint; empty when there are none.
    [[nodiscard]] QRect Bounds() const;
    [[nodiscard]] bool IsEmpty() const { return FItems.empty(); }
    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    // Replays every recorded drawing that reaches into clip, oldest first.
    void Paint(QPainter& painter, const QRect& clip) const;

private:
    struct TItem {
        QPicture Picture;
        QImage Image;
        QPoint ImageAt;
        // Every pixel the item paints lies inside.
        QRect Bounds;
        bool DragPreview = false;
    };
    static TItem Record(const TPainterFn& fn);
    std::vector<TItem> FItems;
};

} // namespace quirindo
