#pragma once
// Picking several items at once with the object tools: a box dragged from
// empty paper takes every object and text lying wholly inside it, and a
// Shift-press on a pencil line takes the whole stroke it belongs to.

#include "EditToolHost.h"

#include <cstdint>
#include <vector>

namespace quirindo::tools {

// The run of pencil segments around object `index`: the neighbouring line
// records of the same colour and width whose ends meet exactly, as a
// freehand stroke stores them one after the other. Ascending indices; just
// `index` for any other object.
[[nodiscard]] std::vector<std::int32_t> StrokeAround(TDrawing& drawing, std::int32_t index);

// Whether view position (x, y) lies within the box around the selection,
// as the picture of the page under it shows it.
[[nodiscard]] bool InsideSelection(TEditToolHost& host, int x, int y);
void ClearSelection(TPointerState& pointer);
// The selection outlined in red where the picture of `page` shows it,
// moved by (dx, dy).
void ShowSelection(TEditToolHost& host, int page, int dx, int dy);

// A press on empty paper starts the box; the drag shows it dashed with the
// items it encloses highlighted; the release selects them and, with
// `remove`, deletes them as one step.
void SelectPress(TEditToolHost& host, int x, int y);
void SelectDrag(TEditToolHost& host, int x, int y);
void SelectRelease(TEditToolHost& host, int x, int y, bool remove);
// Deletes the selected objects and texts as one step named `step`.
void DeleteSelection(TEditToolHost& host, const char* step);
// Moves the selected objects and texts by (dx, dy) mm as one step.
void MoveSelection(TEditToolHost& host, double dx, double dy);
// Escape during the box: nothing is selected.
void SelectAbandon(TEditToolHost& host);

} // namespace quirindo::tools
