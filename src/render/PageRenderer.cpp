#include "PageRenderer.h"

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

} // namespace quirindo
