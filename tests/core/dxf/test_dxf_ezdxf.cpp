// Cross-check with an independent reader: the exported files are read by
// ezdxf (Debian's python3-ezdxf) through check_dxf.py, and what it finds is
// compared with what the drawing should give.

#include "DxfTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace quirindo;
using namespace quirindo::dxftest;

namespace {

namespace fs = std::filesystem;

struct TReaderResult {
    int Status = -1;
    std::vector<std::vector<std::string>> Rows; // each output line split at blanks
    std::string Raw;

    std::vector<std::vector<std::string>> RowsOf(const std::string& kind) const {
        std::vector<std::vector<std::string>> out;
        for (const auto& r : Rows)
            if (!r.empty() && r[0] == kind) out.push_back(r);
        return out;
    }
};

class DxfEzdxf : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "quirindo-dxf-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(FDir, ec);
    }

    // Writes the bytes to a file and lets the reader describe it.
    TReaderResult Read(const std::string& bytes, const std::string& name) {
        const fs::path file = FDir / name;
        {
            std::ofstream out(file, std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            EXPECT_TRUE(out.good());
        }
        const std::string command = std::string("'") + QUIRINDO_SYSTEM_PYTHON + "' '" +
                                    QUIRINDO_DXF_CHECK_SCRIPT + "' '" + file.string() + "' 2>&1";
        TReaderResult result;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) {
            ADD_FAILURE() << "cannot run " << command;
            return result;
        }
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
            result.Raw.append(buf, n);
        const int status = pclose(pipe);
        result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream lines(result.Raw);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::vector<std::string> row;
            std::string w;
            while (words >> w)
                row.push_back(w);
            result.Rows.push_back(row);
        }
        return result;
    }

    // The reader must accept the file, take its texts as Windows-1252 and its
    // unit as millimetres, find the line type and both layers and have
    // nothing to complain about.
    static void ExpectCleanFile(const TReaderResult& r) {
        ASSERT_EQ(r.Status, 0) << r.Raw;
        ASSERT_EQ(r.RowsOf("VERSION").size(), 1u) << r.Raw;
        EXPECT_EQ(r.RowsOf("VERSION")[0], (std::vector<std::string>{"VERSION", "AC1009", "cp1252"}));
        EXPECT_EQ(r.RowsOf("HEADER"),
                  (std::vector<std::vector<std::string>>{{"HEADER", "4", "ANSI_1252"}}));
        const auto layer = r.RowsOf("LAYER");
        int found = 0;
        for (const auto& row : layer)
            if (row.size() == 4 && (row[1] == "0" || row[1] == "RADIERT")) {
                ++found;
                EXPECT_EQ(row[2], row[1] == "0" ? "7" : "8");
                EXPECT_EQ(row[3], "AUSGEZOGEN");
            }
        EXPECT_EQ(found, 2) << r.Raw;
        bool ltype = false;
        for (const auto& row : r.RowsOf("LTYPE"))
            if (row.size() == 3 && row[1] == "AUSGEZOGEN") {
                ltype = true;
                EXPECT_EQ(row[2], HexOf("Ausgezogenen Linie"));
            }
        EXPECT_TRUE(ltype) << r.Raw;
        const auto audit = r.RowsOf("AUDIT");
        ASSERT_EQ(audit.size(), 1u) << r.Raw;
        EXPECT_EQ(audit[0], (std::vector<std::string>{"AUDIT", "0", "0"})) << r.Raw;
        EXPECT_TRUE(r.RowsOf("OTHER").empty()) << r.Raw;
        EXPECT_TRUE(r.RowsOf("ERROR").empty()) << r.Raw;
    }

    static std::string HexOf(const std::string& utf8) {
        static const char* digits = "0123456789abcdef";
        std::string out;
        for (unsigned char c : utf8) {
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
        return out.empty() ? "-" : out;
    }

    // ezdxf's polylines and texts must be exactly ours: same grouping, same
    // vertices and bulges to the last bit, same texts after decoding.
    static void ExpectSameEntities(const TReaderResult& r, const TEntities& ours) {
        std::size_t p = 0, v = 0, t = 0;
        for (const auto& row : r.Rows) {
            if (row.empty()) continue;
            if (row[0] == "POLYLINE") {
                ASSERT_LT(p, ours.Polylines.size()) << r.Raw;
                ASSERT_EQ(row.size(), 5u);
                EXPECT_EQ(row[1], ours.Polylines[p].Layer);
                EXPECT_EQ(row[2], "BYLAYER");
                EXPECT_EQ(std::stoul(row[3]), ours.Polylines[p].Vertices.size());
                EXPECT_EQ(row[4], "0");
                ++p;
                v = 0;
            } else if (row[0] == "VERTEX") {
                ASSERT_GT(p, 0u);
                const auto& verts = ours.Polylines[p - 1].Vertices;
                ASSERT_LT(v, verts.size());
                ASSERT_EQ(row.size(), 4u);
                EXPECT_EQ(ParseNumber(row[1]), verts[v].X) << "polyline " << p << " vertex " << v;
                EXPECT_EQ(ParseNumber(row[2]), verts[v].Y) << "polyline " << p << " vertex " << v;
                EXPECT_EQ(ParseNumber(row[3]), verts[v].Bulge)
                    << "polyline " << p << " vertex " << v;
                ++v;
            } else if (row[0] == "TEXT") {
                ASSERT_LT(t, ours.Texts.size());
                ASSERT_EQ(row.size(), 6u);
                EXPECT_EQ(row[1], "0");
                EXPECT_EQ(ParseNumber(row[2]), ours.Texts[t].X);
                EXPECT_EQ(ParseNumber(row[3]), ours.Texts[t].Y);
                EXPECT_EQ(ParseNumber(row[4]), ours.Texts[t].Height);
                ++t;
            }
        }
        EXPECT_EQ(p, ours.Polylines.size());
        EXPECT_EQ(t, ours.Texts.size());
    }

    fs::path FDir;
};

TEST_F(DxfEzdxf, EmptyDrawingOpens) {
    TDrawing d;
    const TReaderResult r = Read(DxfFromDrawing(d, A4Height()), "empty.dxf");
    ExpectCleanFile(r);
    EXPECT_TRUE(r.RowsOf("POLYLINE").empty());
    EXPECT_TRUE(r.RowsOf("TEXT").empty());
}

TEST_F(DxfEzdxf, LinesGiveTheExpectedPolylines) {
    TDrawing one;
    AddLine(one, 10, 20, 30, 20);
    const TReaderResult r = Read(DxfFromDrawing(one, A4Height()), "line.dxf");
    ExpectCleanFile(r);
    ASSERT_EQ(r.RowsOf("POLYLINE").size(), 1u);
    EXPECT_EQ(r.RowsOf("VERTEX"), (std::vector<std::vector<std::string>>{
                                      {"VERTEX", "10", "277", "0"}, {"VERTEX", "30", "277", "0"}}));

    TDrawing touching;
    AddLine(touching, 10, 20, 30, 20);
    AddLine(touching, 30, 20, 30, 40);
    AddLine(touching, 50, 20, 60, 20);
    const TReaderResult t = Read(DxfFromDrawing(touching, A4Height()), "touching.dxf");
    ExpectCleanFile(t);
    const auto polylines = t.RowsOf("POLYLINE");
    ASSERT_EQ(polylines.size(), 2u);
    EXPECT_EQ(polylines[0][3], "4");
    EXPECT_EQ(polylines[1][3], "2");

    TDrawing twoPages;
    AddLine(twoPages, 0, 300, 5, 300);
    const TReaderResult p =
        Read(DxfFromDrawing(twoPages, DxfDrawingHeight(2, 297.0 / kMmPerInch)), "pages.dxf");
    ExpectCleanFile(p);
    EXPECT_EQ(p.RowsOf("VERTEX"), (std::vector<std::vector<std::string>>{
                                      {"VERTEX", "0", "294", "0"}, {"VERTEX", "5", "294", "0"}}));
}

// A drawing with every kind of object and texts with characters beyond ASCII.
TEST_F(DxfEzdxf, EveryKindReadsBackAsWritten) {
    TDrawing d;
    AddLine(d, 10, 20, 30, 20);
    AddObject(d, okArc, {80, 80, 120, 120, 150, 100, 100, 10});
    AddCircle(d, 105, 200, 40);
    AddObject(d, okEllipse, {20, 230, 80, 260});
    AddObject(d, okBezier, {20, 100, 40, 60, 70, 140, 90, 100});
    AddObject(d, okBezier, {0, 100, 80.0 / 3, 100, 160.0 / 3, 100, 80, 100});
    AddObject(d, okEllipse, {50, 100, 50, 160}); // no width
    AddLine(d, 30, 20, 60, 20).Color = 0xFFFFFF; // an eraser stroke
    AddText(d, u"Erste Zeile\r\nZweite", 15, 30, 12);
    AddText(d, u"Ma\u00DF 5 \u20AC \u00E9t\u00E9 \u03B1 \u03C0", 40.25, 296.5, -9);
    const std::string file = DxfFromDrawing(d, A4Height());
    const TEntities ours = ReadEntities(file);
    ASSERT_EQ(ours.Polylines.size(), 8u); // no object starts where another ends
    EXPECT_EQ(ours.Polylines.back().Layer, "RADIERT");

    const TReaderResult r = Read(file, "every-kind.dxf");
    ExpectCleanFile(r);
    ExpectSameEntities(r, ours);
    // The lines of a text one below the other, every character as typed.
    const auto texts = r.RowsOf("TEXT");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0][5], HexOf("Erste Zeile"));
    EXPECT_EQ(texts[1][5], HexOf("Zweite"));
    EXPECT_EQ(texts[2][5], HexOf("Ma\u00DF 5 \u20AC \u00E9t\u00E9 \u03B1 \u03C0"));
    EXPECT_EQ(texts[0][2], "15");
    EXPECT_EQ(texts[1][2], "15");
    EXPECT_LT(ParseNumber(texts[1][3]), ParseNumber(texts[0][3]));
}

// The checker itself must notice a broken file: the same output with one
// stray line after the layer table's entry count is refused.
TEST_F(DxfEzdxf, CheckerRefusesShiftedGroups) {
    TDrawing d;
    AddLine(d, 10, 20, 30, 20);
    std::string file = DxfFromDrawing(d, A4Height());
    const std::string anchor = "LAYER\r\n70\r\n2\r\n";
    const std::size_t at = file.find(anchor);
    ASSERT_NE(at, std::string::npos);
    file.insert(at + anchor.size(), "1\r\n");
    const TReaderResult r = Read(file, "shifted.dxf");
    EXPECT_NE(r.Status, 0) << r.Raw;
    EXPECT_EQ(r.RowsOf("ERROR").size(), 1u) << r.Raw;
}

} // namespace

namespace {

// A second, unrelated reader: LibreCAD turns a file with every kind of
// object into a PDF (it hangs on files whose group codes are shifted, so the
// run is bounded).
TEST_F(DxfEzdxf, LibreCadConvertsEveryKindToPdf) {
    if (std::system("command -v librecad >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "librecad is not installed";
    TDrawing d;
    AddLine(d, 10, 20, 30, 20);
    AddObject(d, okArc, {80, 80, 120, 120, 150, 100, 100, 10});
    AddCircle(d, 105, 200, 40);
    AddObject(d, okBezier, {20, 100, 40, 60, 70, 140, 90, 100});
    AddText(d, u"Ma\u00DF 5", 15, 30, 12);
    const fs::path dxf = FDir / "every-kind.dxf";
    const fs::path pdf = FDir / "every-kind.pdf";
    {
        const std::string bytes = DxfFromDrawing(d, A4Height());
        std::ofstream(dxf, std::ios::binary).write(bytes.data(),
                                                   static_cast<std::streamsize>(bytes.size()));
    }
    const std::string command = "QT_QPA_PLATFORM=offscreen timeout 120 librecad dxf2pdf -o '" +
                                pdf.string() + "' '" + dxf.string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_GT(fs::file_size(pdf), 1000u);
}

} // namespace
