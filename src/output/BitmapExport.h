#pragma once
// Bitmap export: one page of the drawing as a 24-bit BMP or an RGB PNG at a
// chosen resolution, as it comes out on paper (white sheet, the drawing, no
// frame and no instruments). The page is rendered in horizontal bands that
// are written as soon as they are done, so memory stays bounded whatever the
// resolution, for both formats.

#include "DrawObjects.h"
#include "PageGeometry.h"
#include "PageRenderer.h"

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace quirindo::output {

enum class TPictureFormat { Bmp, Png };

struct TBitmapJob {
    int Page = 0; // from 0
    double Dpi = 150.0;
    double PageWidthInch = 0.0;
    double PageHeightInch = 0.0;
    // Text sizes count in pixels of the screen at zoom 100; in the picture a
    // text keeps the size it has there relative to the page.
    double ScreenDpi = 96.0;
    QColor WindowText = Qt::black;
};

// round(dpi x page size in inches), halves to even.
[[nodiscard]] TPixelSize BitmapPageSize(double dpi, double pageWidthInch, double pageHeightInch);

// The page of `job` at its resolution: true size, texts as large relative to
// the page as on the screen at zoom 100.
[[nodiscard]] TPageView BitmapPageView(const TBitmapJob& job);

// Whether a picture of that size can be exported: not empty, and not so
// large that the canvas would leave parts of it blank.
[[nodiscard]] bool FitsBmp(TPixelSize size);

inline constexpr std::uint32_t kBmpHeaderBytes = 14 + 40;

// Header and pixel rows (3 bytes a pixel, each row padded to 4 bytes).
[[nodiscard]] long long BmpFileBytes(TPixelSize size);

// File header and BITMAPINFOHEADER of an uncompressed bottom-up 24-bit BMP.
// A file beyond 4 GiB (A4 above about 3,800 dpi) has its two size fields,
// which hold only 32 bits, set to 0.
[[nodiscard]] std::array<std::uint8_t, kBmpHeaderBytes> BmpHeader(TPixelSize size, double dpi);

// Rows per band: at most bandPixels pixels, at least one row.
[[nodiscard]] int BandRows(int width, long long bandPixels);

inline constexpr long long kDefaultBandPixels = 1LL << 24; // 64 MB at 4 bytes a pixel

// What a picture export allocated, for callers that watch the memory bound.
struct TBandStats {
    int Bands = 0;
    long long LargestBandPixels = 0;
};

// Writes the page to `path` in `format`. The file is replaced only when it
// was written completely; on failure the previous file is untouched and
// `error` says why. Refuses sizes that are empty or beyond FitsBmp.
bool WritePagePicture(const QString& path, TPictureFormat format, TDrawing& drawing,
                      const TBitmapJob& job, QString& error,
                      long long bandPixels = kDefaultBandPixels, TBandStats* stats = nullptr);

inline bool WritePageBmp(const QString& path, TDrawing& drawing, const TBitmapJob& job,
                         QString& error, long long bandPixels = kDefaultBandPixels) {
    return WritePagePicture(path, TPictureFormat::Bmp, drawing, job, error, bandPixels);
}

// The format a file name asks for by its extension (any case), or nothing
// for a name that is neither .png nor .bmp.
[[nodiscard]] std::optional<TPictureFormat> PictureFormatOf(const QString& path);

// The file of page `page` (from 1) when every page is exported at once:
// "plan.png" becomes "plan-1.png", "plan-2.png", ...; a name without an
// extension gets the number at its end.
[[nodiscard]] QString NumberedPageFile(const QString& path, int page);

} // namespace quirindo::output
