// The freehand and editing tools in the window: the seams the pointer
// dispatch (MainFormPointer.cpp) routes their rows to, the window as those
// tools see it, "Letzes Objekt löschen", the text dialog and the keys that
// abandon a drag and zoom. Positions are view positions (paint-box pixels
// minus the margin). The tools themselves live in src/tools.

#include "MainForm.h"
#include "ObjectSelection.h"
#include "ObjectTool.h"
#include "PaintBox.h"
#include "SpinEdits.h"
#include "TextTool.h"
#include "ViewTools.h"

#include <QAction>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace quirindo::ui {

namespace {

// The window as the editing tools see it; what the instruments see too is
// passed on to their host.
class TMainFormEditHost final : public tools::TEditToolHost {
public:
    TMainFormEditHost(TMainForm& form, tools::TToolHost& base) : Form(form), Base(base) {}

    TDrawing& Document() override { return Base.Document(); }
    TDrawingEditor& Editor() override { return Base.Editor(); }
    tools::TInstrumentState& Instruments() override { return Base.Instruments(); }
    tools::TPointerState& Pointer() override { return Base.Pointer(); }
    TViewMapping ViewMapping() const override { return Base.ViewMapping(); }
    int PointerPage() const override { return Base.PointerPage(); }
    TColor PenColor() const override { return Base.PenColor(); }
    double LineWidth() const override { return Base.LineWidth(); }
    void DrawOnView(const TOverlay::TPainterFn& fn) override { Base.DrawOnView(fn); }
    void DrawDragPreview(const TOverlay::TPainterFn& fn) override { Base.DrawDragPreview(fn); }
    void Repaint() override { Base.Repaint(); }
    void RepaintOverlay() override { Base.RepaintOverlay(); }
    void UpdateEds() override { Base.UpdateEds(); }
    const TObjectIndex* ObjectIndex() override { return Base.ObjectIndex(); }

    double EraserWidth() const override { return Form.RadierEd->Value(); }
    int ZoomPercent() const override { return static_cast<int>(Form.ZoomPercent()); }
    // The field keeps the value within its bounds; a new value repaints
    // through its change handler, which keeps the point in place.
    void SetZoomAbout(int percent, int x, int y) override {
        const QPoint inBox(x + ViewMargin, y + ViewMargin);
        Form.SetZoomAbout(percent, inBox + Form.PaintBox1->pos());
    }

    void ShowPagePreview(const TOverlay::TPainterFn& fn) override {
        // Below the last page there is no page to draw on.
        if (Form.PointerPage < 0 || Form.PointerPage >= Form.PageCount()) return;
        Form.RenderPageOnly = true;
        Form.PaintBox1Paint();
        Form.RenderPageOnly = false;
        if (Form.PageBitmap.isNull()) return;
        {
            QPainter painter(&Form.PageBitmap);
            painter.translate(-Form.PageBitmapOrigin);
            TCanvas canvas(painter);
            fn(canvas);
        }
        Form.ShowPageBitmap();
    }

    void RefreshPages() override { Form.RefreshPagesAfterStroke(); }

    tools::TScrollState Scroll() const override {
        const QScrollBar* h = Form.ScrollBox1->horizontalScrollBar();
        const QScrollBar* v = Form.ScrollBox1->verticalScrollBar();
        // A bar's positions run from its minimum (0) to its maximum.
        return {h->value(),
                v->value(),
                h->maximum() + 1,
                v->maximum() + 1,
                Form.ScrollBox1->width(),
                Form.ScrollBox1->height()};
    }
    void ScrollTo(int h, int v) override {
        Form.PaintLocked = true;
        Form.ScrollBox1->horizontalScrollBar()->setValue(h);
        Form.ScrollBox1->verticalScrollBar()->setValue(v);
        Form.PaintLocked = false;
    }

    tools::TTextFont TextFont() const override { return Form.TextFont; }
    void SetTextFont(const tools::TTextFont& font) override { Form.TextFont = font; }
    std::optional<std::u16string> AskText(const std::u16string* preset) override {
        TAddTextForm& dialog = Form.AddTextForm();
        if (preset) dialog.SetText(*preset);
        if (Form.RunModal(dialog) != QDialog::Accepted) return std::nullopt;
        return dialog.Text();
    }
    TTextFontResolver TextFonts() const override {
        return TTextFontResolver(Form.palette().color(QPalette::WindowText));
    }

private:
    TMainForm& Form;
    tools::TToolHost& Base;
};

} // namespace

tools::TEditToolHost& TMainForm::EditHost() {
    if (!FEditHost) FEditHost = std::make_unique<TMainFormEditHost>(*this, *FToolHost);
    return *FEditHost;
}

// --- curves: four clicks, previews in between ---------------------------------
void TMainForm::CurvePressStore(int x, int y) {
    tools::CurveFourthClick(EditHost(), Curve, x, y);
}
void TMainForm::CurvePressThird(int x, int y) {
    tools::CurveThirdClick(EditHost(), Curve, x, y);
}
void TMainForm::CurvePressSecond(int x, int y) {
    tools::CurveSecondClick(EditHost(), Curve, x, y);
}
void TMainForm::CurvePressFirst(int x, int y) {
    tools::CurveFirstClick(EditHost(), Curve, x, y);
}
void TMainForm::CurvePreview(int x, int y) {
    tools::CurvePreview(EditHost(), Curve, x, y);
}
void TMainForm::CurveStraightPreview(int x, int y) {
    tools::CurvePreview(EditHost(), Curve, x, y);
}

// --- texts --------------------------------------------------------------------------
void TMainForm::TextMovePress(int x, int y) {
    tools::TextMovePress(EditHost(), x, y);
}
void TMainForm::TextDeletePress(int /*x*/, int /*y*/) {
    tools::TextDeletePress(EditHost());
}
void TMainForm::TextAddPress(int x, int y) {
    tools::TextAddPress(EditHost(), x, y);
}
void TMainForm::TextChangePress(int /*x*/, int /*y*/) {
    tools::TextChangePress(EditHost());
}
void TMainForm::TextHover(int x, int y) {
    tools::TextHover(EditHost(), x, y);
}
void TMainForm::TextMoveDrag(int x, int y) {
    tools::TextMoveDrag(EditHost(), x, y);
}
void TMainForm::TextMoveRelease(int x, int y) {
    tools::TextMoveRelease(EditHost(), x, y);
}

void TMainForm::PaintBox1MouseLeave() {
    const tools::TPointerState& p = Pointer;
    // A drag holds the pointer until its release and goes on outside the
    // view; a started curve keeps its rubber band for the next click.
    const bool busy = p.CurveGotStart || p.CurveGotEnd || p.CurveGotControl1 || p.TextMoving ||
                      p.FreehandActive || p.ObjectMoving || p.HandDragging || p.ZirkArcActive ||
                      p.ZirkSpanActive || p.ZirkMoveActive || p.LinMoving || p.LinTurning ||
                      p.DrawingAcross || p.DrawingAlong || p.WinkMarking || p.WinkMoving ||
                      p.WinkTurning;
    if (busy) return;
    if (FDirectAiming) {
        FDirectAiming = false;
        ShowReadout({});
    }
    // A highlight shown no longer names anything a click could act on.
    const bool shown = Pointer.HoverShown || !Overlay.IsEmpty();
    Pointer.HoverShown = false;
    Pointer.HoverFound = false;
    if (shown) PaintBox1Paint();
}

// --- pencil and eraser ----------------------------------------------------------------
void TMainForm::FreehandPress(int x, int y, bool eraser) {
    tools::FreehandPress(EditHost(), Freehand, x, y, eraser);
}
void TMainForm::FreehandDrag(int x, int y) {
    tools::FreehandDrag(EditHost(), Freehand, x, y);
}
void TMainForm::FreehandRelease(int /*x*/, int /*y*/) {
    tools::FreehandRelease(EditHost(), Freehand);
}

void TMainForm::SetChangedKeepingPages(const TMmArea& area) {
    FStrokeArea.Add(area);
    if (FPagesStale && PaintRequests != FStalePaintMark) {
        // The view was repainted from tiles that lack the stroke so far:
        // from now on it needs tiles rendered from the drawing.
        FPagesStale = false;
        InvalidateTiles(FStrokeArea);
        FStrokeArea = {};
        MarkChanged();
        PaintBox1->update();
        return;
    }
    MarkChanged();
    if (!FPagesStale) {
        FPagesStale = true;
        FStalePaintMark = PaintRequests;
    }
}

void TMainForm::RefreshPagesAfterStroke() {
    if (!FPagesStale) return;
    FPagesStale = false;
    InvalidateTiles(FStrokeArea);
    FStrokeArea = {};
    if (PaintRequests != FStalePaintMark) PaintBox1->update();
}

// --- objects ------------------------------------------------------------------------
// Shift picks the whole pencil stroke under the pointer; a press that finds
// nothing starts a selection box.
void TMainForm::ObjectMovePress(int x, int y) {
    const bool stroke = FPointerModifiers.testFlag(Qt::ShiftModifier);
    if (!tools::ObjectMovePress(EditHost(), x, y, stroke)) tools::SelectPress(EditHost(), x, y);
}
void TMainForm::ObjectDeletePress(int x, int y) {
    const bool stroke = FPointerModifiers.testFlag(Qt::ShiftModifier);
    if (!tools::ObjectDeletePress(EditHost(), stroke)) tools::SelectPress(EditHost(), x, y);
}
void TMainForm::ObjectSelectDrag(int x, int y) {
    tools::SelectDrag(EditHost(), x, y);
}
void TMainForm::ObjectSelectRelease(int x, int y) {
    tools::SelectRelease(EditHost(), x, y, ToolChecked(Objekte1, ObjekteLschen1));
}
void TMainForm::ObjectHover(int x, int y) {
    tools::ObjectHover(EditHost(), x, y);
}
void TMainForm::ObjectMoveDrag(int x, int y) {
    tools::ObjectMoveDrag(EditHost(), x, y);
}
void TMainForm::ObjectMoveRelease(int x, int y) {
    tools::ObjectMoveRelease(EditHost(), x, y);
}
void TMainForm::ObjekteLetzesObjektlschen1Click() {
    tools::DeleteLastObject(EditHost());
}

// --- hand and zoom ------------------------------------------------------------------
void TMainForm::HandPress(int x, int y) {
    tools::HandPress(EditHost(), x, y);
}
void TMainForm::HandDrag(int x, int y) {
    tools::HandDrag(EditHost(), x, y);
}
void TMainForm::HandRelease(int /*x*/, int /*y*/) {
    tools::HandRelease(EditHost());
}
void TMainForm::ZoomPress(Qt::MouseButton button, int x, int y) {
    tools::TZoomDirection direction = tools::TZoomDirection::Keep;
    if (button == Qt::LeftButton) direction = tools::TZoomDirection::In;
    if (button == Qt::RightButton) direction = tools::TZoomDirection::Out;
    tools::ZoomAbout(EditHost(), x, y, direction);
}

void TMainForm::ZoomAboutViewCentre(bool zoomIn) {
    // The zoom field's change keeps the middle of the view in place.
    zoomed->setValue(tools::ZoomStep(zoomed->value(), zoomIn ? tools::TZoomDirection::In
                                                             : tools::TZoomDirection::Out));
}
void TMainForm::ZoomInClick() {
    ZoomAboutViewCentre(true);
}
void TMainForm::ZoomOutClick() {
    ZoomAboutViewCentre(false);
}

void TMainForm::AbandonPointerAction() {
    tools::TEditToolHost& host = EditHost();
    tools::TPointerState& p = Pointer;
    tools::CurveAbandon(host);
    if (p.FreehandActive) tools::FreehandAbandon(host, Freehand);
    tools::TextMoveAbandon(host);
    tools::ObjectMoveAbandon(host);
    // Undo, redo and Escape let a selection go: its indices may name other
    // items afterwards.
    const bool selected = !p.SelectedObjects.empty() || !p.SelectedTexts.empty();
    tools::ClearSelection(p);
    if (selected) host.Repaint();
    if (p.HandDragging) tools::HandRelease(host);
    // A move or turn puts the instrument back where the drag found it; any
    // other instrument drag ends where it is and the release finds nothing
    // to store.
    tools::TToolHost& instrumentHost = *FToolHost;
    if (p.LinMoving || p.LinTurning) Ruler.Cancel(instrumentHost);
    if (p.WinkMoving || p.WinkTurning) Protractor.Cancel(instrumentHost);
    if (p.ZirkMoveActive) Compass.Cancel(instrumentHost);
    bool instrument = false;
    for (bool* flag :
         {&p.ZirkArcActive, &p.ZirkSpanActive, &p.ZirkMoveActive, &p.LinMoving, &p.LinTurning,
          &p.DrawingAcross, &p.DrawingAlong, &p.WinkMarking, &p.WinkMoving, &p.WinkTurning}) {
        instrument = instrument || *flag;
        *flag = false;
    }
    Direct.Spanning = false;
    if (instrument) {
        ShowReadout({});
        PaintBox1Paint();
    }
}

void TMainForm::BuildEditShortcuts() {
    auto add = [this](const char* name, QList<QKeySequence> keys, void (TMainForm::*handler)()) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add("AbbrechenAction", {QKeySequence(Qt::Key_Escape)}, &TMainForm::AbandonPointerAction);
    add("ZoomInAction",
        {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal),
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))},
        &TMainForm::ZoomInClick);
    add("ZoomOutAction",
        {QKeySequence::ZoomOut,
         QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))},
        &TMainForm::ZoomOutClick);
}

// --- the text dialog ------------------------------------------------------------------
void TMainForm::SetAddTextForm(TAddTextForm* form) {
    FAddTextForm = form;
}

TAddTextForm& TMainForm::AddTextForm() {
    if (!FAddTextForm) FAddTextForm = new TAddTextForm(this);
    TAddTextForm& form = *FAddTextForm;
    form.TextFont = &TextFont;
    form.ChooseFont = [this](const tools::TTextFont& font) { return Dialogs().AskTextFont(font); };
    return form;
}

} // namespace quirindo::ui
