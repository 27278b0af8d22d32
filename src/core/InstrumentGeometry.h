#pragma once
// The arithmetic of the instruments and of the pointer hit tests: distances in
// view pixels, bearings and pointer angles in degrees, guides and stroke
// snapping in millimetres. Angles are measured on the screen, y growing
// downwards, so positive angles turn clockwise.
//
// Every point where a formula has no answer (a direction from a point to
// itself, a line through two equal points) is reported, never computed, so
// that no NaN or infinity can reach an instrument or a stored object.

#include <cstdint>
#include <optional>

namespace quirindo {

// --- hit tests (view pixels) ------------------------------------------------

// Perpendicular distance of p from the line through 1 and 2, positive on
// one side and negative on the other (pixels). A line through two equal
// points has no side: the result is +infinity, far from any point.
[[nodiscard]] double SignedLineDistance(double x1, double y1, double x2, double y2, double px,
                                        double py);

// True when p lies less than 3 pixels from the segment's line and no farther
// from either end than the segment is long. A zero-length segment is never hit.
[[nodiscard]] bool SegmentHit(double x1, double y1, double x2, double y2, double px, double py);

// True when p lies in the rectangle of the two corners (in either order),
// edges included.
[[nodiscard]] bool PointInRect(std::int32_t px, std::int32_t py, std::int32_t x1, std::int32_t y1,
                               std::int32_t x2, std::int32_t y2);

// --- angles (degrees) -----------------------------------------------------------

// The bearing of p about the pivot c that the turn drags compare: 180 degrees
// minus p's screen direction, in (-270, 90]. Exactly right of the pivot -180,
// above -90, below 90, left 0. Empty when p is the pivot.
[[nodiscard]] std::optional<double> Bearing(double cx, double cy, double px, double py);

// The angle after a turn drag step: start + Bearing(down) - Bearing(now),
// not reduced modulo 360. When either bearing is undefined (the press or the
// pointer on the pivot) the instrument keeps `previous`.
[[nodiscard]] double TurnedAngle(double start, double previous, double cx, double cy, double downX,
                                 double downY, double px, double py);

// Direction from the compass needle n to p, clockwise from the positive x
// axis, in (-90, 270]: below 90, left 180, above 270, right 0. Empty when p
// is the needle point.
[[nodiscard]] std::optional<double> CompassPointerAngle(double nx, double ny, double px, double py);

// Direction of the protractor's degree-mark guide for a press at p about the
// centre c: toward p when p is not above c, away from it when it is (the ray
// through c and p either way). Empty when p is the centre.
[[nodiscard]] std::optional<double> MarkDirection(double cx, double cy, double px, double py);

// --- guides and strokes (millimetres) ------------------------------------------------

struct TPointMm {
    double X = 0.0;
    double Y = 0.0;
};

// A line to draw along: origin and unit direction.
struct TGuide {
    TPointMm Origin;
    double DirX = 1.0;
    double DirY = 0.0;
};

// The guide through origin in direction angleDeg (degrees, clockwise on screen).
[[nodiscard]] TGuide GuideAt(TPointMm origin, double angleDeg);

// Signed distance along the guide from its origin to the foot of p (mm).
[[nodiscard]] double ProjectOnGuide(const TGuide& guide, TPointMm p);

// Origin + t x direction, unsnapped (mm).
[[nodiscard]] TPointMm PointOnGuide(const TGuide& guide, double t);

// Truncated toward zero to a multiple of 0.001 mm.
[[nodiscard]] double Trunc3(double mm);
[[nodiscard]] TPointMm Trunc3(TPointMm p);

// --- compass sweep ------------------------------------------------------------

// Which way an arc drag runs. The press may shake the pointer by a pixel or
// so, which must not decide the arc: the direction is fixed only once the
// angle has moved from the angle at the press by the decision angle (below),
// and then by the plain comparison of the two angles, larger meaning
// clockwise on screen (so a first move across the jump straight above the
// needle, 265 to -85, counts as decreasing).
struct TArcSweep {
    double StartAngle = 0.0;
    bool Started = false;
    std::int32_t Dir = 0; // 1: towards larger angles, 0: towards smaller
};

// Pixels of arc the pencil tip and the pointer must both have travelled
// from the press before the sweep's direction is fixed.
inline constexpr double kSweepDecisionPx = 3.0;

// The turn (degrees) that moves a point kSweepDecisionPx along the smaller of
// the two circles, that of the pencil tip and that of the pointer (radii in
// pixels). Capped at 30 degrees, so that a compass opened to a pixel or two
// still draws.
[[nodiscard]] double SweepDecisionAngle(double tipRadiusPx, double pointerRadiusPx);

// Fixes the direction on the first angle that lies at least decisionDeg
// (measured the short way round) and not 0 from the start; later angles do
// not change it.
void AdvanceSweep(TArcSweep& sweep, double angle, double decisionDeg);

} // namespace quirindo
