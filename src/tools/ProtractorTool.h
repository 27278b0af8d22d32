#pragma once
// Moving and turning the protractor, and marking a direction from its centre
// with the pencil (a guided stroke on the ray through the press point).

#include "GuidedStroke.h"

#include <optional>

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
    // The direction (degrees, clockwise on screen) a mark pressed at view
    // position (x, y) takes: the pointer's direction from the centre, caught
    // by a whole degree of the scale within reach. None on the centre.
    [[nodiscard]] std::optional<double> AimedDirection(TToolHost& host, int x, int y) const;
    // The pointer resting on the rim in the direct tool: the hover ray, and
    // in the status bar the degree a press there would mark, so the user
    // can aim at it before pressing.
    void AimHover(TToolHost& host, int x, int y) const;
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
    // A direction from the centre (degrees, clockwise on screen) as the
    // protractor's printed scale reads it, 0 to 360.
    [[nodiscard]] static double OnScale(TToolHost& host, double dir);
    // A mark's direction as the scale reads it.
    [[nodiscard]] static double MarkOnScale(TToolHost& host, double dir);
};

} // namespace quirindo::tools
