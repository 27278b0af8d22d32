#include "ObjectSelection.h"

#include "DrawingEditor.h"
#include "ObjectTool.h"
#include "PageGeometry.h"

#include <algorithm>
#include <functional>

namespace quirindo::tools {

namespace {

bool Joins(const TDrawObject& a, const TDrawObject& b) {
    return a.Kind == okLine && b.Kind == okLine && a.Color == b.Color && a.Width == b.Width &&
           a.X2 == b.X1 && a.Y2 == b.Y1;
}

// A drawing area in view pixels where the picture of `page` shows it.
struct TViewBox {
    double Left, Top, Right, Bottom;
};

TViewBox OnPage(const TViewMapping& view, int page, const TMmArea& area) {
    const TPointMm a = view.MmToViewOnPage(page, area.Left, area.Top);
    const TPointMm b = view.MmToViewOnPage(page, area.Right, area.Bottom);
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool Encloses(const TViewBox& outer, const TViewBox& inner) {
    return inner.Left >= outer.Left && inner.Right <= outer.Right && inner.Top >= outer.Top &&
           inner.Bottom <= outer.Bottom;
}

TMmArea SelectionArea(TEditToolHost& host) {
    const TPointerState& p = host.Pointer();
    TDrawing& d = host.Document();
    TMmArea area;
    for (const std::int32_t i : p.SelectedObjects)
        if (i >= 0 && i < d.Objects.Count()) area.Add(ObjectArea(d.Objects[i]));
    for (const std::int32_t i : p.SelectedTexts)
        if (i >= 0 && i < d.Texts.Count()) area.Add(TextArea(d.Texts[i]));
    return area;
}

void OutlineText(TCanvas& canvas, const TViewBox& box, int dx, int dy) {
    const TPixelPoint a = PaintBoxPixel({box.Left, box.Top});
    const TPixelPoint b = PaintBoxPixel({box.Right, box.Bottom});
    canvas.SetPenColor(clRed);
    canvas.SetPenWidth(2);
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.Rectangle(a.X + dx, a.Y + dy, b.X + dx + 1, b.Y + dy + 1);
}

// Indices of the objects and texts wholly inside the box from the press to
// (x, y), as the picture of the page under the press shows them.
void Enclosed(TEditToolHost& host, int x, int y, std::vector<std::int32_t>& objects,
              std::vector<std::int32_t>& texts) {
    const TPointerState& p = host.Pointer();
    const TViewMapping view = host.ViewMapping();
    const int page = view.PageAtView(p.DragStartY);
    const TViewBox box{static_cast<double>(std::min(x, p.DragStartX)),
                       static_cast<double>(std::min(y, p.DragStartY)),
                       static_cast<double>(std::max(x, p.DragStartX)),
                       static_cast<double>(std::max(y, p.DragStartY))};
    TDrawing& d = host.Document();
    for (std::int32_t i = 0; i < d.Objects.Count(); ++i)
        if (Encloses(box, OnPage(view, page, ObjectArea(d.Objects[i])))) objects.push_back(i);
    for (std::int32_t i = 0; i < d.Texts.Count(); ++i)
        if (Encloses(box, OnPage(view, page, TextArea(d.Texts[i])))) texts.push_back(i);
}

} // namespace

std::vector<std::int32_t> StrokeAround(TDrawing& drawing, std::int32_t index) {
    auto& objects = drawing.Objects;
    if (index < 0 || index >= objects.Count()) return {};
    std::int32_t first = index, last = index;
    while (first > 0 && Joins(objects[first - 1], objects[first]))
        --first;
    while (last + 1 < objects.Count() && Joins(objects[last], objects[last + 1]))
        ++last;
    std::vector<std::int32_t> run;
    for (std::int32_t i = first; i <= last; ++i)
        run.push_back(i);
    return run;
}

bool InsideSelection(TEditToolHost& host, int x, int y) {
    const TMmArea area = SelectionArea(host);
    if (area.Empty) return false;
    const TViewMapping view = host.ViewMapping();
    const TViewBox box = OnPage(view, view.PageAtView(y), area);
    // A few pixels of slack, so a thin line alone can still be grabbed.
    constexpr double kSlack = 3.0;
    return x >= box.Left - kSlack && x <= box.Right + kSlack && y >= box.Top - kSlack &&
           y <= box.Bottom + kSlack;
}

void ClearSelection(TPointerState& pointer) {
    pointer.SelectedObjects.clear();
    pointer.SelectedTexts.clear();
}

void ShowSelection(TEditToolHost& host, int page, int dx, int dy) {
    const TPointerState& p = host.Pointer();
    TDrawing& d = host.Document();
    const TViewMapping view = host.ViewMapping();
    std::vector<TDrawObject> objects;
    std::vector<TViewBox> texts;
    for (const std::int32_t i : p.SelectedObjects)
        if (i >= 0 && i < d.Objects.Count()) objects.push_back(d.Objects[i]);
    for (const std::int32_t i : p.SelectedTexts)
        if (i >= 0 && i < d.Texts.Count()) texts.push_back(OnPage(view, page, TextArea(d.Texts[i])));
    host.DrawOnView([objects, texts, view, page, dx, dy](TCanvas& canvas) {
        for (const TDrawObject& o : objects)
            DrawHighlight(canvas, o, view, page, dx, dy);
        for (const TViewBox& box : texts)
            OutlineText(canvas, box, dx, dy);
    });
}

void SelectPress(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    ClearSelection(p);
    p.Selecting = true;
    p.DragStartX = p.SelectX = x;
    p.DragStartY = p.SelectY = y;
}

void SelectDrag(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.SelectX = x;
    p.SelectY = y;
    ClearSelection(p);
    Enclosed(host, x, y, p.SelectedObjects, p.SelectedTexts);
    host.Repaint();
    const int page = host.ViewMapping().PageAtView(p.DragStartY);
    ShowSelection(host, page, 0, 0);
    const TPixelPoint a = PaintBoxPixel({static_cast<double>(p.DragStartX),
                                         static_cast<double>(p.DragStartY)});
    const TPixelPoint b = PaintBoxPixel({static_cast<double>(x), static_cast<double>(y)});
    host.DrawOnView([a, b](TCanvas& canvas) {
        canvas.SetPenColor(clBlack);
        canvas.SetPenWidth(1);
        canvas.SetPenStyle(TPenStyle::Dash);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Rectangle(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                         std::max(a.Y, b.Y) + 1);
    });
}

void SelectRelease(TEditToolHost& host, int x, int y, bool remove) {
    TPointerState& p = host.Pointer();
    p.Selecting = false;
    ClearSelection(p);
    Enclosed(host, x, y, p.SelectedObjects, p.SelectedTexts);
    host.Repaint();
    if (remove) {
        DeleteSelection(host, "Auswahl löschen");
        return;
    }
    ShowSelection(host, host.ViewMapping().PageAtView(p.DragStartY), 0, 0);
}

void DeleteSelection(TEditToolHost& host, const char* step) {
    TPointerState& p = host.Pointer();
    std::vector<std::int32_t> objects = p.SelectedObjects, texts = p.SelectedTexts;
    ClearSelection(p);
    if (objects.empty() && texts.empty()) return;
    // From the back, so the indices still to come stay where they were.
    std::sort(objects.begin(), objects.end(), std::greater<>());
    std::sort(texts.begin(), texts.end(), std::greater<>());
    TDrawingEditor& editor = host.Editor();
    editor.BeginStep(step);
    for (const std::int32_t i : objects)
        if (i < host.Document().Objects.Count()) (void)editor.DeleteObject(i, step);
    for (const std::int32_t i : texts)
        if (i < host.Document().Texts.Count()) (void)editor.DeleteText(i, step);
    editor.EndStep();
    p.HoverShown = false;
    host.Repaint();
}

void MoveSelection(TEditToolHost& host, double dx, double dy) {
    TPointerState& p = host.Pointer();
    const std::vector<std::int32_t> objects = p.SelectedObjects, texts = p.SelectedTexts;
    ClearSelection(p);
    constexpr const char* kStep = "Auswahl verschieben";
    TDrawingEditor& editor = host.Editor();
    TDrawing& d = host.Document();
    editor.BeginStep(kStep);
    for (const std::int32_t i : objects) {
        if (i < 0 || i >= d.Objects.Count()) continue;
        TDrawObject moved = d.Objects[i];
        for (double* px : {&moved.X1, &moved.X2, &moved.X3, &moved.X4})
            *px += dx;
        for (double* py : {&moved.Y1, &moved.Y2, &moved.Y3, &moved.Y4})
            *py += dy;
        (void)editor.ChangeObject(i, moved, kStep);
    }
    for (const std::int32_t i : texts)
        if (i >= 0 && i < d.Texts.Count()) (void)editor.MoveText(i, dx, dy, kStep);
    editor.EndStep();
}

void SelectAbandon(TEditToolHost& host) {
    TPointerState& p = host.Pointer();
    if (!p.Selecting) return;
    p.Selecting = false;
    ClearSelection(p);
    host.Repaint();
}

} // namespace quirindo::tools
