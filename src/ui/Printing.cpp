#include "Printing.h"

#include "Canvas.h"
#include "DrawingFile.h"
#include "Geometry.h"
#include "Messages.h"
#include "ObjectRenderer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace quirindo::ui {
namespace {

// Reasons in the interface language.
QString Reason(const char* german) {
    return QString::fromStdString(TranslateUtf8(german));
}

} // namespace

void PaintPrintPage(QPainter& painter, TDrawing& drawing, int page, double dpiX, double dpiY,
                    const TPrintJob& job) {
    if (!(dpiX > 0.0) || !(dpiY > 0.0) || !(job.ScreenDpi > 0.0)) return;
    painter.save();
    // The canvas works at one scale; a printer with a different vertical
    // resolution gets it through the painter.
    if (dpiY != dpiX) painter.scale(1.0, dpiY / dpiX);
    const int width = RoundHalfEven(dpiX * job.PageWidthInch);
    const int height = RoundHalfEven(dpiX * job.PageHeightInch);
    // Objects are offered to every page; the clip keeps those of the
    // neighbouring pages off this sheet.
    painter.setClipRect(0, 0, width, height);
    TCanvas canvas(painter);
    const TTextFontResolver fonts(job.WindowText);
    DrawObjects(canvas, drawing, page, dpiX / kMmPerInch, dpiX / job.ScreenDpi, job.PageHeightInch,
                fonts);
    painter.restore();
}

bool PrintDrawing(QPrinter& printer, TDrawing& drawing, const TPrintJob& job, QString& error) {
    if (job.FirstPage < 0 || job.LastPage < job.FirstPage) {
        error = Reason(reason::NoPagesToPrint);
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = printer.outputFileName().isEmpty()
                    ? Reason(reason::PrinterCannotOpen)
                    : Reason(reason::CannotBeWritten).arg(printer.outputFileName());
        return false;
    }
    const double dpiX = printer.logicalDpiX();
    const double dpiY = printer.logicalDpiY();
    for (int page = job.FirstPage; page <= job.LastPage; ++page) {
        if (page > job.FirstPage && !printer.newPage()) {
            painter.end();
            error = Reason(reason::PrinterRefusedPage);
            return false;
        }
        PaintPrintPage(painter, drawing, page, dpiX, dpiY, job);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        error = Reason(reason::PrinterError);
        return false;
    }
    return true;
}

void MatchPaperToPage(QPrinter& printer, double pageWidthInch, double pageHeightInch) {
    const bool across = pageWidthInch > pageHeightInch;
    const double shortMm = std::min(pageWidthInch, pageHeightInch) * kMmPerInch;
    const double longMm = std::max(pageWidthInch, pageHeightInch) * kMmPerInch;
    // Sizes within a fraction of a millimetre of a standard paper take its
    // name, so a printer picks the right tray.
    const QPageSize paper(QSizeF(shortMm, longMm), QPageSize::Millimeter, QString(),
                          QPageSize::FuzzyMatch);
    printer.setPageSize(paper);
    printer.setPageOrientation(across ? QPageLayout::Landscape : QPageLayout::Portrait);
    // A printer that cannot print to the edge keeps its smallest margins.
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace quirindo::ui
