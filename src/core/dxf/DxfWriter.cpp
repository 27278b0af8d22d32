#include "DxfWriter.h"

#include "Cp1252.h"
#include "DrawingFile.h"
#include "DxfArcFit.h"
#include "DxfNumber.h"
#include "FileIO.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quirindo {
namespace {

// One line type and one layer, then the start of the entities. (Each group
// code is followed by exactly one value; an extra line after the layer
// table's count would shift every later pair and readers refuse the file.)
constexpr std::array<std::string_view, 50> kFixedBeginning = {
    " 0",  "SECTION",    "  2", "TABLES", " 0", "TABLE",
    " 2",  "LTYPE",      "70",  "1",      "0",  "LTYPE",
    "2",   "AUSGEZOGEN", "70",  "0",      "3",  "Ausgezogenen Linie",
    "72",  "65",         "73",  "0",      "40", "0.0",
    "0",   "ENDTAB",     " 0",  "TABLE",  " 2", "LAYER",
    "70",  "1",          "0",   "LAYER",  "2",  "0",
    "70",  "0",          "62",  "7",      "6",  "AUSGEZOGEN",
    " 0",  "ENDTAB",     " 0",  "ENDSEC", " 0", "SECTION",
    "  2", "ENTITIES"};

constexpr int kCurveSteps = 8;
constexpr int kArcSteps = 100;
constexpr int kEllipseSegments = 16;

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

class TDxfText {
public:
    void Reserve(std::size_t bytes) { FText.reserve(bytes); }
    void Line(std::string_view line) {
        FText += line;
        FText += "\r\n";
    }
    void Number(double value) {
        AppendDxfNumber(FText, value);
        FText += "\r\n";
    }
    // Several complete lines at once, each already ended by CR LF.
    void Lines(std::string_view lines) { FText += lines; }
    std::string Take() { return std::move(FText); }

private:
    std::string FText;
};

// Chains pieces into polylines: a piece that starts exactly where the last
// one ended continues the open polyline, also across objects.
class TPolylineWriter {
public:
    explicit TPolylineWriter(TDxfText& out) : FOut(out) {}

    void WritePiece(TDxfPoint p1, TDxfPoint p2, double bulge) {
        // Overflow in a far-out object must not put "inf" or "nan" into the file.
        if (!AllFinite({p1.X, p1.Y, p2.X, p2.Y, bulge})) return;
        if (!FPolylineOpen) {
            StartPolyline();
            FPolylineOpen = true;
        } else if (p1.X != FLastEnd.X || p1.Y != FLastEnd.Y) {
            FOut.Line("0");
            FOut.Line("SEQEND");
            StartPolyline();
        }
        Vertex(p1, bulge);
        Vertex(p2, bulge);
        FLastEnd = p2;
    }

    void Finish() {
        if (!FPolylineOpen) return;
        FOut.Line("0");
        FOut.Line("SEQEND");
        FPolylineOpen = false;
    }

private:
    void StartPolyline() {
        for (std::string_view line : {"0", "POLYLINE", "8", "0", "66", "1"})
            FOut.Line(line);
    }

    // The bulk of a large file, so its fixed lines go out in one piece.
    void Vertex(TDxfPoint p, double bulge) {
        FOut.Lines("0\r\nVERTEX\r\n8\r\n0\r\n10\r\n");
        FOut.Number(p.X);
        FOut.Lines("20\r\n");
        FOut.Number(p.Y);
        FOut.Lines("42\r\n");
        FOut.Number(bulge);
    }

    TDxfText& FOut;
    bool FPolylineOpen = false;
    TDxfPoint FLastEnd;
};

class TObjectExporter {
public:
    TObjectExporter(TPolylineWriter& pieces, double drawingHeight, TDxfMiddleSearch search)
        : FPieces(pieces), FHeight(drawingHeight), FSearch(search) {}

    void Export(const TDrawObject& o) {
        switch (o.Kind) {
        case okLine:
            FPieces.WritePiece(ToExport(o.X1, o.Y1), ToExport(o.X2, o.Y2), 0.0);
            break;
        case okArc:
            if (AllFinite({o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4})) Arc(o);
            break;
        case okEllipse:
            if (AllFinite({o.X1, o.Y1, o.X2, o.Y2})) Ellipse(o);
            break;
        case okBezier:
            if (AllFinite({o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4}))
                Curve(ToExport(o.X1, o.Y1), ToExport(o.X2, o.Y2), ToExport(o.X3, o.Y3),
                      ToExport(o.X4, o.Y4), true);
            break;
        default:
            break; // no other kind is ever created; a damaged record is skipped
        }
    }

private:
    TDxfPoint ToExport(double x, double y) const { return {x, FHeight - y}; }

    // In stored coordinates, y downwards: falling angles run counter-clockwise
    // on the screen, from the start ray to the end ray; equal rays make a full
    // circle. The radius is taken unsigned: a box given right to left (a
    // negative compass span) is the same box and the same circle.
    void Arc(const TDrawObject& o) {
        const double cx = (o.X2 - o.X1) / 2 + o.X1;
        const double cy = (o.Y2 - o.Y1) / 2 + o.Y1;
        const double r = std::fabs(o.X2 - o.X1) / 2;
        const double a1 = std::atan2(o.Y3 - cy, o.X3 - cx);
        const double a2 = std::atan2(o.Y4 - cy, o.X4 - cx);
        const double from = a1 > a2 ? a1 : a1 + 2 * std::numbers::pi;
        TDxfPoint prev;
        for (int i = 0; i <= kArcSteps; ++i) {
            const double t = from + (a2 - from) * i / kArcSteps;
            const TDxfPoint p = ToExport(cx + r * std::cos(t), cy + r * std::sin(t));
            if (i > 0) FPieces.WritePiece(prev, p, 0.0);
            prev = p;
        }
    }

    static TDxfPoint Bezier(TDxfPoint p1, TDxfPoint p2, TDxfPoint p3, TDxfPoint p4, double t) {
        const double s = 1 - t;
        const double w1 = s * s * s, w2 = 3 * t * s * s, w3 = 3 * t * t * s, w4 = t * t * t;
        return {w1 * p1.X + w2 * p2.X + w3 * p3.X + w4 * p4.X,
                w1 * p1.Y + w2 * p2.Y + w3 * p3.Y + w4 * p4.Y};
    }

    // Eight pieces, each the circular arc through its start, its end and a
    // point near its middle, or straight where those are collinear. Without
    // arcs (a flat ellipse) every piece is straight.
    void Curve(TDxfPoint p1, TDxfPoint p2, TDxfPoint p3, TDxfPoint p4, bool arcs) {
        for (int i = 1; i <= kCurveSteps; ++i) {
            const TDxfPoint a = Bezier(p1, p2, p3, p4, (i - 1) / double(kCurveSteps));
            const TDxfPoint m = Bezier(p1, p2, p3, p4, (i - 0.5) / kCurveSteps);
            const TDxfPoint e = Bezier(p1, p2, p3, p4, i / double(kCurveSteps));
            std::optional<double> bulge;
            if (arcs) {
                const TDxfPoint c = FSearch == TDxfMiddleSearch::Scan ? BisectorPointByScan(a, m, e)
                                                                      : BisectorPoint(a, m, e);
                bulge = ArcBulgeThrough(a, c, e);
            }
            FPieces.WritePiece(a, e, bulge.value_or(0.0));
        }
    }

    // Sixteen quadratic stretches (control points pushed out by 2 %), each
    // raised to a cubic and written as a curve. The point at angle 0 lies on
    // the edge of Y1; angles grow clockwise with y upwards.
    void Ellipse(const TDrawObject& o) {
        const TDxfPoint centre = ToExport((o.X2 - o.X1) / 2 + o.X1, (o.Y2 - o.Y1) / 2 + o.Y1);
        const double hx = (o.X2 - o.X1) / 2;
        const double hy = (o.Y2 - o.Y1) / 2;
        // A box without width or height has no curved outline: the shape is
        // the segment itself, traced there and back with straight pieces, so
        // nothing depends on how rounding treats the collinearity test.
        const bool arcs = hx != 0 && hy != 0;
        const auto onEllipse = [&](double theta, double factor) {
            return TDxfPoint{centre.X + factor * hx * std::sin(theta),
                             centre.Y + factor * hy * std::cos(theta)};
        };
        const auto angle = [](int k) { return k * 22.5 * std::numbers::pi / 180; };
        for (int k = 1; k <= kEllipseSegments; ++k) {
            const TDxfPoint s = onEllipse(angle(k - 1), 1.0);
            const TDxfPoint q = onEllipse(angle(k) - std::numbers::pi / 16, 1.02);
            const TDxfPoint e = onEllipse(angle(k), 1.0);
            const TDxfPoint c1{s.X + 2.0 / 3.0 * (q.X - s.X), s.Y + 2.0 / 3.0 * (q.Y - s.Y)};
            const TDxfPoint c2{q.X + (e.X - q.X) / 3, q.Y + (e.Y - q.Y) / 3};
            Curve(s, c1, c2, e, arcs);
        }
    }

    TPolylineWriter& FPieces;
    double FHeight;
    TDxfMiddleSearch FSearch;
};

void WriteText(TDxfText& out, const TTextObject& t, double drawingHeight) {
    const double x = t.Left;
    const double y = drawingHeight - t.Top;
    if (!AllFinite({x, y})) return;
    // Line breaks and other control characters would break the one-value-per-
    // line structure; the lines of a text run together.
    std::u16string printable;
    for (char16_t c : TextOf(t))
        if (c >= 32) printable.push_back(c);
    out.Line("  0");
    out.Line("TEXT");
    out.Line("8");
    out.Line("0");
    out.Line(" 10");
    out.Number(x);
    out.Line(" 20");
    out.Number(y);
    out.Line(" 30");
    out.Line("0.0");
    out.Line(" 40");
    // In double: the magnitude of the most negative int32 is no int32.
    out.Number(std::fabs(static_cast<double>(t.Size)) / 10);
    out.Line("  1");
    out.Line(Cp1252FromUtf16(printable));
}

// An upper estimate of the file size, so that a large drawing's text is
// allocated once instead of being copied each time the buffer doubles.
std::size_t EstimatedSize(const TDrawing& drawing) {
    constexpr std::size_t kPieceBytes = 2 * 100; // two vertices of at most ~95 bytes
    std::size_t bytes = 1024;
    for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i) {
        switch (drawing.Objects[i].Kind) {
        case okArc:
            bytes += kArcSteps * kPieceBytes;
            break;
        case okEllipse:
            bytes += kEllipseSegments * kCurveSteps * kPieceBytes;
            break;
        case okBezier:
            bytes += kCurveSteps * kPieceBytes;
            break;
        default:
            bytes += kPieceBytes;
            break;
        }
        bytes += 32; // polyline start and end
    }
    for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i)
        bytes += 128 + TextOf(drawing.Texts[i]).size();
    return bytes;
}

} // namespace

double DxfDrawingHeight(double pageCount, double pageHeightInch) {
    return std::trunc(pageCount) * pageHeightInch * kMmPerInch;
}

std::string DxfFromDrawing(const TDrawing& drawing, double drawingHeight, TDxfMiddleSearch search) {
    TDxfText out;
    out.Reserve(EstimatedSize(drawing));
    for (std::string_view line : kFixedBeginning)
        out.Line(line);

    TPolylineWriter pieces(out);
    TObjectExporter exporter(pieces, drawingHeight, search);
    for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i)
        exporter.Export(drawing.Objects[i]);
    pieces.Finish();

    for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i)
        WriteText(out, drawing.Texts[i], drawingHeight);

    for (std::string_view line : {"  0", "ENDSEC", "  0", "EOF"})
        out.Line(line);
    return out.Take();
}

bool WriteDxfFile(const std::string& path, const TDrawing& drawing, int pageCount,
                  double pageHeightInch, std::string& error) {
    const std::string text = DxfFromDrawing(drawing, DxfDrawingHeight(pageCount, pageHeightInch));
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return WriteFileAtomically(path, {data, text.size()}, error);
}

} // namespace quirindo
