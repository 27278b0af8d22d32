#pragma once
// Pencil and eraser: a stroke is the run of short lines appended while it
// lasts, one per pointer move. Each segment is drawn straight onto the view
// as the renderer would draw it, so a stroke never repaints the drawing.

#include "EditToolHost.h"

#include <cstdint>

namespace quirindo::tools {

struct TFreehandStroke {
    bool Eraser = false;
    // Where the segments of the stroke in progress lie in Objects.
    std::int32_t FirstIndex = 0;
    std::int32_t Segments = 0;
};

// Starts a stroke at view position (x, y); stores and draws nothing.
void FreehandPress(TEditToolHost& host, TFreehandStroke& stroke, int x, int y, bool eraser);
// Appends the segment from the end of the last one to (x, y): the pen
// colour and line width, or white and the eraser width.
void FreehandDrag(TEditToolHost& host, TFreehandStroke& stroke, int x, int y);
void FreehandRelease(TEditToolHost& host, TFreehandStroke& stroke);
// Ends the stroke in progress and removes the segments it appended.
void FreehandAbandon(TEditToolHost& host, TFreehandStroke& stroke);

} // namespace quirindo::tools
