// The direct tool's press and hover, and the pointer shape of every tool:
// the shape tells before a press what the press would do.

#include "MainForm.h"
#include "PaintBox.h"

#include <QAction>
#include <QCursor>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <functional>
#include <utility>

namespace quirindo::ui {

namespace {

// A cursor drawn in black with a white outline, so it shows on paper and on
// the dark instruments alike.
QCursor DrawnCursor(const std::function<void(QPainter&)>& draw, int hotX = 12, int hotY = 12) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 4.0}, {QColor(Qt::black), 1.6}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        draw(painter);
    }
    painter.end();
    return QCursor(pixmap, hotX, hotY);
}

// Turning: an arc with an arrow head round the hot spot.
QCursor TurnCursor() {
    return DrawnCursor([](QPainter& p) {
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 270 * 16);
        p.drawLine(QPointF(18.9, 7.9), QPointF(19.5, 3.0));
        p.drawLine(QPointF(18.9, 7.9), QPointF(14.2, 7.0));
        p.drawPoint(QPointF(12, 12));
    });
}

// The eraser: the square it rubs out with.
QCursor EraserCursor() {
    return DrawnCursor([](QPainter& p) { p.drawRect(QRectF(7, 7, 10, 10)); });
}

// The pencil, its point on the hot spot.
QCursor PencilCursor() {
    return DrawnCursor(
        [](QPainter& p) {
            p.drawPolygon(QPolygonF(
                {QPointF(2, 22), QPointF(4, 15), QPointF(17, 2), QPointF(22, 7), QPointF(9, 20)}));
            p.drawLine(QPointF(4, 15), QPointF(9, 20));
        },
        2, 22);
}

// The zoom: a magnifying glass, the middle of its lens on the hot spot.
QCursor ZoomCursor() {
    return DrawnCursor(
        [](QPainter& p) {
            p.drawEllipse(QPointF(9, 9), 6.5, 6.5);
            p.drawLine(QPointF(14, 14), QPointF(21, 21));
        },
        9, 9);
}

QCursor CursorFor(tools::TDirectAction action) {
    using A = tools::TDirectAction;
    switch (action) {
    case A::RulerMove:
    case A::ProtractorMove:
    case A::CompassMove:
        return Qt::SizeAllCursor;
    case A::RulerTurn:
        return TurnCursor();
    case A::RulerAlong:
    case A::ProtractorMark:
    case A::CompassArc:
        return Qt::CrossCursor;
    case A::CompassSpan:
        return Qt::SizeFDiagCursor;
    case A::None:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

tools::TDirectScene TMainForm::DirectScene() const {
    tools::TDirectScene scene;
    scene.Ruler = Lineal2->isChecked();
    scene.Protractor = Winkelmesser2->isChecked();
    scene.Compass = Zirkel2->isChecked();
    const TPageView view = PageView(0);
    scene.PageWidthPx = view.WidthPx;
    scene.PageHeightPx = view.HeightPx;
    // What the scroll box shows of the paint box, once it is on the screen.
    if (PaintBox1->isVisible()) {
        const QRect seen = VisiblePaintBoxRect().intersected(PaintBox1->rect());
        if (!seen.isEmpty()) {
            scene.SeenKnown = true;
            scene.SeenLeft = seen.left() - ViewMargin;
            scene.SeenTop = seen.top() - ViewMargin;
            scene.SeenRight = seen.left() + seen.width() - ViewMargin;
            scene.SeenBottom = seen.top() + seen.height() - ViewMargin;
        }
    }
    return scene;
}

void TMainForm::DirectPress(int x, int y) {
    Direct.Press(*FToolHost, DirectScene(), Ruler, Protractor, Compass, Stroke, x, y);
}

void TMainForm::DirectHover(int x, int y) {
    // The page under the pointer, found as a press finds it.
    const int page = y / PageHeightPx;
    const tools::TDirectAction action =
        tools::DirectActionAt(*FToolHost, DirectScene(), page, x, y);
    PaintBox1->setCursor(CursorFor(action));
    // On the protractor's rim the degree a press would mark shows before
    // the press, as the menu mode's ray does; off the rim both go.
    const bool aiming = action == tools::TDirectAction::ProtractorMark;
    if (aiming) {
        Protractor.AimHover(*FToolHost, x, y);
    } else if (FDirectAiming) {
        ShowReadout({});
        RepaintDrawingArea({});
    }
    FDirectAiming = aiming;
}

void TMainForm::UpdateToolCursor() {
    using A = tools::TDirectAction;
    QCursor cursor = Qt::ArrowCursor;
    if (Direkt1->isChecked())
        cursor = Qt::ArrowCursor;
    else if (ToolChecked(Lineal1, LinealVerschieben1))
        cursor = CursorFor(A::RulerMove);
    else if (ToolChecked(Lineal1, LinealDrehen1))
        cursor = TurnCursor();
    else if (Lineal1->isChecked())
        cursor = Qt::CrossCursor; // along and across
    else if (ToolChecked(Winkelmesser1, WinkelmesserVerschieben1))
        cursor = Qt::SizeAllCursor;
    else if (ToolChecked(Winkelmesser1, WinkelmesserDrehen1))
        cursor = TurnCursor();
    else if (Winkelmesser1->isChecked())
        cursor = Qt::CrossCursor; // the degree mark
    else if (ToolChecked(Zirkel1, ZirkelVerschieben1))
        cursor = Qt::SizeAllCursor;
    else if (ToolChecked(Zirkel1, ZirkelZirkelspanne1))
        cursor = CursorFor(A::CompassSpan);
    else if (Zirkel1->isChecked())
        cursor = Qt::CrossCursor; // arcs
    else if (Kurven1->isChecked())
        cursor = Qt::CrossCursor;
    else if (Bleistift1->isChecked())
        cursor = PencilCursor();
    else if (Radierer1->isChecked())
        cursor = EraserCursor();
    else if (ToolChecked(Text1, TextTexthinzufgen1))
        cursor = Qt::IBeamCursor;
    else if (ToolChecked(Text1, TextVerschieben1))
        cursor = Qt::SizeAllCursor;
    else if (Text1->isChecked())
        cursor = Qt::PointingHandCursor; // change, delete
    else if (ToolChecked(Objekte1, ObjekteVerschieben1))
        cursor = Qt::SizeAllCursor;
    else if (Objekte1->isChecked())
        cursor = Qt::PointingHandCursor; // delete
    else if (Hand1->isChecked())
        cursor = Qt::OpenHandCursor;
    else if (Zoom1->isChecked())
        cursor = ZoomCursor();
    PaintBox1->setCursor(cursor);
}

void TMainForm::Direkt1Click() {
    CheckTool(Direkt1);
}

} // namespace quirindo::ui
