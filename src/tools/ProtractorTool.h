#pragma once
// Moving and turning the protractor, and marking a direction from its centre
// with the pencil (a guided stroke on the ray through the press point).

#include "GuidedStroke.h"

namespace quirindo::tools {

class TProtractorTool {
public:
    // The protractor at the press of a move or turn drag.
    double WinkXStart = 0.0, WinkYStart = 0.0;
    double WinkWStart = 0.0;
    // Direction of the degree-mark guide, fixed at the press (degrees).
    double MarkDir = 0.0;

    // The press position is kept in the pointer state's DownX, DownY.
    void StartMove(TToolHost& host, int x, int y);
    void MoveStep(TToolHost& host, int x, int y);
    void EndMove(TToolHost& host, int x, int y);

    void StartTurn(TToolHost& host, int x, int y);
    void TurnStep(TToolHost& host, int x, int y);
    // Only ends the drag: the angle stays as the last step left it.
    void EndTurn(TToolHost& host);

    // Red ray from the centre through the pointer, over a fresh view.
    void MarkHover(TToolHost& host, int x, int y) const;
    void MarkPress(TToolHost& host, TGuidedStroke& stroke, int x, int y);
    void MarkDrag(TToolHost& host, TGuidedStroke& stroke, int x, int y) const;
    void MarkRelease(TToolHost& host, TGuidedStroke& stroke) const;

    // Escape during a move or turn: the protractor goes back to where the
    // drag found it and the drag ends.
    void Cancel(TToolHost& host);

private:
    void ApplyMove(TToolHost& host, int x, int y) const;
    // The pointer's direction from the centre on the protractor's scale.
    [[nodiscard]] double PointerOnScale(TToolHost& host, int x, int y) const;
    void ShowMarkReadout(TToolHost& host) const;
};

} // namespace quirindo::tools
