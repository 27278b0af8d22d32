#pragma once
// Curves: one cubic Bezier from four clicks (start, end, first control
// point, second control point), with a preview that follows the pointer on
// the page of the latest click. The points are kept in view pixels until the
// fourth click converts them at the view scale of that moment.

#include "EditToolHost.h"

#include <QPoint>

namespace quirindo::tools {

// The points given so far (view pixels); the start is the pointer state's
// DragStartX / DragStartY, which click is next its CurveGot... flags.
struct TCurveChain {
    int EndX = 0, EndY = 0;
    int Ctrl1X = 0, Ctrl1Y = 0;
};

void CurveFirstClick(TEditToolHost& host, int x, int y);
void CurveSecondClick(TEditToolHost& host, TCurveChain& chain, int x, int y);
void CurveThirdClick(TEditToolHost& host, TCurveChain& chain, int x, int y);
// Stores the curve as an okBezier in the pen colour and line width.
void CurveFourthClick(TEditToolHost& host, const TCurveChain& chain, int x, int y);

// What the preview draws for the pointer at view position (x, y), in the
// pixels of the page whose top is at view y pageTop: a straight line from
// Start to the pointer (Straight), or the Bezier Start, C1, C2, End.
struct TCurvePreviewShape {
    bool Straight = false;
    QPoint Start, C1, C2, End;
};
[[nodiscard]] TCurvePreviewShape CurvePreviewShape(const TPointerState& pointer,
                                                   const TCurveChain& chain, int x, int y,
                                                   int pageTop);

// The preview for the pointer at (x, y); nothing without a pending curve.
void CurvePreview(TEditToolHost& host, const TCurveChain& chain, int x, int y);

// Forgets a pending curve without storing anything.
void CurveAbandon(TEditToolHost& host);

} // namespace quirindo::tools
