#pragma once
// TCanvas: the drawing calls the program is written against, on top of a
// QPainter that it does not own, so that one piece of drawing code serves the
// view, an off-screen page bitmap and a printer page alike.
//
// Pixel convention. An integer canvas coordinate p names the pixel p; every
// outline is stroked through pixel centres (p + 0.5), with antialiasing off, so
// results are exact and independent of the device's pixel ratio:
// - A 1-pixel line covers the pixels of the straight run between its two end
//   pixels, both end pixels included (a Windows line leaves out the last one;
//   including it makes a line look the same drawn either way round).
// - Rectangle(x1, y1, x2, y2) and the boxes of Ellipse and Arc have their right
//   and bottom edge exclusive: a 1-pixel outline lies on the pixels x1 .. x2-1
//   and y1 .. y2-1, so Rectangle(0, 0, w, h) fills and frames a w x h bitmap.
// - Pens wider than 1 pixel are round-capped and round-joined, centred on the
//   outline.

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <QRectF>
#include <QString>

#include <cstdint>

class QPainter;

namespace quirindo {

// Bounds that keep absurd values (a damaged file) from hanging or overflowing
// the rasteriser. Far beyond any page: 2^20 pixels are 22 m at 1200 dpi.
inline constexpr int kMaxCoordPx = 1 << 20;
inline constexpr int kMaxPenWidthPx = 16384;
inline constexpr int kMaxFontPx = 8192;

// A colour value 0x00BBGGRR; values with the top bit set name system colours.
using TColor = std::int32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clRed = 0x0000FF;
// The system colour of window text; the font dialog hands it out as the
// default text colour.
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008u);

// The low 24 bits as 0x00BBGGRR; the top byte is ignored.
[[nodiscard]] QColor QColorFromTColor(TColor color);
[[nodiscard]] TColor TColorFromQColor(const QColor& color);

enum class TPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };
enum class TBrushStyle { Solid, Clear };

// A rectangle with the right and bottom edge exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// A font for a single rotated label: face, character (em) height in pixels and
// the direction of the base line in tenths of a degree, counter-clockwise on
// screen. Normal weight, no italic, underline or strike-out.
struct TRotatedFont {
    QString Face;
    int PixelHeight = 0;
    int EscapementTenths = 0;
};

// Whether a canvas keeps the rectangle of what it drew (DrawnBounds).
enum class TBoundsTracking { Off, On };

class TCanvas {
public:
    // The painter must be active. Antialiasing of shapes is switched off.
    explicit TCanvas(QPainter& painter, TBoundsTracking tracking = TBoundsTracking::Off);

    QPainter& Painter() const { return FPainter; }

    void SetPenColor(TColor color);
    TColor PenColor() const { return FPenColor; }
    // Widths below 1 become 1, above kMaxPenWidthPx that maximum.
    void SetPenWidth(int width);
    int PenWidth() const { return FPenWidth; }
    void SetPenStyle(TPenStyle style);
    TPenStyle PenStyle() const { return FPenStyle; }

    void SetBrushColor(TColor color);
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushStyle(TBrushStyle style);
    TBrushStyle BrushStyle() const { return FBrushStyle; }

    // Filled with the brush (if solid), framed with the pen.
    void Rectangle(int x1, int y1, int x2, int y2);

    void MoveTo(int x, int y);
    // Line from the current point; the end point becomes the current point.
    // Only the part within kMaxCoordPx of the origin is drawn.
    void LineTo(int x, int y);
    QPoint PenPos() const { return FPenPos; }

    // Curves whose box or points reach beyond kMaxCoordPx are not drawn.
    // Ellipse inscribed in the box, filled with the brush (if solid).
    void Ellipse(int x1, int y1, int x2, int y2);
    // Outline of the ellipse inscribed in the box, counter-clockwise on screen
    // from where the ray from the box centre through (x3, y3) meets it to where
    // the ray through (x4, y4) does; the whole ellipse when the rays coincide.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Cubic Bezier from the current point with control points p1, p2 to p3,
    // which becomes the current point.
    void PolyBezierTo(QPoint p1, QPoint p2, QPoint p3);

    // The font and colour of Measure/DrawText, drawn on a transparent
    // background.
    void SetFont(const QFont& font, const QColor& color);
    const QFont& Font() const { return FFont; }
    // Width and height of multi-line text in the current font; lines break at
    // line feeds, carriage returns and CR LF pairs, never elsewhere.
    QSize TextExtent(const QString& text) const;
    // Keeps rect's left and top, sets right and bottom to the text's extent.
    TRect MeasureText(TRect rect, const QString& text) const;
    // Left- and top-aligned at rect's top-left corner; not clipped to rect.
    void DrawText(const TRect& rect, const QString& text);

    // Advance width of one line of text in the rotated font, along its base line.
    int RotatedTextWidth(const TRotatedFont& font, const QString& text) const;
    // One line of text whose unrotated top-left corner is at (x, y), turned
    // about that point, on a transparent background.
    void RotatedTextOut(int x, int y, const TRotatedFont& font, const QString& text, TColor color);

    // The part of the canvas, in canvas coordinates, that can show anything:
    // the device area, narrowed by the painter's clip. Used to skip work.
    QRectF VisibleBounds() const;

    // With tracking on, every pixel drawn since the canvas was made lies in
    // this rectangle, in canvas coordinates (before the painter's transform):
    // strokes with their pen width, texts with their glyphs. Empty while
    // nothing was drawn, and always without tracking.
    [[nodiscard]] QRect DrawnBounds() const { return FDrawn; }

private:
    bool ApplyPen(bool withBrush);
    // Adds a box that an outline of the current pen runs inside.
    void AddStroked(const QRectF& box);
    void AddDrawn(const QRectF& area);
    void DrawEllipse(int x1, int y1, int x2, int y2);
    void UpdatePen();

    QPainter& FPainter;
    QPen FPen;
    TColor FPenColor = clBlack;
    int FPenWidth = 1;
    TPenStyle FPenStyle = TPenStyle::Solid;
    TColor FBrushColor = clWhite;
    TBrushStyle FBrushStyle = TBrushStyle::Solid;
    QPoint FPenPos;
    QFont FFont;
    QColor FFontColor = Qt::black;
    bool FTracking = false;
    QRect FDrawn;
};

// Line breaks as they come from a Windows text box (CR LF) or a file become
// the line feeds Qt breaks at.
[[nodiscard]] QString NormalizeLineBreaks(QString text);

// The font of a rotated label as Qt needs it.
[[nodiscard]] QFont QFontFromRotated(const TRotatedFont& font);

} // namespace quirindo
