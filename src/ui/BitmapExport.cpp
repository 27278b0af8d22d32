#include "BitmapExport.h"

#include "Canvas.h"
#include "DrawingFile.h"
#include "FileIO.h"
#include "Messages.h"
#include "PageRenderer.h"

#include <QImage>
#include <QPainter>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace quirindo::ui {
namespace {

long long RowBytes(int width) {
    return (static_cast<long long>(width) * 3 + 3) / 4 * 4;
}

void Put16(std::uint8_t*& p, std::uint16_t v) {
    *p++ = static_cast<std::uint8_t>(v);
    *p++ = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t*& p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        *p++ = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

long long BmpFileBytes(TPixelSize size) {
    return kBmpHeaderBytes + RowBytes(size.Width) * size.Height;
}

std::array<std::uint8_t, kBmpHeaderBytes> BmpHeader(TPixelSize size, double dpi) {
    // Beyond 32 bits the sizes are left 0, "not given": an uncompressed
    // picture is fully described by its width, height and depth, and
    // readers take the rows from there.
    const bool sized = BmpFileBytes(size) <= 0xFFFFFFFFLL;
    const auto imageBytes =
        sized ? static_cast<std::uint32_t>(RowBytes(size.Width) * size.Height) : 0U;
    const auto fileBytes = sized ? kBmpHeaderBytes + imageBytes : 0U;
    const auto pixelsPerMetre = static_cast<std::uint32_t>(
        std::clamp(std::lround(dpi * 1000.0 / kMmPerInch), 0L, static_cast<long>(INT32_MAX)));
    std::array<std::uint8_t, kBmpHeaderBytes> header{};
    std::uint8_t* p = header.data();
    *p++ = 'B';
    *p++ = 'M';
    Put32(p, fileBytes);
    Put32(p, 0); // reserved
    Put32(p, kBmpHeaderBytes);
    Put32(p, 40);
    Put32(p, static_cast<std::uint32_t>(size.Width));
    Put32(p, static_cast<std::uint32_t>(size.Height)); // positive: rows bottom-up
    Put16(p, 1);                                       // planes
    Put16(p, 24);                                      // bits per pixel
    Put32(p, 0);                                       // BI_RGB
    Put32(p, imageBytes);
    Put32(p, pixelsPerMetre);
    Put32(p, pixelsPerMetre);
    Put32(p, 0); // colours used
    Put32(p, 0); // important colours
    return header;
}

TPixelSize BitmapPageSize(double dpi, double pageWidthInch, double pageHeightInch) {
    return {PagePixels(100.0, dpi, pageWidthInch), PagePixels(100.0, dpi, pageHeightInch)};
}

TPageView BitmapPageView(const TBitmapJob& job) {
    const TPixelSize size = BitmapPageSize(job.Dpi, job.PageWidthInch, job.PageHeightInch);
    TPageView view;
    view.Page = job.Page;
    view.Scale = job.Dpi / kMmPerInch;
    view.FontFactor = job.Dpi / job.ScreenDpi;
    view.PageHeightInch = job.PageHeightInch;
    view.WidthPx = size.Width;
    view.HeightPx = size.Height;
    return view;
}

bool FitsBmp(TPixelSize size) {
    if (size.Width <= 0 || size.Height <= 0) return false;
    // The canvas draws nothing beyond this distance from the origin; that
    // also keeps width and height far inside the header's signed 32 bits.
    return size.Width <= kMaxCoordPx && size.Height <= kMaxCoordPx;
}

int BandRows(int width, long long bandPixels) {
    if (width <= 0) return 1;
    return static_cast<int>(std::clamp(bandPixels / width, 1LL, static_cast<long long>(INT32_MAX)));
}

bool WritePageBmp(const QString& path, TDrawing& drawing, const TBitmapJob& job, QString& error,
                  long long bandPixels) {
    const TPixelSize size = BitmapPageSize(job.Dpi, job.PageWidthInch, job.PageHeightInch);
    if (!(job.Dpi > 0.0) || !(job.ScreenDpi > 0.0) || !FitsBmp(size)) {
        error = QString::fromStdString(TranslateUtf8(reason::BmpTooLarge))
                    .arg(size.Width)
                    .arg(size.Height);
        return false;
    }
    // A picture of gigabytes should not stop at a full disk after minutes.
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    const long long needed = BmpFileBytes(size);
    if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < needed) {
        error = QString::fromStdString(TranslateUtf8(reason::DiskTooSmall))
                    .arg((needed + 999999) / 1000000)
                    .arg(disk.bytesAvailable() / 1000000);
        return false;
    }
    const int rowsPerBand = std::min(BandRows(size.Width, bandPixels), size.Height);
    QImage band(size.Width, rowsPerBand, QImage::Format_RGB32);
    if (band.isNull()) {
        error = QString::fromStdString(TranslateUtf8(reason::OutOfMemory));
        return false;
    }

    // Through a temporary file: a failed export leaves no half picture and
    // the previous file as it was.
    TAtomicFileWriter file;
    if (!file.Open(path.toStdString())) {
        error = QString::fromStdString(TranslatedReason(file.Error()));
        return false;
    }
    bool written = file.Write(BmpHeader(size, job.Dpi));

    const TPageView view = BitmapPageView(job);
    const TTextFontResolver fonts(job.WindowText);

    std::vector<std::uint8_t> row(static_cast<std::size_t>(RowBytes(size.Width)), 0);
    // A BMP lists its rows from the bottom up, so the bands go upwards too.
    const int lastBandTop = (size.Height - 1) / rowsPerBand * rowsPerBand;
    for (int top = lastBandTop; written && top >= 0; top -= rowsPerBand) {
        const int rows = std::min(rowsPerBand, size.Height - top);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            TCanvas canvas(painter);
            RenderPage(canvas, drawing, view, fonts, {});
        }
        for (int y = rows - 1; written && y >= 0; --y) {
            const auto* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* out = row.data();
            for (int x = 0; x < size.Width; ++x) {
                *out++ = static_cast<std::uint8_t>(qBlue(pixels[x]));
                *out++ = static_cast<std::uint8_t>(qGreen(pixels[x]));
                *out++ = static_cast<std::uint8_t>(qRed(pixels[x]));
            }
            written = file.Write(row);
        }
    }
    if (!written || !file.Commit()) {
        error = QString::fromStdString(TranslatedReason(file.Error()));
        return false;
    }
    return true;
}

} // namespace quirindo::ui
