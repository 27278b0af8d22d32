#include "DxfTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>

using namespace quirindo;
using namespace quirindo::dxftest;

namespace {

const std::vector<std::string> kBeginning = {
    " 0",  "SECTION",    "  2", "HEADER", "  9", "$ACADVER",
    "  1", "AC1009",     "  9", "$DWGCODEPAGE", "  3", "ANSI_1252",
    "  9", "$INSUNITS",  " 70", "4",      " 0",  "ENDSEC",
    " 0",  "SECTION",    "  2", "TABLES", " 0", "TABLE",
    " 2",  "LTYPE",      "70",  "1",      "0",  "LTYPE",
    "2",   "AUSGEZOGEN", "70",  "0",      "3",  "Ausgezogenen Linie",
    "72",  "65",         "73",  "0",      "40", "0.0",
    "0",   "ENDTAB",     " 0",  "TABLE",  " 2", "LAYER",
    "70",  "2",          "0",   "LAYER",  "2",  "0",
    "70",  "0",          "62",  "7",      "6",  "AUSGEZOGEN",
    "0",   "LAYER",      "2",   "RADIERT", "70", "0",
    "62",  "8",          "6",   "AUSGEZOGEN",
    " 0",  "ENDTAB",     " 0",  "ENDSEC", " 0", "SECTION",
    "  2", "ENTITIES"};

const std::vector<std::string> kEnd = {"  0", "ENDSEC", "  0", "EOF"};

std::vector<std::string> PolylineStart(const char* layer = "0") {
    return {"0", "POLYLINE", "8", layer, "66", "1"};
}

std::vector<std::string> Vertex(const char* x, const char* y, const char* bulge,
                                const char* layer = "0") {
    return {"0", "VERTEX", "8", layer, "10", x, "20", y, "42", bulge};
}

std::vector<std::string> Text(const std::string& x, const std::string& y,
                              const std::string& height, const std::string& bytes) {
    return {"  0", "TEXT", "8", "0", " 10", x, " 20", y, " 30", "0.0", " 40", height, "  1", bytes};
}

std::string Num(double v) {
    return FormatDxfNumber(v);
}

std::vector<std::string> Seqend() {
    return {"0", "SEQEND"};
}

// The whole file: fixed beginning, the given entity lines, end lines.
std::vector<std::string> FileOf(std::initializer_list<std::vector<std::string>> groups) {
    std::vector<std::string> all = kBeginning;
    for (const auto& g : groups)
        all.insert(all.end(), g.begin(), g.end());
    all.insert(all.end(), kEnd.begin(), kEnd.end());
    return all;
}

// Every line break is CR LF and nothing follows the last one.
TEST(DxfWriterGolden, EmptyDrawingIsFixedBeginningAndEnd) {
    TDrawing d;
    const std::string file = DxfFromDrawing(d, A4Height());
    EXPECT_EQ(SplitLines(file), FileOf({}));
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 82);
    EXPECT_EQ(file.substr(file.size() - 5), "EOF\r\n");
}

TEST(DxfWriterGolden, OneLineOnA4) {
    TDrawing d;
    AddLine(d, 10, 20, 30, 20);
    EXPECT_EQ(
        SplitLines(DxfFromDrawing(d, A4Height())),
        FileOf({PolylineStart(), Vertex("10", "277", "0"), Vertex("30", "277", "0"), Seqend()}));
}

TEST(DxfWriterGolden, TouchingLinesShareAPolylineOthersAreSplit) {
    TDrawing touching;
    AddLine(touching, 10, 20, 30, 20);
    AddLine(touching, 30, 20, 30, 50.5);
    EXPECT_EQ(SplitLines(DxfFromDrawing(touching, A4Height())),
              FileOf({PolylineStart(), Vertex("10", "277", "0"), Vertex("30", "277", "0"),
                      Vertex("30", "277", "0"), Vertex("30", "246.5", "0"), Seqend()}));

    TDrawing apart;
    AddLine(apart, 10, 20, 30, 20);
    AddLine(apart, 30.001, 20, 40, 20);
    EXPECT_EQ(SplitLines(DxfFromDrawing(apart, A4Height())),
              FileOf({PolylineStart(), Vertex("10", "277", "0"), Vertex("30", "277", "0"), Seqend(),
                      PolylineStart(), Vertex("30.001", "277", "0"), Vertex("40", "277", "0"),
                      Seqend()}));
}

// Control points a third of the way apart make B(t) move evenly, so the
// eight pieces end at whole tenths of the length.
TEST(DxfWriterGolden, StraightCurveIsEightStraightPieces) {
    TDrawing d;
    AddObject(d, okBezier, {0, 100, 80.0 / 3, 100, 160.0 / 3, 100, 80, 100});
    std::vector<std::string> expected = PolylineStart();
    const char* xs[] = {"0", "10", "20", "30", "40", "50", "60", "70", "80"};
    for (int i = 1; i <= 8; ++i) {
        for (const char* x : {xs[i - 1], xs[i]}) {
            const auto v = Vertex(x, "197", "0");
            expected.insert(expected.end(), v.begin(), v.end());
        }
    }
    EXPECT_EQ(SplitLines(DxfFromDrawing(d, A4Height())), FileOf({expected, Seqend()}));
}

// Each line of a text is a TEXT on its own baseline, one line spacing below
// the last, with the capital height the measure gives; empty lines are left
// out but keep their place.
TEST(DxfWriterGolden, TextLinesStandOnTheirBaselines) {
    TDrawing d;
    AddText(d, u"Erste Zeile\r\nZweite\rDritte\n\nF\u00FCnfte", 15, 30, 12);
    AddText(d, u"", 0, 0, 10);
    const TDxfTextMeasure measure = [](const TTextObject& t) {
        return TDxfTextMetrics{t.Size * 0.5, t.Size * 0.75, t.Size * 0.25};
    };
    EXPECT_EQ(SplitLines(DxfFromDrawing(d, A4Height(), TDxfMiddleSearch::Fast, measure)),
              FileOf({Text("15", "261", "3", "Erste Zeile"), Text("15", "252", "3", "Zweite"),
                      Text("15", "243", "3", "Dritte"), Text("15", "225", "3", "F\xFCnfte")}));

    // Without a measure: Arial's proportions at 96 dpi, so a size-12 text has
    // its first baseline 2.87 mm below its top and capitals 2.27 mm high.
    TDrawing one;
    AddText(one, u"A", 5, 300, 12);
    const TDxfTextMetrics m = DxfDefaultTextMetrics(*one.Texts.Select(0));
    EXPECT_NEAR(m.Ascent, 2.873, 0.001);
    EXPECT_NEAR(m.CapHeight, 2.273, 0.001);
    EXPECT_NEAR(m.LineSpacing, 3.648, 0.001);
    const double h = DxfDrawingHeight(2.0, 297.0 / kMmPerInch);
    EXPECT_EQ(SplitLines(DxfFromDrawing(one, h)),
              FileOf({Text("5", Num(h - 300 - m.Ascent), Num(m.CapHeight), "A")}));
}

// Windows-1252 bytes where the code page has the character (sharp s 0xDF,
// the euro sign 0x80), \U+ escapes for the rest, one per UTF-16 unit; a
// backslash that would read as an escape is escaped itself; tabs have no
// glyph and go.
TEST(DxfWriterGolden, TextCharactersOutsideTheCodePageAreEscaped) {
    TDrawing d;
    AddText(d, u"Ma\u00DF\t5 \u20AC \u03A9 \u03C0\u00B2 \U0001F600 C:\\Users a\\b \u0081",
            0.25, 296.5, 10);
    const std::vector<std::string> lines = SplitLines(DxfFromDrawing(d, A4Height()));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[lines.size() - 5], "Ma\xDF"
                                       "5 \x80 \\U+03A9 \\U+03C0\xB2 \\U+D83D\\U+DE00 "
                                       "C:\\U+005CUsers a\\b \\U+0081");
}

// Eraser strokes (white) go on their own layer: a chain of pieces never
// continues across layers, and the layers keep their order.
TEST(DxfWriterGolden, EraserStrokesOnTheirOwnLayer) {
    TDrawing d;
    AddLine(d, 10, 20, 30, 20);
    AddLine(d, 30, 20, 40, 20).Color = 0xFFFFFF;
    AddLine(d, 40, 20, 50, 20).Color = 0xFFFFFF;
    AddLine(d, 50, 20, 60, 20);
    EXPECT_EQ(SplitLines(DxfFromDrawing(d, A4Height())),
              FileOf({PolylineStart(), Vertex("10", "277", "0"), Vertex("30", "277", "0"), Seqend(),
                      PolylineStart("RADIERT"), Vertex("30", "277", "0", "RADIERT"),
                      Vertex("40", "277", "0", "RADIERT"), Vertex("40", "277", "0", "RADIERT"),
                      Vertex("50", "277", "0", "RADIERT"), Seqend(), PolylineStart(),
                      Vertex("50", "277", "0"), Vertex("60", "277", "0"), Seqend()}));
}

// Texts follow all polylines, whatever order they were made in.
TEST(DxfWriterGolden, PointOnSecondPageAndTextAfterPolylines) {
    TDrawing d;
    AddText(d, u"A", 5, 300, 10);
    AddLine(d, 0, 300, 5, 300);
    const double h = DxfDrawingHeight(2.0, 297.0 / kMmPerInch);
    const TDxfTextMetrics m = DxfDefaultTextMetrics(*d.Texts.Select(0));
    EXPECT_EQ(SplitLines(DxfFromDrawing(d, h)),
              FileOf({PolylineStart(), Vertex("0", "294", "0"), Vertex("5", "294", "0"), Seqend(),
                      Text("5", Num(h - 300 - m.Ascent), Num(m.CapHeight), "A")}));
}

TEST(DxfWriter, DrawingHeightTruncatesPageCount) {
    const double inch = 297.0 / kMmPerInch;
    EXPECT_NEAR(DxfDrawingHeight(1.0, inch), 297.0, 1e-12);
    EXPECT_NEAR(DxfDrawingHeight(2.9, inch), 594.0, 1e-12);
    EXPECT_NEAR(DxfDrawingHeight(-0.5, inch), 0.0, 1e-12);
}

// An arc of a compass is 100 chords from the start ray to the end ray,
// counter-clockwise, every vertex on the circle.
TEST(DxfWriter, ArcIsHundredChordsCounterClockwise) {
    TDrawing d;
    // Centre (100, 100), radius 20; start ray to the right, end ray upwards.
    AddObject(d, okArc, {80, 80, 120, 120, 150, 100, 100, 10});
    const TEntities e = ReadEntities(DxfFromDrawing(d, A4Height()));
    ASSERT_EQ(e.Polylines.size(), 1u);
    const auto& v = e.Polylines[0].Vertices;
    ASSERT_EQ(v.size(), 200u);
    EXPECT_EQ(v.front().X, 120);
    EXPECT_EQ(v.front().Y, 197);
    EXPECT_EQ(v.back().X, 100);
    EXPECT_EQ(v.back().Y, 217);
    double lastAngle = -1;
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(v[i].Bulge, 0);
        EXPECT_NEAR(std::hypot(v[i].X - 100, v[i].Y - 197), 20, 1e-12);
        if (i % 2 == 1 && i + 1 < v.size()) { // inner points are repeated
            EXPECT_EQ(v[i].X, v[i + 1].X);
            EXPECT_EQ(v[i].Y, v[i + 1].Y);
        }
        const double angle = std::atan2(v[i].Y - 197, v[i].X - 100); // y upwards
        EXPECT_GE(angle, lastAngle - 1e-12) << i;
        lastAngle = angle;
    }
    EXPECT_NEAR(lastAngle, std::numbers::pi / 2, 1e-12);
}

TEST(DxfWriter, ArcWithEqualRaysIsFullCircleAndNegativeSpanSameCircle) {
    TDrawing full;
    AddObject(full, okArc, {80, 80, 120, 120, 100, 130, 100, 130});
    const TEntities e = ReadEntities(DxfFromDrawing(full, A4Height()));
    ASSERT_EQ(e.Polylines.size(), 1u);
    const auto& v = e.Polylines[0].Vertices;
    ASSERT_EQ(v.size(), 200u);
    EXPECT_NEAR(v.front().X, 100, 1e-12);
    EXPECT_NEAR(v.front().Y, 177, 1e-12);
    EXPECT_NEAR(v.back().X, v.front().X, 1e-12);
    EXPECT_NEAR(v.back().Y, v.front().Y, 1e-12);
    // Half way round, the opposite side of the circle.
    EXPECT_NEAR(v[100].X, 100, 1e-12);
    EXPECT_NEAR(v[100].Y, 217, 1e-12);

    // The same box given right to left: the same arc, not one turned by 180°.
    TDrawing quarter, mirrored;
    AddObject(quarter, okArc, {80, 80, 120, 120, 150, 100, 100, 10});
    AddObject(mirrored, okArc, {120, 120, 80, 80, 150, 100, 100, 10});
    const TEntities q = ReadEntities(DxfFromDrawing(quarter, A4Height()));
    const TEntities m = ReadEntities(DxfFromDrawing(mirrored, A4Height()));
    ASSERT_EQ(q.Polylines.size(), 1u);
    ASSERT_EQ(m.Polylines.size(), 1u);
    ASSERT_EQ(m.Polylines[0].Vertices.size(), q.Polylines[0].Vertices.size());
    for (std::size_t i = 0; i < q.Polylines[0].Vertices.size(); ++i) {
        EXPECT_NEAR(m.Polylines[0].Vertices[i].X, q.Polylines[0].Vertices[i].X, 1e-12);
        EXPECT_NEAR(m.Polylines[0].Vertices[i].Y, q.Polylines[0].Vertices[i].Y, 1e-12);
    }
}

// The arc that a vertex's bulge describes must run through the curve: its
// middle point (the chord's middle pushed out by the sagitta, to the right
// of the chord for a positive, counter-clockwise bulge) lies on the circle.
void ExpectArcsOnCircle(const TPolyline& p, double cx, double cy, double r) {
    for (std::size_t i = 0; i + 1 < p.Vertices.size(); i += 2) {
        const TVertex& a = p.Vertices[i];
        const TVertex& e = p.Vertices[i + 1];
        EXPECT_EQ(a.Bulge, e.Bulge);
        const double dx = e.X - a.X, dy = e.Y - a.Y;
        const double sagitta = a.Bulge / 2; // times the chord, which the normal carries
        const double mx = (a.X + e.X) / 2 + sagitta * dy;
        const double my = (a.Y + e.Y) / 2 - sagitta * dx;
        EXPECT_NEAR(std::hypot(a.X - cx, a.Y - cy), r, 2e-3 * r) << i;
        EXPECT_NEAR(std::hypot(mx - cx, my - cy), r, 2e-3 * r) << i;
        if (i + 2 < p.Vertices.size()) {
            EXPECT_EQ(p.Vertices[i + 2].X, e.X);
            EXPECT_EQ(p.Vertices[i + 2].Y, e.Y);
        }
    }
}

TEST(DxfWriter, CircleIs128ArcPiecesInOnePolyline) {
    TDrawing d;
    AddCircle(d, 105, 148.5, 40);
    const TEntities e = ReadEntities(DxfFromDrawing(d, A4Height()));
    ASSERT_EQ(e.Polylines.size(), 1u);
    const TPolyline& p = e.Polylines[0];
    ASSERT_EQ(p.Vertices.size(), 256u);
    // Starts at the top edge (the box's Y1 side) and runs clockwise with y up.
    EXPECT_NEAR(p.Vertices.front().X, 105, 1e-12);
    EXPECT_NEAR(p.Vertices.front().Y, 188.5, 1e-12);
    EXPECT_NEAR(p.Vertices.back().X, 105, 1e-9);
    EXPECT_NEAR(p.Vertices.back().Y, 188.5, 1e-9);
    for (const TVertex& v : p.Vertices) {
        EXPECT_LT(v.Bulge, 0);
        EXPECT_GT(v.Bulge, -0.1); // 1/128 of a turn is a flat arc
    }
    ExpectArcsOnCircle(p, 105, 148.5, 40);
}

TEST(DxfWriter, CurveBecomesArcsThroughTheCurve) {
    TDrawing d;
    // A quarter of a circle of radius 50 around (50, 150), stored y down,
    // with the usual control distance 0.5523 r: close enough to the circle.
    const double k = 0.5522847498 * 50;
    AddObject(d, okBezier, {100, 150, 100, 150 - k, 50 + k, 100, 50, 100});
    const TEntities e = ReadEntities(DxfFromDrawing(d, A4Height()));
    ASSERT_EQ(e.Polylines.size(), 1u);
    ASSERT_EQ(e.Polylines[0].Vertices.size(), 16u);
    for (const TVertex& v : e.Polylines[0].Vertices) {
        // Counter-clockwise with y up, each piece about 1/8 of 90 degrees.
        const double quarterOfPiece = std::numbers::pi / 2 / 8 / 4;
        EXPECT_NEAR(v.Bulge, std::tan(quarterOfPiece), 0.1 * std::tan(quarterOfPiece));
    }
    ExpectArcsOnCircle(e.Polylines[0], 50, 297 - 150, 50);
}

TEST(DxfWriter, DiagonalStraightCurveHasNoBulge) {
    TDrawing d;
    AddObject(d, okBezier, {10, 10, 13, 14, 40, 50, 100, 130});
    const TEntities e = ReadEntities(DxfFromDrawing(d, A4Height()));
    ASSERT_EQ(e.Polylines.size(), 1u);
    ASSERT_EQ(e.Polylines[0].Vertices.size(), 16u);
    for (const TVertex& v : e.Polylines[0].Vertices) {
        EXPECT_EQ(v.Bulge, 0);
        EXPECT_NEAR((v.X - 10) * 4 - (297 - v.Y - 10) * 3, 0, 1e-9); // on the line
    }
}

// The quick search for each arc's middle point must not change a byte.
TEST(DxfWriter, FastAndScanningSearchWriteTheSameFile) {
    TDrawing d;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> at(0, 290), size(0.01, 60);
    for (int i = 0; i < 40; ++i) {
        const double x = at(rng), y = at(rng);
        AddCircle(d, x, y, size(rng));
        AddObject(d, okEllipse, {x, y, x + size(rng), y + size(rng) / 7});
        AddObject(d, okBezier, {x, y, at(rng), at(rng), at(rng), at(rng), at(rng), at(rng)});
    }
    // Not EXPECT_EQ: the printed difference of texts this long takes ages.
    EXPECT_TRUE(DxfFromDrawing(d, A4Height(), TDxfMiddleSearch::Fast) ==
                DxfFromDrawing(d, A4Height(), TDxfMiddleSearch::Scan));
}

// Shapes without area, and points all in one place, give defined finite
// output of the usual number of pieces.
TEST(DxfWriterDegenerate, FlatShapesAreStraightAndFinite) {
    struct TCase {
        const char* Name;
        TObjectKind Kind;
        std::vector<double> Xy;
        std::size_t Vertices;
    };
    const TCase cases[] = {
        {"zero-width ellipse", okEllipse, {50, 100, 50, 160}, 256},
        {"zero-height ellipse", okEllipse, {20, 100, 80, 100}, 256},
        {"point ellipse", okEllipse, {50, 100, 50, 100}, 256},
        {"point curve", okBezier, {7, 8, 7, 8, 7, 8, 7, 8}, 16},
        {"zero-radius arc", okArc, {60, 60, 60, 60, 80, 60, 60, 20}, 200},
        {"arc with rays through its centre", okArc, {40, 40, 80, 80, 60, 60, 60, 60}, 200},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDrawing d;
        TDrawObject& o = AddObject(d, c.Kind, {});
        double* fields[] = {&o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4};
        for (std::size_t i = 0; i < c.Xy.size(); ++i)
            *fields[i] = c.Xy[i];
        const TEntities e = ReadEntities(DxfFromDrawing(d, A4Height()));
        std::size_t count = 0;
        for (const TPolyline& p : e.Polylines)
            count += p.Vertices.size();
        EXPECT_EQ(count, c.Vertices);
        if (c.Kind == okEllipse) {
            for (const TPolyline& p : e.Polylines) {
                for (const TVertex& v : p.Vertices) {
                    EXPECT_EQ(v.Bulge, 0);
                    EXPECT_GE(v.X, std::min(o.X1, o.X2) - 1e-9);
                    EXPECT_LE(v.X, std::max(o.X1, o.X2) + 1e-9);
                    EXPECT_GE(297 - v.Y, std::min(o.Y1, o.Y2) - 1e-9);
                    EXPECT_LE(297 - v.Y, std::max(o.Y1, o.Y2) + 1e-9);
                }
            }
        }
    }
}

// Records that no tool makes (a damaged kind, numbers that are not finite
// or overflow on the way) are left out; the rest of the file is unchanged.
TEST(DxfWriterDegenerate, UnusableRecordsAreLeftOut) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TDrawing bad;
    AddLine(bad, 10, 20, 30, 20);
    AddObject(bad, okLine, {nan, 20, 30, 20});
    AddObject(bad, okArc, {0, 0, inf, 10, 1, 1, 2, 2});
    AddObject(bad, okEllipse, {0, nan, 10, 10});
    AddObject(bad, okEllipse, {-1.7e308, 0, 1.7e308, 10}); // the width overflows
    AddObject(bad, okArc, {-1.7e308, 0, 1.7e308, 10, 1, 1, 2, 2});
    AddObject(bad, static_cast<TObjectKind>(7), {1, 2, 3, 4});
    AddText(bad, u"weg", nan, 10, 12);
    AddText(bad, u"weg", 10, -inf, 12);
    AddText(bad, u"da", 1, 2, 12);
    const std::string out = DxfFromDrawing(bad, A4Height());

    TDrawing good;
    AddLine(good, 10, 20, 30, 20);
    AddText(good, u"da", 1, 2, 12);
    EXPECT_EQ(out, DxfFromDrawing(good, A4Height()));

    // Huge but finite points stay finite all the way through.
    TDrawing huge;
    AddObject(huge, okBezier, {-1.7e308, 0, 1.7e308, 1e308, -1.7e308, -1e308, 1.7e308, 0});
    AddObject(huge, okLine, {0, -1.7e308, 1, 1.7e308});
    const std::string hugeOut = DxfFromDrawing(huge, A4Height());
    std::size_t pieces = 0;
    for (const TPolyline& p : ReadEntities(hugeOut).Polylines)
        pieces += p.Vertices.size() / 2;
    EXPECT_EQ(pieces, 9u);

    std::string lower = out + hugeOut;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_EQ(lower.find("nan"), std::string::npos);
    EXPECT_EQ(lower.find("inf"), std::string::npos);
}

TEST(DxfWriter, ExportLeavesTheDrawingAndItsCursorsAlone) {
    TDrawing d;
    AddLine(d, 1, 2, 3, 4);
    AddCircle(d, 50, 50, 10);
    AddText(d, u"x", 1, 1, 8);
    d.Objects.Select(0);
    const TDrawObject before = d.Objects[1];
    (void)DxfFromDrawing(d, A4Height());
    EXPECT_EQ(d.CurObject, &d.Objects[0]);
    EXPECT_EQ(d.Objects.CursorIndex(), 0);
    EXPECT_EQ(d.CurText, &d.Texts[0]);
    EXPECT_EQ(std::memcmp(&before, &d.Objects[1], sizeof before), 0);
}

// A large drawing goes out in pieces of bounded size, the last one ending
// the file; a sink that refuses (a full disk) stops the export at once.
TEST(DxfWriter, LargeFilesGoOutInBoundedPieces) {
    TDrawing d;
    for (int i = 0; i < 300; ++i) {
        AddCircle(d, 20 + i % 17 * 10, 20 + i % 23 * 10, 1 + i % 7);
        AddText(d, u"Kreis", i % 100, i % 200, 10);
    }
    const std::string whole = DxfFromDrawing(d, A4Height());
    ASSERT_GT(whole.size(), 4u << 20);

    std::vector<std::size_t> sizes;
    std::string joined;
    EXPECT_TRUE(WriteDxf(d, A4Height(), {}, [&](std::string_view piece) {
        sizes.push_back(piece.size());
        joined += piece;
        return true;
    }));
    EXPECT_TRUE(joined == whole);
    EXPECT_GE(sizes.size(), 4u);
    for (std::size_t size : sizes)
        EXPECT_LT(size, 4u << 20); // a megabyte, or one thread's batch of objects
    EXPECT_TRUE(joined.ends_with("  0\r\nENDSEC\r\n  0\r\nEOF\r\n"));

    int calls = 0;
    EXPECT_FALSE(WriteDxf(d, A4Height(), {}, [&](std::string_view) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

// Threads write runs of objects side by side; joined, the text must be the
// one a single pass writes, whatever the number of threads and wherever the
// runs begin: inside a chain of touching pieces, after objects that write
// nothing (unknown kinds, coordinates that are not numbers), at texts.
TEST(DxfWriter, ThreadsWriteTheSameTextAsOnePass) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> coord(0, 290);
    std::uniform_int_distribution<int> kind(0, 9);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int drawingNo = 0; drawingNo < 12; ++drawingNo) {
        TDrawing d;
        double x = coord(rng), y = coord(rng);
        for (int i = 0; i < 40 + drawingNo * 10; ++i) {
            switch (kind(rng)) {
            case 0:
            case 1:
            case 2: { // continues the chain, some on the eraser's layer
                const double nx = coord(rng), ny = coord(rng);
                AddLine(d, x, y, nx, ny);
                if (i % 3 == 0) d.Objects.Select(d.Objects.Count() - 1)->Color = 0xFFFFFF;
                x = nx, y = ny;
                break;
            }
            case 3:
                AddLine(d, coord(rng), coord(rng), coord(rng), coord(rng));
                break;
            case 4:
                AddCircle(d, coord(rng), coord(rng), 1 + coord(rng) / 10);
                break;
            case 5:
                AddObject(d, okBezier, {x, y, coord(rng), coord(rng), coord(rng), coord(rng),
                                        x + 10, y});
                x += 10;
                break;
            case 6:
                AddObject(d, okArc, {10, 10, 50, 50, coord(rng), coord(rng), coord(rng), 0});
                break;
            case 7:
                AddObject(d, static_cast<TObjectKind>(77), {x, y, x, y}); // writes nothing
                break;
            case 8:
                AddLine(d, nan, y, x, y); // writes nothing, the chain goes on after it
                break;
            default:
                AddText(d, u"t", coord(rng), coord(rng), 10);
                break;
            }
        }
        TDxfWriteOptions single;
        single.Threads = 1;
        std::string expected;
        ASSERT_TRUE(WriteDxf(d, A4Height(), single, [&](std::string_view piece) {
            expected += piece;
            return true;
        }));
        ASSERT_TRUE(SplitLines(expected).size() > 60);
        for (int threads : {2, 3, 5})
            for (int batch : {1, 3, 17, 130, 100000}) {
                TDxfWriteOptions options;
                options.Threads = threads;
                options.BatchPieces = batch;
                std::string text;
                ASSERT_TRUE(WriteDxf(d, A4Height(), options, [&](std::string_view piece) {
                    text += piece;
                    return true;
                }));
                // Not EXPECT_EQ: the printed difference of texts this long takes ages.
                const auto differ = std::mismatch(text.begin(), text.end(), expected.begin(),
                                                  expected.end());
                EXPECT_TRUE(text == expected)
                    << "drawing " << drawingNo << ", " << threads << " threads, batches of "
                    << batch << ": first difference at byte " << (differ.first - text.begin());
            }
    }
    // A refusing sink stops the threaded export as well.
    TDrawing d;
    for (int i = 0; i < 50; ++i)
        AddCircle(d, 100, 100, 1 + i);
    TDxfWriteOptions options;
    options.Threads = 2;
    options.BatchPieces = 128;
    int calls = 0;
    EXPECT_FALSE(WriteDxf(d, A4Height(), options, [&](std::string_view) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
}

} // namespace
