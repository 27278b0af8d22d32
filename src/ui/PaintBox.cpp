#include "PaintBox.h"

#include <QPaintEvent>
#include <QPainter>

namespace quirindo::ui {

void TPaintBox::paintEvent(QPaintEvent* event) {
    if (!OnPaint) return;
    QPainter painter(this);
    OnPaint(painter, event->rect());
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) OnMouseDown(event);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) OnMouseUp(event);
}

void TPaintBox::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (OnMouseLeave) OnMouseLeave();
}

} // namespace quirindo::ui
