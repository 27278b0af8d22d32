#pragma once
// What the instrument tools may reach of the window that hosts them: the
// document, the instrument and pointer state, the view geometry of the last
// paint, the pen of the settings strip and the view itself. The tools never
// see the window, so they can be driven without one.

#include "Canvas.h"
#include "DrawObjects.h"
#include "DrawingEditor.h"
#include "InstrumentGeometry.h"
#include "InstrumentState.h"
#include "ObjectIndex.h"
#include "Overlay.h"
#include "ViewMapping.h"

#include <initializer_list>

namespace quirindo::tools {

// Whether a drag catches targets now ("Einrasten" checked and Alt not held)
// and whether Shift asks for the coarse angle steps.
struct TSnapMode {
    bool On = false;
    bool Coarse = false;
};

// What a drag in progress does, for the status bar beside the pointer
// position. Lengths and offsets in mm, angles in degrees as the user reads
// them (counter-clockwise on screen, 0 to the right).
struct TReadout {
    enum TKind {
        None,
        RulerAngle,      // A: direction of the scale edge
        Stroke,          // A: length, B: direction
        CompassSpan,     // A: span, B: direction of the pencil leg
        CompassArc,      // A: span, B: swept angle
        ProtractorAngle, // A: protractor rotation, B: pointer angle on its scale
        Mark,            // A: direction of the mark on the protractor's scale
        Move,            // A, B: offset right and down since the press
    };
    TKind Kind = None;
    double A = 0.0, B = 0.0;
};

class TToolHost {
public:
    virtual ~TToolHost() = default;

    // The drawing, for reading; every change goes through Editor(), which
    // also tells the window that the drawing changed.
    virtual TDrawing& Document() = 0;
    virtual TDrawingEditor& Editor() = 0;
    virtual TInstrumentState& Instruments() = 0;
    virtual TPointerState& Pointer() = 0;

    // The view of the last paint: scale, page heights and page count. Every
    // conversion between view pixels and millimetres goes through it.
    [[nodiscard]] virtual TViewMapping ViewMapping() const = 0;
    // Index of the page under the last press (instruments act on its copy).
    [[nodiscard]] virtual int PointerPage() const = 0;

    // Pixels per millimetre of the last paint; positive.
    [[nodiscard]] double ViewScale() const { return ViewMapping().Scale; }

    // Pen colour and line width (mm) of the settings strip, read when called.
    [[nodiscard]] virtual TColor PenColor() const = 0;
    [[nodiscard]] virtual double LineWidth() const = 0;

    // Draws in paint-box pixels straight onto the view until the next repaint.
    virtual void DrawOnView(const TOverlay::TPainterFn& fn) = 0;
    // The latest preview of the drag in progress, drawn like DrawOnView but
    // in place of the drag's previous preview, so that every step of a long
    // drag costs the same.
    virtual void DrawDragPreview(const TOverlay::TPainterFn& fn) = 0;
    // A full repaint of every page; clears what was drawn onto the view.
    virtual void Repaint() = 0;
    // Clears what was drawn onto the view, repainting only where it lay:
    // for a hover or an edit, whose touched area the window repaints on the
    // editor's notice, the pages and instruments need nothing more.
    virtual void RepaintOverlay() { Repaint(); }
    // The numeric panel shows the instrument values again.
    virtual void UpdateEds() = 0;

    // Snapping as the window's check item and the held keys say; hosts
    // without it never snap.
    [[nodiscard]] virtual TSnapMode SnapMode() const { return {}; }
    // Shows what the drag does; a None readout clears it.
    virtual void ShowReadout(const TReadout& /*readout*/) {}
    // The document's object index, in step with it, for lookups near the
    // pointer; hosts without one let the tools walk every object.
    [[nodiscard]] virtual const TObjectIndex* ObjectIndex() { return nullptr; }
};

// A view position (pixels) in absolute drawing millimetres, on its own page.
[[nodiscard]] TPointMm ViewToMm(const TToolHost& host, int x, int y);

// A point of a page-relative instrument, on the copy of the page under the
// last press: in view pixels (unrounded), and in absolute millimetres, which
// is where an object made from it is stored.
[[nodiscard]] TPointMm InstrumentToView(const TToolHost& host, double xMm, double yMm);
[[nodiscard]] TPointMm InstrumentToMm(const TToolHost& host, double xMm, double yMm);

// The paint-box pixel where a drawing point (absolute mm) shows, seen on page
// `page`'s picture.
[[nodiscard]] TPixelPoint PaintBoxPixelOnPage(const TToolHost& host, int page, double xMm,
                                              double yMm);

// Appends a drawing object of `kind` in the pen colour and line width of the
// moment as the undoable step `step`; `points` are X1, Y1, X2, Y2, ... in
// order, the rest stay 0. No object is made (false) when any of `points` is
// not finite, or when the store could not grow.
bool AppendDrawObject(TToolHost& host, std::int32_t kind, std::initializer_list<double> points,
                      const char* step);

} // namespace quirindo::tools
