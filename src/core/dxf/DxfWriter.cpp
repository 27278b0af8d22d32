#include "DxfWriter.h"

#include "Cp1252.h"
#include "DrawingFile.h"
#include "DxfArcFit.h"
#include "DxfNumber.h"
#include "FileIO.h"
#include "ViewMapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <condition_variable>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace quirindo {
namespace {

// A header declaring the version whose groups the file uses (so readers
// take the code page from it), the code page of the texts and millimetres
// as the unit; then one line type and two layers: "0" for everything drawn
// and "RADIERT" for the white strokes of the eraser, so that a CAD user
// sees what was covered and can switch it off. (Each group code is followed
// by exactly one value; an extra line after a table's count would shift every
// later pair and readers refuse the file.)
constexpr std::array<std::string_view, 78> kFixedBeginning = {
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

// The eraser paints white; whatever is white covers like it, so it goes on
// the eraser's layer too.
constexpr std::int32_t kEraserColor = 0xFFFFFF;

enum class TLayer : std::uint8_t { Drawn, Erased };

constexpr std::string_view kPolylineStartDrawn = "0\r\nPOLYLINE\r\n8\r\n0\r\n66\r\n1\r\n";
constexpr std::string_view kPolylineStartErased =
    "0\r\nPOLYLINE\r\n8\r\nRADIERT\r\n66\r\n1\r\n";
constexpr std::string_view kPolylineEnd = "0\r\nSEQEND\r\n";

std::string_view PolylineStart(TLayer layer) {
    return layer == TLayer::Erased ? kPolylineStartErased : kPolylineStartDrawn;
}

constexpr int kCurveSteps = 8;
constexpr int kArcSteps = 100;
constexpr int kEllipseSegments = 16;

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// The text of one or two numbers, each line ended by CR LF, with the group
// code of the y value between them.
class TNumberText {
public:
    void Set(double value) {
        FEnd = WriteDxfNumber(FText, value);
        *FEnd++ = '\r';
        *FEnd++ = '\n';
    }
    void Set(TDxfPoint p) {
        FEnd = WriteDxfNumber(FText, p.X);
        std::memcpy(FEnd, "\r\n20\r\n", 6);
        FEnd = WriteDxfNumber(FEnd + 6, p.Y);
        *FEnd++ = '\r';
        *FEnd++ = '\n';
    }
    std::string_view Text() const {
        return {FText, static_cast<std::size_t>(FEnd - FText)};
    }

private:
    char FText[2 * kMaxDxfNumberChars + 16];
    char* FEnd = FText;
};

// The text goes out in pieces of about kPieceBytes, so that even a huge
// drawing is written with a small buffer that stays in the cache.
constexpr std::size_t kPieceBytes = std::size_t(1) << 20;

class TDxfText {
public:
    explicit TDxfText(const TDxfSink& sink, std::size_t pieceBytes = kPieceBytes)
        : FSink(sink), FPieceBytes(pieceBytes),
          FBuffer(std::make_unique<char[]>(pieceBytes + 4096)), FPos(FBuffer.get()),
          FEnd(FBuffer.get() + pieceBytes + 4096) {}

    // Hands a full buffer to the sink between objects; false once the sink
    // has refused (what follows is then dropped).
    bool Pass() {
        if (Size() >= FPieceBytes) return Flush();
        return FOk;
    }
    bool Flush() {
        if (FOk && Size() > 0) FOk = FSink({FBuffer.get(), Size()});
        FPos = FBuffer.get();
        return FOk;
    }
    void Line(std::string_view line) {
        Put(line);
        Put("\r\n");
    }
    void Number(double value) {
        TNumberText text;
        text.Set(value);
        Put(text.Text());
    }
    // Several complete lines at once, each already ended by CR LF.
    void Lines(std::string_view lines) { Put(lines); }

private:
    std::size_t Size() const { return static_cast<std::size_t>(FPos - FBuffer.get()); }
    std::size_t Free() const { return static_cast<std::size_t>(FEnd - FPos); }

    void Put(std::string_view text) {
        // Only a very long text line fills the buffer in the middle.
        while (text.size() > Free()) {
            const std::size_t part = Free();
            std::memcpy(FPos, text.data(), part);
            FPos += part;
            text.remove_prefix(part);
            Flush();
        }
        if (text.empty()) return; // its data may be null, which memcpy must not get
        std::memcpy(FPos, text.data(), text.size());
        FPos += text.size();
    }

    const TDxfSink& FSink;
    std::size_t FPieceBytes;
    std::unique_ptr<char[]> FBuffer;
    char* FPos;
    char* FEnd;
    bool FOk = true;
};

// Chains pieces into polylines: a piece that starts exactly where the last
// one ended, on the same layer, continues the open polyline, also across
// objects.
class TPolylineWriter {
public:
    explicit TPolylineWriter(TDxfText& out) : FOut(out) {}

    // The layer of the pieces that follow.
    void SetLayer(TLayer layer) { FLayer = layer; }

    void WritePiece(TDxfPoint p1, TDxfPoint p2, double bulge) {
        // Overflow in a far-out object must not put "inf" or "nan" into the file.
        if (!AllFinite({p1.X, p1.Y, p2.X, p2.Y, bulge})) return;
        // Equal numbers have equal text, so a continuing piece reuses the
        // text of the point where the last one ended.
        bool continues = false;
        if (!FPolylineOpen) {
            StartPolyline();
            FPolylineOpen = true;
            if (!FAnyPiece) {
                FFirstStart = p1;
                FFirstLayer = FLayer;
            }
            FAnyPiece = true;
        } else if (p1.X != FLastEnd.X || p1.Y != FLastEnd.Y || FLayer != FOpenLayer) {
            FOut.Lines(kPolylineEnd);
            StartPolyline();
        } else {
            continues = true;
        }
        FBulge.Set(bulge);
        if (!continues) FLastEndText.Set(p1);
        Vertex(FLastEndText);
        FLastEndText.Set(p2);
        Vertex(FLastEndText);
        FLastEnd = p2;
        FOpenLayer = FLayer;
    }

    void Finish() {
        if (!FPolylineOpen) return;
        FOut.Lines(kPolylineEnd);
        FPolylineOpen = false;
    }

    bool AnyPiece() const { return FAnyPiece; }
    TDxfPoint FirstStart() const { return FFirstStart; }
    TLayer FirstLayer() const { return FFirstLayer; }
    TDxfPoint LastEnd() const { return FLastEnd; }
    TLayer LastLayer() const { return FOpenLayer; }

private:
    void StartPolyline() { FOut.Lines(PolylineStart(FLayer)); }

    // The bulk of a large file, so its fixed lines go out in one piece.
    void Vertex(const TNumberText& point) {
        FOut.Lines(FLayer == TLayer::Erased ? "0\r\nVERTEX\r\n8\r\nRADIERT\r\n10\r\n"
                                            : "0\r\nVERTEX\r\n8\r\n0\r\n10\r\n");
        FOut.Lines(point.Text());
        FOut.Lines("42\r\n");
        FOut.Lines(FBulge.Text());
    }

    TDxfText& FOut;
    bool FPolylineOpen = false;
    bool FAnyPiece = false;
    TLayer FLayer = TLayer::Drawn;     // of the next piece
    TLayer FOpenLayer = TLayer::Drawn; // of the open polyline
    TLayer FFirstLayer = TLayer::Drawn;
    TDxfPoint FFirstStart;
    TDxfPoint FLastEnd;
    TNumberText FLastEndText;
    TNumberText FBulge;
};

class TObjectExporter {
public:
    TObjectExporter(TPolylineWriter& pieces, double drawingHeight, TDxfMiddleSearch search)
        : FPieces(pieces), FHeight(drawingHeight), FSearch(search) {}

    void Export(const TDrawObject& o) {
        FPieces.SetLayer(o.Color == kEraserColor ? TLayer::Erased : TLayer::Drawn);
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

    // How many pieces an object becomes, to share the work out evenly.
    static int Pieces(const TDrawObject& o) {
        switch (o.Kind) {
        case okArc:
            return kArcSteps;
        case okEllipse:
            return kEllipseSegments * kCurveSteps;
        case okBezier:
            return kCurveSteps;
        default:
            return 1;
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

// Windows-1252 where the code page has the character, \U+XXXX otherwise
// (also for a backslash that would start such an escape, and for the C1
// controls the code page leaves undefined).
std::string DxfTextBytes(std::u16string_view line) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(line.size());
    const auto escape = [&out](char16_t c) {
        out += "\\U+";
        for (int shift = 12; shift >= 0; shift -= 4)
            out.push_back(kHex[(c >> shift) & 0xF]);
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char16_t c = line[i];
        const int b = Cp1252Byte(c);
        const bool startsEscape = c == u'\\' && i + 1 < line.size() &&
                                  (line[i + 1] == u'U' || line[i + 1] == u'u');
        if (b < 0 || (c >= 0x80 && c <= 0x9F) || startsEscape)
            escape(c);
        else
            out.push_back(static_cast<char>(b));
    }
    return out;
}

// One TEXT entity for each line, left-aligned on its baseline, as the page
// draws the lines one below the other from the text's top-left corner.
// Separate entities rather than one multi-line entity: every reader places a
// TEXT by its insertion point, while line spacing of multi-line text differs
// from reader to reader. Empty lines show nothing and are left out, but
// count for the place of the lines below them.
void WriteText(TDxfText& out, const TTextObject& t, double drawingHeight,
               const TDxfTextMetrics& metrics) {
    if (!AllFinite({t.Left, t.Top, metrics.Ascent, metrics.LineSpacing, metrics.CapHeight}))
        return;
    const std::u16string_view all = TextOf(t);
    std::size_t lineStart = 0;
    int lineIndex = 0;
    for (std::size_t i = 0; i <= all.size(); ++i) {
        // CR LF, a lone CR and a lone LF each end a line, as on the page.
        const bool end = i == all.size() || all[i] == u'\r' || all[i] == u'\n';
        if (!end) continue;
        std::u16string printable;
        for (char16_t c : all.substr(lineStart, i - lineStart))
            if (c >= 32) printable.push_back(c); // tabs and other controls have no glyph
        const double x = t.Left;
        const double y = drawingHeight - (t.Top + metrics.Ascent + lineIndex * metrics.LineSpacing);
        if (!printable.empty() && AllFinite({x, y})) {
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
            out.Number(metrics.CapHeight);
            out.Line("  1");
            out.Line(DxfTextBytes(printable));
        }
        if (i < all.size() && all[i] == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n') ++i;
        lineStart = i + 1;
        ++lineIndex;
    }
}

} // namespace

double DxfDrawingHeight(double pageCount, double pageHeightInch) {
    return std::trunc(pageCount) * PageHeightMm(pageHeightInch);
}

TDxfTextMetrics DxfDefaultTextMetrics(const TTextObject& text) {
    // A size of p points is drawn p pixels high (its em) at zoom 100; a
    // screen of 96 dpi; Arial's ascent, line spacing and capital height in
    // ems. In double: the magnitude of the most negative int32 is no int32.
    const double em = std::fabs(static_cast<double>(text.Size)) * kMmPerInch / 96.0;
    return {0.905 * em, 1.149 * em, 0.716 * em};
}

namespace {

// The pieces of a run of objects, written by one thread as if they began a
// file: their text starts a polyline and leaves the last one open.
struct TBatch {
    std::int32_t First = 0;
    std::int32_t End = 0;
    std::string Text;
    bool AnyPiece = false;
    TDxfPoint FirstStart;
    TLayer FirstLayer = TLayer::Drawn;
    TDxfPoint LastEnd;
    TLayer LastLayer = TLayer::Drawn;
    bool Done = false;
};

void WriteBatch(const TDrawing& drawing, double drawingHeight, TDxfMiddleSearch search,
                TBatch& batch) {
    batch.Done = false;
    batch.Text.clear();
    const TDxfSink toText = [&batch](std::string_view piece) {
        batch.Text += piece;
        return true;
    };
    TDxfText out(toText, 64 * 1024);
    TPolylineWriter pieces(out);
    TObjectExporter exporter(pieces, drawingHeight, search);
    for (std::int32_t i = batch.First; i < batch.End; ++i)
        exporter.Export(drawing.Objects[i]);
    out.Flush();
    batch.AnyPiece = pieces.AnyPiece();
    batch.FirstStart = pieces.FirstStart();
    batch.FirstLayer = pieces.FirstLayer();
    batch.LastEnd = pieces.LastEnd();
    batch.LastLayer = pieces.LastLayer();
    batch.Done = true;
}

// Joins the batches in order into exactly the text one pass would write: a
// batch whose first piece starts where the last one ended continues that
// polyline (its own start is dropped); otherwise the open polyline ends.
class TBatchJoiner {
public:
    explicit TBatchJoiner(TDxfText& out, const TDxfSink& sink) : FOut(out), FSink(sink) {}

    bool Add(const TBatch& batch) {
        if (!batch.AnyPiece) return true;
        std::string_view text = batch.Text;
        if (FOpen) {
            if (batch.FirstStart.X != FLastEnd.X || batch.FirstStart.Y != FLastEnd.Y ||
                batch.FirstLayer != FLastLayer)
                FOut.Lines(kPolylineEnd);
            else
                text.remove_prefix(PolylineStart(batch.FirstLayer).size());
        }
        FOpen = true;
        FLastEnd = batch.LastEnd;
        FLastLayer = batch.LastLayer;
        // Large enough to go to the sink as it is, without another copy.
        return FOut.Flush() && FSink(text);
    }

    void Finish() {
        if (FOpen) FOut.Lines(kPolylineEnd);
        FOpen = false;
    }

private:
    TDxfText& FOut;
    const TDxfSink& FSink;
    bool FOpen = false;
    TDxfPoint FLastEnd;
    TLayer FLastLayer = TLayer::Drawn;
};

// The objects of a large drawing are shared out between the processor's
// cores in batches of about options.BatchPieces pieces. Worker threads take
// the batches in turn and write them into a ring of slots, while the calling
// thread hands the finished ones, in order, to the joiner (and so to the
// file). A worker never runs more than the ring's length ahead of that, so
// memory stays bounded.
class TParallelObjectWriter {
public:
    TParallelObjectWriter(const TDrawing& drawing, double drawingHeight,
                          const TDxfWriteOptions& options, int threads)
        : FDrawing(drawing), FHeight(drawingHeight), FSearch(options.Search),
          FThreads(threads), FSlots(2 * static_cast<std::size_t>(threads)),
          FReady(FSlots.size(), false) {
        const std::int32_t count = drawing.Objects.Count();
        for (std::int32_t next = 0; next < count;) {
            const std::int32_t first = next;
            long long pieces = 0;
            while (next < count && pieces < options.BatchPieces)
                pieces += TObjectExporter::Pieces(drawing.Objects[next++]);
            FRanges.emplace_back(first, next);
        }
    }

    bool Run(TBatchJoiner& joiner) {
        TWorkers workers(*this);
        for (int i = 0; i < FThreads; ++i) {
            try {
                workers.Threads.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break; // no more threads to be had
            }
        }
        for (std::size_t i = 0; i < FRanges.size(); ++i) {
            TBatch& slot = FSlots[i % FSlots.size()];
            if (workers.Threads.empty()) {
                Write(i, slot);
            } else {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [&] { return FReady[i % FSlots.size()]; });
            }
            // A worker that failed (out of memory) leaves its batch undone.
            if (!slot.Done) Write(i, slot);
            const bool added = joiner.Add(slot);
            {
                const std::lock_guard lock(FMutex);
                FReady[i % FSlots.size()] = false;
                ++FWritten;
            }
            FChanged.notify_all();
            if (!added) return false;
        }
        return true;
    }

private:
    // Stops and joins the workers however Run ends, also by an exception.
    struct TWorkers {
        explicit TWorkers(TParallelObjectWriter& owner) : Owner(owner) {}
        ~TWorkers() {
            {
                const std::lock_guard lock(Owner.FMutex);
                Owner.FStop = true;
            }
            Owner.FChanged.notify_all();
            for (std::thread& t : Threads)
                t.join();
        }
        TParallelObjectWriter& Owner;
        std::vector<std::thread> Threads;
    };

    void Write(std::size_t index, TBatch& slot) {
        slot.First = FRanges[index].first;
        slot.End = FRanges[index].second;
        WriteBatch(FDrawing, FHeight, FSearch, slot);
    }

    void Work() {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [&] {
                    return FStop || FNext >= FRanges.size() || FNext < FWritten + FSlots.size();
                });
                if (FStop || FNext >= FRanges.size()) return;
                index = FNext++;
            }
            TBatch& slot = FSlots[index % FSlots.size()];
            try {
                Write(index, slot);
            } catch (...) {
                slot.Done = false; // the writing thread tries it again
            }
            {
                const std::lock_guard lock(FMutex);
                FReady[index % FSlots.size()] = true;
            }
            FChanged.notify_all();
        }
    }

    const TDrawing& FDrawing;
    double FHeight;
    TDxfMiddleSearch FSearch;
    int FThreads;
    std::vector<std::pair<std::int32_t, std::int32_t>> FRanges;
    std::vector<TBatch> FSlots;
    std::vector<bool> FReady;   // per slot: written, not yet handed on
    std::size_t FNext = 0;      // the next batch to take
    std::size_t FWritten = 0;   // batches handed on
    bool FStop = false;
    std::mutex FMutex;
    std::condition_variable FChanged;
};

int ThreadsFor(const TDrawing& drawing, const TDxfWriteOptions& options) {
    int threads = options.Threads;
    if (threads <= 0) threads = static_cast<int>(std::min(8U, std::thread::hardware_concurrency()));
    // A small drawing is not worth starting threads for.
    long long pieces = 0;
    for (std::int32_t i = 0; i < drawing.Objects.Count() && pieces < 2LL * options.BatchPieces;
         ++i)
        pieces += TObjectExporter::Pieces(drawing.Objects[i]);
    if (pieces < 2LL * options.BatchPieces) threads = 1;
    return std::max(1, threads);
}

} // namespace

bool WriteDxf(const TDrawing& drawing, double drawingHeight, const TDxfWriteOptions& options,
              const TDxfSink& sink) {
    TDxfText out(sink);
    for (std::string_view line : kFixedBeginning)
        out.Line(line);

    const int threads = ThreadsFor(drawing, options);
    if (threads > 1) {
        TBatchJoiner joiner(out, sink);
        TParallelObjectWriter writer(drawing, drawingHeight, options, threads);
        if (!writer.Run(joiner)) return false;
        joiner.Finish();
    } else {
        TPolylineWriter pieces(out);
        TObjectExporter exporter(pieces, drawingHeight, options.Search);
        for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i) {
            exporter.Export(drawing.Objects[i]);
            if (!out.Pass()) return false;
        }
        pieces.Finish();
    }

    for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i) {
        const TTextObject& text = drawing.Texts[i];
        WriteText(out, text, drawingHeight,
                  options.TextMeasure ? options.TextMeasure(text) : DxfDefaultTextMetrics(text));
        if (!out.Pass()) return false;
    }

    for (std::string_view line : {"  0", "ENDSEC", "  0", "EOF"})
        out.Line(line);
    return out.Flush();
}

std::string DxfFromDrawing(const TDrawing& drawing, double drawingHeight, TDxfMiddleSearch search,
                           const TDxfTextMeasure& measure) {
    std::string text;
    TDxfWriteOptions options;
    options.Search = search;
    options.TextMeasure = measure;
    (void)WriteDxf(drawing, drawingHeight, options, [&text](std::string_view piece) {
        text += piece;
        return true;
    });
    return text;
}

bool WriteDxfFile(const std::string& path, const TDrawing& drawing, int pageCount,
                  double pageHeightInch, std::string& error, const TDxfWriteOptions& options) {
    TAtomicFileWriter file;
    const bool ok = file.Open(path) &&
                    WriteDxf(drawing, DxfDrawingHeight(pageCount, pageHeightInch), options,
                             [&file](std::string_view piece) {
                                 return file.Write({reinterpret_cast<const std::uint8_t*>(
                                                        piece.data()),
                                                    piece.size()});
                             }) &&
                    file.Commit();
    if (!ok) error = file.Error();
    return ok;
}

} // namespace quirindo
