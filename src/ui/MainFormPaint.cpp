// The paint cycle: view scale, paint-box size, the visible pages composed from
// cached page pictures with the instruments drawn above them, and the overlay
// of previews on top.

#include "MainForm.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QPainter>
#include <algorithm>

namespace quirindo::ui {

int TMainForm::PageCount() const { return std::clamp(PageAnz->value(), 1, 10); }

double TMainForm::ZoomPercent() const { return std::clamp(zoomed->value(), 1, 300); }

bool TMainForm::UpdateViewGeometry() {
    const double dpi = PaintBox1->logicalDpiX();
    FGeometry = ComputePageGeometry(ZoomPercent(), dpi, PageWidthInch, PageHeightInch);
    ViewScale = FGeometry.ViewScale;
    PageHeightPx = FGeometry.PageHeightPx;
    const TPixelSize size = PaintBoxSize(FGeometry, PageCount());
    if (PaintBox1->width() == size.Width && PaintBox1->height() == size.Height) return false;
    // The resize makes Qt paint the view again; that paint draws the pages.
    PaintBox1->resize(size.Width, size.Height);
    return true;
}

void TMainForm::PaintBox1Paint() {
    ++PaintRequests;
    if (PaintLocked) return;
    UpdateViewGeometry();
    Overlay.Clear();
    if (RenderPageOnly) {
        RenderPageBitmap(PointerPage);
        return;
    }
    // Qt paints only the part of the paint box the scroll box shows.
    PaintBox1->update();
}

void TMainForm::InvalidatePageCache() {
    ++FDrawingRevision;
    FPageCache.Clear();
}

TPageView TMainForm::PageView(int page) const {
    TPageView view;
    view.Page = page;
    view.Scale = FGeometry.ViewScale;
    view.FontFactor = ZoomPercent() / 100.0;
    view.PageHeightInch = PageHeightInch;
    view.WidthPx = FGeometry.PageWidthPx;
    view.HeightPx = FGeometry.PageHeightPx;
    return view;
}

TInstrumentPictures TMainForm::ShownInstruments() const {
    TInstrumentPictures shown;
    if (Lineal2->isChecked()) shown.Ruler = InstrumentPictures.Ruler;
    if (Winkelmesser2->isChecked()) shown.Protractor = InstrumentPictures.Protractor;
    if (Zirkel2->isChecked()) shown.Compass = InstrumentPictures.Compass;
    return shown;
}

const QImage& TMainForm::PageContent(int page) {
    const TPageView view = PageView(page);
    const QColor windowText = palette().color(QPalette::WindowText);
    TPageCacheKey key;
    key.Page = page;
    key.WidthPx = view.WidthPx;
    key.HeightPx = view.HeightPx;
    key.Scale = view.Scale;
    key.FontFactor = view.FontFactor;
    key.PageHeightInch = view.PageHeightInch;
    key.DevicePixelRatio = PaintBox1->devicePixelRatioF();
    key.Revision = FDrawingRevision;
    key.WindowText = windowText.rgb();
    if (const QImage* cached = FPageCache.Find(key)) return *cached;
    const TTextFontResolver fonts(windowText);
    QImage image = RenderPageImage(*Drawing, view, fonts, {}, key.DevicePixelRatio);
    ++PagesRendered;
    if (image.isNull()) return FNoPage;
    return FPageCache.Store(key, std::move(image));
}

void TMainForm::RenderPageBitmap(int page) {
    PageBitmap = PageContent(page).copy();
    if (PageBitmap.isNull()) return;
    QPainter painter(&PageBitmap);
    TCanvas canvas(painter);
    DrawInstrumentPictures(canvas, PageView(page), ShownInstruments());
}

void TMainForm::PaintView(QPainter& painter, const QRect& area) {
    if (PaintLocked) return;
    if (UpdateViewGeometry()) return;
    const int h = FGeometry.PageHeightPx;
    if (h <= 0) return;
    const int n = PageCount();
    const TInstrumentPictures shown = ShownInstruments();
    // Only the pages that intersect the area being painted are composed.
    const int first = std::clamp((area.top() - ViewMargin) / h, 0, n - 1);
    const int last = std::clamp((area.bottom() - ViewMargin) / h, 0, n - 1);
    for (int i = first; i <= last; ++i) {
        const QImage& content = PageContent(i);
        if (content.isNull()) continue;
        const QPoint origin(ViewMargin, PageTopPx(FGeometry, i));
        painter.drawImage(origin, content);
        if (!HasAnyPicture(shown)) continue;
        // The instruments lie on every page, clipped to its paper.
        painter.save();
        painter.translate(origin);
        painter.setClipRect(QRect(0, 0, FGeometry.PageWidthPx, h));
        TCanvas canvas(painter);
        DrawInstrumentPictures(canvas, PageView(i), shown);
        painter.restore();
    }
    Overlay.Paint(painter, area);
}

void TMainForm::DrawOnView(const TOverlay::TPainterFn& fn) {
    const QRect touched = Overlay.Draw(fn);
    PaintBox1->update(touched);
}

void TMainForm::DrawDragPreview(const TOverlay::TPainterFn& fn) {
    const QRect touched = Overlay.DrawDragPreview(fn);
    PaintBox1->update(touched);
}

void TMainForm::ShowPageBitmap() {
    const QRect touched =
        Overlay.DrawImage(QPoint(ViewMargin, PointerPageTop + ViewMargin), PageBitmap);
    PaintBox1->update(touched);
}

} // namespace quirindo::ui
