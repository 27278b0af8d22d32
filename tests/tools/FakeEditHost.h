#pragma once
// A window stand-in for the editing tools: a document, a view scale, the
// settings strip's values, a scroll box and the text dialog, with a record
// of what the tools asked of it. Drawing onto the view lands in an image.

#include "EditToolHost.h"
#include "Geometry.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quirindo::test {

class TFakeEditHost final : public tools::TEditToolHost {
public:
    TDrawing Doc;
    // Counts what the window would see: edits marking the drawing changed,
    // and those a stroke's tool has drawn onto the view itself.
    TDrawingEditor Edits{Doc};
    int EditObserver = Edits.AddObserver([this](const TEditNotice& notice) {
        if (notice.InOpenStep)
            ++ChangesDrawnOnView;
        else
            ++Changes;
    });
    tools::TInstrumentState Inst;
    tools::TPointerState Ptr;
    // The view: 5 pixels per millimetre and pages of 100 mm, shown as pages
    // of round(100 x Scale) pixels unless a test sets PagePx.
    double Scale = 5.0;
    int PagePx = 0;
    double PageMm = 100.0;
    int Pages = 10;
    int Page = 0; // under the last press
    TColor Pen = 0x123456;
    double Line = 0.1;
    double Eraser = 2.0;
    int Zoom = 100;
    tools::TScrollState ScrollBox{0, 0, 1000, 2000, 400, 300};
    tools::TTextFont Font;
    QColor WindowText = Qt::black;

    // The text dialog: each call takes the next answer (nothing: cancelled).
    std::deque<std::optional<std::u16string>> TextAnswers;
    std::vector<std::optional<std::u16string>> TextPresets;
    std::vector<tools::TTextFont> FontsAtDialog;

    int Repaints = 0, Changes = 0, ChangesDrawnOnView = 0, PageRefreshes = 0;
    int PagePreviews = 0, ViewDrawings = 0;
    // What was drawn onto the view since the last repaint (paint-box pixels).
    QImage View = Blank(600, 600);
    // The last page preview (page pixels).
    QImage Preview;
    std::vector<std::pair<int, int>> Scrolls;
    // The view positions the zoom was asked to keep in place.
    std::vector<std::pair<int, int>> ZoomAnchors;

    static QImage Blank(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }

    TDrawing& Document() override { return Doc; }
    TDrawingEditor& Editor() override { return Edits; }
    tools::TInstrumentState& Instruments() override { return Inst; }
    tools::TPointerState& Pointer() override { return Ptr; }
    TViewMapping ViewMapping() const override {
        TViewMapping view;
        view.Scale = Scale;
        view.PageHeightPx = PagePx > 0 ? PagePx : RoundHalfEven(Scale * PageMm);
        view.PageHeightMm = PageMm;
        view.PageCount = Pages;
        return view;
    }
    int PointerPage() const override { return Page; }
    TColor PenColor() const override { return Pen; }
    double LineWidth() const override { return Line; }
    void DrawOnView(const TOverlay::TPainterFn& fn) override {
        ++ViewDrawings;
        QPainter painter(&View);
        TCanvas canvas(painter);
        fn(canvas);
    }
    // The view keeps what was drawn: a later preview is drawn over it.
    void DrawDragPreview(const TOverlay::TPainterFn& fn) override { DrawOnView(fn); }
    void Repaint() override {
        ++Repaints;
        View = Blank(View.width(), View.height());
    }
    void UpdateEds() override {}

    double EraserWidth() const override { return Eraser; }
    int ZoomPercent() const override { return Zoom; }
    void SetZoomAbout(int percent, int x, int y) override {
        ZoomAnchors.emplace_back(x, y);
        const int z = std::clamp(percent, 1, 300);
        if (z == Zoom) return;
        Zoom = z;
        Repaint();
    }
    void ShowPagePreview(const TOverlay::TPainterFn& fn) override {
        ++PagePreviews;
        Preview = Blank(300, 400);
        QPainter painter(&Preview);
        TCanvas canvas(painter);
        fn(canvas);
    }
    void RefreshPages() override { ++PageRefreshes; }
    tools::TScrollState Scroll() const override { return ScrollBox; }
    void ScrollTo(int h, int v) override {
        // Like a scroll bar, which keeps its position within its range.
        ScrollBox.H = std::clamp(h, 0, ScrollBox.HRange - 1);
        ScrollBox.V = std::clamp(v, 0, ScrollBox.VRange - 1);
        Scrolls.emplace_back(h, v);
    }
    tools::TTextFont TextFont() const override { return Font; }
    void SetTextFont(const tools::TTextFont& font) override { Font = font; }
    std::optional<std::u16string> AskText(const std::u16string* preset) override {
        TextPresets.push_back(preset ? std::optional<std::u16string>(*preset) : std::nullopt);
        FontsAtDialog.push_back(Font);
        if (TextAnswers.empty()) return std::nullopt;
        auto answer = TextAnswers.front();
        TextAnswers.pop_front();
        return answer;
    }
    TTextFontResolver TextFonts() const override { return TTextFontResolver(WindowText); }

    // Pixels of mostly red (text is antialiased against the background).
    static int CountReddish(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 128 && c.blue() < 128) ++n;
            }
        return n;
    }
    // Pixels of the view image in colour c.
    int CountPixels(const QImage& image, QColor c) const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == c) ++n;
        return n;
    }
};

} // namespace quirindo::test
