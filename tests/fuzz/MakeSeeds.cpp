// Writes the seed corpus of the fuzz targets: small files the program itself
// writes (drawings of every object kind, settings at their edges, translation
// tables), plus hand-made damaged ones. Run: make_fuzz_seeds CORPUS_DIR.

#include "DbfTable.h"
#include "DrawingFile.h"
#include "Translation.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

using namespace quirindo;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Object(TDrawing& d, TObjectKind kind, std::initializer_list<double> xy, double width = 0.5) {
    TDrawObject* o = d.Objects.Append();
    o->Kind = kind;
    o->Width = width;
    double* p = &o->X1;
    for (double v : xy)
        *p++ = v;
}

std::vector<std::uint8_t> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* name : {"drawing_file", "dxf_export", "translation_table"})
        fs::create_directories(root / name);
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> drawings;
    auto keep = [&](const std::string& name, TDrawing& d, const TDrawingSettings& s) {
        drawings.emplace_back(name, SaveDrawing(d, s));
    };
    {
        TDrawing d;
        keep("empty.qrd", d, {});
    }
    {
        TDrawing d;
        Object(d, okLine, {10, 20, 150, 20});
        Object(d, okArc, {50, 50, 40, 0, 90});
        Object(d, okEllipse, {30, 30, 90, 60});
        Object(d, okBezier, {10, 100, 40, 80, 70, 120, 100, 100});
        d.AppendText(u"Maß 1:2", "Arial")->Size = 12;
        TDrawingSettings s;
        s.PageCount = 2;
        keep("every-kind.qrd", d, s);
        // A file of an older version ends before the 32-byte tail.
        std::vector<std::uint8_t> older = SaveDrawing(d, s);
        older.resize(older.size() - kTailBytes);
        drawings.emplace_back("no-tail.qrd", older);
    }
    {
        TDrawing d;
        Object(d, okLine, {50, 50, 150, 50});
        TDrawingSettings s;
        s.PageCount = 2147483648.0;
        keep("pages-2-31.qrd", d, s);
        s.PageCount = std::numeric_limits<double>::quiet_NaN();
        s.Zoom = std::numeric_limits<double>::infinity();
        keep("pages-nan.qrd", d, s);
        s.PageCount = 2.5;
        s.PageHeightInch = 1e308;
        keep("page-height-huge.qrd", d, s);
    }
    {
        TDrawing d;
        Object(d, okLine, {std::numeric_limits<double>::infinity(), 0, 1e308, -1e308});
        Object(d, okArc, {0, 0, 1e-300, 0, 360});
        Object(d, okEllipse, {5, 5, 5, 5});
        Object(d, okBezier, {1, 1, 1, 1, 1, 1, 1, 1});
        TTextObject* t = d.AppendText(std::u16string(u"a\0b\r\nc", 6), std::string("Ar\0ial", 6));
        t->Left = std::numeric_limits<double>::quiet_NaN();
        keep("non-finite.qrd", d, {});
    }
    {
        TDrawing d;
        for (int i = 0; i < 40; ++i)
            Object(d, static_cast<TObjectKind>(i % 4),
                   {i * 3.0, 10.0 + i, 20.0 + i, 40.0 - i, 90.0 + i, 20.0 * i, 5.0, 7.0});
        keep("forty.qrd", d, {});
    }
    for (const auto& [name, bytes] : drawings) {
        Put(root / "drawing_file" / name, bytes);
        Put(root / "dxf_export" / name, bytes);
    }
    // Damaged by hand: a negative count, a count far beyond the bytes, a cut.
    const std::vector<std::uint8_t> negative{0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<std::uint8_t> huge{0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0};
    std::vector<std::uint8_t> cut = drawings[1].second;
    cut.resize(cut.size() / 2);
    for (const char* dir : {"drawing_file", "dxf_export"}) {
        Put(root / dir / "negative-count.qrd", negative);
        Put(root / dir / "huge-count.qrd", huge);
        Put(root / dir / "cut.qrd", cut);
        Put(root / dir / "zero-bytes.qrd", {});
    }

    // Translation tables as the program makes them.
    const fs::path tables = root / "translation_table";
    const fs::path scratch = fs::temp_directory_path() / "quirindo-seed.dbf";
    fs::remove(scratch);
    {
        TDbfTable table;
        if (!table.Create(scratch.string(), TranslationFields())) return 1;
    }
    Put(tables / "empty.dbf", Bytes(scratch));
    {
        TTranslation t;
        if (!t.OpenTranslationTable(scratch.string())) return 1;
        for (const char* text : {"Datei", "Seite", "Abbrechen", "Gr\xF6\xDF" "e"})
            (void)t.TranslateText(text);
        TDbfTable& dbf = t.Table();
        dbf.First();
        (void)dbf.SetFieldText(1, "File");
        (void)dbf.Post();
        dbf.Next();
        (void)dbf.Delete();
    }
    const std::vector<std::uint8_t> rows = Bytes(scratch);
    Put(tables / "rows.dbf", rows);
    std::vector<std::uint8_t> shortened = rows;
    shortened.resize(rows.size() - 100);
    Put(tables / "cut.dbf", shortened);
    std::vector<std::uint8_t> moreRows = rows;
    moreRows[4] = 0xFF; // a record count beyond the file
    Put(tables / "count-too-large.dbf", moreRows);
    fs::remove(scratch);
    {
        TDbfTable table;
        if (!table.Create(scratch.string(), {{"LANGUAGE1", 10}, {"OTHER", 1}})) return 1;
    }
    Put(tables / "foreign-schema.dbf", Bytes(scratch));
    fs::remove(scratch);
    return 0;
}
