#pragma once
// What the freehand and editing tools need of the window beyond what the
// instruments need: the eraser width, the zoom field, the scroll box, a
// render of one page for previews, the text font and the text dialog.

#include "ObjectRenderer.h"
#include "TextFont.h"
#include "ToolHost.h"

#include <functional>
#include <optional>
#include <string>

namespace quirindo::tools {

// The scroll box: each bar's position and its number of positions (the
// position runs from 0 to range - 1), and the outer size of the visible area.
struct TScrollState {
    int H = 0, V = 0;
    int HRange = 1, VRange = 1;
    int Width = 0, Height = 0;
};

class TEditToolHost : public TToolHost {
public:
    // Eraser width of the settings strip (mm), read when called.
    [[nodiscard]] virtual double EraserWidth() const = 0;

    // The zoom field in per cent (1 to 300).
    [[nodiscard]] virtual int ZoomPercent() const = 0;
    // Writes the zoom field, which keeps it within 1 to 300, and scrolls so
    // that the drawing point at view position (x, y) stays where it is on
    // the screen; a new value repaints at once, so the view scale and the
    // scroll ranges follow.
    virtual void SetZoomAbout(int percent, int x, int y) = 0;

    // Renders the page under the last press alone, lets fn draw onto it in
    // page pixels, and shows it in place of that page until the next repaint.
    virtual void ShowPagePreview(const TOverlay::TPainterFn& fn) = 0;

    // Pages must be rendered from the drawing again at the next paint. The
    // edits of an open step (a stroke) are drawn onto the view by their
    // tool, and the pages, which lack them, may be kept until then.
    virtual void RefreshPages() = 0;

    [[nodiscard]] virtual TScrollState Scroll() const = 0;
    // Sets both scroll positions with painting locked; requests no repaint.
    virtual void ScrollTo(int h, int v) = 0;

    [[nodiscard]] virtual TTextFont TextFont() const = 0;
    virtual void SetTextFont(const TTextFont& font) = 0;
    // The text dialog, modal, in the text font (which it may change). With a
    // preset the box shows it, otherwise whatever it held when it last
    // closed. The text when the user confirmed.
    virtual std::optional<std::u16string> AskText(const std::u16string* preset) = 0;
    // Fonts and colours of texts as the view paints them.
    [[nodiscard]] virtual TTextFontResolver TextFonts() const = 0;
};

// What the text and object tools share for the item under the pointer:
// `found` is its index or -1; a found item is highlighted by `highlight`
// after a repaint, and a highlight no longer wanted is repainted away.
void HoverOver(TEditToolHost& host, std::int32_t found, const std::function<void()>& highlight);

// A press that acts on the highlighted item takes the highlight; false when
// none was shown.
bool TakeHover(TPointerState& pointer);

// Escape during a move: the item stays where it was.
void AbandonMove(TEditToolHost& host, bool& moving);

// Pixels per point of text size: the zoom per cent / 100.
[[nodiscard]] inline double FontFactor(const TEditToolHost& host) {
    return host.ZoomPercent() / 100.0;
}

} // namespace quirindo::tools
