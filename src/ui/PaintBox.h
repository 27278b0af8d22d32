#pragma once
// The widget the pages are painted in. It forwards painting and pointer
// events to its owner through callbacks, so it knows nothing of tools.

#include <QWidget>
#include <functional>

namespace quirindo::ui {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

    std::function<void(QPainter&, const QRect&)> OnPaint;
    std::function<void(QMouseEvent*)> OnMouseDown, OnMouseMove, OnMouseUp;
    // The pointer left the paint box.
    std::function<void()> OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace quirindo::ui
