#pragma once
// Curves: one cubic Bezier from four clicks (start, end, first control
// point, second control point), with a preview that follows the pointer on
// the page of the latest click. Each click is turned into drawing millimetres
// when it is made, so zooming or scrolling between the clicks leaves the
// points where they were clicked.

#include "EditToolHost.h"

#include <QPoint>

namespace quirindo::tools {

// The points given so far (absolute drawing millimetres); which click is next
// is told by the pointer state's CurveGot... flags.
struct TCurveChain {
    TPointMm Start;
    TPointMm End;
    TPointMm Ctrl1;
};

void CurveFirstClick(TEditToolHost& host, TCurveChain& chain, int x, int y);
void CurveSecondClick(TEditToolHost& host, TCurveChain& chain, int x, int y);
void CurveThirdClick(TEditToolHost& host, TCurveChain& chain, int x, int y);
// Stores the curve as an okBezier in the pen colour and line width.
void CurveFourthClick(TEditToolHost& host, const TCurveChain& chain, int x, int y);

// What the preview draws for the pointer at view position (x, y), in the
// pixels of page `page`'s picture: a straight line from Start to the pointer
// (Straight), or the Bezier Start, C1, C2, End.
struct TCurvePreviewShape {
    bool Straight = false;
    QPoint Start, C1, C2, End;
};
[[nodiscard]] TCurvePreviewShape CurvePreviewShape(const TPointerState& pointer,
                                                   const TCurveChain& chain,
                                                   const TViewMapping& view, int page, int x,
                                                   int y);

// The preview for the pointer at (x, y); nothing without a pending curve.
void CurvePreview(TEditToolHost& host, const TCurveChain& chain, int x, int y);

// Forgets a pending curve without storing anything.
void CurveAbandon(TEditToolHost& host);

} // namespace quirindo::tools
