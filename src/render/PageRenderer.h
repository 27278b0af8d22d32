#pragma once
// One page of the view: white paper with a black border, the drawing, then the
// instrument pictures on top. The same routine renders a page for the screen,
// for a bitmap export and for a printer, each at its own scale.

#include "Canvas.h"
#include "ObjectRenderer.h"

#include <QImage>

#include <functional>

namespace quirindo {

// What one page pass draws with.
struct TPageView {
    int Page = 0;            // from 0
    double Scale = 0.0;      // pixels per millimetre
    double FontFactor = 1.0; // pixels per point of text size (zoom per cent / 100)
    double PageHeightInch = 0.0;
    int WidthPx = 0; // the page's size in pixels
    int HeightPx = 0;
};

// Draws an instrument in page-relative coordinates onto the page's canvas.
using TInstrumentPicture = std::function<void(TCanvas& canvas, const TPageView& view)>;

// The pictures above the drawing, drawn in this order, the compass on top. An
// empty entry draws nothing; the window installs the pictures of the
// instruments its "Ansicht" menu shows.
struct TInstrumentPictures {
    TInstrumentPicture Ruler;
    TInstrumentPicture Protractor;
    TInstrumentPicture Compass;
};

// Paints page view.Page onto the canvas at its origin: Rectangle(0, 0, w, h)
// in a black 1-pixel pen with a white brush, DrawObjects, then a grey 1-pixel
// pen and a hollow brush for the instrument pictures.
void RenderPage(TCanvas& canvas, TDrawing& drawing, const TPageView& view,
                const TTextFontResolver& fonts, const TInstrumentPictures& instruments);

// The instrument pictures above a page: a grey 1-pixel pen and a hollow
// brush, then ruler, protractor and compass in this order, each pixel the
// darker of the picture and what lies below, so that the drawing shows
// through wherever it is darker than the pictures.
void DrawInstrumentPictures(TCanvas& canvas, const TPageView& view,
                            const TInstrumentPictures& instruments);

// The part of the page (its pixels) that `picture` draws on, with a pixel's
// margin: what a repaint of a small area must draw of it, or not at all.
[[nodiscard]] QRect InstrumentPictureBounds(const TInstrumentPicture& picture,
                                            const TPageView& view);

[[nodiscard]] inline bool HasAnyPicture(const TInstrumentPictures& instruments) {
    return instruments.Ruler || instruments.Protractor || instruments.Compass;
}

// Pages larger than this many device pixels are not rendered into an image
// (a quarter of a gigabyte at four bytes a pixel).
inline constexpr long long kMaxPageImagePixels = 1LL << 26;

// Page view.Page as an image of WidthPx x HeightPx logical pixels at the given
// device pixel ratio. A null image when the size is empty or beyond
// kMaxPageImagePixels.
[[nodiscard]] QImage RenderPageImage(TDrawing& drawing, const TPageView& view,
                                     const TTextFontResolver& fonts,
                                     const TInstrumentPictures& instruments = {},
                                     double devicePixelRatio = 1.0);

// The part `area` (logical pixels of the page, top-left 0, 0) of page
// view.Page without instruments, as an image of area's size at the given
// device pixel ratio: what RenderPageImage would show there, for a page of
// any size. A null image when the area is empty. With an index in step with
// the drawing only the objects it files near the area are visited.
[[nodiscard]] QImage RenderPageTile(TDrawing& drawing, const TPageView& view,
                                    const TTextFontResolver& fonts, const QRect& area,
                                    double devicePixelRatio = 1.0,
                                    const TObjectIndex* index = nullptr);

} // namespace quirindo
