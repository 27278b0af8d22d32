#pragma once
// Driving the main window's pointer handlers as a user does: positions in
// view pixels (the paint box minus its 5-pixel margin) or in millimetres.

#include "ColorSwatch.h"
#include "Geometry.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace quirindo::test {

class InstrumentTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        Form->PaintBox1Paint(); // the view scale and page height
        S = Form->ViewScale;
        ASSERT_GT(S, 0.0);
    }

    void Press(int x, int y) { Form->PaintBox1MouseDown(Qt::LeftButton, x + 5, y + 5); }
    void Move(int x, int y) { Form->PaintBox1MouseMove(x + 5, y + 5); }
    void Release(int x, int y) { Form->PaintBox1MouseUp(Qt::LeftButton, x + 5, y + 5); }

    // The view pixel nearest to a drawing position in millimetres.
    int Px(double mm) const { return RoundHalfEven(mm * S); }
    void PressMm(double x, double y) { Press(Px(x), Px(y)); }
    void MoveMm(double x, double y) { Move(Px(x), Px(y)); }
    void ReleaseMm(double x, double y) { Release(Px(x), Px(y)); }

    // Half a pixel in millimetres: how far a pointer position can lie from
    // the millimetre value it was aimed at.
    double HalfPixelMm() const { return 0.5 / S + 0.001; }

    const TDrawObject& LastObject() const {
        return *Form->Drawing->Objects.Select(Form->Drawing->Objects.Count() - 1);
    }

    static bool Snapped(double mm) {
        const double thousandths = mm * 1000.0;
        return std::fabs(thousandths - std::round(thousandths)) < 1e-6;
    }

    // What was drawn straight onto the view, over white, in paint-box pixels.
    QImage OverlayImage() const {
        QImage image(Form->PaintBox1->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        Form->Overlay.Paint(painter, image.rect());
        return image;
    }

    static bool RedNear(const QImage& image, int x, int y, int radius = 1) {
        for (int j = y - radius; j <= y + radius; ++j)
            for (int i = x - radius; i <= x + radius; ++i)
                if (image.valid(i, j) && image.pixel(i, j) == qRgb(255, 0, 0)) return true;
        return false;
    }

    double S = 0.0;
};

} // namespace quirindo::test
