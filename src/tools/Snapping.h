#pragma once
// What the instrument drags catch: drawing targets near the pointer or near
// the instrument point being moved, whole degrees, whole millimetres of the
// ruler's scale. The reach is a few pixels at any zoom, so nothing jumps
// from far away; the caught target is ringed in red on the view.

#include "Snap.h"
#include "ToolHost.h"

#include <optional>

namespace quirindo::tools {

// How far a snap reaches, in view pixels.
inline constexpr double kSnapPx = 6.0;
// Angle step with Shift held, degrees.
inline constexpr double kCoarseDegrees = 15.0;

// The snap reach in millimetres at the view scale of the last paint.
[[nodiscard]] double SnapRadiusMm(const TToolHost& host);

// The target nearest to p (absolute mm) within reach, when snapping is on.
[[nodiscard]] std::optional<TPointMm> SnapTarget(TToolHost& host, TPointMm p);

// An absolute drawing point as a page-relative instrument point on the page
// of the last press (the inverse of InstrumentToMm).
[[nodiscard]] TPointMm MmToInstrument(const TToolHost& host, TPointMm p);

// `angle` (degrees, measured from `zero`) snapped to whole degrees when the
// pointer, `radiusPx` from the pivot, lies within reach of that direction;
// with Shift to the nearest 15 degrees wherever it lies. Unchanged when
// snapping is off.
[[nodiscard]] double SnapDegrees(const TToolHost& host, double angle, double zero,
                                 double radiusPx);

// `angle` plus the whole turns that bring it nearest to `reference`, so an
// instrument snapped to a direction does not spin round.
[[nodiscard]] double NearestEquivalent(double angle, double reference);

// Degrees as the user reads them: counter-clockwise on screen, 0 to the
// right, in [0, 360).
[[nodiscard]] double ReadableDegrees(double clockwiseDeg);

// A red ring around the target (absolute mm) on the page of the last press.
[[nodiscard]] TOverlay::TPainterFn SnapMarkPainter(const TToolHost& host, TPointMm target);
void DrawSnapMark(TToolHost& host, TPointMm target);

} // namespace quirindo::tools
