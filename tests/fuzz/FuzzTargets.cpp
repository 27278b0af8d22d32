#include "FuzzTargets.h"

#include "DbfTable.h"
#include "DrawingFile.h"
#include "DxfWriter.h"
#include "Translation.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace quirindo::fuzz {
namespace {

// Loads the bytes; false for a file the reader refuses (which is fine).
bool Load(TInput input, TDrawing& drawing, TDrawingSettings& settings) {
    try {
        LoadDrawing(input, drawing, settings);
        return true;
    } catch (const TReadError&) {
    } catch (const TOutOfMemoryError&) {
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return false;
}

std::string Describe(std::string_view what, std::size_t at) {
    return std::string(what) + " at byte " + std::to_string(at);
}

} // namespace

std::string DxfTextProblem(const std::string& dxf) {
    for (std::size_t i = 0; i < dxf.size(); ++i) {
        if (dxf[i] == '\n' && (i == 0 || dxf[i - 1] != '\r')) return Describe("bare LF", i);
        if (dxf[i] == '\r' && (i + 1 == dxf.size() || dxf[i + 1] != '\n'))
            return Describe("bare CR", i);
    }
    if (dxf.size() < 2 || dxf.compare(dxf.size() - 2, 2, "\r\n") != 0) return "no final CR LF";
    std::size_t pos = 0;
    std::vector<std::string_view> lines;
    while (pos < dxf.size()) {
        const std::size_t end = dxf.find("\r\n", pos);
        lines.emplace_back(dxf.data() + pos, end - pos);
        pos = end + 2;
    }
    if (lines.size() % 2 != 0) return "odd number of lines";
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        std::string code(lines[i]);
        char* stop = nullptr;
        const long group = std::strtol(code.c_str(), &stop, 10);
        if (code.empty() || *stop != '\0') return "group code '" + code + "' is no number";
        if (group < 10 || group > 59) continue;
        const std::string value(lines[i + 1]);
        const double number = std::strtod(value.c_str(), &stop);
        if (value.empty() || *stop != '\0' || !std::isfinite(number) ||
            value.find_first_not_of("0123456789.-E") != std::string::npos)
            return "group " + code + " holds '" + value + "'";
    }
    return {};
}

namespace {

std::string WriteWith(const TDrawing& drawing, double height, int threads, bool& ok) {
    TDxfWriteOptions options;
    options.Threads = threads;
    // Small batches, so that even a small drawing goes through the threads.
    options.BatchPieces = threads > 1 ? 2 : 16384;
    std::string text;
    ok = WriteDxf(drawing, height, options, [&text](std::string_view piece) {
        text.append(piece);
        return true;
    });
    return text;
}

} // namespace

std::string CheckDrawingFile(TInput input) {
    TDrawing drawing;
    TDrawingSettings settings;
    if (!Load(input, drawing, settings)) return {};
    const int pages = PageCountOf(settings);
    if (pages < 1 || pages > 10) return "page count " + std::to_string(pages);
    const std::vector<std::uint8_t> first = SaveDrawing(drawing, settings);
    TDrawing again;
    TDrawingSettings againSettings;
    try {
        LoadDrawing(first, again, againSettings);
    } catch (const std::exception& e) {
        return std::string("a saved drawing does not load: ") + e.what();
    }
    if (again.Objects.Count() != drawing.Objects.Count() ||
        again.Texts.Count() != drawing.Texts.Count())
        return "the saved drawing has other counts";
    const std::vector<std::uint8_t> second = SaveDrawing(again, againSettings);
    if (first != second) return "save, load and save again changed the bytes";
    return {};
}

std::string CheckDxfExport(TInput input) {
    TDrawing drawing;
    TDrawingSettings settings;
    if (!Load(input, drawing, settings)) return {};
    const double height = DxfDrawingHeight(PageCountOf(settings), settings.PageHeightInch);
    bool ok = false;
    const std::string one = WriteWith(drawing, height, 1, ok);
    if (!ok) return "the one-thread writer failed";
    if (std::string problem = DxfTextProblem(one); !problem.empty()) return problem;
    const std::string several = WriteWith(drawing, height, 3, ok);
    if (!ok) return "the threaded writer failed";
    if (several != one) return "three threads wrote other bytes than one";
    return {};
}

std::string CheckTranslationTable(TInput input) {
    char path[] = "/tmp/quirindo-fuzz-table-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) return {}; // nowhere to write: nothing to test
    bool written = true;
    for (std::size_t done = 0; written && done < input.size();) {
        const ssize_t n = ::write(fd, input.data() + done, input.size() - done);
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    std::string problem;
    if (written) {
        std::int32_t rows = -1;
        {
            TTranslation table;
            if (table.OpenTranslationTable(path) &&
                table.TableState() == TTranslation::TTableState::ReadWrite) {
                TDbfTable& dbf = table.Table();
                // A text the table lacks is recorded once, however often it
                // is looked up, and looking up never changes the text.
                const std::string missing = "Fuzz \xE4 missing text";
                const std::int32_t before = dbf.RecordCount();
                const std::string first = table.TranslateText(missing);
                const std::string second = table.TranslateText(missing);
                if (dbf.RecordCount() > before + 1) problem = "one missed text added many rows";
                if (first != second) problem = "two lookups of one text differ";
                if (table.TranslateText("  ") != "  ") problem = "blanks were translated";
                for (const char* text : {"Datei", "Seite", "Abbrechen", "\x80", " x "})
                    (void)table.TranslateText(text);
                // An appended row reads back; a deleted one is skipped.
                if (problem.empty() && dbf.Append() && dbf.SetFieldText(0, "Neu") && dbf.Post()) {
                    const std::int32_t added = dbf.RecNo();
                    if (!dbf.Go(added) || dbf.FieldText(0) != "Neu")
                        problem = "an appended row does not read back";
                    else if (!dbf.Delete() || !dbf.Go(added) || !dbf.IsDeleted())
                        problem = "a deleted row is not marked";
                }
                std::int32_t visible = 0;
                for (dbf.First(); problem.empty() && !dbf.Eof(); dbf.Next()) {
                    if (dbf.IsDeleted()) problem = "a deleted row was visited";
                    if (++visible > dbf.RecordCount()) problem = "more rows visited than exist";
                }
                rows = dbf.RecordCount();
            }
        }
        if (problem.empty() && rows >= 0) {
            // What this program wrote, it opens again with every row.
            TTranslation again;
            if (!again.OpenTranslationTable(path))
                problem = "the table no longer opens: " + again.TableMessage();
            else if (again.Table().RecordCount() != rows)
                problem = "the table reopens with another row count";
        }
    }
    ::unlink(path);
    return problem;
}

} // namespace quirindo::fuzz
