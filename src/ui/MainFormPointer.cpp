// Pointer input: the paint box's press, move and release, routed to exactly
// one tool by a fixed order of tests on the drag flags and the tool menu's
// check marks, and the instrument pictures the paint cycle draws.

#include "InstrumentPictures.h"
#include "MainForm.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QTimer>

namespace quirindo::ui {

namespace {

// The window as the tools see it.
class TMainFormToolHost final : public tools::TToolHost {
public:
    explicit TMainFormToolHost(TMainForm& form) : Form(form) {}

    TDrawing& Document() override { return *Form.Drawing; }
    TDrawingEditor& Editor() override { return *Form.DrawingEditor; }
    tools::TInstrumentState& Instruments() override { return Form.Instruments; }
    tools::TPointerState& Pointer() override { return Form.Pointer; }
    TViewMapping ViewMapping() const override { return Form.ViewMapping(); }
    int PointerPage() const override { return Form.PointerPage; }
    TColor PenColor() const override { return Form.PenColor(); }
    double LineWidth() const override { return Form.StrichEd->Value(); }
    void DrawOnView(const TOverlay::TPainterFn& fn) override { Form.DrawOnView(fn); }
    void DrawDragPreview(const TOverlay::TPainterFn& fn) override { Form.DrawDragPreview(fn); }
    void Repaint() override { Form.PaintBox1Paint(); }
    void RepaintOverlay() override { Form.RepaintDrawingArea({}); }
    void UpdateEds() override { Form.UpdateEds(); }
    tools::TSnapMode SnapMode() const override { return Form.SnapMode(); }
    void ShowReadout(const tools::TReadout& readout) override { Form.ShowReadout(readout); }
    const TObjectIndex* ObjectIndex() override { return &Form.ObjectIndex(); }

private:
    TMainForm& Form;
};

QPoint EventPos(const QMouseEvent* event) {
    return event->position().toPoint();
}

} // namespace

void TMainForm::SetupInstruments() {
    FToolHost = std::make_unique<TMainFormToolHost>(*this);

    InstrumentPictures.Ruler = [this](TCanvas& canvas, const TPageView& view) {
        DrawRulerPicture(canvas, view, Instruments.LinX, Instruments.LinY, Instruments.LinW,
                         AnsichtZollAngabenfrdasLineal1->isChecked());
    };
    InstrumentPictures.Protractor = [this](TCanvas& canvas, const TPageView& view) {
        DrawProtractorPicture(canvas, view, Instruments.WinkX, Instruments.WinkY, Instruments.WinkW,
                              Instruments.WinkD);
    };
    InstrumentPictures.Compass = [this](TCanvas& canvas, const TPageView& view) {
        DrawCompassPicture(canvas, view, Instruments.ZirkX, Instruments.ZirkY, Instruments.ZirkS,
                           Instruments.ZirkW);
    };

    // Alt and Shift as the pointer event reports them decide the snapping
    // of the step it causes.
    PaintBox1->OnMouseDown = [this](QMouseEvent* e) {
        FPointerModifiers = e->modifiers();
        PaintBox1MouseDown(e->button(), EventPos(e).x(), EventPos(e).y());
    };
    PaintBox1->OnMouseMove = [this](QMouseEvent* e) {
        FPointerModifiers = e->modifiers();
        PaintBox1MouseMove(EventPos(e).x(), EventPos(e).y());
    };
    PaintBox1->OnMouseUp = [this](QMouseEvent* e) {
        FPointerModifiers = e->modifiers();
        PaintBox1MouseUp(e->button(), EventPos(e).x(), EventPos(e).y());
    };
}

bool TMainForm::PointerGeometryReady() {
    // Before the first paint nothing is known of the view; work it out now
    // rather than divide by zero.
    if (!(ViewScale > 0.0) || PageHeightPx <= 0) UpdateViewGeometry();
    return ViewScale > 0.0 && PageHeightPx > 0;
}

bool TMainForm::ToolChecked(const QAction* tool, const QAction* item) const {
    return tool->isChecked() && item->isChecked();
}

TViewMapping TMainForm::ViewMapping() const {
    return TViewMapping::For(ViewScale, PageHeightPx, PageHeightInch, PageCount());
}

void TMainForm::ShowPointerPosition(int x, int y) {
    const TViewMapping view = ViewMapping();
    if (!view.Valid()) return;
    const TPointMm at = view.ViewToMm(x, y);
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    FPositionText = locale.toString(at.X, 'f', 2) + QStringLiteral(" mm, ") +
                    locale.toString(at.Y, 'f', 2) + QStringLiteral(" mm");
    UpdateStatusText();
}

void TMainForm::PaintBox1MouseDown(Qt::MouseButton Button, int X, int Y) {
    if (!PointerGeometryReady()) return;
    X -= ViewMargin;
    Y -= ViewMargin;
    // Integer division truncates toward zero: the margin above page 0 still
    // belongs to page 0, the one below the last page to a page beyond it.
    PointerPage = Y / PageHeightPx;
    PointerPageTop = PointerPage * PageHeightPx;

    // A started curve is completed by the next clicks, whatever tool is
    // checked by then.
    if (Pointer.CurveGotControl1) return CurvePressStore(X, Y);
    if (Pointer.CurveGotEnd) return CurvePressThird(X, Y);
    if (Pointer.CurveGotStart) return CurvePressSecond(X, Y);
    if (Kurven1->isChecked()) return CurvePressFirst(X, Y);
    if (ToolChecked(Text1, TextVerschieben1)) return TextMovePress(X, Y);
    if (ToolChecked(Text1, TextTextlschen1)) return TextDeletePress(X, Y);
    if (ToolChecked(Text1, TextTexthinzufgen1)) return TextAddPress(X, Y);
    if (Bleistift1->isChecked()) return FreehandPress(X, Y, false);
    if (Radierer1->isChecked()) return FreehandPress(X, Y, true);
    if (ToolChecked(Text1, TextTextndern1)) return TextChangePress(X, Y);
    if (ToolChecked(Objekte1, ObjekteVerschieben1)) return ObjectMovePress(X, Y);
    if (ToolChecked(Objekte1, ObjekteLschen1)) return ObjectDeletePress(X, Y);
    if (Hand1->isChecked()) return HandPress(X, Y);
    if (Zoom1->isChecked()) return ZoomPress(Button, X, Y);
    if (Direkt1->isChecked()) return DirectPress(X, Y);
    PressInstrument(X, Y);
}

// Rows of the press order that start an instrument drag.
void TMainForm::PressInstrument(int x, int y) {
    tools::TToolHost& host = *FToolHost;
    NoteUnseenInstrument();
    Direct.Spanning = false;
    if (ToolChecked(Zirkel1, ZirkelKreisbogenzeichnen1)) return Compass.ArcPress(host, x, y);
    if (ToolChecked(Zirkel1, ZirkelZirkelspanne1)) return Compass.SpanPress(host, x, y);
    if (ToolChecked(Zirkel1, ZirkelVerschieben1)) return Compass.StartMove(host, x, y);
    if (ToolChecked(Lineal1, LinealVerschieben1)) return Ruler.StartMove(host, x, y);
    if (ToolChecked(Lineal1, LinealDrehen1)) return Ruler.StartTurn(host, x, y);
    if (ToolChecked(Winkelmesser1, WinkelmesserGradzahlmitBleistiftmarkieren1))
        return Protractor.MarkPress(host, Stroke, x, y);
    if (ToolChecked(Lineal1, LinealQuerzumLinealzeichnen1))
        return tools::AcrossPress(host, Stroke, x, y);
    if (ToolChecked(Lineal1, LinealAnLinealentlangzeichnen1))
        return tools::AlongPress(host, Stroke, x, y);
    if (ToolChecked(Winkelmesser1, WinkelmesserVerschieben1))
        return Protractor.StartMove(host, x, y);
    if (ToolChecked(Winkelmesser1, WinkelmesserDrehen1)) return Protractor.StartTurn(host, x, y);
}

bool TMainForm::TextHoverApplies() const {
    if (!Text1->isChecked()) return false;
    return TextTextndern1->isChecked() || TextTextlschen1->isChecked() ||
           (TextVerschieben1->isChecked() && !Pointer.TextMoving);
}

void TMainForm::PaintBox1MouseMove(int X, int Y) {
    AutoScrollFollow(X, Y);
    X -= ViewMargin;
    Y -= ViewMargin;
    ShowPointerPosition(X, Y);
    if (!PointerGeometryReady()) return;
    if (TextHoverApplies()) return TextHover(X, Y);

    tools::TToolHost& host = *FToolHost;
    const tools::TPointerState& p = Pointer;
    if (p.CurveGotEnd || p.CurveGotControl1) return CurvePreview(X, Y);
    if (p.CurveGotStart) return CurveStraightPreview(X, Y);
    if (p.FreehandActive) return FreehandDrag(X, Y);
    if (p.TextMoving) return TextMoveDrag(X, Y);
    if (p.ObjectMoving) return ObjectMoveDrag(X, Y);
    // A box whose tool was put away before its release is forgotten.
    if (p.Selecting && (ToolChecked(Objekte1, ObjekteLschen1) ||
                        ToolChecked(Objekte1, ObjekteVerschieben1)))
        return ObjectSelectDrag(X, Y);
    if (ToolChecked(Objekte1, ObjekteLschen1) || ToolChecked(Objekte1, ObjekteVerschieben1))
        return ObjectHover(X, Y);
    if (p.HandDragging) return HandDrag(X, Y);
    if (!p.DrawingAcross && ToolChecked(Lineal1, LinealQuerzumLinealzeichnen1))
        return tools::AcrossHover(host, Stroke, X, Y);
    if (p.DrawingAcross) return tools::AcrossDrag(host, Stroke, X, Y);
    if (p.ZirkArcActive) return Compass.ArcDrag(host, X, Y);
    if (ToolChecked(Zirkel1, ZirkelKreisbogenzeichnen1)) return Compass.ArcHover(host, X, Y);
    if (p.ZirkSpanActive && Direct.Spanning) return Direct.SpanStep(host, Compass, X, Y);
    if (p.ZirkSpanActive) return Compass.SpanStep(host, X, Y);
    if (p.WinkMarking) return Protractor.MarkDrag(host, Stroke, X, Y);
    if (ToolChecked(Winkelmesser1, WinkelmesserGradzahlmitBleistiftmarkieren1))
        return Protractor.MarkHover(host, X, Y);
    if (p.DrawingAlong) return tools::AlongDrag(host, Stroke, X, Y);
    if (ToolChecked(Lineal1, LinealAnLinealentlangzeichnen1))
        return tools::AlongHover(host, Stroke, X, Y);
    if (p.ZirkMoveActive) return Compass.MoveStep(host, X, Y);
    if (p.LinMoving) return Ruler.MoveStep(host, X, Y);
    if (p.WinkMoving) return Protractor.MoveStep(host, X, Y);
    if (p.LinTurning) return Ruler.TurnStep(host, X, Y);
    if (p.WinkTurning) return Protractor.TurnStep(host, X, Y);
    if (Direkt1->isChecked()) return DirectHover(X, Y);
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton /*Button*/, int X, int Y) {
    if (FAutoScrollTimer) FAutoScrollTimer->stop();
    if (!PointerGeometryReady()) return;
    X -= ViewMargin;
    Y -= ViewMargin;
    // Only the first drag found ends; a second one (another button pressed
    // during a drag) ends with the next release.
    tools::TToolHost& host = *FToolHost;
    const tools::TPointerState& p = Pointer;
    if (p.FreehandActive) return FreehandRelease(X, Y);
    if (p.ObjectMoving) return ObjectMoveRelease(X, Y);
    if (p.Selecting && (ToolChecked(Objekte1, ObjekteLschen1) ||
                        ToolChecked(Objekte1, ObjekteVerschieben1)))
        return ObjectSelectRelease(X, Y);
    if (p.TextMoving) return TextMoveRelease(X, Y);
    if (p.HandDragging) return HandRelease(X, Y);
    if (p.ZirkArcActive) return Compass.ArcRelease(host);
    if (p.ZirkSpanActive && Direct.Spanning) return Direct.SpanRelease(host, Compass, X, Y);
    if (p.ZirkSpanActive) return Compass.SpanRelease(host, X, Y);
    if (p.WinkMarking) return Protractor.MarkRelease(host, Stroke);
    if (p.DrawingAlong) return tools::AlongRelease(host, Stroke);
    if (p.DrawingAcross) return tools::AcrossRelease(host, Stroke);
    if (p.ZirkMoveActive) return Compass.EndMove(host, X, Y);
    if (p.LinMoving) return Ruler.EndMove(host, X, Y);
    if (p.WinkMoving) return Protractor.EndMove(host, X, Y);
    if (p.LinTurning) return Ruler.EndTurn(host, X, Y);
    if (p.WinkTurning) return Protractor.EndTurn(host);
}

void TMainForm::ZirkelKreiszeichnen1Click() {
    if (!PointerGeometryReady()) return;
    Compass.DrawCircle(*FToolHost);
}

} // namespace quirindo::ui
