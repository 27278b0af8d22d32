#include "PageRenderer.h"

#include <QPicture>

#include <QPainter>

#include <cmath>

namespace quirindo {

void RenderPage(TCanvas& canvas, TDrawing& drawing, const TPageView& view,
                const TTextFontResolver& fonts, const TInstrumentPictures& instruments) {
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(clWhite);
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetPenColor(clBlack);
    canvas.SetPenWidth(1);
    canvas.Rectangle(0, 0, view.WidthPx, view.HeightPx);

    DrawObjects(canvas, drawing, view.Page, view.Scale, view.FontFactor, view.PageHeightInch,
                fonts);

    DrawInstrumentPictures(canvas, view, instruments);
}

void DrawInstrumentPictures(TCanvas& canvas, const TPageView& view,
                            const TInstrumentPictures& instruments) {
    canvas.SetPenColor(clGray);
    canvas.SetPenWidth(1);
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    // The pictures darken what lies below and never lighten it: on white
    // paper they are the grey they are drawn in, while a line drawn exactly
    // under an edge (as the ruler and the compass put it there) stays as
    // dark as it was drawn instead of being hidden by the edge.
    QPainter& painter = canvas.Painter();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Darken);
    for (const TInstrumentPicture* picture :
         {&instruments.Ruler, &instruments.Protractor, &instruments.Compass}) {
        if (*picture) (*picture)(canvas, view);
    }
    painter.setCompositionMode(mode);
}

QRect InstrumentPictureBounds(const TInstrumentPicture& picture, const TPageView& view) {
    if (!picture) return {};
    // Recorded, not rasterised: the recording knows where each stroke and
    // text went.
    QPicture recording;
    QPainter painter(&recording);
    TCanvas canvas(painter);
    canvas.SetPenColor(clGray);
    canvas.SetPenWidth(1);
    picture(canvas, view);
    painter.end();
    const QRect bounds = recording.boundingRect();
    return bounds.isEmpty() ? QRect() : bounds.adjusted(-2, -2, 2, 2);
}

QImage RenderPageImage(TDrawing& drawing, const TPageView& view, const TTextFontResolver& fonts,
                       const TInstrumentPictures& instruments, double devicePixelRatio) {
    if (!std::isfinite(devicePixelRatio) || devicePixelRatio <= 0.0) devicePixelRatio = 1.0;
    const double width = std::ceil(view.WidthPx * devicePixelRatio);
    const double height = std::ceil(view.HeightPx * devicePixelRatio);
    if (view.WidthPx <= 0 || view.HeightPx <= 0 ||
        width * height > static_cast<double>(kMaxPageImagePixels))
        return {};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    TCanvas canvas(painter);
    RenderPage(canvas, drawing, view, fonts, instruments);
    return image;
}

QImage RenderPageTile(TDrawing& drawing, const TPageView& view, const TTextFontResolver& fonts,
                      const QRect& area, double devicePixelRatio, const TObjectIndex* index) {
    if (!std::isfinite(devicePixelRatio) || devicePixelRatio <= 0.0) devicePixelRatio = 1.0;
    if (area.isEmpty()) return {};
    QImage image(static_cast<int>(std::ceil(area.width() * devicePixelRatio)),
                 static_cast<int>(std::ceil(area.height() * devicePixelRatio)),
                 QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    // The page is drawn at its place; the image's edges cut it, and the
    // renderer skips whatever lies outside them.
    painter.translate(-area.topLeft());
    // The paper and its border as fills: an outlined rectangle that the
    // image's edges cut loses its corner pixel, fills keep every pixel the
    // whole page's outline has.
    const int w = view.WidthPx, h = view.HeightPx;
    painter.fillRect(QRect(0, 0, w, h), Qt::white);
    for (const QRect& edge :
         {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
        painter.fillRect(edge, Qt::black);
    TCanvas canvas(painter);
    DrawObjects(canvas, drawing, view.Page, view.Scale, view.FontFactor, view.PageHeightInch,
                fonts, index);
    return image;
}

} // namespace quirindo
