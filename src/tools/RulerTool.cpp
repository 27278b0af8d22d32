#include "RulerTool.h"

#include "Snapping.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace quirindo::tools {

void TRulerTool::StartMove(TToolHost& host, int x, int y) {
    host.Pointer().LinMoving = true;
    LinDownX = x;
    LinDownY = y;
    LinXStart = host.Instruments().LinX;
    LinYStart = host.Instruments().LinY;
}

void TRulerTool::ApplyMove(TToolHost& host, int x, int y) const {
    const double s = host.ViewScale();
    TInstrumentState& inst = host.Instruments();
    inst.LinX = (x - LinDownX) / s + LinXStart;
    inst.LinY = (y - LinDownY) / s + LinYStart;
    // The zero point catches a target near where the drag puts it.
    const auto target = SnapTarget(host, InstrumentToMm(host, inst.LinX, inst.LinY));
    if (target) {
        const TPointMm zero = MmToInstrument(host, *target);
        inst.LinX = zero.X;
        inst.LinY = zero.Y;
    }
    host.Repaint();
    if (target) DrawSnapMark(host, *target);
    host.ShowReadout({TReadout::Move, inst.LinX - LinXStart, inst.LinY - LinYStart});
    host.UpdateEds();
}

void TRulerTool::MoveStep(TToolHost& host, int x, int y) {
    ApplyMove(host, x, y);
}

void TRulerTool::EndMove(TToolHost& host, int x, int y) {
    host.Pointer().LinMoving = false;
    ApplyMove(host, x, y);
    host.ShowReadout({});
}

void TRulerTool::StartTurn(TToolHost& host, int x, int y) {
    host.Pointer().LinTurning = true;
    LinDownX = x;
    LinDownY = y;
    LinWStart = host.Instruments().LinW;
}

void TRulerTool::ApplyTurn(TToolHost& host, int x, int y) const {
    TInstrumentState& inst = host.Instruments();
    const TPointMm pivot = InstrumentToView(host, inst.LinX, inst.LinY);
    const double turned =
        TurnedAngle(LinWStart, inst.LinW, pivot.X, pivot.Y, LinDownX, LinDownY, x, y);
    // A target under the pointer lays the scale edge through it exactly;
    // otherwise the edge catches whole degrees.
    const TPointMm zero = InstrumentToMm(host, inst.LinX, inst.LinY);
    const auto target = SnapTarget(host, ViewToMm(host, x, y));
    std::optional<double> through;
    if (target && (target->X != zero.X || target->Y != zero.Y))
        through = std::atan2(target->Y - zero.Y, target->X - zero.X) * 180.0 / std::numbers::pi;
    if (through)
        inst.LinW = NearestEquivalent(*through, turned);
    else
        inst.LinW = SnapDegrees(host, turned, 0.0, std::hypot(x - pivot.X, y - pivot.Y));
    host.Repaint();
    if (through) DrawSnapMark(host, *target);
    host.ShowReadout({TReadout::RulerAngle, ReadableDegrees(inst.LinW), 0.0});
    host.UpdateEds();
}

void TRulerTool::TurnStep(TToolHost& host, int x, int y) {
    ApplyTurn(host, x, y);
}

void TRulerTool::EndTurn(TToolHost& host, int x, int y) {
    host.Pointer().LinTurning = false;
    ApplyTurn(host, x, y);
    host.ShowReadout({});
}

void TRulerTool::Cancel(TToolHost& host) {
    TPointerState& ptr = host.Pointer();
    TInstrumentState& inst = host.Instruments();
    if (ptr.LinMoving) {
        inst.LinX = LinXStart;
        inst.LinY = LinYStart;
    }
    if (ptr.LinTurning) inst.LinW = LinWStart;
    ptr.LinMoving = false;
    ptr.LinTurning = false;
    host.ShowReadout({});
    host.Repaint();
    host.UpdateEds();
}

} // namespace quirindo::tools
