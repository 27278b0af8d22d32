#include "PagePrinting.h"

#include "Canvas.h"
#include "DrawingFile.h"
#include "Geometry.h"
#include "Messages.h"
#include "ObjectRenderer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quirindo::output {
namespace {

// Reasons in the interface language.
QString Reason(const char* german) {
    return QString::fromStdString(TranslateUtf8(german));
}

constexpr double kPaperToleranceMm = 0.1;

// Whether the y values lo..hi (mm) reach the band top..bottom; a value that
// is no number keeps the object, which the renderer then judges.
bool Reaches(double lo, double hi, double top, double bottom) {
    return !(hi < top || lo > bottom);
}

bool ObjectReaches(const TDrawObject& o, double top, double bottom) {
    // Lines by their ends, arcs and ellipses by their box, curves by their
    // four points (a Bezier curve stays inside them).
    double lo = std::min(o.Y1, o.Y2);
    double hi = std::max(o.Y1, o.Y2);
    if (o.Kind == okBezier) {
        lo = std::min({lo, o.Y3, o.Y4});
        hi = std::max({hi, o.Y3, o.Y4});
    }
    // Half the pen and a millimetre for rounding to pixels.
    const double margin = (std::isfinite(o.Width) ? std::abs(o.Width) / 2 : 0.0) + 1.0;
    return Reaches(lo - margin, hi + margin, top, bottom);
}

} // namespace

void PaintPrintPage(QPainter& painter, TDrawing& drawing, int page, double dpiX, double dpiY,
                    const TPageOutput& job) {
    if (!(dpiX > 0.0) || !(dpiY > 0.0) || !(job.ScreenDpi > 0.0)) return;
    painter.save();
    // The canvas works at one scale; a device with a different vertical
    // resolution gets it through the painter.
    if (dpiY != dpiX) painter.scale(1.0, dpiY / dpiX);
    const int width = RoundHalfEven(dpiX * job.PageWidthInch);
    const int height = RoundHalfEven(dpiX * job.PageHeightInch);
    // Objects are offered to every page; the clip keeps those of the
    // neighbouring pages off this sheet.
    painter.setClipRect(0, 0, width, height, Qt::IntersectClip);
    TCanvas canvas(painter);
    const TTextFontResolver fonts(job.WindowText);
    DrawObjects(canvas, drawing, page, dpiX / kMmPerInch, dpiX / job.ScreenDpi, job.PageHeightInch,
                fonts);
    painter.restore();
}

std::unique_ptr<TDrawing> PageContent(const TDrawing& drawing, int page,
                                      double pageHeightInch) {
    auto content = std::make_unique<TDrawing>();
    const double height = pageHeightInch * kMmPerInch;
    const double top = page * height;
    const double bottom = top + height;
    const TDrawObject* objects = drawing.Objects.Data();
    for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i) {
        if (!ObjectReaches(objects[i], top, bottom)) continue;
        TDrawObject* copy = content->Objects.Append();
        if (!copy) return nullptr;
        *copy = objects[i];
    }
    const TTextObject* texts = drawing.Texts.Data();
    for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i) {
        const TTextObject& text = texts[i];
        const double end = text.Bottom > text.Top ? text.Bottom : text.Top + height;
        if (!Reaches(text.Top - 1.0, end + 1.0, top, bottom)) continue;
        TTextObject* copy = content->AppendText(TextOf(text), FontNameOf(text));
        if (!copy) return nullptr;
        char16_t* ownText = copy->Text;
        char* ownName = copy->FontName;
        const std::size_t textLength = copy->TextLength;
        const std::size_t nameLength = copy->FontNameLength;
        *copy = text;
        copy->Text = ownText;
        copy->FontName = ownName;
        copy->TextLength = textLength;
        copy->FontNameLength = nameLength;
    }
    return content;
}

std::vector<int> PrintOrder(const TPrintJob& job) {
    std::vector<int> order;
    if (job.FirstPage < 0 || job.LastPage < job.FirstPage) return order;
    const int copies = std::max(1, job.Copies);
    const int runs = job.Collate ? copies : 1;
    const int repeats = job.Collate ? 1 : copies;
    for (int run = 0; run < runs; ++run)
        for (int i = 0; i <= job.LastPage - job.FirstPage; ++i)
            for (int r = 0; r < repeats; ++r)
                order.push_back(job.Reverse ? job.LastPage - i : job.FirstPage + i);
    return order;
}

double FitScale(QSizeF pageMm, QSizeF areaMm) {
    if (!(pageMm.width() > 0) || !(pageMm.height() > 0) || !(areaMm.width() > 0) ||
        !(areaMm.height() > 0))
        return 1.0;
    return std::min({1.0, areaMm.width() / pageMm.width(), areaMm.height() / pageMm.height()});
}

bool PageFitsPaper(QSizeF pageMm, QSizeF areaMm) {
    return pageMm.width() <= areaMm.width() + kPaperToleranceMm &&
           pageMm.height() <= areaMm.height() + kPaperToleranceMm;
}

bool PrintPages(QPagedPaintDevice& device, TDrawing& drawing, const TPrintJob& job,
                QString& error) {
    const std::vector<int> order = PrintOrder(job);
    if (order.empty()) {
        error = Reason(reason::NoPagesToPrint);
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        error = Reason(reason::PrinterCannotOpen);
        return false;
    }
    const double dpiX = device.logicalDpiX();
    const double dpiY = device.logicalDpiY();
    // The painter's origin is the top-left corner of the printable area.
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    const QSizeF pageMm(job.PageWidthInch * kMmPerInch, job.PageHeightInch * kMmPerInch);
    const double scale = job.FitToPaper ? FitScale(pageMm, area.size()) : 1.0;
    // A fitted page sits in the middle of the printable area.
    const double offsetXMm = job.FitToPaper ? (area.width() - pageMm.width() * scale) / 2 : 0.0;
    const double offsetYMm = job.FitToPaper ? (area.height() - pageMm.height() * scale) / 2 : 0.0;
    bool first = true;
    for (const int page : order) {
        if (!first && !device.newPage()) {
            painter.end();
            error = Reason(reason::PrinterRefusedPage);
            return false;
        }
        first = false;
        painter.save();
        painter.translate(std::max(0.0, offsetXMm) * dpiX / kMmPerInch,
                          std::max(0.0, offsetYMm) * dpiY / kMmPerInch);
        if (scale != 1.0) painter.scale(scale, scale);
        const auto content = PageContent(drawing, page, job.PageHeightInch);
        PaintPrintPage(painter, content ? *content : drawing, page, dpiX, dpiY, job);
        painter.restore();
    }
    if (!painter.end()) {
        error = Reason(reason::PrinterError);
        return false;
    }
    return true;
}

void MatchPaperToPage(QPagedPaintDevice& device, double pageWidthInch, double pageHeightInch) {
    const bool across = pageWidthInch > pageHeightInch;
    const double shortMm = std::min(pageWidthInch, pageHeightInch) * kMmPerInch;
    const double longMm = std::max(pageWidthInch, pageHeightInch) * kMmPerInch;
    // Sizes within a fraction of a millimetre of a standard paper take its
    // name, so a printer picks the right tray.
    const QPageSize paper(QSizeF(shortMm, longMm), QPageSize::Millimeter, QString(),
                          QPageSize::FuzzyMatch);
    device.setPageSize(paper);
    device.setPageOrientation(across ? QPageLayout::Landscape : QPageLayout::Portrait);
    // A printer that cannot print to the edge keeps its smallest margins.
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace quirindo::output
