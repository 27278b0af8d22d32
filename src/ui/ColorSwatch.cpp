#include "ColorSwatch.h"

#include "Canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace quirindo::ui {

TColorSwatch::TColorSwatch(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Box);
    setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetFillColor(std::int32_t bgr) {
    FColor = bgr;
    update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColorFromTColor(FColor));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Pressed();
}

} // namespace quirindo::ui
