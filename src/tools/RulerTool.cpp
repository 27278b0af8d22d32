#include "RulerTool.h"

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
    host.Repaint();
    host.UpdateEds();
}

void TRulerTool::MoveStep(TToolHost& host, int x, int y) {
    ApplyMove(host, x, y);
}

void TRulerTool::EndMove(TToolHost& host, int x, int y) {
    host.Pointer().LinMoving = false;
    ApplyMove(host, x, y);
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
    inst.LinW = TurnedAngle(LinWStart, inst.LinW, pivot.X, pivot.Y, LinDownX, LinDownY, x, y);
    host.Repaint();
    host.UpdateEds();
}

void TRulerTool::TurnStep(TToolHost& host, int x, int y) {
    ApplyTurn(host, x, y);
}

void TRulerTool::EndTurn(TToolHost& host, int x, int y) {
    host.Pointer().LinTurning = false;
    ApplyTurn(host, x, y);
}

} // namespace quirindo::tools
