#include "ObjectRenderer.h"

#include "Cp1252.h"
#include "DrawingChanges.h"
#include "Geometry.h"
#include "PageGeometry.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace quirindo {

namespace {

// Page pixels of stored millimetres, before rounding: the page's own frame of
// the view mapping, so the picture and the tools agree on every page.
struct TPagePx {
    TViewMapping Map;
    int Page;
    double Scale;
    double X(double mm) const { return Map.MmToPage(Page, mm, 0.0).X; }
    double Y(double mm) const { return Map.MmToPage(Page, 0.0, mm).Y; }
};

bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool AllWithinLimit(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(),
                       [](double v) { return std::fabs(v) <= kMaxCoordPx; });
}

// Whether anything of a shape with this bounding box, stroked with a pen of
// the given width, can show.
bool MayShow(const QRectF& visible, double xa, double ya, double xb, double yb, int penWidth) {
    const double grow = penWidth / 2.0 + 2.0;
    const QRectF box = QRectF(QPointF(std::min(xa, xb), std::min(ya, yb)),
                              QPointF(std::max(xa, xb), std::max(ya, yb)))
                           .adjusted(-grow, -grow, grow + 1.0, grow + 1.0);
    return box.intersects(visible);
}

// A point beyond the coordinate limit that only gives a direction from the
// centre is moved in along that direction until it fits.
void PullInAlongRay(double cx, double cy, double& x, double& y) {
    const double reach = std::max(std::fabs(x - cx), std::fabs(y - cy));
    const double room = kMaxCoordPx - std::max(std::fabs(cx), std::fabs(cy));
    if (std::fabs(x) <= kMaxCoordPx && std::fabs(y) <= kMaxCoordPx) return;
    const double k = room / reach;
    x = cx + (x - cx) * k;
    y = cy + (y - cy) * k;
}

void DrawLine(TCanvas& canvas, const TDrawObject& o, const TPagePx& px, const QRectF& visible) {
    double x1 = px.X(o.X1), y1 = px.Y(o.Y1), x2 = px.X(o.X2), y2 = px.Y(o.Y2);
    if (!ClipSegmentToSquare(x1, y1, x2, y2, kMaxCoordPx)) return;
    if (!MayShow(visible, x1, y1, x2, y2, canvas.PenWidth())) return;
    canvas.MoveTo(RoundHalfEven(x1), RoundHalfEven(y1));
    canvas.LineTo(RoundHalfEven(x2), RoundHalfEven(y2));
}

void DrawEllipseOrArc(TCanvas& canvas, const TDrawObject& o, const TPagePx& px,
                      const QRectF& visible) {
    const double x1 = px.X(o.X1), y1 = px.Y(o.Y1), x2 = px.X(o.X2), y2 = px.Y(o.Y2);
    if (!AllFinite({x1, y1, x2, y2}) || !AllWithinLimit({x1, y1, x2, y2})) return;
    if (!MayShow(visible, x1, y1, x2, y2, canvas.PenWidth())) return;
    const int bx1 = RoundHalfEven(x1), by1 = RoundHalfEven(y1);
    const int bx2 = RoundHalfEven(x2), by2 = RoundHalfEven(y2);
    if (o.Kind == okEllipse) {
        canvas.Ellipse(bx1, by1, bx2, by2);
        return;
    }
    double x3 = px.X(o.X3), y3 = px.Y(o.Y3), x4 = px.X(o.X4), y4 = px.Y(o.Y4);
    if (!AllFinite({x3, y3, x4, y4})) return;
    const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    PullInAlongRay(cx, cy, x3, y3);
    PullInAlongRay(cx, cy, x4, y4);
    canvas.Arc(bx1, by1, bx2, by2, RoundHalfEven(x3), RoundHalfEven(y3), RoundHalfEven(x4),
               RoundHalfEven(y4));
}

void DrawBezier(TCanvas& canvas, const TDrawObject& o, const TPagePx& px, const QRectF& visible) {
    const double x[4] = {px.X(o.X1), px.X(o.X2), px.X(o.X3), px.X(o.X4)};
    const double y[4] = {px.Y(o.Y1), px.Y(o.Y2), px.Y(o.Y3), px.Y(o.Y4)};
    const auto all = {x[0], x[1], x[2], x[3], y[0], y[1], y[2], y[3]};
    if (!AllFinite(all) || !AllWithinLimit(all)) return;
    // The curve lies inside the hull of its four points.
    const auto [xmin, xmax] = std::minmax({x[0], x[1], x[2], x[3]});
    const auto [ymin, ymax] = std::minmax({y[0], y[1], y[2], y[3]});
    if (!MayShow(visible, xmin, ymin, xmax, ymax, canvas.PenWidth())) return;
    QPoint pts[4];
    for (int i = 0; i < 4; ++i)
        pts[i] = QPoint(RoundHalfEven(x[i]), RoundHalfEven(y[i]));
    canvas.MoveTo(pts[0].x(), pts[0].y());
    canvas.PolyBezierTo(pts[1], pts[2], pts[3]);
}

// Whether the object surely cannot reach the visible area, judged before
// its pen is set up: a tile of a page skips the many objects elsewhere on
// it at the cost of a few comparisons. The margin is at least what MayShow
// adds, so nothing it would draw is skipped; non-finite bounds are left to
// the drawing routines.
bool SurelyOutside(const TDrawObject& o, const TPagePx& px, const QRectF& visible) {
    const TRectMm b = ObjectBoundsMm(o);
    constexpr double kGrow = 4.0;
    return px.X(b.Right) + kGrow < visible.left() || px.X(b.Left) - kGrow > visible.right() ||
           px.Y(b.Bottom) + kGrow < visible.top() || px.Y(b.Top) - kGrow > visible.bottom();
}

void DrawObject(TCanvas& canvas, const TDrawObject& o, const TPagePx& px, const QRectF& visible) {
    if (SurelyOutside(o, px, visible)) return;
    canvas.SetPenWidth(PenWidthPx(o.Width, px.Scale));
    canvas.SetPenColor(o.Color);
    switch (o.Kind) {
    case okLine:
        DrawLine(canvas, o, px, visible);
        break;
    case okArc:
    case okEllipse:
        DrawEllipseOrArc(canvas, o, px, visible);
        break;
    case okBezier:
        DrawBezier(canvas, o, px, visible);
        break;
    default:
        break; // unknown kinds (damaged files) draw nothing
    }
}

// Whether a text measured before lies so far from the visible area that it
// cannot reach it: measuring a text is the costly part of drawing it, and a
// tile need not measure the texts of other tiles. The box as last painted
// may come from another zoom, whose hinting makes a text a few per cent
// wider or narrower, so it is grown by a quarter of its size and 5 mm
// before it is trusted; a text never measured is always drawn.
bool TextSurelyOutside(const TTextObject& t, const TPagePx& px, const QRectF& visible) {
    if (!AllFinite({t.Left, t.Top, t.Right, t.Bottom}) || !(t.Right > t.Left) ||
        !(t.Bottom > t.Top))
        return false;
    const double growX = (t.Right - t.Left) / 4.0 + 5.0;
    const double growY = (t.Bottom - t.Top) / 4.0 + 5.0;
    return px.X(t.Right + growX) < visible.left() || px.X(t.Left - growX) > visible.right() ||
           px.Y(t.Bottom + growY) < visible.top() || px.Y(t.Top - growY) > visible.bottom();
}

void DrawTextObject(TCanvas& canvas, TTextObject& t, const TPagePx& px, double fontFactor,
                    const TTextFontResolver& fonts, const QRectF& visible) {
    // Without a position there is nothing to draw or measure from.
    if (!AllFinite({t.Left, t.Top})) return;
    if (TextSurelyOutside(t, px, visible)) return;
    const std::u16string_view units = TextOf(t);
    const QString text = QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
    canvas.SetFont(fonts.Font(t, fontFactor), fonts.Color(t.Color));
    TRect rect{RoundHalfEven(px.X(t.Left)), RoundHalfEven(px.Y(t.Top)), 0, 0};
    rect = canvas.MeasureText(rect, text);
    const QRectF area(QPointF(rect.Left, rect.Top), QPointF(rect.Right + 1.0, rect.Bottom + 1.0));
    if (area.intersects(visible)) canvas.DrawText(rect, text);
    t.Right = rect.Right / px.Scale;
    // The height is added to the stored top rather than to the rounded top
    // on this page: the rounding differs from page to page (a page is not a
    // whole number of pixels high), and the extent must not depend on which
    // page was painted last.
    t.Bottom = t.Top + (static_cast<double>(rect.Bottom) - rect.Top) / px.Scale;
}

} // namespace

TTextFontResolver::TTextFontResolver(QColor windowText) : FWindowText(windowText) {}

QFont TTextFontResolver::Font(const TTextObject& text, double fontFactor) const {
    const std::u16string face = Utf16FromCp1252(FontNameOf(text));
    QFont font(QString::fromUtf16(face.data(), static_cast<qsizetype>(face.size())));
    font.setPixelSize(TextPixelSize(text.Size, fontFactor));
    font.setBold((text.Style & fsBold) != 0);
    font.setItalic((text.Style & fsItalic) != 0);
    font.setUnderline((text.Style & fsUnderline) != 0);
    font.setStrikeOut((text.Style & fsStrikeOut) != 0);
    if (text.Pitch == 2) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

QColor TTextFontResolver::Color(TColor color) const {
    return color == clWindowText ? FWindowText : QColorFromTColor(color);
}

int TextPixelSize(std::int32_t size, double fontFactor) {
    const double magnitude = std::fabs(static_cast<double>(size));
    return std::clamp(RoundHalfEven(magnitude * fontFactor), 1, kMaxFontPx);
}

TTextLineMetrics TextLineMetrics(const TTextObject& text, double fontFactor,
                                 const TTextFontResolver& fonts) {
    const QFontMetricsF metrics(fonts.Font(text, fontFactor));
    // The canvas lays lines out one font height plus the leading apart,
    // the first with its top at the text's top.
    return {metrics.ascent(), metrics.lineSpacing(), metrics.capHeight()};
}

int PenWidthPx(double widthMm, double scale) {
    return std::clamp(RoundHalfEven(widthMm * scale), 1, kMaxPenWidthPx);
}

void DrawObjects(TCanvas& canvas, TDrawing& drawing, int page, double scale, double fontFactor,
                 double pageHeightInch, const TTextFontResolver& fonts,
                 const TObjectIndex* index) {
    TViewMapping map;
    map.Scale = scale;
    map.PageHeightMm = PageHeightMm(pageHeightInch);
    const TPagePx px{map, page, scale};
    if (!std::isfinite(scale) || scale <= 0.0 || !std::isfinite(PageTopMm(page, pageHeightInch)))
        return;
    canvas.SetPenColor(clBlack);
    canvas.SetPenStyle(TPenStyle::Solid);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    const QRectF visible = canvas.VisibleBounds();

    // The visible bounds in drawing millimetres, grown by what SurelyOutside
    // allows, so the index hands over every object that could show.
    bool walkAll = index == nullptr;
    std::vector<std::int32_t> near;
    if (index) {
        constexpr double kGrowPx = 5.0;
        const TPointMm topLeft = map.PageToMm(page, (visible.left() - kGrowPx) / scale,
                                              (visible.top() - kGrowPx) / scale);
        const TPointMm bottomRight = map.PageToMm(page, (visible.right() + kGrowPx) / scale,
                                                  (visible.bottom() + kGrowPx) / scale);
        const TRectMm area{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
        walkAll = index->Covers(area);
        if (!walkAll) index->Near(area, near);
    }
    if (walkAll) {
        drawing.Objects.First();
        while (drawing.Objects.Next())
            DrawObject(canvas, *drawing.CurObject, px, visible);
    } else {
        const std::int32_t count = drawing.Objects.Count();
        for (auto it = near.rbegin(); it != near.rend(); ++it)
            if (*it < count) DrawObject(canvas, drawing.Objects[*it], px, visible);
        // As after the walk: the last record is current.
        if (count > 0) drawing.Objects.Select(count - 1);
    }

    drawing.Texts.First();
    while (drawing.Texts.Next())
        DrawTextObject(canvas, *drawing.CurText, px, fontFactor, fonts, visible);
}

} // namespace quirindo
