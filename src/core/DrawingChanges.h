#pragma once
// What an edit of the drawing touched, found by comparing the stores with
// the state they had at the previous look. The view uses it to re-render
// only the parts of the pages that changed; whoever learns the touched
// records directly (an editing step that reports them) can hand the same
// rectangles to the view instead.

#include "DrawObjects.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quirindo {

// A rectangle in drawing millimetres (y grows down across the stacked pages).
struct TRectMm {
    double Left = 0.0, Top = 0.0, Right = 0.0, Bottom = 0.0;
};

// Everything an object can paint, its pen's half width included: lines and
// curves stay inside the hull of their points, arcs and ellipses inside the
// rectangle of their first two points.
[[nodiscard]] TRectMm ObjectBoundsMm(const TDrawObject& object);

struct TDrawingChanges {
    bool Everything = false;      // too much changed, or texts: treat the whole drawing as new
    std::vector<TRectMm> Touched; // the areas of the objects before and after, when not
};

class TDrawingChangeTracker {
public:
    // More changed objects than this are cheaper to re-render page by page.
    static constexpr std::size_t kMaxTouched = 4096;

    // Takes the drawing as it is now as the state that later looks compare with.
    void Reset(const TDrawing& drawing);
    // What changed since the previous look (or Reset); then takes the new state.
    [[nodiscard]] TDrawingChanges Collect(const TDrawing& drawing);

private:
    // A text's content without its painted extent, which every paint rewrites.
    struct TTextState {
        double Left, Top;
        std::int32_t Size, Color;
        std::uint8_t Charset, Pitch, Style;
        std::u16string Text;
        std::string FontName;
        bool operator==(const TTextState&) const = default;
    };
    static TTextState StateOf(const TTextObject& text);
    std::vector<TDrawObject> FObjects;
    std::vector<TTextState> FTexts;
};

} // namespace quirindo
