#include "BitmapExport.h"

#include "Canvas.h"
#include "DrawingFile.h"
#include "FileIO.h"
#include "Messages.h"
#include "PagePrinting.h"
#include "PageRenderer.h"
#include "PngStream.h"

#include <QImage>
#include <QPainter>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace quirindo::output {
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

namespace {

// Receives the picture's rows in the order its format stores them.
class TRowSink {
public:
    virtual ~TRowSink() = default;
    virtual bool Begin() = 0;
    // One row of 24-bit pixels, red, green, blue.
    virtual bool Row(const std::uint8_t* rgb) = 0;
    virtual bool Finish() = 0;
    [[nodiscard]] virtual bool BottomUp() const = 0;
};

class TBmpSink final : public TRowSink {
public:
    TBmpSink(TAtomicFileWriter& file, TPixelSize size, double dpi)
        : FFile(file), FSize(size), FDpi(dpi),
          FRow(static_cast<std::size_t>(RowBytes(size.Width)), 0) {}
    bool Begin() override { return FFile.Write(BmpHeader(FSize, FDpi)); }
    bool Row(const std::uint8_t* rgb) override {
        // BMP keeps blue, green, red; the padding at the end stays zero.
        std::uint8_t* out = FRow.data();
        for (int x = 0; x < FSize.Width; ++x, rgb += 3) {
            *out++ = rgb[2];
            *out++ = rgb[1];
            *out++ = rgb[0];
        }
        return FFile.Write(FRow);
    }
    bool Finish() override { return true; }
    [[nodiscard]] bool BottomUp() const override { return true; }

private:
    TAtomicFileWriter& FFile;
    TPixelSize FSize;
    double FDpi;
    std::vector<std::uint8_t> FRow;
};

class TPngSink final : public TRowSink {
public:
    TPngSink(TAtomicFileWriter& file, TPixelSize size, double dpi)
        : FPng(file), FSize(size), FDpi(dpi) {}
    bool Begin() override {
        const auto pixelsPerMetre = static_cast<std::uint32_t>(
            std::clamp(std::lround(FDpi * 1000.0 / kMmPerInch), 0L, static_cast<long>(INT32_MAX)));
        return FPng.Begin(static_cast<std::uint32_t>(FSize.Width),
                          static_cast<std::uint32_t>(FSize.Height), pixelsPerMetre);
    }
    bool Row(const std::uint8_t* rgb) override { return FPng.Row(rgb); }
    bool Finish() override { return FPng.Finish(); }
    [[nodiscard]] bool BottomUp() const override { return false; }
    [[nodiscard]] const std::string& Error() const { return FPng.Error(); }

private:
    TPngStream FPng;
    TPixelSize FSize;
    double FDpi;
};

} // namespace

std::optional<TPictureFormat> PictureFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return TPictureFormat::Png;
    if (suffix == QLatin1String("bmp")) return TPictureFormat::Bmp;
    return std::nullopt;
}

QString NumberedPageFile(const QString& path, int page) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString number = QStringLiteral("-%1").arg(page);
    if (suffix.isEmpty() || info.completeBaseName().isEmpty()) return path + number;
    // The number goes before the last extension, in the folder as written.
    return path.left(path.size() - suffix.size() - 1) + number + QLatin1Char('.') + suffix;
}

bool WritePagePicture(const QString& path, TPictureFormat format, TDrawing& drawing,
                      const TBitmapJob& job, QString& error, long long bandPixels,
                      TBandStats* stats) {
    const TPixelSize size = BitmapPageSize(job.Dpi, job.PageWidthInch, job.PageHeightInch);
    if (!(job.Dpi > 0.0) || !(job.ScreenDpi > 0.0) || !FitsBmp(size)) {
        error = QString::fromStdString(TranslateUtf8(
                    format == TPictureFormat::Bmp ? reason::BmpTooLarge : reason::PictureTooLarge))
                    .arg(size.Width)
                    .arg(size.Height);
        return false;
    }
    // A picture of gigabytes should not stop at a full disk after minutes. A
    // PNG of a drawing is mostly white and compresses to a fraction of this,
    // so only the uncompressed BMP is measured against the free space.
    if (format == TPictureFormat::Bmp) {
        const QStorageInfo disk(QFileInfo(path).absolutePath());
        const long long needed = BmpFileBytes(size);
        if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < needed) {
            error = QString::fromStdString(TranslateUtf8(reason::DiskTooSmall))
                        .arg((needed + 999999) / 1000000)
                        .arg(disk.bytesAvailable() / 1000000);
            return false;
        }
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
    TBmpSink bmp(file, size, job.Dpi);
    TPngSink png(file, size, job.Dpi);
    TRowSink& sink = format == TPictureFormat::Bmp ? static_cast<TRowSink&>(bmp) : png;
    bool written = sink.Begin();

    TPageOutput page;
    page.PageWidthInch = job.PageWidthInch;
    page.PageHeightInch = job.PageHeightInch;
    page.ScreenDpi = job.ScreenDpi;
    page.WindowText = job.WindowText;

    std::vector<std::uint8_t> row(static_cast<std::size_t>(size.Width) * 3, 0);
    const int bandCount = (size.Height + rowsPerBand - 1) / rowsPerBand;
    for (int b = 0; written && b < bandCount; ++b) {
        // A BMP lists its rows from the bottom up, so its bands go upwards.
        const int top = (sink.BottomUp() ? bandCount - 1 - b : b) * rowsPerBand;
        const int rows = std::min(rowsPerBand, size.Height - top);
        band.fill(Qt::white);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            PaintPrintPage(painter, drawing, job.Page, job.Dpi, job.Dpi, page);
        }
        if (stats) {
            ++stats->Bands;
            stats->LargestBandPixels = std::max(
                stats->LargestBandPixels, static_cast<long long>(band.width()) * band.height());
        }
        for (int i = 0; written && i < rows; ++i) {
            const int y = sink.BottomUp() ? rows - 1 - i : i;
            const auto* pixels = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* out = row.data();
            for (int x = 0; x < size.Width; ++x) {
                *out++ = static_cast<std::uint8_t>(qRed(pixels[x]));
                *out++ = static_cast<std::uint8_t>(qGreen(pixels[x]));
                *out++ = static_cast<std::uint8_t>(qBlue(pixels[x]));
            }
            written = sink.Row(row.data());
        }
    }
    written = written && sink.Finish();
    // The file's own reason wins; a PNG encoder that stopped on its own has
    // none and says so itself.
    if (!written || !file.Commit()) {
        error = !file.Error().empty() || format == TPictureFormat::Bmp
                    ? QString::fromStdString(TranslatedReason(file.Error()))
                    : QString::fromStdString(png.Error());
        return false;
    }
    return true;
}

} // namespace quirindo::output
