#include "InstrumentPictures.h"

#include "DrawingFile.h"
#include "Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quirindo {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;
constexpr double kRulerWidthMm = 10.0;
// Past the longest tick, where the ruler's numbers start.
constexpr double kRulerNumberOffsetMm = 6.0;

struct TVec {
    double X = 0.0;
    double Y = 0.0;
};

TVec Dir(double deg) {
    return {std::cos(deg * kRadPerDeg), std::sin(deg * kRadPerDeg)};
}

QPoint Px(double x, double y) {
    return {RoundHalfEven(x), RoundHalfEven(y)};
}

void Line(TCanvas& canvas, QPoint a, QPoint b) {
    canvas.MoveTo(a.x(), a.y());
    canvas.LineTo(b.x(), b.y());
}

// The escapement of text along direction `deg` (clockwise on screen): tenths
// of a degree counter-clockwise, truncated, and brought into one turn so that
// any stored angle fits the font.
int EscapementFor(double deg) {
    const double tenths = std::trunc(-deg * 10.0);
    if (!std::isfinite(tenths)) return 0;
    return static_cast<int>(std::fmod(tenths, 3600.0));
}

TRotatedFont NumberFont(double scale, double deg) {
    return {QString::fromLatin1(kInstrumentFont), InstrumentNumberHeight(scale),
            EscapementFor(deg)};
}

} // namespace

int InstrumentNumberHeight(double scale) {
    const double h = std::trunc(2.8 * scale);
    // A font height that truncates to nothing is drawn one pixel high.
    if (!(h >= 1.0)) return 1;
    return static_cast<int>(std::min<double>(h, kMaxFontPx));
}

void DrawRulerPicture(TCanvas& canvas, const TPageView& view, double linX, double linY, double linW,
                      bool inchScale) {
    const double s = view.Scale;
    const double length = static_cast<double>(view.WidthPx) + view.HeightPx;
    const TVec z{linX * s, linY * s};
    const TVec u = Dir(linW);
    const TVec n = Dir(linW + 90.0);
    const double across = kRulerWidthMm * s;

    const QPoint p0 = Px(z.X, z.Y);
    const QPoint p1 = Px(z.X + length * u.X, z.Y + length * u.Y);
    const QPoint p2 = Px(z.X + across * n.X, z.Y + across * n.Y);
    const QPoint p3 = Px(z.X + length * u.X + across * n.X, z.Y + length * u.Y + across * n.Y);
    Line(canvas, p0, p1);
    Line(canvas, p2, p3);
    Line(canvas, p0, p2);
    Line(canvas, p1, p3);

    const double tick = inchScale ? s * kMmPerInch / 10.0 : s;
    if (!(tick > 0.0)) return;
    const double count = std::trunc(length / tick);
    if (!(count >= 1.0)) return;
    const int last = static_cast<int>(std::min(count, 1e6));
    const TRotatedFont font = NumberFont(s, linW);
    for (int g = 1; g <= last; ++g) {
        const double k = g % 10 == 0 ? 6.0 : (g % 10 == 5 ? 4.5 : 3.0);
        const TVec b{z.X + g * tick * u.X, z.Y + g * tick * u.Y};
        Line(canvas, Px(b.X, b.Y), Px(b.X + k * s * n.X, b.Y + k * s * n.Y));
        if (g % 10 != 0) continue;
        const QString text = QString::number(g / 10);
        const double half = canvas.RotatedTextWidth(font, text) / 2; // whole pixels
        const double along = g * tick - half;
        const double out = kRulerNumberOffsetMm * s;
        const QPoint at = Px(z.X + along * u.X + out * n.X, z.Y + along * u.Y + out * n.Y);
        canvas.RotatedTextOut(at.x(), at.y(), font, text, clGray);
    }
}

void DrawProtractorPicture(TCanvas& canvas, const TPageView& view, double winkX, double winkY,
                           double winkW, double winkD) {
    const double s = view.Scale;
    const double outer = winkD / 2.0;
    const double inner = (winkD - 20.0) / 2.0;
    const auto px = [s](double xMm, double yMm) { return Px(xMm * s, yMm * s); };
    const auto circle = [&](double r) {
        const QPoint a = px(winkX - r, winkY - r);
        const QPoint b = px(winkX + r, winkY + r);
        canvas.Ellipse(a.x(), a.y(), b.x(), b.y());
    };
    circle(outer);
    circle(inner);

    const TVec u = Dir(winkW);
    const TVec n = Dir(winkW + 90.0);
    Line(canvas, px(winkX - inner * u.X, winkY - inner * u.Y),
         px(winkX + inner * u.X, winkY + inner * u.Y));
    Line(canvas, px(winkX - 2.5 * n.X, winkY - 2.5 * n.Y),
         px(winkX + 2.5 * n.X, winkY + 2.5 * n.Y));

    for (int k = 0; k < 360; ++k) {
        const double len = k % 10 == 0 ? 4.0 : (k % 10 == 5 ? 3.0 : 2.0);
        const TVec v = Dir(k + winkW);
        Line(canvas, px(winkX - outer * v.X, winkY - outer * v.Y),
             px(winkX - (outer - len) * v.X, winkY - (outer - len) * v.Y));
    }
    // Each number stands 3 degrees past its tick, at 4 mm inside the rim.
    for (int k = 0; k < 360; k += 10) {
        const TVec w = Dir(k + winkW + 3.0);
        const QPoint at = px(winkX - (outer - 4.0) * w.X, winkY - (outer - 4.0) * w.Y);
        canvas.RotatedTextOut(at.x(), at.y(), NumberFont(s, k + winkW), QString::number(k), clGray);
    }
}

void DrawCompassPicture(TCanvas& canvas, const TPageView& view, double zirkX, double zirkY,
                        double zirkS, double zirkW) {
    const double s = view.Scale;
    const TVec leg = Dir(zirkW);
    const TVec side = Dir(zirkW + 90.0);
    const TVec needle{zirkX, zirkY};
    const TVec tip{zirkX + zirkS * leg.X, zirkY + zirkS * leg.Y};
    const TVec hinge{zirkX + zirkS / 2.0 * leg.X, zirkY + zirkS / 2.0 * leg.Y};
    const TVec a{hinge.X + 3.0 * side.X, hinge.Y + 3.0 * side.Y};
    const TVec b{hinge.X - 3.0 * side.X, hinge.Y - 3.0 * side.Y};
    const auto px = [s](TVec p) { return Px(p.X * s, p.Y * s); };
    const int e = RoundHalfEven(3.0 * s);

    const QPoint nPx = px(needle);
    Line(canvas, {nPx.x() - e, nPx.y()}, {nPx.x() + e, nPx.y()});
    Line(canvas, {nPx.x(), nPx.y() - e}, {nPx.x(), nPx.y() + e});
    Line(canvas, nPx, px(tip));
    const QPoint hPx = px(hinge);
    canvas.Ellipse(hPx.x() - e, hPx.y() - e, hPx.x() + e, hPx.y() + e);
    Line(canvas, nPx, px(a));
    Line(canvas, nPx, px(b));
    Line(canvas, px(tip), px(a));
    Line(canvas, px(tip), px(b));
    Line(canvas, px(a), px(b));
}

} // namespace quirindo
