#include "VectorExport.h"

#include "DrawingFile.h"
#include "FileIO.h"
#include "Messages.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>

namespace quirindo::output {
namespace {

// Qt's writers stream into a QIODevice; this one hands the bytes to the
// export file, so they land in its temporary file and nothing is held in
// memory.
class TExportDevice final : public QIODevice {
public:
    explicit TExportDevice(TAtomicFileWriter& file) : FFile(file) {}
    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] bool Failed() const { return FFailed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (FFailed) return -1;
        if (length > 0 &&
            !FFile.Write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data),
                                                       static_cast<std::size_t>(length)))) {
            FFailed = true;
            return -1;
        }
        return length;
    }

private:
    TAtomicFileWriter& FFile;
    bool FFailed = false;
};

QString FileReason(const TAtomicFileWriter& file) {
    return QString::fromStdString(TranslatedReason(file.Error()));
}

// Opens the export's temporary file, lets `write` stream into it and puts it
// in place only when everything was written; else the previous file stays.
bool WriteThroughExportFile(const QString& path, QString& error,
                            const std::function<bool(QIODevice&)>& write) {
    TAtomicFileWriter file;
    if (!file.Open(path.toStdString())) {
        error = FileReason(file);
        return false;
    }
    TExportDevice device(file);
    device.open(QIODevice::WriteOnly);
    const bool written = write(device);
    device.close();
    if (device.Failed()) {
        error = FileReason(file);
        return false;
    }
    if (!written) return false;
    if (!file.Commit()) {
        error = FileReason(file);
        return false;
    }
    return true;
}

bool ValidPage(const TPageOutput& job) {
    return std::isfinite(job.PageWidthInch) && std::isfinite(job.PageHeightInch) &&
           job.PageWidthInch > 0 && job.PageHeightInch > 0;
}

QPageLayout PageLayoutOf(const TPageOutput& job) {
    const bool across = job.PageWidthInch > job.PageHeightInch;
    const double shortMm = std::min(job.PageWidthInch, job.PageHeightInch) * kMmPerInch;
    const double longMm = std::max(job.PageWidthInch, job.PageHeightInch) * kMmPerInch;
    // The exact size: a PDF page is the drawing's page, not the nearest
    // standard paper.
    return QPageLayout(QPageSize(QSizeF(shortMm, longMm), QPageSize::Millimeter, QString(),
                                 QPageSize::ExactMatch),
                       across ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
}

} // namespace

bool WritePdf(const QString& path, TDrawing& drawing, const TVectorJob& job, QString& error) {
    if (!ValidPage(job) || job.FirstPage < 0 || job.LastPage < job.FirstPage) {
        error = QString::fromStdString(TranslateUtf8(reason::NoPagesToPrint));
        return false;
    }
    return WriteThroughExportFile(path, error, [&](QIODevice& device) {
        QPdfWriter writer(&device);
        writer.setResolution(static_cast<int>(kPdfDpi));
        writer.setPageLayout(PageLayoutOf(job));
        writer.setCreator(QStringLiteral("Quirindo"));
        writer.setTitle(job.Title);
        TPrintJob print;
        static_cast<TPageOutput&>(print) = job;
        print.FirstPage = job.FirstPage;
        print.LastPage = job.LastPage;
        return PrintPages(writer, drawing, print, error);
    });
}

bool WriteSvg(const QString& path, TDrawing& drawing, const TVectorJob& job, QString& error) {
    if (!ValidPage(job) || job.FirstPage < 0) {
        error = QString::fromStdString(TranslateUtf8(reason::NoPagesToPrint));
        return false;
    }
    const double widthMm = job.PageWidthInch * kMmPerInch;
    const double heightMm = job.PageHeightInch * kMmPerInch;
    const double pixelsPerMm = kSvgDpi / 25.4;
    return WriteThroughExportFile(path, error, [&](QIODevice& device) {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        // Qt writes width and height as size x 25.4 / resolution mm.
        svg.setResolution(static_cast<int>(kSvgDpi));
        svg.setSize(QSize(static_cast<int>(std::lround(widthMm * pixelsPerMm)),
                          static_cast<int>(std::lround(heightMm * pixelsPerMm))));
        svg.setViewBox(QRectF(0, 0, widthMm, heightMm));
        svg.setTitle(job.Title);
        svg.setDescription(QStringLiteral("Quirindo"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            error = QString::fromStdString(TranslateUtf8(reason::CannotBeWritten)).arg(path);
            return false;
        }
        // The page is drawn at the fine resolution and scaled into the
        // millimetres of the viewBox.
        painter.scale(25.4 / kSvgDpi, 25.4 / kSvgDpi);
        const auto content = PageContent(drawing, job.FirstPage, job.PageHeightInch);
        PaintPrintPage(painter, content ? *content : drawing, job.FirstPage, kSvgDpi, kSvgDpi,
                       job);
        painter.end();
        return true;
    });
}

} // namespace quirindo::output
