#pragma once
// Handling the instruments as on paper: where a press lands on a visible
// instrument decides which of the instrument drags it starts. The drags
// themselves are the ruler, protractor and compass units' own, so a direct
// drag behaves exactly like the same drag in the instrument's menu mode.

#include "CompassTool.h"
#include "GuidedStroke.h"
#include "ProtractorTool.h"
#include "RulerTool.h"

namespace quirindo::tools {

// What a press at a point would do.
enum class TDirectAction {
    None,
    RulerMove,
    RulerTurn,
    RulerAlong,
    ProtractorMove,
    ProtractorMark,
    CompassMove,
    CompassArc,
    CompassSpan,
};

// What the hit test needs beyond the host: which instruments are shown, the
// size of a page's picture (the ruler is as long as width plus height) and,
// when the view is on the screen, the part of it the user sees (view
// pixels, right and bottom exclusive).
struct TDirectScene {
    bool Ruler = false, Protractor = false, Compass = false;
    int PageWidthPx = 0, PageHeightPx = 0;
    bool SeenKnown = false;
    int SeenLeft = 0, SeenTop = 0, SeenRight = 0, SeenBottom = 0;
};

// Sizes of the grips in view pixels, the same at every zoom.
inline constexpr double kDirectGripPx = 8.0;
inline constexpr double kDirectEdgePx = 6.0;

// The action under view position (x, y) on page `page`. The instruments are
// tested in the reverse of their drawing order (compass, protractor, ruler),
// so where they overlap the one drawn on top takes the press.
[[nodiscard]] TDirectAction DirectActionAt(TToolHost& host, const TDirectScene& scene, int page,
                                           int x, int y);

class TDirectTool {
public:
    // A span drag started on the hinge: the pencil tip keeps its offset
    // from the pointer, so it moves with the hand instead of jumping to the
    // pointer, and a click without a move leaves the span as it was.
    bool Spanning = false;
    int SpanDownX = 0, SpanDownY = 0;
    int SpanOffsetX = 0, SpanOffsetY = 0;

    // Starts the drag the press position calls for; nothing away from
    // every instrument. Returns what was started.
    TDirectAction Press(TToolHost& host, const TDirectScene& scene, TRulerTool& ruler,
                        TProtractorTool& protractor, TCompassTool& compass, TGuidedStroke& stroke,
                        int x, int y);

    // Steps and the end of a span drag started on the hinge.
    void SpanStep(TToolHost& host, TCompassTool& compass, int x, int y) const;
    void SpanRelease(TToolHost& host, TCompassTool& compass, int x, int y);
};

} // namespace quirindo::tools
