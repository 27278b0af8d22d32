#pragma once
// Pages on paper: every chosen page of the drawing on its own sheet of a
// QPagedPaintDevice (the window's printer, a PDF writer), true to size or
// fitted to the paper, as vector output through the canvas wrapper. The
// paper frame of the view and the instruments are not printed: the sheet's
// edge is the page's edge, and the instruments are tools, not part of the
// drawing. Bitmaps follow the same rule.

#include "DrawObjects.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace quirindo::output {

// What every page on paper is drawn with.
struct TPageOutput {
    double PageWidthInch = 0.0;
    double PageHeightInch = 0.0;
    // Text sizes count in pixels of the screen at zoom 100; on paper a text
    // keeps the size it has there relative to the page.
    double ScreenDpi = 96.0;
    QColor WindowText = Qt::black;
};

struct TPrintJob : TPageOutput {
    int FirstPage = 0; // from 0, both included
    int LastPage = 0;
    // Copies the device does not make itself: each copy the whole run when
    // collated, else each page as often as there are copies.
    int Copies = 1;
    bool Collate = true;
    // Last page first.
    bool Reverse = false;
    // Shrink each page into the paper's printable area instead of printing
    // it at 100 % from the area's top-left corner (clipped by the paper).
    bool FitToPaper = false;
};

// Paints page `page` (from 0) with its top-left corner at the painter's
// origin, at dpiX x dpiY device pixels per inch, clipped to the page.
void PaintPrintPage(QPainter& painter, TDrawing& drawing, int page, double dpiX, double dpiY,
                    const TPageOutput& job);

// A copy of the objects and texts of `drawing` that can show on page `page`
// (from 0): what lies wholly on other pages is left out, so that a page of
// a PDF, a print job or an SVG does not carry every other page's objects
// clipped away. A text not yet measured counts as reaching one page height
// below its top. Nothing when memory ran out.
[[nodiscard]] std::unique_ptr<TDrawing> PageContent(const TDrawing& drawing, int page,
                                                    double pageHeightInch);

// The pages in the order they go onto the paper: the run from FirstPage to
// LastPage, backwards when Reverse, each as many times as Copies (the whole
// run repeated when Collate, else every page repeated in place).
[[nodiscard]] std::vector<int> PrintOrder(const TPrintJob& job);

// The factor that shrinks a page of pageMm into areaMm (1 when it fits
// already; never enlarges).
[[nodiscard]] double FitScale(QSizeF pageMm, QSizeF areaMm);

// Whether a page of pageMm fits into areaMm, with a tenth of a millimetre to
// spare for the rounding of paper sizes.
[[nodiscard]] bool PageFitsPaper(QSizeF pageMm, QSizeF areaMm);

// Prints the job onto `device`, one drawing page per sheet, each in the
// paper's printable area (the margins of its page layout). False with a
// reason when the device cannot be painted on or refuses a page.
bool PrintPages(QPagedPaintDevice& device, TDrawing& drawing, const TPrintJob& job,
                QString& error);

// Sets the device's paper to the page size (upright or across as the page
// is), without margins, so that one drawing page fills one sheet.
void MatchPaperToPage(QPagedPaintDevice& device, double pageWidthInch, double pageHeightInch);

} // namespace quirindo::output
