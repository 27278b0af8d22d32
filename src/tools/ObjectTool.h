#pragma once
// The object tool: highlights the drawing object under the pointer (the
// newest first), deletes or moves it; and removes the newest object.

#include "EditToolHost.h"

#include <cstdint>

namespace quirindo::tools {

// Whether view position (px, py) lies on the object as the picture of the
// page under it shows the object: a line within SegmentHit's band; an
// ellipse less than 3 pixels from the circle of its box's half width; an arc
// likewise but only along its drawn part (and within 3 pixels of its ends);
// a curve less than 3 pixels from the curve between its rounded points.
[[nodiscard]] bool ObjectHit(const TDrawObject& object, const TViewMapping& view, int px, int py);
// Index of the newest object hit at (x, y), or -1. With an index in step
// with the drawing only the objects filed near the pointer are tried.
[[nodiscard]] std::int32_t ObjectAt(TDrawing& drawing, const TViewMapping& view, int x, int y,
                                    const TObjectIndex* index = nullptr);

// The red highlight pen: max(2, round(2 x width x scale)) pixels.
[[nodiscard]] int HighlightPenWidth(double widthMm, double scale);
// The object's outline with the highlight pen, in paint-box pixels, where
// the picture of page `page` shows it, moved by (dx, dy).
void DrawHighlight(TCanvas& canvas, const TDrawObject& object, const TViewMapping& view, int page,
                   int dx, int dy);

void ObjectHover(TEditToolHost& host, int x, int y);
// A press on the highlighted object deletes it, or with `wholeStroke` the
// whole pencil stroke it belongs to, as one step. False when the press found
// nothing (empty paper, where a selection box may start).
bool ObjectDeletePress(TEditToolHost& host, bool wholeStroke = false);
// Starts moving the selection when the press lies within its box, else the
// highlighted object (with `wholeStroke` its whole pencil stroke). False when
// the press found nothing.
bool ObjectMovePress(TEditToolHost& host, int x, int y, bool wholeStroke = false);
void ObjectMoveDrag(TEditToolHost& host, int x, int y);
// Shifts all four points of the object by the drag.
void ObjectMoveRelease(TEditToolHost& host, int x, int y);
// Ends a move in progress, leaving the object where it was.
void ObjectMoveAbandon(TEditToolHost& host);
// "Letzes Objekt löschen": removes the newest object, if there is one.
void DeleteLastObject(TEditToolHost& host);

} // namespace quirindo::tools
