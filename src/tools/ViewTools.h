#pragma once
// The hand, which drags the pages within the scroll box, and the zoom tool,
// which enlarges or reduces the view by half about the clicked point and
// brings that point to the middle of the visible area.

#include "EditToolHost.h"

namespace quirindo::tools {

enum class TZoomDirection { In, Out, Keep };

// The zoom after one step from `percent`: x 1.5 or / 1.5, rounded to the
// nearest integer with halves to even and kept within 1 to 300.
[[nodiscard]] int ZoomStep(int percent, TZoomDirection direction);

// Changes the zoom by one step and scrolls so that view position (x, y),
// measured before the change, lies in the middle of the visible area.
void ZoomAbout(TEditToolHost& host, int x, int y, TZoomDirection direction);

// Positions kept within 0 .. range - 1 of each bar.
[[nodiscard]] int ClampScroll(double position, int range);

void HandPress(TEditToolHost& host, int x, int y);
void HandDrag(TEditToolHost& host, int x, int y);
void HandRelease(TEditToolHost& host);

} // namespace quirindo::tools
