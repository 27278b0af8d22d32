#pragma once
// Helpers shared by the DXF tests: building small drawings, cutting the file
// into lines and reading its entities back with a strict little reader that
// accepts exactly the groups the exporter is meant to write.

#include "DrawObjects.h"
#include "DrawingFile.h"
#include "DxfNumber.h"
#include "DxfWriter.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quirindo::dxftest {

// One A4 page upright, as a new drawing has it.
inline double A4Height() {
    return DxfDrawingHeight(1.0, 297.0 / kMmPerInch);
}

inline TDrawObject& AddObject(TDrawing& d, TObjectKind kind, std::initializer_list<double> xy) {
    TDrawObject* o = d.Objects.Append();
    EXPECT_NE(o, nullptr);
    o->Kind = kind;
    o->Width = 0.5;
    o->Color = 0x0000FF;
    double* fields[] = {&o->X1, &o->Y1, &o->X2, &o->Y2, &o->X3, &o->Y3, &o->X4, &o->Y4};
    std::size_t i = 0;
    for (double v : xy)
        *fields[i++] = v;
    return *o;
}

inline TDrawObject& AddLine(TDrawing& d, double x1, double y1, double x2, double y2) {
    return AddObject(d, okLine, {x1, y1, x2, y2});
}

// A compass circle: the box of the circle around (cx, cy) with radius r.
inline void AddCircle(TDrawing& d, double cx, double cy, double r) {
    AddObject(d, okEllipse, {cx - r, cy - r, cx + r, cy + r});
}

inline TTextObject& AddText(TDrawing& d, std::u16string_view text, double left, double top,
                            std::int32_t size) {
    TTextObject* t = d.AppendText(text, "Arial");
    EXPECT_NE(t, nullptr);
    t->Left = left;
    t->Top = top;
    t->Size = size;
    return *t;
}

// Splits at CR LF; a bare CR or LF anywhere, or a missing final CR LF, fails.
inline std::vector<std::string> SplitLines(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t end = file.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF";
            break;
        }
        const std::string line = file.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos)
            ADD_FAILURE() << "bare CR or LF in line " << lines.size() + 1;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

inline double ParseNumber(const std::string& s) {
    double v = 0.0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
        ADD_FAILURE() << "not a finite number: \"" << s << "\"";
    return v;
}

struct TVertex {
    double X = 0.0, Y = 0.0, Bulge = 0.0;
};

struct TPolyline {
    std::string Layer;
    std::vector<TVertex> Vertices;
};

struct TText {
    double X = 0.0, Y = 0.0, Height = 0.0;
    std::string Bytes; // as written, Windows-1252
};

struct TEntities {
    std::vector<TPolyline> Polylines;
    std::vector<TText> Texts;
};

constexpr std::size_t kFixedLines = 78;

// Reads everything between the fixed beginning and the end lines.
inline TEntities ReadEntities(const std::string& file) {
    const std::vector<std::string> lines = SplitLines(file);
    TEntities out;
    if (lines.size() < kFixedLines + 4) {
        ADD_FAILURE() << "file too short: " << lines.size() << " lines";
        return out;
    }
    std::size_t i = kFixedLines;
    const auto expect = [&](std::string_view want) {
        if (i < lines.size() && lines[i] == want) {
            ++i;
            return true;
        }
        ADD_FAILURE() << "line " << i + 1 << ": expected \"" << want << "\", got \""
                      << (i < lines.size() ? lines[i] : "<end>") << "\"";
        return false;
    };
    const auto value = [&]() { return i < lines.size() ? lines[i++] : std::string(); };
    bool open = false;
    bool textsStarted = false;
    while (i + 4 < lines.size()) {
        const std::string& code = lines[i];
        const std::string& kind = lines[i + 1];
        if (code == "0" && kind == "POLYLINE") {
            if (open || textsStarted) ADD_FAILURE() << "polyline at line " << i + 1;
            i += 2;
            if (!expect("8")) return out;
            const std::string layer = value();
            if (layer != "0" && layer != "RADIERT") ADD_FAILURE() << "layer " << layer;
            if (!expect("66") || !expect("1")) return out;
            out.Polylines.emplace_back();
            out.Polylines.back().Layer = layer;
            open = true;
        } else if (code == "0" && kind == "VERTEX") {
            if (!open) ADD_FAILURE() << "vertex outside a polyline at line " << i + 1;
            i += 2;
            TVertex v;
            if (!expect("8")) return out;
            if (open && value() != out.Polylines.back().Layer)
                ADD_FAILURE() << "vertex on another layer than its polyline at line " << i;
            if (!expect("10")) return out;
            v.X = ParseNumber(value());
            if (!expect("20")) return out;
            v.Y = ParseNumber(value());
            if (!expect("42")) return out;
            v.Bulge = ParseNumber(value());
            if (open) out.Polylines.back().Vertices.push_back(v);
        } else if (code == "0" && kind == "SEQEND") {
            if (!open) ADD_FAILURE() << "SEQEND without polyline at line " << i + 1;
            open = false;
            i += 2;
        } else if (code == "  0" && kind == "TEXT") {
            if (open) ADD_FAILURE() << "text inside an open polyline at line " << i + 1;
            textsStarted = true;
            i += 2;
            TText t;
            if (!expect("8") || !expect("0") || !expect(" 10")) return out;
            t.X = ParseNumber(value());
            if (!expect(" 20")) return out;
            t.Y = ParseNumber(value());
            if (!expect(" 30") || !expect("0.0") || !expect(" 40")) return out;
            t.Height = ParseNumber(value());
            if (!expect("  1")) return out;
            t.Bytes = value();
            out.Texts.push_back(t);
        } else {
            break;
        }
    }
    if (open) ADD_FAILURE() << "polyline not closed by SEQEND";
    if (lines.size() - i != 4 || !expect("  0") || !expect("ENDSEC") || !expect("  0") ||
        !expect("EOF"))
        ADD_FAILURE() << "unexpected content after the entities at line " << i + 1;
    return out;
}

} // namespace quirindo::dxftest
