// Moving about the view: the wheel, zoom changes that keep the user's place,
// and the keyboard focus that lets the scroll keys move the pages.

#include "MainForm.h"
#include "PaintBox.h"
#include "SpinEdits.h"
#include "ViewTools.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QKeyEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace quirindo::ui {

namespace {

// A wheel notch is 120 units of angle delta; fine wheels and touchpads send
// it in smaller pieces.
constexpr int kNotch = 120;
constexpr int kWheelStepPx = 20; // pixels a notch scrolls

// Takes the whole steps of `step` units out of `rest` + `delta` and keeps
// the remainder for the next event; a turn of direction drops a remainder
// left from the other way.
int TakeWholeSteps(int& rest, int delta, int step) {
    if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0)) rest = 0;
    const long long total = static_cast<long long>(rest) + delta; // no overflow
    const long long steps = total / step;                         // towards zero
    rest = static_cast<int>(total - steps * step);
    return static_cast<int>(steps);
}

// A scroll position to the nearest pixel, within what a scroll bar holds.
int ScrollPosition(double position) {
    const double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::clamp(position, -limit, limit)));
}

} // namespace

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (ScrollBox1 && watched == ScrollBox1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (NudgeInstrument(key->key(), key->modifiers())) return true;
    }
    if (ScrollBox1 && watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int dy = wheel->angleDelta().y();
        if (dy == 0) return false;
        if (wheel->modifiers() & Qt::ControlModifier)
            FormMouseWheelZoom(dy, wheel->position().toPoint());
        else
            FormMouseWheel(dy);
        // The view scrolls by the wheel's turn, never sideways.
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormMouseWheel(int angleDelta) {
    // 20 pixels a notch, 1 pixel per 6 units; what is left over counts
    // towards the next event, so eight 15-unit events scroll as one notch.
    const int pixels = TakeWholeSteps(FWheelScrollRest, angleDelta, kNotch / kWheelStepPx);
    if (pixels == 0) return;
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - pixels); // the scroll bar keeps it within range
}

void TMainForm::FormMouseWheelUp() {
    FormMouseWheel(kNotch);
}

void TMainForm::FormMouseWheelDown() {
    FormMouseWheel(-kNotch);
}

void TMainForm::FormMouseWheelZoom(int angleDelta, QPoint at) {
    const int notches = TakeWholeSteps(FWheelZoomRest, angleDelta, kNotch);
    const auto direction = notches > 0 ? tools::TZoomDirection::In : tools::TZoomDirection::Out;
    for (int i = 0; i < std::abs(notches); ++i) {
        const int percent = tools::ZoomStep(zoomed->value(), direction);
        if (percent == zoomed->value()) break; // at 1 or 300 per cent
        SetZoomAbout(percent, at);
    }
}

void TMainForm::SetZoomAbout(int percent, QPoint viewportPoint) {
    FZoomAnchor = viewportPoint;
    zoomed->setValue(percent); // zoomedChange keeps the point in place
    FZoomAnchor.reset();
}

void TMainForm::zoomedChange() {
    // The point to keep: under the pointer for the wheel and the zoom tool,
    // otherwise the middle of the visible area.
    const QWidget* viewport = ScrollBox1->viewport();
    const QPoint anchor =
        FZoomAnchor.value_or(QPoint(viewport->width() / 2, viewport->height() / 2));
    const TViewMapping before = ViewMapping();
    const QPoint inBox = anchor - PaintBox1->pos();
    PaintBox1Paint(); // the new scale, page size and scroll ranges
    const tools::TViewPoint after =
        tools::SamePointAfterZoom(before, ViewMapping(), inBox.x(), inBox.y());
    // The scroll bars keep the positions within their ranges.
    ScrollBox1->horizontalScrollBar()->setValue(ScrollPosition(after.X - anchor.x()));
    ScrollBox1->verticalScrollBar()->setValue(ScrollPosition(after.Y - anchor.y()));
}

void TMainForm::FocusView() {
    ScrollBox1->setFocus(Qt::OtherFocusReason);
}

} // namespace quirindo::ui
