#pragma once
// Moving and turning the ruler by dragging. The press may be anywhere: the
// ruler has no hit area. Every step repaints and refreshes the panel; none
// marks the drawing changed.

#include "ToolHost.h"

namespace quirindo::tools {

class TRulerTool {
public:
    // Pointer view position at the press (pixels) and the ruler at that time.
    int LinDownX = 0, LinDownY = 0;
    double LinXStart = 0.0, LinYStart = 0.0;
    double LinWStart = 0.0;

    void StartMove(TToolHost& host, int x, int y);
    void MoveStep(TToolHost& host, int x, int y);
    void EndMove(TToolHost& host, int x, int y);

    // Turns about the zero point of the ruler copy on the page of the press.
    void StartTurn(TToolHost& host, int x, int y);
    void TurnStep(TToolHost& host, int x, int y);
    void EndTurn(TToolHost& host, int x, int y);

    // Escape during a move or turn: the ruler goes back to where the drag
    // found it and the drag ends.
    void Cancel(TToolHost& host);

private:
    void ApplyMove(TToolHost& host, int x, int y) const;
    void ApplyTurn(TToolHost& host, int x, int y) const;
};

} // namespace quirindo::tools
