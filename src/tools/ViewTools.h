#pragma once
// The hand, which drags the pages within the scroll box, and the zoom tool,
// which enlarges or reduces the view by half about the clicked point, which
// stays under the pointer. Also where a shown point goes when the zoom
// changes, so that every zoom keeps the user's place.

#include "EditToolHost.h"
#include "PageGeometry.h"

namespace quirindo::tools {

enum class TZoomDirection { In, Out, Keep };

// The zoom after one step from `percent`: x 1.5 or / 1.5, rounded to the
// nearest integer with halves to even and kept within 1 to 300.
[[nodiscard]] int ZoomStep(int percent, TZoomDirection direction);

// Changes the zoom by one step about view position (x, y): the drawing
// point shown there stays on the same spot of the screen.
void ZoomAbout(TEditToolHost& host, int x, int y, TZoomDirection direction);

// The paint-box position at which the drawing point shown at paint-box
// position (x, y) under `before` is shown under `after`. The point keeps its page: pages are a
// whole number of pixels high at every zoom, so scaling the whole paint box would drift by up to a
// pixel a page. Positions outside the pages carry on from the nearest page. Without a known scale
// on either side, (x, y) stays.
struct TViewPoint {
    double X = 0.0;
    double Y = 0.0;
};
[[nodiscard]] TViewPoint SamePointAfterZoom(const TViewMapping& before, const TViewMapping& after,
                                            double x, double y);

// Positions kept within 0 .. range - 1 of each bar.
[[nodiscard]] int ClampScroll(double position, int range);

void HandPress(TEditToolHost& host, int x, int y);
void HandDrag(TEditToolHost& host, int x, int y);
void HandRelease(TEditToolHost& host);

} // namespace quirindo::tools
