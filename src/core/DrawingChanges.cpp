#include "DrawingChanges.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quirindo {
namespace {

bool SameObject(const TDrawObject& a, const TDrawObject& b) {
    return std::memcmp(&a, &b, sizeof(TDrawObject)) == 0;
}

} // namespace

TRectMm ObjectBoundsMm(const TDrawObject& o) {
    double xs[4] = {o.X1, o.X2, o.X3, o.X4};
    double ys[4] = {o.Y1, o.Y2, o.Y3, o.Y4};
    // Arcs and ellipses keep to the rectangle of their first two points;
    // the arc's other two points only give directions from its centre.
    const int points = (o.Kind == okBezier) ? 4 : 2;
    TRectMm r{xs[0], ys[0], xs[0], ys[0]};
    for (int i = 1; i < points; ++i) {
        r.Left = std::min(r.Left, xs[i]);
        r.Right = std::max(r.Right, xs[i]);
        r.Top = std::min(r.Top, ys[i]);
        r.Bottom = std::max(r.Bottom, ys[i]);
    }
    const double half = std::isfinite(o.Width) ? std::fabs(o.Width) / 2.0 : 0.0;
    return {r.Left - half, r.Top - half, r.Right + half, r.Bottom + half};
}

TDrawingChangeTracker::TTextState TDrawingChangeTracker::StateOf(const TTextObject& t) {
    return {t.Left,  t.Top,   t.Size,
            t.Color, t.Charset, t.Pitch,
            t.Style, std::u16string(TextOf(t)), std::string(FontNameOf(t))};
}

void TDrawingChangeTracker::Reset(const TDrawing& drawing) {
    const std::int32_t n = drawing.Objects.Count();
    FObjects.assign(drawing.Objects.Data(), drawing.Objects.Data() + n);
    FTexts.clear();
    for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i)
        FTexts.push_back(StateOf(drawing.Texts[i]));
}

TDrawingChanges TDrawingChangeTracker::Collect(const TDrawing& drawing) {
    TDrawingChanges changes;
    // Texts are few and their extent is only known once painted: any change
    // among them counts as a change of everything.
    bool textsSame = static_cast<std::size_t>(drawing.Texts.Count()) == FTexts.size();
    for (std::size_t i = 0; textsSame && i < FTexts.size(); ++i)
        textsSame = StateOf(drawing.Texts[static_cast<std::int32_t>(i)]) == FTexts[i];

    // An edit appends, deletes or changes records in one place (an eraser
    // stroke in a few): what lies between the equal head and the equal tail
    // of the two states is what changed.
    const TDrawObject* now = drawing.Objects.Data();
    const std::size_t newCount = static_cast<std::size_t>(drawing.Objects.Count());
    const std::size_t oldCount = FObjects.size();
    std::size_t head = 0;
    while (head < newCount && head < oldCount && SameObject(now[head], FObjects[head])) ++head;
    std::size_t tail = 0;
    while (tail < newCount - head && tail < oldCount - head &&
           SameObject(now[newCount - 1 - tail], FObjects[oldCount - 1 - tail]))
        ++tail;
    const std::size_t oldChanged = oldCount - head - tail;
    const std::size_t newChanged = newCount - head - tail;

    if (!textsSame || oldChanged + newChanged > kMaxTouched) {
        changes.Everything = true;
    } else {
        for (std::size_t i = head; i < head + oldChanged; ++i)
            changes.Touched.push_back(ObjectBoundsMm(FObjects[i]));
        for (std::size_t i = head; i < head + newChanged; ++i)
            changes.Touched.push_back(ObjectBoundsMm(now[i]));
    }

    if (oldChanged != 0 || newChanged != 0) {
        FObjects.erase(FObjects.begin() + static_cast<std::ptrdiff_t>(head),
                       FObjects.begin() + static_cast<std::ptrdiff_t>(head + oldChanged));
        FObjects.insert(FObjects.begin() + static_cast<std::ptrdiff_t>(head), now + head,
                        now + head + newChanged);
    }
    if (!textsSame) {
        FTexts.clear();
        for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i)
            FTexts.push_back(StateOf(drawing.Texts[i]));
    }
    return changes;
}

} // namespace quirindo
