#pragma once
// Pencil and eraser: a stroke is the run of short lines appended while it
// lasts, one per pointer move. Each segment is drawn straight onto the view
// as the renderer would draw it, so a stroke never repaints the drawing.

#include "EditToolHost.h"

#include <cstdint>

namespace quirindo::tools {

struct TFreehandStroke {
    bool Eraser = false;
    // Segments the stroke in progress has stored so far.
    std::int32_t Segments = 0;
};

// Starts a stroke at view position (x, y), one undoable step until the
// release; stores and draws nothing.
void FreehandPress(TEditToolHost& host, TFreehandStroke& stroke, int x, int y, bool eraser);
// Appends the segment from the end of the last one to (x, y): the pen
// colour and line width, or white and the eraser width.
void FreehandDrag(TEditToolHost& host, TFreehandStroke& stroke, int x, int y);
void FreehandRelease(TEditToolHost& host, TFreehandStroke& stroke);
// Ends the stroke in progress and removes the segments it appended.
void FreehandAbandon(TEditToolHost& host, TFreehandStroke& stroke);

} // namespace quirindo::tools
