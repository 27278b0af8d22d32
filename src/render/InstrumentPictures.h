#pragma once
// The pictures of the ruler, the protractor and the compass, drawn in
// page-relative pixels with the canvas's current pen (the paint cycle sets a
// grey 1-pixel pen and a hollow brush) and grey numbers. Instrument positions
// are millimetres from the page's top-left corner, angles degrees clockwise
// on screen.

#include "Canvas.h"
#include "PageRenderer.h"

namespace quirindo {

// Face and colour of the scale numbers.
inline constexpr const char* kInstrumentFont = "Arial";

// The ruler: 10 mm wide, as long as the page's width plus height so that it
// crosses the page in any direction; ticks every millimetre (or tenth of an
// inch) of 3, 4.5 and 6 mm, numbered every ten ticks.
void DrawRulerPicture(TCanvas& canvas, const TPageView& view, double linX, double linY, double linW,
                      bool inchScale);

// The protractor: outer circle of diameter winkD, inner circle 20 mm smaller,
// base line, centre mark and 360 ticks numbered every 10 degrees, degree 0 on
// the left at rotation 0 and the degrees increasing clockwise.
void DrawProtractorPicture(TCanvas& canvas, const TPageView& view, double winkX, double winkY,
                           double winkW, double winkD);

// The compass: needle cross at (zirkX, zirkY), the legs to the pencil tip at
// span zirkS in direction zirkW and the hinge between them.
void DrawCompassPicture(TCanvas& canvas, const TPageView& view, double zirkX, double zirkY,
                        double zirkS, double zirkW);

// The character height in pixels of the scale numbers at `scale` pixels per mm.
[[nodiscard]] int InstrumentNumberHeight(double scale);

} // namespace quirindo
