#pragma once
// The pen colour swatch: a filled square whose fill colour is the pen colour.

#include <QFrame>
#include <cstdint>

namespace quirindo::ui {

class TColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit TColorSwatch(QWidget* parent);
    std::int32_t FillColor() const { return FColor; }
    void SetFillColor(std::int32_t bgr);

signals:
    void Pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::int32_t FColor = 0;
};

} // namespace quirindo::ui
