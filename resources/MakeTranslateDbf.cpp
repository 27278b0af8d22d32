// Build step: writes translate.dbf from translations.tsv.
//
//   make_translate_dbf <translations.tsv> <generated.dbf> <installed.dbf>
//
// The generated table is always rewritten. It is copied to <installed.dbf>
// only when that file is missing or still exactly what this step copied
// last time (kept beside it as <installed.dbf>.last): a table that a
// translator has edited, or that the program has added texts to, is never
// overwritten by a rebuild.

#include "Cp1252Utf8.h"
#include "DbfTable.h"
#include "Translation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using quirindo::kTranslationWidth;

struct TRow {
    std::vector<std::string> Cells; // Windows-1252: German, English, Italian
};

bool ReadSource(const std::string& path, std::vector<TRow>& rows) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << path << ": cannot be read\n";
        return false;
    }
    std::set<std::string> seen;
    std::string line;
    int number = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        TRow row;
        std::stringstream fields(line);
        std::string cell;
        while (std::getline(fields, cell, '\t')) {
            std::string bytes;
            if (!quirindo::Cp1252FromUtf8(cell, bytes)) {
                std::cerr << where << "a character that Windows-1252 lacks\n";
                ok = false;
            }
            if (bytes.size() > static_cast<std::size_t>(kTranslationWidth)) {
                std::cerr << where << "longer than " << kTranslationWidth << " bytes\n";
                ok = false;
            }
            // The lookup ignores blanks around a text; blanks kept here
            // would make the row unreachable.
            if (cell.empty() || cell.front() == ' ' || cell.back() == ' ') {
                std::cerr << where << "an empty cell or blanks around a text\n";
                ok = false;
            }
            row.Cells.push_back(bytes);
        }
        if (row.Cells.size() != 3) {
            std::cerr << where << "expected German, English and Italian separated by tabs\n";
            ok = false;
            continue;
        }
        if (!seen.insert(row.Cells[0]).second) {
            std::cerr << where << "the German text appears twice\n";
            ok = false;
        }
        rows.push_back(std::move(row));
    }
    return ok;
}

bool WriteTable(const std::string& path, const std::vector<TRow>& rows) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    quirindo::TDbfTable table;
    if (!table.Create(path, quirindo::TranslationFields())) {
        std::cerr << table.ErrorMessage() << "\n";
        return false;
    }
    for (const TRow& row : rows) {
        bool ok = table.Append();
        for (std::size_t c = 0; ok && c < row.Cells.size(); ++c)
            ok = table.SetFieldText(static_cast<int>(c), row.Cells[c]);
        if (!ok || !table.Post()) {
            std::cerr << table.ErrorMessage() << "\n";
            return false;
        }
    }
    table.Close();
    return true;
}

bool ReadBytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool Install(const std::string& generated, const std::string& installed) {
    namespace fs = std::filesystem;
    const std::string last = installed + ".last";
    std::string current, previous;
    if (ReadBytes(installed, current) && !(ReadBytes(last, previous) && previous == current)) {
        std::cerr << "warning: " << installed
                  << " differs from what the build wrote last and is kept; delete it to get "
                     "the translations of resources/translations.tsv\n";
        return true;
    }
    std::error_code error;
    fs::copy_file(generated, installed + ".tmp", fs::copy_options::overwrite_existing, error);
    if (!error) fs::rename(installed + ".tmp", installed, error);
    if (!error) fs::copy_file(generated, last, fs::copy_options::overwrite_existing, error);
    if (error) {
        std::cerr << installed << ": " << error.message() << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_translate_dbf <translations.tsv> <generated.dbf> "
                     "<installed.dbf>\n";
        return 2;
    }
    std::vector<TRow> rows;
    if (!ReadSource(argv[1], rows)) return 1;
    if (!WriteTable(argv[2], rows)) return 1;
    return Install(argv[2], argv[3]) ? 0 : 1;
}
