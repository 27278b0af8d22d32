#pragma once
// DXF export: the whole drawing as DXF text for CAD programs. Every drawing
// object becomes pieces of 2D polylines whose vertices carry bulges (chains of
// straight segments and circular arcs), every line of a text a TEXT entity
// placed where the page shows it, in millimetres with the y axis upwards.
// Eraser strokes lie on the layer "RADIERT", everything else on layer "0".
// The text is produced in pieces of about a megabyte, so a file of any size
// is written with little memory.

#include "DrawObjects.h"

#include <functional>
#include <string>
#include <string_view>

namespace quirindo {

// Height in millimetres of all pages together, H = trunc(pageCount) x
// pageHeightInch x 25.39995. A stored point (x, y) is exported as (x, H - y).
[[nodiscard]] double DxfDrawingHeight(double pageCount, double pageHeightInch);

// Where the page puts the lines of a text, in millimetres of paper: the
// distance from the text's top to the first baseline, from one baseline to
// the next, and the height of capital letters (which is what DXF readers take
// as a text's height).
struct TDxfTextMetrics {
    double Ascent = 0.0;
    double LineSpacing = 0.0;
    double CapHeight = 0.0;
};
using TDxfTextMeasure = std::function<TDxfTextMetrics(const TTextObject&)>;

// Without the real font: the proportions of Arial, the default text font, at
// a size in points drawn as that many pixels on a 96 dpi screen.
[[nodiscard]] TDxfTextMetrics DxfDefaultTextMetrics(const TTextObject& text);

// How the middle point of each circular piece is found. Both give the same
// bytes; the scan visits all 1999 candidates and is kept as the reference.
enum class TDxfMiddleSearch { Fast, Scan };

struct TDxfWriteOptions {
    TDxfMiddleSearch Search = TDxfMiddleSearch::Fast;
    // Threads that write objects side by side; 0: one for each processor
    // core (at most 8). The text is the same for any number.
    int Threads = 0;
    // Pieces a thread writes at a time; a drawing of fewer than two such
    // batches is written without threads.
    int BatchPieces = 16384;
    // Measures the texts with the fonts the page is drawn with; empty:
    // DxfDefaultTextMetrics.
    TDxfTextMeasure TextMeasure;
};

// Receives the text piece by piece, in order; false stops the export.
using TDxfSink = std::function<bool(std::string_view)>;

// Produces the complete file into `sink`: CR LF line ends, texts in
// Windows-1252 with every other character written as \U+XXXX (one escape per
// UTF-16 unit). Reads the stores without moving their cursors. Objects or
// texts with coordinates that are not finite numbers, and objects of an
// unknown kind, are left out: no NaN or infinity ever reaches the file.
// Returns false when the sink refused a piece.
bool WriteDxf(const TDrawing& drawing, double drawingHeight, const TDxfWriteOptions& options,
              const TDxfSink& sink);

// The whole text in one string.
[[nodiscard]] std::string DxfFromDrawing(const TDrawing& drawing, double drawingHeight,
                                         TDxfMiddleSearch search = TDxfMiddleSearch::Fast,
                                         const TDxfTextMeasure& measure = {});

// Writes the DXF text of the drawing to `path` through a temporary file, so a
// failure leaves any previous file untouched; false with `error` saying why.
bool WriteDxfFile(const std::string& path, const TDrawing& drawing, int pageCount,
                  double pageHeightInch, std::string& error,
                  const TDxfWriteOptions& options = {});

} // namespace quirindo
