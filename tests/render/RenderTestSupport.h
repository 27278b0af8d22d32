#pragma once
// Shared helpers of the render tests: pages rendered at 96 dpi like a common
// screen, records built in one call, and pixel inspection.

#include "DrawingFile.h"
#include "Geometry.h"
#include "PageGeometry.h"
#include "PageRenderer.h"

#include <QImage>

#include <initializer_list>

#include <set>
#include <string_view>
#include <utility>

namespace quirindo::test {

inline constexpr double kDpi = 96.0;
inline constexpr double kA4WidthInch = 210.0 / kMmPerInch;
inline constexpr double kA4HeightInch = 297.0 / kMmPerInch;
inline constexpr double kA4HeightMm = kA4HeightInch * kMmPerInch;
inline const double kScale100 = kDpi / kMmPerInch; // pixels per mm at zoom 100

inline TPageView A4View(int page, double zoom = 100.0) {
    const TPageGeometry g = ComputePageGeometry(zoom, kDpi, kA4WidthInch, kA4HeightInch);
    return {page, g.ViewScale, zoom / 100.0, kA4HeightInch, g.PageWidthPx, g.PageHeightPx};
}

inline QImage RenderA4(TDrawing& drawing, int page, double zoom = 100.0,
                       const TTextFontResolver& fonts = TTextFontResolver()) {
    return RenderPageImage(drawing, A4View(page, zoom), fonts);
}

inline TDrawObject& AddObject(TDrawing& drawing, std::int32_t kind, double widthMm,
                              std::initializer_list<double> points, TColor color = clBlack) {
    TDrawObject& o = *drawing.Objects.Append();
    o.Kind = kind;
    o.Width = widthMm;
    o.Color = color;
    double* fields[] = {&o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4};
    int i = 0;
    for (double v : points)
        *fields[i++] = v;
    return o;
}

inline TTextObject& AddText(TDrawing& drawing, std::u16string_view text, double leftMm,
                            double topMm, std::int32_t size = 12, std::string_view font = "Arial") {
    TTextObject& t = *drawing.AppendText(text, font);
    t.Left = leftMm;
    t.Top = topMm;
    t.Size = size;
    t.Color = clBlack;
    return t;
}

inline QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline bool IsInk(const QImage& image, int x, int y) {
    return image.pixel(x, y) != qRgb(255, 255, 255);
}

using TPixelSet = std::set<std::pair<int, int>>;

// Every pixel that is not white, optionally leaving out a frame of `inset`
// pixels (the page border).
inline TPixelSet InkPixels(const QImage& image, int inset = 0) {
    TPixelSet ink;
    for (int y = inset; y < image.height() - inset; ++y)
        for (int x = inset; x < image.width() - inset; ++x)
            if (IsInk(image, x, y)) ink.insert({x, y});
    return ink;
}

// The run of ink pixels in column x that contains row y (0 if (x, y) is white).
inline int InkRunHeight(const QImage& image, int x, int y) {
    if (!IsInk(image, x, y)) return 0;
    int top = y;
    int bottom = y;
    while (top > 0 && IsInk(image, x, top - 1))
        --top;
    while (bottom + 1 < image.height() && IsInk(image, x, bottom + 1))
        ++bottom;
    return bottom - top + 1;
}

} // namespace quirindo::test
