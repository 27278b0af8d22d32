#include "Canvas.h"

#include "PageGeometry.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace quirindo {

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;

// The centre of pixel p.
QPointF Centre(double x, double y) {
    return {x + 0.5, y + 0.5};
}

bool WithinCoordLimit(std::initializer_list<int> values) {
    return std::all_of(values.begin(), values.end(),
                       [](int v) { return v >= -kMaxCoordPx && v <= kMaxCoordPx; });
}

// The outline through the centres of the pixels x1 .. x2-1, y1 .. y2-1 of a
// box given by two corners in any order; empty when the box has no pixels.
QRectF OutlineBox(int x1, int y1, int x2, int y2) {
    const double left = std::min(x1, x2);
    const double top = std::min(y1, y2);
    const double width = std::fabs(static_cast<double>(x2) - x1);
    const double height = std::fabs(static_cast<double>(y2) - y1);
    if (width == 0.0 || height == 0.0) return {};
    return {left + 0.5, top + 0.5, width - 1.0, height - 1.0};
}

// The angle in degrees, counter-clockwise on screen, of the ellipse parameter
// where the ray from its centre in direction (dx, dy) (screen y down) meets the
// ellipse with half axes a, b. QPainterPath's arc angles are parameter angles.
double ParameterAngle(double dx, double dy, double a, double b) {
    return std::atan2(a * -dy, b * dx) * 180.0 / std::numbers::pi;
}

// How far glyphs may reach sideways beyond the advance widths that lay the
// text out (slanted and swash letters).
double TextOverhang(const QFontMetrics& metrics) {
    return metrics.height() / 2.0 + 2.0;
}

int SaturatingAdd(int a, int b) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(a) + b, INT_MIN, INT_MAX));
}

Qt::PenStyle QtPenStyle(TPenStyle style) {
    switch (style) {
    case TPenStyle::Solid:
        return Qt::SolidLine;
    case TPenStyle::Dash:
        return Qt::DashLine;
    case TPenStyle::Dot:
        return Qt::DotLine;
    case TPenStyle::DashDot:
        return Qt::DashDotLine;
    case TPenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case TPenStyle::Clear:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

} // namespace

QColor QColorFromTColor(TColor color) {
    const auto c = static_cast<std::uint32_t>(color);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

TColor TColorFromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<TColor>(static_cast<std::uint32_t>(rgb.red()) |
                               static_cast<std::uint32_t>(rgb.green()) << 8 |
                               static_cast<std::uint32_t>(rgb.blue()) << 16);
}

QString NormalizeLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QFont QFontFromRotated(const TRotatedFont& font) {
    QFont f(font.Face);
    f.setPixelSize(std::clamp(font.PixelHeight, 1, kMaxFontPx));
    f.setWeight(QFont::Normal);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

TCanvas::TCanvas(QPainter& painter, TBoundsTracking tracking)
    : FPainter(painter), FTracking(tracking == TBoundsTracking::On) {
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    UpdatePen();
}

void TCanvas::SetPenColor(TColor color) {
    FPenColor = color;
    UpdatePen();
}

void TCanvas::SetPenWidth(int width) {
    FPenWidth = std::clamp(width, 1, kMaxPenWidthPx);
    UpdatePen();
}

void TCanvas::SetPenStyle(TPenStyle style) {
    FPenStyle = style;
    UpdatePen();
}

void TCanvas::SetBrushColor(TColor color) {
    FBrushColor = color;
}

void TCanvas::SetBrushStyle(TBrushStyle style) {
    FBrushStyle = style;
}

void TCanvas::UpdatePen() {
    FPen = QPen(QColorFromTColor(FPenColor), FPenWidth, QtPenStyle(FPenStyle));
    if (FPenWidth == 1) {
        // With the square cap a 1-pixel line also covers its end pixel.
        FPen.setCapStyle(Qt::SquareCap);
        FPen.setJoinStyle(Qt::MiterJoin);
    } else {
        FPen.setCapStyle(Qt::RoundCap);
        FPen.setJoinStyle(Qt::RoundJoin);
    }
}

// Sets the painter up for an outline; false when the pen draws nothing.
bool TCanvas::ApplyPen(bool withBrush) {
    FPainter.setPen(FPen);
    if (withBrush && FBrushStyle == TBrushStyle::Solid) {
        FPainter.setBrush(QColorFromTColor(FBrushColor));
    } else {
        FPainter.setBrush(Qt::NoBrush);
    }
    return FPenStyle != TPenStyle::Clear;
}

void TCanvas::AddDrawn(const QRectF& area) {
    if (!FTracking || area.isEmpty()) return;
    // Far beyond anything a device shows, yet clear of int overflow.
    constexpr double kLimit = 1 << 30;
    const QRectF limited = area & QRectF(-kLimit, -kLimit, 2 * kLimit, 2 * kLimit);
    FDrawn |= limited.toAlignedRect();
}

void TCanvas::AddStroked(const QRectF& box) {
    if (!FTracking) return;
    // `box` runs from the first to the last pixel stroked through; a wide
    // pen reaches half its width beyond, a square cap half a pixel.
    const double reach = std::ceil(FPenWidth / 2.0) + 1.0;
    AddDrawn(box.normalized().adjusted(-reach, -reach, 1.0 + reach, 1.0 + reach));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    const QRectF box = OutlineBox(x1, y1, x2, y2);
    if (box.isNull() || !WithinCoordLimit({x1, y1, x2, y2})) return;
    AddStroked(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
    if (FBrushStyle == TBrushStyle::Solid) {
        FPainter.fillRect(
            QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)),
            QColorFromTColor(FBrushColor));
    }
    if (!ApplyPen(false)) return;
    FPainter.drawRect(box);
}

void TCanvas::MoveTo(int x, int y) {
    FPenPos = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y) {
    double ax = FPenPos.x();
    double ay = FPenPos.y();
    double bx = x;
    double by = y;
    FPenPos = QPoint(x, y);
    if (!ApplyPen(false)) return;
    if (!ClipSegmentToSquare(ax, ay, bx, by, kMaxCoordPx)) return;
    AddStroked(QRectF(QPointF(ax, ay), QPointF(bx, by)));
    FPainter.drawLine(Centre(ax, ay), Centre(bx, by));
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (!WithinCoordLimit({x1, y1, x2, y2})) return;
    const bool pen = ApplyPen(true);
    if (!pen && FBrushStyle != TBrushStyle::Solid) return;
    AddStroked(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
    DrawEllipse(x1, y1, x2, y2);
}

void TCanvas::DrawEllipse(int x1, int y1, int x2, int y2) {
    const QRectF box = OutlineBox(x1, y1, x2, y2);
    if (box.isNull()) return;
    if (FPenWidth == 1 && FPainter.deviceTransform().type() <= QTransform::TxTranslate) {
        // Qt's own ellipse routine for whole-pixel boxes on an unscaled device
        // is exactly symmetric; its box runs from pixel to pixel, both included.
        FPainter.drawEllipse(box.translated(-0.5, -0.5).toRect());
        return;
    }
    QPainterPath path;
    path.addEllipse(box);
    FPainter.drawPath(path);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const QRectF box = OutlineBox(x1, y1, x2, y2);
    if (box.isNull() || !WithinCoordLimit({x1, y1, x2, y2, x3, y3, x4, y4})) return;
    if (!ApplyPen(false)) return;
    // An arc of the ellipse stays inside the ellipse's box.
    AddStroked(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
    const QPointF c = box.center();
    const double a = box.width() / 2.0;
    const double b = box.height() / 2.0;
    const double start = ParameterAngle(x3 + 0.5 - c.x(), y3 + 0.5 - c.y(), a, b);
    const double end = ParameterAngle(x4 + 0.5 - c.x(), y4 + 0.5 - c.y(), a, b);
    // Both angles lie in [-180, 180]; the sweep runs counter-clockwise from
    // start to end, and coinciding rays give the whole ellipse.
    double sweep = end - start;
    constexpr double kSameRay = 1e-9;
    if (sweep <= kSameRay) sweep += 360.0;
    if (sweep <= kSameRay || sweep >= 360.0 - kSameRay) {
        DrawEllipse(x1, y1, x2, y2);
        return;
    }
    QPainterPath path;
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
    FPainter.drawPath(path);
}

void TCanvas::PolyBezierTo(QPoint p1, QPoint p2, QPoint p3) {
    const QPoint p0 = FPenPos;
    FPenPos = p3;
    if (!WithinCoordLimit({p0.x(), p0.y(), p1.x(), p1.y(), p2.x(), p2.y(), p3.x(), p3.y()})) return;
    if (!ApplyPen(false)) return;
    // The curve lies inside the hull of its four points.
    const QPolygonF hull({QPointF(p0), QPointF(p1), QPointF(p2), QPointF(p3)});
    AddStroked(hull.boundingRect());
    QPainterPath path(Centre(p0.x(), p0.y()));
    path.cubicTo(Centre(p1.x(), p1.y()), Centre(p2.x(), p2.y()), Centre(p3.x(), p3.y()));
    FPainter.drawPath(path);
}

void TCanvas::SetFont(const QFont& font, const QColor& color) {
    FFont = font;
    FFontColor = color;
}

QSize TCanvas::TextExtent(const QString& text) const {
    const QFontMetrics metrics(FFont, FPainter.device());
    return metrics.boundingRect(QRect(0, 0, 0, 0), kTextFlags, NormalizeLineBreaks(text)).size();
}

TRect TCanvas::MeasureText(TRect rect, const QString& text) const {
    const QSize extent = TextExtent(text);
    rect.Right = SaturatingAdd(rect.Left, extent.width());
    rect.Bottom = SaturatingAdd(rect.Top, extent.height());
    return rect;
}

void TCanvas::DrawText(const TRect& rect, const QString& text) {
    if (!WithinCoordLimit({rect.Left, rect.Top})) return;
    FPainter.setFont(FFont);
    FPainter.setPen(FFontColor);
    FPainter.setBackgroundMode(Qt::TransparentMode);
    const QString lines = NormalizeLineBreaks(text);
    if (FTracking) {
        const QFontMetrics metrics(FFont, FPainter.device());
        const QRect layout =
            metrics.boundingRect(QRect(rect.Left, rect.Top, 0, 0), kTextFlags, lines);
        AddDrawn(QRectF(layout).adjusted(-TextOverhang(metrics), -2, TextOverhang(metrics), 2));
    }
    FPainter.drawText(QRect(rect.Left, rect.Top, 0, 0), kTextFlags, lines);
}

int TCanvas::RotatedTextWidth(const TRotatedFont& font, const QString& text) const {
    const QFontMetrics metrics(QFontFromRotated(font), FPainter.device());
    return metrics.horizontalAdvance(text);
}

void TCanvas::RotatedTextOut(int x, int y, const TRotatedFont& font, const QString& text,
                             TColor color) {
    if (!WithinCoordLimit({x, y})) return;
    const QFont f = QFontFromRotated(font);
    const QFontMetrics metrics(f, FPainter.device());
    FPainter.save();
    FPainter.setFont(f);
    FPainter.setPen(QColorFromTColor(color));
    FPainter.setBackgroundMode(Qt::TransparentMode);
    FPainter.translate(x, y);
    // The escapement turns counter-clockwise on screen; Qt's rotation clockwise.
    FPainter.rotate(-font.EscapementTenths / 10.0);
    if (FTracking) {
        const double m = TextOverhang(metrics);
        const QRectF box(-m, -2.0, metrics.horizontalAdvance(text) + 2.0 * m,
                         metrics.height() + 4.0);
        QTransform turn;
        turn.translate(x, y);
        turn.rotate(-font.EscapementTenths / 10.0);
        AddDrawn(turn.mapRect(box));
    }
    FPainter.drawText(QPointF(0.0, metrics.ascent()), text);
    FPainter.restore();
}

QRectF TCanvas::VisibleBounds() const {
    const QPaintDevice* device = FPainter.device();
    if (!device) return {};
    bool invertible = false;
    const QTransform toCanvas = FPainter.deviceTransform().inverted(&invertible);
    if (!invertible) return {};
    QRectF bounds = toCanvas.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (FPainter.hasClipping()) bounds &= FPainter.clipBoundingRect();
    return bounds;
}

} // namespace quirindo
