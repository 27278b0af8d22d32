#pragma once
// DrawObjects: paints the whole drawing onto the canvas of one page, first the
// drawing objects, then the texts, each in store order, and writes every
// text's measured extent back into its record (hit-testing reads it).

#include "Canvas.h"
#include "DrawObjects.h"
#include "ObjectIndex.h"

#include <QColor>
#include <QFont>

#include <cstdint>

namespace quirindo {

// Turns a text record's font attributes into a Qt font and its colour value
// into a colour. Holds the colour that the system window-text value stands for,
// which the window takes from its palette.
class TTextFontResolver {
public:
    explicit TTextFontResolver(QColor windowText = QColor(Qt::black));

    // Face from the Windows-1252 name, em height TextPixelSize(Size, fontFactor)
    // pixels, the style bits, and a fixed pitch as a typewriter hint. The
    // character set is not applied: Qt picks glyphs by script on its own.
    [[nodiscard]] QFont Font(const TTextObject& text, double fontFactor) const;
    // clWindowText gives the window-text colour, anything else its RGB value.
    [[nodiscard]] QColor Color(TColor color) const;
    [[nodiscard]] const QColor& WindowText() const { return FWindowText; }

private:
    QColor FWindowText;
};

// round(size x fontFactor), halves to even, at least 1 and at most kMaxFontPx.
// A negative size (Windows reads it as a cell height) counts by its magnitude.
[[nodiscard]] int TextPixelSize(std::int32_t size, double fontFactor);

// How the lines of a text are laid out when drawn, in pixels: from the top
// of the text to the first baseline, from one baseline to the next, and the
// height of capital letters.
struct TTextLineMetrics {
    double Ascent = 0.0;
    double LineSpacing = 0.0;
    double CapHeight = 0.0;
};

// The metrics of the font DrawObjects draws `text` with at `fontFactor`.
[[nodiscard]] TTextLineMetrics TextLineMetrics(const TTextObject& text, double fontFactor,
                                               const TTextFontResolver& fonts);

// round(widthMm x scale), halves to even; 0 or less gives 1, at most
// kMaxPenWidthPx.
[[nodiscard]] int PenWidthPx(double widthMm, double scale);

// Draws every object and text of the drawing on page `page` (from 0) at
// `scale` pixels per millimetre, texts at fontFactor (zoom per cent / 100)
// pixels per point. Each text that may reach the canvas is measured: its
// Right becomes its measured right edge in mm and its Bottom its Top plus
// the measured height, the same whichever page was painted; a text measured
// before that lies far from the canvas keeps its box and is not drawn. Objects are offered to every page; what lies on other
// pages falls outside the canvas. Iterates both stores with First/Next, so
// their cursors end on the last record. Records of unknown kind and records
// with non-finite coordinates are skipped; so is everything when the scale is
// not a positive number. With an index in step with the drawing only the
// objects it files within the canvas's visible bounds are drawn (in the
// order of the store, so later ones still paint over earlier ones).
void DrawObjects(TCanvas& canvas, TDrawing& drawing, int page, double scale, double fontFactor,
                 double pageHeightInch, const TTextFontResolver& fonts,
                 const TObjectIndex* index = nullptr);

} // namespace quirindo
