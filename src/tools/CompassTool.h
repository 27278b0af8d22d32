#pragma once
// The compass: moving it, opening it to a span by pointing, sweeping arcs
// around the needle and drawing a full circle.

#include "ToolHost.h"

namespace quirindo::tools {

class TCompassTool {
public:
    // Move drag: pointer view position at the press and the needle then.
    int ZirkDownX = 0, ZirkDownY = 0;
    double ZirkXStart = 0.0, ZirkYStart = 0.0;
    // Arc drag: press and last positions in absolute mm, and its direction.
    double ArcStartX = 0.0, ArcStartY = 0.0;
    double ArcEndX = 0.0, ArcEndY = 0.0;
    TArcSweep Sweep; // StartAngle, Started, Dir

    void StartMove(TToolHost& host, int x, int y);
    void MoveStep(TToolHost& host, int x, int y);
    void EndMove(TToolHost& host, int x, int y);
    // Escape during a move: the compass goes back to where the drag found
    // it and the drag ends.
    void Cancel(TToolHost& host);

    // Press, every move of the drag and release all open the compass to the
    // pointer; the release ends the drag.
    void SpanPress(TToolHost& host, int x, int y);
    void SpanStep(TToolHost& host, int x, int y);
    void SpanRelease(TToolHost& host, int x, int y);

    // The pencil leg follows the pointer while no arc is being drawn.
    void ArcHover(TToolHost& host, int x, int y);
    void ArcPress(TToolHost& host, int x, int y);
    void ArcDrag(TToolHost& host, int x, int y);
    // Stores the arc swept up to the last move; nothing when the sweep's
    // direction was never fixed (the pencil stayed within a few pixels of
    // arc of the press).
    void ArcRelease(TToolHost& host);

    // "Kreis zeichnen": a full circle on the page of the last press.
    void DrawCircle(TToolHost& host);

private:
    void ApplyMove(TToolHost& host, int x, int y) const;
    void ApplySpan(TToolHost& host, int x, int y);
    void PointLeg(TToolHost& host, int x, int y);
};

} // namespace quirindo::tools
