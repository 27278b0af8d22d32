#pragma once
// The drawing as vector files: PDF (every page or a run of pages, one PDF
// page each) and SVG (one page). Both go through the page painting the
// printer uses, true to scale, with texts as text and no pictures inside;
// the instruments are left out.

#include "PagePrinting.h"

#include <QString>

namespace quirindo::output {

struct TVectorJob : TPageOutput {
    int FirstPage = 0; // from 0, both included; the SVG takes FirstPage
    int LastPage = 0;
    // Shown by readers as the document's title.
    QString Title;
};

// Device pixels per inch of the vector files: fine enough that rounding
// each point to a whole pixel moves it by less than a hundredth of a
// millimetre.
inline constexpr double kPdfDpi = 2400.0;
inline constexpr double kSvgDpi = 2540.0; // 100 pixels a millimetre

// Writes the pages to `path` through a temporary file; on failure the
// previous file is untouched and `error` says why.
bool WritePdf(const QString& path, TDrawing& drawing, const TVectorJob& job, QString& error);

// Writes page job.FirstPage as an SVG whose width and height are given in
// millimetres and whose viewBox counts millimetres from the page's top-left
// corner.
bool WriteSvg(const QString& path, TDrawing& drawing, const TVectorJob& job, QString& error);

} // namespace quirindo::output
