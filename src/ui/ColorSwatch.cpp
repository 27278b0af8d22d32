#include "ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace quirindo::ui {

QColor ColorFromBgr(std::int32_t bgr) {
    const auto u = static_cast<std::uint32_t>(bgr);
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF));
}

std::int32_t BgrFromColor(const QColor& color) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(color.red()) |
                                     (static_cast<std::uint32_t>(color.green()) << 8) |
                                     (static_cast<std::uint32_t>(color.blue()) << 16));
}

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
    p.fillRect(rect(), ColorFromBgr(FColor));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Pressed();
}

} // namespace quirindo::ui
