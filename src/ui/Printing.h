#pragma once
// Printing: every chosen page of the drawing on its own printer page, true to
// size, as vector output through the canvas wrapper. The paper frame of the
// view and the instruments are not printed: the instruments are tools, not
// part of the drawing.

#include "DrawObjects.h"

#include <QColor>
#include <QString>

class QPainter;
class QPrinter;

namespace quirindo::ui {

struct TPrintJob {
    double PageWidthInch = 0.0;
    double PageHeightInch = 0.0;
    int FirstPage = 0; // from 0, both included
    int LastPage = 0;
    // Text sizes count in pixels of the screen at zoom 100; on paper a text
    // keeps the size it has there relative to the page.
    double ScreenDpi = 96.0;
    QColor WindowText = Qt::black;
};

// Paints page `page` (from 0) with its top-left corner at the painter's
// origin, at dpiX x dpiY device pixels per inch, clipped to the page.
void PaintPrintPage(QPainter& painter, TDrawing& drawing, int page, double dpiX, double dpiY,
                    const TPrintJob& job);

// Prints job.FirstPage .. job.LastPage, one drawing page per printer page,
// each at the top-left corner of the printable area. False with a reason when
// the printer cannot be used or reports an error.
bool PrintDrawing(QPrinter& printer, TDrawing& drawing, const TPrintJob& job, QString& error);

// Sets the printer's paper to the page size (upright or across as the page
// is), without margins, so that one drawing page fills one sheet.
void MatchPaperToPage(QPrinter& printer, double pageWidthInch, double pageHeightInch);

} // namespace quirindo::ui
