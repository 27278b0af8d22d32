// The paint cycle: view scale, paint-box size, the visible pages rendered one
// at a time into the reusable page bitmap, and the overlay of previews above.

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

void TMainForm::RenderPageBitmap(int page) {
    const TTextFontResolver fonts(palette().color(QPalette::WindowText));
    TInstrumentPictures shown;
    if (Lineal2->isChecked()) shown.Ruler = InstrumentPictures.Ruler;
    if (Winkelmesser2->isChecked()) shown.Protractor = InstrumentPictures.Protractor;
    if (Zirkel2->isChecked()) shown.Compass = InstrumentPictures.Compass;
    PageBitmap = RenderPageImage(*Drawing, PageView(page), fonts, shown,
                                 PaintBox1->devicePixelRatioF());
    ++PagesRendered;
}

void TMainForm::PaintView(QPainter& painter, const QRect& area) {
    if (PaintLocked) return;
    if (UpdateViewGeometry()) return;
    const int h = FGeometry.PageHeightPx;
    if (h <= 0) return;
    const int n = PageCount();
    // Only the pages that intersect the area being painted are rendered.
    const int first = std::clamp((area.top() - ViewMargin) / h, 0, n - 1);
    const int last = std::clamp((area.bottom() - ViewMargin) / h, 0, n - 1);
    for (int i = first; i <= last; ++i) {
        RenderPageBitmap(i);
        if (!PageBitmap.isNull()) painter.drawImage(QPoint(ViewMargin, PageTopPx(FGeometry, i)), PageBitmap);
    }
    Overlay.Paint(painter, area);
}

void TMainForm::DrawOnView(const TOverlay::TPainterFn& fn) {
    const QRect touched = Overlay.Draw(fn);
    PaintBox1->update(touched);
}

void TMainForm::ShowPageBitmap() {
    const QRect touched =
        Overlay.DrawImage(QPoint(ViewMargin, PointerPageTop + ViewMargin), PageBitmap);
    PaintBox1->update(touched);
}

} // namespace quirindo::ui
