// The paint cycle: view scale, paint-box size, the visible parts of the pages
// composed from cached tiles with the instruments drawn above them, and the overlay
// of previews on top.

#include "MainForm.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QPainter>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

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

void TMainForm::InvalidateTiles(const TMmArea& area) {
    if (area.Empty) return;
    FTiles.InvalidateMm(TRectMm{area.Left, area.Top, area.Right, area.Bottom});
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

TInstrumentPictures TMainForm::InstrumentsMeeting(const TInstrumentPictures& shown, int page,
                                                  const QRect& part) {
    // A repaint of much of the view meets the instruments anyway: only a
    // small one (an edit, a hover, a preview) is worth measuring them for,
    // which would cost more than it saves at every step of a drag.
    const QSize viewport = ScrollBox1->viewport()->size();
    if (4 * static_cast<long long>(part.width()) * part.height() >
        static_cast<long long>(viewport.width()) * viewport.height())
        return shown;
    const bool inches = AnsichtZollAngabenfrdasLineal1->isChecked();
    if (!(Instruments == FBoundsState) || FBoundsScale != FGeometry.ViewScale ||
        FBoundsInches != inches) {
        FInstrumentBounds.clear();
        FBoundsState = Instruments;
        FBoundsScale = FGeometry.ViewScale;
        FBoundsInches = inches;
    }
    auto found = FInstrumentBounds.find(page);
    if (found == FInstrumentBounds.end()) {
        // Every picture, shown or not: the menu may show one later.
        const TPageView view = PageView(page);
        found = FInstrumentBounds
                    .emplace(page, std::array<QRect, 3>{
                                       InstrumentPictureBounds(InstrumentPictures.Ruler, view),
                                       InstrumentPictureBounds(InstrumentPictures.Protractor, view),
                                       InstrumentPictureBounds(InstrumentPictures.Compass, view)})
                    .first;
    }
    const std::array<QRect, 3>& bounds = found->second;
    TInstrumentPictures meeting;
    if (shown.Ruler && bounds[0].intersects(part)) meeting.Ruler = shown.Ruler;
    if (shown.Protractor && bounds[1].intersects(part)) meeting.Protractor = shown.Protractor;
    if (shown.Compass && bounds[2].intersects(part)) meeting.Compass = shown.Compass;
    return meeting;
}

void TMainForm::PrepareTiles() {
    TTileViewKey key;
    key.WidthPx = FGeometry.PageWidthPx;
    key.HeightPx = FGeometry.PageHeightPx;
    key.Scale = FGeometry.ViewScale;
    key.FontFactor = ZoomPercent() / 100.0;
    key.PageHeightInch = PageHeightInch;
    key.DevicePixelRatio = PaintBox1->devicePixelRatioF();
    key.WindowText = palette().color(QPalette::WindowText).rgb();
    // Three viewports' worth of tiles: enough to scroll back and forth
    // without rendering again, and the same for every page size and zoom.
    const QSize viewport = ScrollBox1->viewport()->size();
    const int across = viewport.width() / TTileCache::kTilePx + 2;
    const int down = viewport.height() / TTileCache::kTilePx + 2;
    FTiles.SetCapacity(std::max(kMinCachedTiles, 3 * across * down));
    FTiles.Prepare(key);
}

const TObjectIndex& TMainForm::ObjectIndex() {
    FObjectIndex.Sync(*Drawing);
    return FObjectIndex;
}

const QImage& TMainForm::Tile(int page, int column, int row) {
    if (const QImage* cached = FTiles.Find(page, column, row)) return *cached;
    const TTextFontResolver fonts(palette().color(QPalette::WindowText));
    QImage image = RenderPageTile(*Drawing, PageView(page), fonts, FTiles.TileRect(column, row),
                                  PaintBox1->devicePixelRatioF(), &ObjectIndex());
    ++TilesRendered;
    return FTiles.Store(page, column, row, std::move(image));
}

void TMainForm::DrawPageTiles(QPainter& painter, int page, const QRect& part,
                              const QPoint& origin) {
    const QRect wanted = part & QRect(0, 0, FGeometry.PageWidthPx, FGeometry.PageHeightPx);
    if (wanted.isEmpty()) return;
    const int size = TTileCache::kTilePx;
    for (int row = wanted.top() / size; row <= wanted.bottom() / size; ++row) {
        for (int column = wanted.left() / size; column <= wanted.right() / size; ++column) {
            // Drawn before the next tile is asked for, which may push it out.
            const QImage& tile = Tile(page, column, row);
            if (!tile.isNull())
                painter.drawImage(origin + FTiles.TileRect(column, row).topLeft(), tile);
        }
    }
}

void TMainForm::RenderPageBitmap(int page) {
    PrepareTiles();
    const QRect whole(0, 0, FGeometry.PageWidthPx, FGeometry.PageHeightPx);
    const double dpr = PaintBox1->devicePixelRatioF();
    // The whole page while it is of a size a picture can hold; beyond that
    // the part the scroll box shows, which is all a preview can reach.
    QRect part = whole;
    if (double(whole.width()) * whole.height() * dpr * dpr > double(kMaxPageImagePixels)) {
        const QPoint pageOrigin(ViewMargin, PageTopPx(FGeometry, page));
        part = QRect(-PaintBox1->pos(), ScrollBox1->viewport()->size()).translated(-pageOrigin) &
               whole;
    }
    PageBitmapOrigin = part.topLeft();
    if (part.isEmpty()) {
        PageBitmap = QImage();
        return;
    }
    PageBitmap = QImage(static_cast<int>(std::ceil(part.width() * dpr)),
                        static_cast<int>(std::ceil(part.height() * dpr)), QImage::Format_RGB32);
    if (PageBitmap.isNull()) return;
    PageBitmap.setDevicePixelRatio(dpr);
    QPainter painter(&PageBitmap);
    painter.translate(-part.topLeft());
    DrawPageTiles(painter, page, part, QPoint(0, 0));
    TCanvas canvas(painter);
    DrawInstrumentPictures(canvas, PageView(page), ShownInstruments());
}

void TMainForm::PaintView(QPainter& painter, const QRect& area) {
    if (PaintLocked) return;
    if (UpdateViewGeometry()) return;
    const int h = FGeometry.PageHeightPx;
    if (h <= 0) return;
    PrepareTiles();
    const int n = PageCount();
    const TInstrumentPictures shown = ShownInstruments();
    // Only the tiles of the pages that intersect the area being painted are
    // composed.
    const int first = std::clamp((area.top() - ViewMargin) / h, 0, n - 1);
    const int last = std::clamp((area.bottom() - ViewMargin) / h, 0, n - 1);
    for (int i = first; i <= last; ++i) {
        const QPoint origin(ViewMargin, PageTopPx(FGeometry, i));
        DrawPageTiles(painter, i, area.translated(-origin), origin);
        if (!HasAnyPicture(shown)) continue;
        const TInstrumentPictures meeting = InstrumentsMeeting(shown, i, area.translated(-origin));
        if (!HasAnyPicture(meeting)) continue;
        // The instruments lie on every page, clipped to its paper and the area.
        painter.save();
        painter.translate(origin);
        painter.setClipRect(QRect(0, 0, FGeometry.PageWidthPx, h) & area.translated(-origin));
        TCanvas canvas(painter);
        DrawInstrumentPictures(canvas, PageView(i), meeting);
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
    const QRect touched = Overlay.DrawImage(
        QPoint(ViewMargin, PointerPageTop + ViewMargin) + PageBitmapOrigin, PageBitmap);
    PaintBox1->update(touched);
}

} // namespace quirindo::ui
