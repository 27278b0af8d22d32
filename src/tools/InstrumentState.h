#pragma once
// The state of the three instruments and of the pointer: what the window
// keeps between events and hands to the tool units.

#include <cstdint>
#include <vector>

namespace quirindo::tools {

// Positions in millimetres relative to a page's top-left corner, angles in
// degrees clockwise on screen and never normalised. Each instrument is drawn
// at the same place on every page.
struct TInstrumentState {
    // Ruler: zero point of the scale edge and its direction.
    double LinX = 10.0, LinY = 90.0, LinW = 0.0;
    // Protractor: centre, rotation and outer diameter (fixed).
    double WinkX = 50.0, WinkY = 50.0, WinkW = 0.0, WinkD = 80.0;
    // Compass: needle point, direction of the pencil leg and span.
    double ZirkX = 150.0, ZirkY = 50.0, ZirkW = 45.0, ZirkS = 40.0;

    bool operator==(const TInstrumentState&) const = default;
};

// One flag per drag: set by the press that starts it, cleared by the
// release that ends it. The dispatch tests them in a fixed order.
struct TPointerState {
    bool CurveGotStart = false, CurveGotEnd = false, CurveGotControl1 = false;
    bool TextMoving = false;
    bool FreehandActive = false;
    bool ObjectMoving = false;
    bool HandDragging = false;
    bool ZirkArcActive = false, ZirkSpanActive = false, ZirkMoveActive = false;
    bool LinMoving = false, LinTurning = false;
    bool DrawingAcross = false, DrawingAlong = false;
    bool WinkMarking = false, WinkMoving = false, WinkTurning = false;

    // View position where a text, object, hand or freehand drag or the first
    // curve click started.
    std::int32_t DragStartX = 0, DragStartY = 0;
    // Hover of the text and object tools: the scan found an item, an item is
    // highlighted, and which one (index into Texts or Objects).
    bool HoverFound = false, HoverShown = false;
    std::int32_t HoverIndex = 0;
    // View position of a protractor press, or the last one the compass arc
    // and span tools used.
    std::int32_t DownX = 0, DownY = 0;
    // Rectangle selection of the object tools: a box being dragged from
    // DragStart to SelectX/SelectY, and the objects and texts it took (or
    // the whole stroke a Shift-press took), which the next move carries.
    bool Selecting = false;
    std::int32_t SelectX = 0, SelectY = 0;
    std::vector<std::int32_t> SelectedObjects, SelectedTexts;
};

} // namespace quirindo::tools
