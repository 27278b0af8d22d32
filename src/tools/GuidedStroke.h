#pragma once
// The guided stroke: a pencil led along a guide line. Every pointer position
// is projected onto the guide; the stroke covers all projections since the
// press and never shrinks; the release stores it as one line. The two ruler
// drawing tools and the protractor's degree mark are made of it.

#include "ToolHost.h"

#include <optional>

namespace quirindo::tools {

// What a guided stroke's end catches besides drawing targets: the guide's
// origin (the protractor's centre, the foot of an across stroke) or whole
// millimetres from it (the ruler's scale).
enum class TGuideSnap { Targets, Origin, WholeMm };

// A position on a guide (mm from its origin), whether it was caught, and the
// target to ring in red.
struct TGuidePos {
    double T = 0.0;
    bool Snapped = false;
    std::optional<TPointMm> Mark;
};

// The foot of p on the guide, caught by a target near p or by what `extra`
// names when within reach and snapping is on.
[[nodiscard]] TGuidePos SnapOnGuide(TToolHost& host, const TGuide& guide, TPointMm p,
                                    TGuideSnap extra);

struct TGuidedStroke {
    TGuide Guide;
    // Foot on the scale edge that anchors an across stroke (absolute mm).
    double FootX = 0.0, FootY = 0.0;
    // Smallest and largest projection on the guide since the press (mm).
    double SpanMin = 0.0, SpanMax = 0.0;
    // The two ends, snapped to 0.001 mm (absolute mm); the release stores these.
    double PendX1 = 0.0, PendY1 = 0.0, PendX2 = 0.0, PendY2 = 0.0;

    // Whether each end was caught by a snap: such an end is rounded to the
    // nearest 0.001 mm, so it keeps the target; a free end is truncated.
    bool SnapMin = false, SnapMax = false;
    // The caught target of the latest step, ringed in the preview.
    std::optional<TPointMm> Mark;

    // Starts over on `guide` with both ends at the projection t.
    void Begin(const TGuide& guide, double t);
    void Begin(const TGuide& guide, const TGuidePos& pos);
    // Widens the extent to include the projection of p (absolute mm).
    void Extend(TPointMm p);
    void Extend(const TGuidePos& pos);
    // Length (mm) and screen direction (degrees, clockwise) of the stroke.
    [[nodiscard]] double Length() const;
    [[nodiscard]] double Direction() const;
    // Red line between the ends onto the view, `penWidth` pixels wide, in
    // place of the stroke's previous preview; a stroke of zero length shows
    // as a dot.
    void DrawPreview(TToolHost& host, int penWidth) const;
    // The same as a marker of where a stroke would start, drawn over the
    // view while no stroke is in progress.
    void DrawMarker(TToolHost& host, int penWidth) const;
    // Appends the stroke as a line in the pen of the moment, as the undoable
    // step `step`, and repaints.
    void Store(TToolHost& host, const char* step) const;

private:
    void UpdateEnds();
    [[nodiscard]] TOverlay::TPainterFn PreviewLine(const TToolHost& host, int penWidth) const;
};

// The ruler's scale edge on the page of the last press, as a guide.
[[nodiscard]] TGuide AlongGuide(TToolHost& host);

// "An Lineal entlang zeichnen": a line on the scale edge.
void AlongHover(TToolHost& host, TGuidedStroke& stroke, int x, int y);
void AlongPress(TToolHost& host, TGuidedStroke& stroke, int x, int y);
void AlongDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y);
void AlongRelease(TToolHost& host, TGuidedStroke& stroke);

// "Quer zum Lineal zeichnen": a line at right angles to the scale edge
// through the foot of the press.
void AcrossHover(TToolHost& host, TGuidedStroke& stroke, int x, int y);
void AcrossPress(TToolHost& host, TGuidedStroke& stroke, int x, int y);
void AcrossDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y);
void AcrossRelease(TToolHost& host, TGuidedStroke& stroke);

} // namespace quirindo::tools
