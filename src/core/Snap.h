#pragma once
// Snapping: the points of the drawing a drag may catch. Targets are the end
// points of lines (and so of strokes), the centres of arcs and circles, the
// end points of arcs and curves, and where lines, arcs and circles near the
// pointer cross. Everything here is in absolute drawing millimetres; the
// caller turns its pixel tolerance into millimetres with the view scale, so
// a snap reaches the same few pixels at every zoom.

#include "DrawObjects.h"
#include "InstrumentGeometry.h"

#include <optional>
#include <vector>

namespace quirindo {

class TObjectIndex;

// Every target within `radiusMm` of p. Only objects that reach into that
// circle take part, so a crossing far from the pointer costs nothing. With
// an index in step with the drawing only the objects it finds near p are
// looked at; without one, every object.
[[nodiscard]] std::vector<TPointMm> SnapTargetsNear(const TDrawing& drawing, TPointMm p,
                                                    double radiusMm,
                                                    const TObjectIndex* index = nullptr);

// The target nearest to p within radiusMm, if any. A stored point within a
// few thousandths of a millimetre of it is taken instead, so a crossing
// computed at an end point gives the end point exactly.
[[nodiscard]] std::optional<TPointMm> NearestSnapTarget(const TDrawing& drawing, TPointMm p,
                                                        double radiusMm,
                                                        const TObjectIndex* index = nullptr);

// The points where two objects cross (lines as segments, arcs only on their
// drawn part, circles whole). Curves and ellipses that are no circle give
// none. Two equal circles or overlapping lines have no single crossing and
// give none.
[[nodiscard]] std::vector<TPointMm> ObjectIntersections(const TDrawObject& a,
                                                        const TDrawObject& b);

// A value rounded to the nearest multiple of `step` when it lies within
// `tolerance` of it; otherwise unchanged.
[[nodiscard]] double SnapToMultiple(double value, double step, double tolerance);

// The nearest 0.001 mm: a point placed on a target keeps the target, where
// the plain truncation would turn 39.9999999 into 39.999.
[[nodiscard]] double Round3(double mm);
[[nodiscard]] TPointMm Round3(TPointMm p);

} // namespace quirindo
