#pragma once
// The DXF writer's text measure from the fonts the page is drawn with, so an
// exported text stands where and as large as the page shows it.

#include "DrawingFile.h"
#include "DxfWriter.h"
#include "ObjectRenderer.h"

namespace quirindo {

// At zoom 100 a text of size p is drawn with a font p pixels high on a screen
// of `screenDpi` logical pixels per inch, so one pixel is 25.39995 / screenDpi
// millimetres of paper. The resolver is copied: the measure outlives the call.
inline TDxfTextMeasure DxfTextMeasure(const TTextFontResolver& fonts, double screenDpi) {
    return [fonts, screenDpi](const TTextObject& text) {
        const TTextLineMetrics px = TextLineMetrics(text, 1.0, fonts);
        const double mmPerPx = kMmPerInch / screenDpi;
        return TDxfTextMetrics{px.Ascent * mmPerPx, px.LineSpacing * mmPerPx,
                               px.CapHeight * mmPerPx};
    };
}

} // namespace quirindo
