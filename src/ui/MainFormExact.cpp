// Exact handling of the instruments: the "Einrasten" switch, the readouts of
// a drag in the status bar, the arrow keys that nudge an instrument,
// "Instrumente holen" and the notice about an instrument the user cannot see.

#include "MainForm.h"
#include "PaintBox.h"
#include "PageGeometry.h"
#include "Remembered.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QHelpEvent>
#include <QToolBar>

#include <algorithm>

namespace quirindo::ui {

namespace {

constexpr double kFineStepMm = 0.1, kCoarseStepMm = 1.0;
constexpr double kFineStepDeg = 0.1, kCoarseStepDeg = 1.0;
// The band along the view's edge where a drag scrolls, the pixels a step
// scrolls at its inner border, and the pause between steps.
constexpr int kAutoScrollEdgePx = 16;
constexpr int kAutoScrollStepPx = 8;
constexpr int kAutoScrollMs = 40;

// How far to scroll along one axis for a pointer at `at` in a view `size`
// wide: faster the deeper into the band or beyond it.
int AutoScrollStep(int at, int size) {
    if (at < kAutoScrollEdgePx) return -(kAutoScrollStepPx + (kAutoScrollEdgePx - at) / 2);
    if (at >= size - kAutoScrollEdgePx)
        return kAutoScrollStepPx + (at - (size - kAutoScrollEdgePx)) / 2;
    return 0;
}

QString Number(double value, int decimals) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // -0.0 would read "-0,00".
    if (value == 0.0) value = 0.0;
    return locale.toString(value, 'f', decimals);
}

} // namespace

void TMainForm::BuildExactItems() {
    Ansicht1->addSeparator();
    Einrasten1 = new QAction(QStringLiteral("Einrasten"), this);
    Einrasten1->setObjectName(QStringLiteral("Einrasten1"));
    Einrasten1->setCheckable(true);
    Einrasten1->setChecked(Remembered->Snapping());
    Ansicht1->addAction(Einrasten1);
    Instrumenteholen1 = new QAction(QStringLiteral("Instrumente holen"), this);
    Instrumenteholen1->setObjectName(QStringLiteral("Instrumenteholen1"));
    Ansicht1->addAction(Instrumenteholen1);
    // F10 opens the menu bar at its first menu, as on other desktops.
    auto* menuBarKey = new QAction(this);
    menuBarKey->setObjectName(QStringLiteral("MenueleisteAction"));
    menuBarKey->setShortcut(QKeySequence(Qt::Key_F10));
    menuBarKey->setShortcutContext(Qt::WindowShortcut);
    addAction(menuBarKey);
    connect(menuBarKey, &QAction::triggered, this, [this] {
        if (!MainMenu->actions().isEmpty()) MainMenu->setActiveAction(MainMenu->actions().first());
    });
    connect(Einrasten1, &QAction::triggered, this, &TMainForm::Einrasten1Click);
    connect(Instrumenteholen1, &QAction::triggered, this, &TMainForm::Instrumenteholen1Click);
}

void TMainForm::Einrasten1Click() {
    Remembered->SetSnapping(Einrasten1->isChecked());
    Remembered->Sync();
}

tools::TSnapMode TMainForm::SnapMode() const {
    const Qt::KeyboardModifiers keys = FPointerModifiers;
    return {Einrasten1 && Einrasten1->isChecked() && !(keys & Qt::AltModifier),
            (keys & Qt::ShiftModifier) != 0};
}

void TMainForm::ShowReadout(const tools::TReadout& r) {
    using tools::TReadout;
    QString text;
    switch (r.Kind) {
    case TReadout::None:
        break;
    case TReadout::RulerAngle:
        text = Tr("Lineal %1°").arg(Number(r.A, 2));
        break;
    case TReadout::Stroke:
        text = Tr("Länge %1 mm, Richtung %2°").arg(Number(r.A, 2), Number(r.B, 2));
        break;
    case TReadout::CompassSpan:
        text = Tr("Spanne %1 mm, Richtung %2°").arg(Number(r.A, 2), Number(r.B, 2));
        break;
    case TReadout::CompassArc:
        text = Tr("Spanne %1 mm, Bogen %2°").arg(Number(r.A, 2), Number(r.B, 2));
        break;
    case TReadout::ProtractorAngle:
        text = Tr("Winkelmesser %1°, Zeiger %2°").arg(Number(r.A, 2), Number(r.B, 2));
        break;
    case TReadout::Mark:
        text = Tr("Markierung %1°").arg(Number(r.A, 2));
        break;
    case TReadout::Move:
        text = Tr("Verschoben um %1 mm, %2 mm").arg(Number(r.A, 2), Number(r.B, 2));
        break;
    }
    FReadoutText = text;
    // A drag that ends takes the notice about an unseen instrument with it.
    if (r.Kind == TReadout::None) FNoticeText.clear();
    UpdateStatusText();
}

void TMainForm::UpdateStatusText() {
    QStringList parts;
    for (const QString& part : {FPositionText, FReadoutText, FNoticeText})
        if (!part.isEmpty()) parts << part;
    StatusText->setText(parts.join(QStringLiteral("   ")));
}

QRect TMainForm::VisiblePaintBoxRect() const {
    const QWidget* viewport = ScrollBox1->viewport();
    return QRect(PaintBox1->mapFrom(viewport, QPoint(0, 0)), viewport->size());
}

void TMainForm::NoteUnseenInstrument() {
    struct TInstrumentRow {
        const QAction* Tool;
        const QAction* Shown;
        double X, Y;
        const char* Hidden;
        const char* Outside;
    };
    const tools::TInstrumentState& in = Instruments;
    const TInstrumentRow rows[] = {
        {Lineal1, Lineal2, in.LinX, in.LinY, "Das Lineal ist ausgeblendet",
         "Das Lineal liegt außerhalb des sichtbaren Bereichs"},
        {Winkelmesser1, Winkelmesser2, in.WinkX, in.WinkY, "Der Winkelmesser ist ausgeblendet",
         "Der Winkelmesser liegt außerhalb des sichtbaren Bereichs"},
        {Zirkel1, Zirkel2, in.ZirkX, in.ZirkY, "Der Zirkel ist ausgeblendet",
         "Der Zirkel liegt außerhalb des sichtbaren Bereichs"},
    };
    FNoticeText.clear();
    for (const TInstrumentRow& row : rows) {
        if (!row.Tool->isChecked()) continue;
        if (!row.Shown->isChecked()) {
            FNoticeText = Tr(row.Hidden);
        } else if (ScrollBox1->isVisible()) {
            // The instrument's own point (zero point, centre, needle) on the
            // copy of the page of the press.
            const TPointMm at = ViewMapping().PageToView(PointerPage, row.X, row.Y);
            const QPointF onBox(at.X + ViewMargin, at.Y + ViewMargin);
            if (!QRectF(VisiblePaintBoxRect()).contains(onBox)) FNoticeText = Tr(row.Outside);
        }
    }
    UpdateStatusText();
}

void TMainForm::Instrumenteholen1Click() {
    if (!PointerGeometryReady()) return;
    const QRect visible = VisiblePaintBoxRect().intersected(PaintBox1->rect());
    if (visible.isEmpty()) return;
    const QPoint centre = visible.center() - QPoint(ViewMargin, ViewMargin);
    const TViewMapping view = ViewMapping();
    // The page under the middle of the view, clamped to the pages there are.
    const int page = std::clamp(centre.y() / PageHeightPx, 0, PageCount() - 1);
    const TPointMm origin = view.PageToView(page, 0.0, 0.0);
    const double s = view.Scale;
    // The visible part of that page in page-relative millimetres.
    const double left = std::max(0.0, (visible.left() - ViewMargin - origin.X) / s);
    const double top = std::max(0.0, (visible.top() - ViewMargin - origin.Y) / s);
    // (PageHeightMm converts any length in inches with the page's factor.)
    const double right =
        std::min(PageHeightMm(PageWidthInch), (visible.right() - ViewMargin - origin.X) / s);
    const double bottom = std::min(view.PageHeightMm, (visible.bottom() - ViewMargin - origin.Y) / s);
    const double w = std::max(0.0, right - left), h = std::max(0.0, bottom - top);
    const double cx = left + w / 2.0, cy = top + h / 2.0;

    tools::TInstrumentState& in = Instruments;
    in.LinX = left + w * 0.1;
    in.LinY = cy + h * 0.25;
    in.LinW = 0.0;
    in.WinkX = cx - w * 0.2;
    in.WinkY = cy - h * 0.05;
    in.WinkW = 0.0;
    in.ZirkX = cx + w * 0.2;
    in.ZirkY = cy - h * 0.1;
    // The pencil leg must land on the visible part too.
    in.ZirkS = std::min(in.ZirkS, std::max(1.0, std::min(w, h) * 0.25));
    for (QAction* shown : {Lineal2, Winkelmesser2, Zirkel2})
        shown->setChecked(true);
    UpdateEds();
    PaintBox1Paint();
}

bool TMainForm::NudgeInstrument(int key, Qt::KeyboardModifiers modifiers) {
    int dx = 0, dy = 0;
    switch (key) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: return false;
    }
    const bool coarse = (modifiers & Qt::ShiftModifier) != 0;
    const double mm = coarse ? kCoarseStepMm : kFineStepMm;
    // Right and down turn clockwise on screen, left and up the other way.
    const double deg = (dx + dy) * (coarse ? kCoarseStepDeg : kFineStepDeg);
    tools::TInstrumentState& in = Instruments;
    if (Lineal1->isChecked() && LinealDrehen1->isChecked()) {
        in.LinW += deg;
    } else if (Winkelmesser1->isChecked() && WinkelmesserDrehen1->isChecked()) {
        in.WinkW += deg;
    } else if (Lineal1->isChecked()) {
        in.LinX += dx * mm;
        in.LinY += dy * mm;
    } else if (Winkelmesser1->isChecked()) {
        in.WinkX += dx * mm;
        in.WinkY += dy * mm;
    } else if (Zirkel1->isChecked()) {
        in.ZirkX += dx * mm;
        in.ZirkY += dy * mm;
    } else {
        return false;
    }
    UpdateEds();
    PaintBox1Paint();
    return true;
}

bool TMainForm::DragInProgress() const {
    const tools::TPointerState& p = Pointer;
    // The hand scrolls the view itself.
    return p.FreehandActive || p.TextMoving || p.ObjectMoving || p.ZirkArcActive ||
           p.ZirkSpanActive || p.ZirkMoveActive || p.LinMoving || p.LinTurning ||
           p.DrawingAcross || p.DrawingAlong || p.WinkMarking || p.WinkMoving || p.WinkTurning;
}

bool TMainForm::AutoScrolling() const {
    return FAutoScrollTimer && FAutoScrollTimer->isActive();
}

void TMainForm::AutoScrollFollow(int boxX, int boxY) {
    const QWidget* viewport = ScrollBox1->viewport();
    const QPoint at = PaintBox1->mapTo(viewport, QPoint(boxX, boxY));
    const bool nearEdge = AutoScrollStep(at.x(), viewport->width()) != 0 ||
                          AutoScrollStep(at.y(), viewport->height()) != 0;
    if (!DragInProgress() || !nearEdge) {
        if (FAutoScrollTimer) FAutoScrollTimer->stop();
        return;
    }
    FAutoScrollAt = at;
    if (!FAutoScrollTimer) {
        FAutoScrollTimer = new QTimer(this);
        FAutoScrollTimer->setInterval(kAutoScrollMs);
        connect(FAutoScrollTimer, &QTimer::timeout, this, [this] {
            // A drag whose release went elsewhere must not scroll forever.
            if (QGuiApplication::mouseButtons() == Qt::NoButton) {
                FAutoScrollTimer->stop();
                return;
            }
            AutoScrollTick();
        });
    }
    if (!FAutoScrollTimer->isActive()) FAutoScrollTimer->start();
}

void TMainForm::AutoScrollTick() {
    if (!DragInProgress()) {
        if (FAutoScrollTimer) FAutoScrollTimer->stop();
        return;
    }
    const QWidget* viewport = ScrollBox1->viewport();
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const int oldH = h->value(), oldV = v->value();
    h->setValue(oldH + AutoScrollStep(FAutoScrollAt.x(), viewport->width()));
    v->setValue(oldV + AutoScrollStep(FAutoScrollAt.y(), viewport->height()));
    if (h->value() == oldH && v->value() == oldV) return; // at the end already
    // The scroll area moves the paint box at once; the same place on the
    // screen now lies over another part of the drawing.
    const QPoint box = PaintBox1->mapFrom(viewport, FAutoScrollAt);
    PaintBox1MouseMove(box.x(), box.y());
}

namespace {

// Shows the tool's own tooltip with its keys when the pointer rests on its
// button. Done at that moment, so the tooltip shows the text the
// translation pass gave the action.
class TToolTipKeys final : public QObject {
public:
    TToolTipKeys(TMainForm& form, QObject* parent) : QObject(parent), Form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return false;
        auto* button = qobject_cast<QToolButton*>(watched);
        if (!button || !button->defaultAction()) return false;
        const QString keys = Form.ToolShortcutText(button->defaultAction());
        if (keys.isEmpty()) return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(),
                           button->defaultAction()->toolTip() + QStringLiteral(" (") + keys +
                               QLatin1Char(')'),
                           button);
        return true;
    }

private:
    TMainForm& Form;
};

} // namespace

void TMainForm::BuildToolShortcuts() {
    const auto key = [](QAction* action, QKeySequence sequence) {
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WindowShortcut);
    };
    const Qt::Modifier shift = Qt::SHIFT;
    key(LinealVerschieben1, QKeySequence(Qt::Key_L));
    key(LinealDrehen1, QKeySequence(shift | Qt::Key_L));
    key(LinealAnLinealentlangzeichnen1, QKeySequence(Qt::Key_A));
    key(LinealQuerzumLinealzeichnen1, QKeySequence(Qt::Key_Q));
    key(WinkelmesserVerschieben1, QKeySequence(Qt::Key_W));
    key(WinkelmesserDrehen1, QKeySequence(shift | Qt::Key_W));
    key(WinkelmesserGradzahlmitBleistiftmarkieren1, QKeySequence(Qt::Key_G));
    key(ZirkelVerschieben1, QKeySequence(Qt::Key_Z));
    key(ZirkelZirkelspanne1, QKeySequence(Qt::Key_S));
    key(ZirkelKreisbogenzeichnen1, QKeySequence(Qt::Key_B));
    key(ZirkelKreiszeichnen1, QKeySequence(Qt::Key_K));
    key(Kurven1, QKeySequence(Qt::Key_U));
    key(Bleistift1, QKeySequence(Qt::Key_P));
    key(Radierer1, QKeySequence(Qt::Key_R));
    key(TextTexthinzufgen1, QKeySequence(Qt::Key_T));
    key(TextTextndern1, QKeySequence(Qt::Key_E));
    key(TextTextlschen1, QKeySequence(shift | Qt::Key_T));
    key(TextVerschieben1, QKeySequence(shift | Qt::Key_V));
    key(ObjekteLschen1, QKeySequence(Qt::Key_X));
    key(ObjekteVerschieben1, QKeySequence(Qt::Key_V));
    key(Hand1, QKeySequence(Qt::Key_H));
    key(Zoom1, QKeySequence(Qt::Key_M));
    // The mode items live in the tool buttons' menus, which are not open
    // while the user types: the window holds them too, so their keys work.
    for (QAction* mode :
         {LinealVerschieben1, LinealDrehen1, LinealAnLinealentlangzeichnen1,
          LinealQuerzumLinealzeichnen1, WinkelmesserVerschieben1, WinkelmesserDrehen1,
          WinkelmesserGradzahlmitBleistiftmarkieren1, ZirkelVerschieben1, ZirkelZirkelspanne1,
          ZirkelKreisbogenzeichnen1, ZirkelKreiszeichnen1, TextTexthinzufgen1, TextTextndern1,
          TextTextlschen1, TextVerschieben1, ObjekteLschen1, ObjekteVerschieben1, Kurven1, Bleistift1, Radierer1, Hand1, Zoom1})
        addAction(mode);
    auto* keys = new TToolTipKeys(*this, this);
    for (QToolButton* button : ToolMenu->findChildren<QToolButton*>())
        button->installEventFilter(keys);
}

QString TMainForm::ToolShortcutText(const QAction* tool) const {
    QStringList keys;
    if (!tool->shortcut().isEmpty()) keys << tool->shortcut().toString(QKeySequence::NativeText);
    const auto* button = [&]() -> QToolButton* {
        for (QToolButton* b : ToolMenu->findChildren<QToolButton*>())
            if (b->defaultAction() == tool) return b;
        return nullptr;
    }();
    if (button && button->menu())
        for (const QAction* mode : button->menu()->actions())
            if (!mode->shortcut().isEmpty())
                keys << mode->shortcut().toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(", "));
}

} // namespace quirindo::ui
