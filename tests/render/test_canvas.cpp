// The canvas's pixel conventions: boxes with exclusive right and bottom edges,
// lines through pixel centres, arcs between rays, and the guards against
// absurd coordinates.

#include "RenderTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

namespace quirindo {
namespace {

using namespace test;

// Draws with a fresh canvas onto a white w x h image.
template <class F> QImage Paint(int w, int h, F&& draw) {
    QImage image = WhiteImage(w, h);
    QPainter painter(&image);
    TCanvas canvas(painter);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    draw(canvas);
    return image;
}

TEST(Canvas, ColourValuesAreBgr) {
    EXPECT_EQ(QColorFromTColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(QColorFromTColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(QColorFromTColor(static_cast<TColor>(0x7F00FF00)), QColor(0, 255, 0));
    EXPECT_EQ(TColorFromQColor(QColor(0x56, 0x34, 0x12)), 0x123456);
    EXPECT_EQ(TColorFromQColor(QColorFromTColor(clGray)), clGray);
}

TEST(Canvas, RectangleRightAndBottomEdgesAreExclusive) {
    QImage page = Paint(12, 9, [](TCanvas& c) {
        c.SetBrushStyle(TBrushStyle::Solid);
        c.SetBrushColor(0x00FF00);
        c.Rectangle(0, 0, 12, 9);
    });
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(page.pixel(x, 0), qRgb(0, 0, 0)) << x;
        EXPECT_EQ(page.pixel(x, 8), qRgb(0, 0, 0)) << x;
    }
    for (int y = 0; y < 9; ++y) {
        EXPECT_EQ(page.pixel(0, y), qRgb(0, 0, 0)) << y;
        EXPECT_EQ(page.pixel(11, y), qRgb(0, 0, 0)) << y;
    }
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 11; ++x)
            ASSERT_EQ(page.pixel(x, y), qRgb(0, 255, 0)) << x << "," << y;

    // Corners in either order frame the same pixels: columns 2..6, rows 3..8.
    const QImage a = Paint(12, 12, [](TCanvas& c) { c.Rectangle(2, 3, 7, 9); });
    const QImage b = Paint(12, 12, [](TCanvas& c) { c.Rectangle(7, 9, 2, 3); });
    EXPECT_EQ(a, b);
    EXPECT_TRUE(IsInk(a, 2, 3) && IsInk(a, 6, 8) && IsInk(a, 6, 3) && IsInk(a, 2, 8));
    EXPECT_FALSE(IsInk(a, 7, 5) || IsInk(a, 4, 9) || IsInk(a, 4, 5));
    EXPECT_EQ(InkPixels(a).size(), 5u * 2 + 4u * 2);
}

TEST(Canvas, LinesCoverTheRunBetweenTheirEndPixels) {
    const QImage image = Paint(14, 8, [](TCanvas& c) {
        c.MoveTo(1, 2);
        c.LineTo(10, 4);
        EXPECT_EQ(c.PenPos(), QPoint(10, 4));
    });
    // One pixel per column, at most half a pixel from the ideal line.
    const TPixelSet ink = InkPixels(image);
    EXPECT_EQ(ink.size(), 10u);
    for (const auto& [x, y] : ink) {
        EXPECT_GE(x, 1);
        EXPECT_LE(x, 10);
        EXPECT_LE(std::fabs(y - (2.0 + (x - 1) * 2.0 / 9.0)), 0.5 + 1e-9) << x << "," << y;
    }
    EXPECT_TRUE(IsInk(image, 1, 2));
    EXPECT_TRUE(IsInk(image, 10, 4));

    // Direction does not matter for an axis-parallel line.
    const QImage forth = Paint(14, 8, [](TCanvas& c) {
        c.MoveTo(2, 3);
        c.LineTo(11, 3);
    });
    const QImage back = Paint(14, 8, [](TCanvas& c) {
        c.MoveTo(11, 3);
        c.LineTo(2, 3);
    });
    EXPECT_EQ(forth, back);
    EXPECT_EQ(InkPixels(forth).size(), 10u);

    const QImage none = Paint(14, 8, [](TCanvas& c) {
        c.SetPenStyle(TPenStyle::Clear);
        c.MoveTo(0, 0);
        c.LineTo(13, 7);
        EXPECT_EQ(c.PenPos(), QPoint(13, 7));
    });
    EXPECT_TRUE(InkPixels(none).empty());
}

TEST(Canvas, WidePensAndClampedWidths) {
    const QImage image = Paint(20, 12, [](TCanvas& c) {
        c.SetPenWidth(3);
        c.MoveTo(4, 5);
        c.LineTo(15, 5);
    });
    EXPECT_EQ(InkRunHeight(image, 9, 5), 3);
    EXPECT_TRUE(IsInk(image, 9, 4) && IsInk(image, 9, 6));

    const QImage image2 = Paint(4, 4, [](TCanvas& c) {
        c.SetPenWidth(0);
        EXPECT_EQ(c.PenWidth(), 1);
        c.SetPenWidth(-7);
        EXPECT_EQ(c.PenWidth(), 1);
        c.SetPenWidth(INT_MAX);
        EXPECT_EQ(c.PenWidth(), kMaxPenWidthPx);
    });
    EXPECT_TRUE(InkPixels(image2).empty());
}

TEST(Canvas, EllipseFillsItsBoxAndOnlyWithASolidBrush) {
    const QImage hollow = Paint(40, 30, [](TCanvas& c) { c.Ellipse(10, 10, 31, 21); });
    const TPixelSet ink = InkPixels(hollow);
    ASSERT_FALSE(ink.empty());
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const auto& [x, y] : ink) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
        EXPECT_TRUE(IsInk(hollow, 40 - x, y)) << "mirror of " << x; // symmetric about 20
    }
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(maxX, 30);
    EXPECT_EQ(minY, 10);
    EXPECT_EQ(maxY, 20);
    EXPECT_FALSE(IsInk(hollow, 20, 15));

    const QImage filled = Paint(40, 30, [](TCanvas& c) {
        c.SetBrushStyle(TBrushStyle::Solid);
        c.SetBrushColor(clRed);
        c.Ellipse(10, 10, 31, 21);
    });
    EXPECT_EQ(filled.pixel(20, 15), qRgb(255, 0, 0));
    EXPECT_EQ(filled.pixel(10, 15), qRgb(0, 0, 0));
}

TEST(Canvas, ScaledDevicesKeepTheBoxes) {
    // At two device pixels per pixel the outlines cover twice the pixels.
    QImage image = WhiteImage(100, 60);
    image.setDevicePixelRatio(2.0);
    {
        QPainter painter(&image);
        TCanvas canvas(painter);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Ellipse(10, 10, 31, 21);
        canvas.Rectangle(35, 5, 45, 25);
    }
    const TPixelSet ink = InkPixels(image);
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const auto& [x, y] : ink) {
        if (x >= 70) continue; // the rectangle
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    EXPECT_EQ(minX, 20);
    EXPECT_EQ(maxX, 61);
    EXPECT_EQ(minY, 20);
    EXPECT_EQ(maxY, 41);
    EXPECT_TRUE(IsInk(image, 70, 30) && IsInk(image, 71, 30) && IsInk(image, 89, 30));
    EXPECT_FALSE(IsInk(image, 72, 30) || IsInk(image, 90, 30));
}

// Circle of radius 20 about pixel (20, 20).
QImage CircleArc(int x3, int y3, int x4, int y4) {
    return Paint(41, 41, [&](TCanvas& c) { c.Arc(0, 0, 41, 41, x3, y3, x4, y4); });
}

TEST(Canvas, ArcRunsCounterClockwiseBetweenItsRays) {
    const TPixelSet circle = InkPixels(Paint(41, 41, [](TCanvas& c) { c.Ellipse(0, 0, 41, 41); }));
    // From the ray to the right to the ray upwards: the upper right quarter.
    const TPixelSet quarter = InkPixels(CircleArc(40, 20, 20, 0));
    ASSERT_FALSE(quarter.empty());
    for (const auto& [x, y] : quarter) {
        EXPECT_GE(x, 20) << x << "," << y;
        EXPECT_LE(y, 20) << x << "," << y;
        // On the circle's own pixels or right beside them.
        bool near = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                near = near || circle.count({x + dx, y + dy}) > 0;
        EXPECT_TRUE(near) << x << "," << y;
    }
    EXPECT_NEAR(static_cast<double>(quarter.size()) / circle.size(), 0.25, 0.05);

    // The other way round: three quarters, nothing in the upper right.
    const QImage rest = CircleArc(20, 0, 40, 20);
    EXPECT_FALSE(IsInk(rest, 34, 6));
    EXPECT_TRUE(IsInk(rest, 0, 20));
    EXPECT_TRUE(IsInk(rest, 20, 40));
    EXPECT_TRUE(IsInk(rest, 6, 6));
    EXPECT_NEAR(static_cast<double>(InkPixels(rest).size()) / circle.size(), 0.75, 0.05);
}

TEST(Canvas, ArcRaysCutTheEllipseWhereTheyMeetIt) {
    // Ellipse with half axes 30 and 15 about (30, 15). The ray at 45 degrees
    // upwards meets it at x offset 30*15/sqrt(30^2+15^2) = 13.4, not at the
    // parameter angle's 21.2.
    const QImage arc = Paint(61, 31, [](TCanvas& c) { c.Arc(0, 0, 61, 31, 40, 5, 30, 0); });
    const TPixelSet ink = InkPixels(arc);
    ASSERT_FALSE(ink.empty());
    int maxOffset = 0;
    for (const auto& [x, y] : ink)
        maxOffset = std::max(maxOffset, x - 30);
    EXPECT_GE(maxOffset, 12);
    EXPECT_LE(maxOffset, 15);
}

TEST(Canvas, ArcWithCoincidingRaysIsTheWholeEllipse) {
    const QImage ellipse = Paint(61, 31, [](TCanvas& c) { c.Ellipse(0, 0, 61, 31); });
    EXPECT_EQ(Paint(61, 31, [](TCanvas& c) { c.Arc(0, 0, 61, 31, 50, 10, 50, 10); }), ellipse);
    // Different points on one ray, and a ray point at the centre.
    EXPECT_EQ(Paint(61, 31, [](TCanvas& c) { c.Arc(0, 0, 61, 31, 40, 15, 55, 15); }), ellipse);
    EXPECT_EQ(Paint(61, 31, [](TCanvas& c) { c.Arc(0, 0, 61, 31, 30, 15, 30, 15); }), ellipse);
}

TEST(Canvas, BezierRunsFromTheCurrentPointToItsLastPoint) {
    const QImage curve = Paint(50, 40, [](TCanvas& c) {
        c.MoveTo(5, 5);
        c.PolyBezierTo(QPoint(5, 35), QPoint(40, 35), QPoint(40, 5));
        EXPECT_EQ(c.PenPos(), QPoint(40, 5));
    });
    EXPECT_TRUE(IsInk(curve, 5, 5));
    EXPECT_TRUE(IsInk(curve, 40, 5));
    // The lowest point of this symmetric curve is at t = 1/2: y = 5 + 0.75 * 30.
    EXPECT_TRUE(IsInk(curve, 22, 27) || IsInk(curve, 23, 27));
    for (const auto& [x, y] : InkPixels(curve)) {
        EXPECT_TRUE(x >= 5 && x <= 40 && y >= 5 && y <= 28) << x << "," << y;
    }
}

TEST(Canvas, FarCoordinatesNeitherHangNorBend) {
    const QImage image = Paint(40, 40, [](TCanvas& c) {
        c.MoveTo(0, 0);
        c.LineTo(INT_MAX, INT_MAX / 2); // slope 1/2, clipped long before the end
        c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        c.Arc(-INT_MAX, 0, INT_MAX, 10, 0, 0, 1, 1);
        c.MoveTo(INT_MIN, 0);
        c.PolyBezierTo(QPoint(0, INT_MAX), QPoint(INT_MAX, 0), QPoint(3, 3));
    });
    const TPixelSet ink = InkPixels(image);
    EXPECT_EQ(ink.size(), 40u);
    for (const auto& [x, y] : ink)
        EXPECT_LE(std::abs(2 * y - x), 1) << x << "," << y;
}

TEST(Canvas, RotatedTextRunsAlongItsEscapement) {
    const TRotatedFont flat{QStringLiteral("Arial"), 20, 0};
    const TRotatedFont up{QStringLiteral("Arial"), 20, 900};
    int width = 0;
    const QImage horizontal = Paint(120, 120, [&](TCanvas& c) {
        width = c.RotatedTextWidth(flat, QStringLiteral("120"));
        EXPECT_GT(c.RotatedTextWidth(flat, QStringLiteral("1200")), width);
        EXPECT_EQ(c.RotatedTextWidth(up, QStringLiteral("120")), width);
        c.RotatedTextOut(50, 50, flat, QStringLiteral("120"), clGray);
    });
    ASSERT_GT(width, 10);
    const TPixelSet a = InkPixels(horizontal);
    ASSERT_FALSE(a.empty());
    for (const auto& [x, y] : a) {
        EXPECT_TRUE(x >= 50 && x <= 50 + width && y >= 50 && y < 50 + 25) << x << "," << y;
    }
    // Turned 90 degrees counter-clockwise the text reads upwards from (50, 50).
    const TPixelSet b = InkPixels(Paint(120, 120, [&](TCanvas& c) {
        c.RotatedTextOut(50, 50, up, QStringLiteral("120"), clGray);
    }));
    ASSERT_FALSE(b.empty());
    for (const auto& [x, y] : b) {
        EXPECT_TRUE(y <= 50 && y >= 50 - width && x >= 50 && x < 50 + 25) << x << "," << y;
    }
}

// What decides which previews a paint of part of the view replays: every
// pixel a drawing call puts down lies inside the bounds the canvas keeps,
// and the bounds stay near what was drawn.
TEST(Canvas, DrawnBoundsHoldEveryPixelDrawn) {
    QFont italic(QStringLiteral("Arial"));
    italic.setPixelSize(40);
    italic.setItalic(true);
    const std::pair<const char*, std::function<void(TCanvas&)>> cases[] = {
        {"wide line",
         [](TCanvas& c) {
             c.SetPenWidth(9);
             c.MoveTo(120, 130);
             c.LineTo(260, 180);
         }},
        {"ellipse",
         [](TCanvas& c) {
             c.SetPenWidth(7);
             c.Ellipse(150, 120, 260, 190);
         }},
        {"arc", [](TCanvas& c) { c.Arc(150, 120, 260, 190, 260, 120, 150, 120); }},
        {"curve",
         [](TCanvas& c) {
             c.SetPenWidth(4);
             c.MoveTo(120, 250);
             c.PolyBezierTo({150, 120}, {250, 280}, {280, 140});
         }},
        {"text",
         [&](TCanvas& c) {
             c.SetFont(italic, Qt::black);
             c.DrawText({140, 150, 0, 0}, QStringLiteral("Wolf\r\nffff"));
         }},
        {"turned text",
         [](TCanvas& c) {
             c.RotatedTextOut(200, 200, {QStringLiteral("Arial"), 30, 1350}, QStringLiteral("350"),
                              clBlack);
         }},
    };
    for (const auto& [name, draw] : cases) {
        SCOPED_TRACE(name);
        QImage image = WhiteImage(400, 400);
        QPainter painter(&image);
        TCanvas canvas(painter, TBoundsTracking::On);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        EXPECT_TRUE(canvas.DrawnBounds().isEmpty());
        draw(canvas);
        painter.end();
        const QRect bounds = canvas.DrawnBounds();
        const TPixelSet ink = InkPixels(image);
        ASSERT_FALSE(ink.empty());
        for (const auto& [x, y] : ink)
            EXPECT_TRUE(bounds.contains(x, y)) << x << ", " << y << " outside";
        // Near the shape, not the whole canvas: a paint far from it skips it.
        EXPECT_LT(bounds.width() * bounds.height(), 400 * 400 / 4);
        EXPECT_FALSE(bounds.intersects(QRect(0, 0, 60, 60)));
    }
}

TEST(Canvas, VisibleBoundsFollowDevicePixelRatioAndClip) {
    QImage image = WhiteImage(100, 80);
    image.setDevicePixelRatio(2.0);
    QPainter painter(&image);
    TCanvas canvas(painter);
    EXPECT_EQ(canvas.VisibleBounds(), QRectF(0, 0, 50, 40));
    painter.setClipRect(QRect(10, 5, 20, 10));
    EXPECT_EQ(canvas.VisibleBounds(), QRectF(10, 5, 20, 10));
}

} // namespace
} // namespace quirindo
